#pragma once
#include <QDateTime>
#include <QString>

struct SiteStatus;

// The line of the site panel: "联网", or "离线,自hh:mm起", then the changes
// waiting to be sent (when there are any) and when the watch list was last
// updated. A time of another day than `now` carries its date.
QString SiteStatusText(const SiteStatus& status, const QDateTime& now);
