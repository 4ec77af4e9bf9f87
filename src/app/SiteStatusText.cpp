#include "app/SiteStatusText.h"
#include "app/FeatureTexts.h"
#include "site/SiteSync.h"

#include <QStringList>

namespace {

QString shortTime(const QDateTime& time, const QDateTime& now)
{
    const QDateTime local = time.toLocalTime();
    QString clock = local.toString(QStringLiteral("hh:mm"));
    if (local.date() == now.toLocalTime().date())
        return clock;
    return local.toString(QStringLiteral("M/d ")) + clock;
}

} // namespace

QString SiteStatusText(const SiteStatus& status, const QDateTime& now)
{
    QStringList parts;
    if (status.online)
        parts << FeatureTexts::SiteOnline();
    else if (status.offlineSince.isValid())
        parts << FeatureTexts::SiteOfflineSince(shortTime(status.offlineSince, now));
    else
        parts << FeatureTexts::SiteConnecting();
    if (status.waiting > 0)
        parts << FeatureTexts::SiteWaiting(status.waiting);
    parts << (status.watchListUpdated.isValid()
                  ? FeatureTexts::WatchListUpdated(shortTime(status.watchListUpdated, now))
                  : FeatureTexts::WatchListNotUpdated());
    return parts.join(QLatin1Char(','));
}
