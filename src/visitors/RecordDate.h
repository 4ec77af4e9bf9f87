#pragma once
#include <QDate>
#include <QHash>
#include <QLocale>
#include <QString>
#include <optional>

// Reads a record date (日期: the clock text written when a record was added or
// changed) back as a calendar date. It tries the locale's short date format,
// the one the clock writes, and then only formats that put the year first and
// so cannot be misread; it never guesses between day-first and month-first.
class TRecordDateReader {
public:
    explicit TRecordDateReader(const QLocale& locale, const QDate& today = QDate::currentDate());

    std::optional<QDate> dateOf(const QString& recordDate) const;

private:
    QDate readLocaleDate(const QString& datePart) const;
    static QDate readYearFirst(const QString& word);

    QLocale locale_;
    QDate today_;
    qsizetype dateWords_ = 1;   // blank-separated words of a short date
    bool twoDigitYear_ = false; // the short format writes "yy"
    // Records share their dates: one parse per distinct date text.
    mutable QHash<QString, QDate> cache_;
};
