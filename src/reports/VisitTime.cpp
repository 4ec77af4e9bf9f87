#include "reports/VisitTime.h"
#include "visitors/RecordDate.h"

namespace {

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

int digitsAt(const QString& text, qsizetype at, qsizetype count)
{
    int value = 0;
    for (qsizetype i = at; i < at + count; ++i)
        value = value * 10 + (text.at(i).unicode() - '0');
    return value;
}

// Whether text[at, at + count) are digits with no digit right after them.
bool exactDigits(const QString& text, qsizetype at, qsizetype count)
{
    if (at + count > text.size())
        return false;
    for (qsizetype i = at; i < at + count; ++i)
        if (!isDigit(text.at(i)))
            return false;
    return at + count == text.size() || !isDigit(text.at(at + count));
}

struct Clock {
    int hour;
    int minute;
    int second;
};

// The first "h:mm" or "h:mm:ss" standing alone among digits. A hand scan:
// statistics read three times of every visit of a range.
std::optional<Clock> firstClock(const QString& text)
{
    const qsizetype size = text.size();
    for (qsizetype colon = 1; colon + 2 < size; ++colon) {
        if (text.at(colon) != QLatin1Char(':') || !isDigit(text.at(colon - 1)))
            continue;
        qsizetype start = colon - 1;
        if (start > 0 && isDigit(text.at(start - 1)))
            --start;
        if (start > 0 && isDigit(text.at(start - 1)))
            continue; // three digits or more before the colon
        if (!exactDigits(text, colon + 1, 2))
            continue;
        Clock clock{digitsAt(text, start, colon - start), digitsAt(text, colon + 1, 2), 0};
        const qsizetype secondsColon = colon + 3;
        if (secondsColon < size && text.at(secondsColon) == QLatin1Char(':') && exactDigits(text, secondsColon + 1, 2))
            clock.second = digitsAt(text, secondsColon + 1, 2);
        return clock;
    }
    return std::nullopt;
}

} // namespace

std::optional<QTime> TimeOf(const QString& text)
{
    const std::optional<Clock> clock = firstClock(text);
    if (!clock)
        return std::nullopt;
    int hour = clock->hour;
    const bool afternoon = text.contains(QStringLiteral("下午")) || text.contains(QStringLiteral("晚上"))
                           || text.contains(QLatin1String("PM"), Qt::CaseInsensitive);
    const bool morning = text.contains(QStringLiteral("上午")) || text.contains(QStringLiteral("凌晨"))
                         || text.contains(QLatin1String("AM"), Qt::CaseInsensitive);
    if (afternoon && hour < 12)
        hour += 12;
    else if (morning && hour == 12)
        hour = 0;
    const QTime time(hour, clock->minute, clock->second);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

std::optional<QDateTime> MomentOf(const TRecordDateReader& reader, const QString& text, const QDate& dayWithoutDate)
{
    return MomentAt(reader, text, TimeOf(text), dayWithoutDate);
}

std::optional<QDateTime> MomentAt(const TRecordDateReader& reader, const QString& text,
                                  const std::optional<QTime>& time, const QDate& dayWithoutDate)
{
    if (!time)
        return std::nullopt;
    const std::optional<QDate> day = reader.dateOf(text);
    if (day)
        return QDateTime(*day, *time, Qt::UTC);
    if (dayWithoutDate.isValid())
        return QDateTime(dayWithoutDate, *time, Qt::UTC);
    return std::nullopt;
}
