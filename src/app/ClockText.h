#pragma once
#include <QDateTime>
#include <QLocale>
#include <QString>

// Date in the locale's short format, one blank, time in its long format
// without any time-zone field: zh_CN gives "2026/12/7 09:05:03".
QString FormatClockText(const QDateTime& moment, const QLocale& locale);
