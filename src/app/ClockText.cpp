#include "app/ClockText.h"

namespace {

// Removes the time-zone fields ("t" runs outside quotes) from a time format.
QString withoutTimeZone(const QString& format)
{
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    return out.simplified();
}

} // namespace

QString FormatClockText(const QDateTime& moment, const QLocale& locale)
{
    const QString date = locale.toString(moment.date(), QLocale::ShortFormat);
    const QString time = locale.toString(moment.time(), withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
    return date + QLatin1Char(' ') + time;
}
