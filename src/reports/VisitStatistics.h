#pragma once
#include "reports/DateRange.h"

#include <QDate>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

struct sqlite3;
class QLocale;

// Counts of the visits that arrived in a range of days.
struct TVisitStatistics {
    TDateRange range;
    std::int64_t visits = 0;
    // Every day of the range, in order, days without visits included.
    std::vector<std::pair<QDate, std::int64_t>> perDay;
    // Most visits first; an empty category is counted under "".
    std::vector<std::pair<QString, std::int64_t>> perCategory;
    // By the hour of 来访's time; visits whose 来访 holds no time apart.
    std::array<std::int64_t, 24> perHour{};
    std::int64_t hourUnknown = 0;
    // The median of the stays, in minutes, of the visits whose 来访 and 离开
    // both read as times (a 离开 of a time alone is on the arrival's day) and
    // do not run backwards; none when there is no such visit.
    std::optional<double> medianStayMinutes;
    std::int64_t staysMeasured = 0;
    // Visitors without a departure in the whole register, whatever their day.
    std::int64_t onSiteNow = 0;
    // Records whose arrival could not be read as a day, in the whole register.
    std::int64_t unreadable = 0;
};

// Reads the visits of `range` through the day index, dates and times read
// in `locale`. Raises EDatabaseError.
TVisitStatistics CollectStatistics(sqlite3* db, const TDateRange& range, const QLocale& locale);
