#include "reports/VisitTime.h"
#include "visitors/RecordDate.h"

#include <QRegularExpression>

std::optional<QTime> TimeOf(const QString& text)
{
    static const QRegularExpression clock(QStringLiteral("(?<!\\d)(\\d{1,2}):(\\d{2})(?::(\\d{2}))?(?!\\d)"));
    const QRegularExpressionMatch m = clock.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    int hour = m.captured(1).toInt();
    const bool afternoon = text.contains(QStringLiteral("下午")) || text.contains(QStringLiteral("晚上"))
                           || text.contains(QLatin1String("PM"), Qt::CaseInsensitive);
    const bool morning = text.contains(QStringLiteral("上午")) || text.contains(QStringLiteral("凌晨"))
                         || text.contains(QLatin1String("AM"), Qt::CaseInsensitive);
    if (afternoon && hour < 12)
        hour += 12;
    else if (morning && hour == 12)
        hour = 0;
    const QTime time(hour, m.captured(2).toInt(), m.captured(3).isEmpty() ? 0 : m.captured(3).toInt());
    if (!time.isValid())
        return std::nullopt;
    return time;
}

std::optional<QDateTime> MomentOf(const TRecordDateReader& reader, const QString& text, const QDate& dayWithoutDate)
{
    const std::optional<QTime> time = TimeOf(text);
    if (!time)
        return std::nullopt;
    const std::optional<QDate> day = reader.dateOf(text);
    if (day)
        return QDateTime(*day, *time);
    if (dayWithoutDate.isValid())
        return QDateTime(dayWithoutDate, *time);
    return std::nullopt;
}
