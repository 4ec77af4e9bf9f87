#include "visitors/RecordDate.h"

#include <QRegularExpression>

TRecordDateReader::TRecordDateReader(const QLocale& locale, const QDate& today) : locale_(locale), today_(today)
{
    const QString sample = locale_.toString(QDate(2026, 12, 7), QLocale::ShortFormat);
    dateWords_ = sample.count(QLatin1Char(' ')) + 1;
    const QString format = locale_.dateFormat(QLocale::ShortFormat);
    twoDigitYear_ = format.contains(QLatin1String("yy")) && !format.contains(QLatin1String("yyyy"));
}

std::optional<QDate> TRecordDateReader::dateOf(const QString& recordDate) const
{
    const QStringList words = recordDate.simplified().split(QLatin1Char(' '));
    const QString datePart = words.mid(0, dateWords_).join(QLatin1Char(' '));
    if (datePart.isEmpty())
        return std::nullopt;
    auto cached = cache_.constFind(datePart);
    if (cached == cache_.constEnd()) {
        QDate date = readLocaleDate(datePart);
        if (!date.isValid())
            date = readYearFirst(words.first());
        cached = cache_.insert(datePart, date);
    }
    if (!cached->isValid())
        return std::nullopt;
    return *cached;
}

QDate TRecordDateReader::readYearFirst(const QString& word)
{
    // Year first: 2026/12/7, 2026-12-07, 2026.12.7, 2026年12月7日, also with a time after a "T".
    static const QRegularExpression yearFirst(
        QStringLiteral("^(\\d{4})[-/.年](\\d{1,2})[-/.月](\\d{1,2})(?:日|T.*)?$"));
    const QRegularExpressionMatch m = yearFirst.match(word);
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

QDate TRecordDateReader::readLocaleDate(const QString& datePart) const
{
    QDate date = locale_.toDate(datePart, QLocale::ShortFormat);
    // A two-digit year reads as 19yy; records are never from the future, so
    // take the later century when that is not after today.
    if (date.isValid() && twoDigitYear_ && date.year() < 2000 && date.addYears(100) <= today_)
        date = date.addYears(100);
    return date;
}
