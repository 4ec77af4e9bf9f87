#pragma once
#include "db/SqlStatement.h"

#include <QDate>
#include <cstdint>

struct sqlite3;

// A range of days, both ends included.
struct TDateRange {
    QDate from;
    QDate to;
    bool operator==(const TDateRange&) const = default;
};

// The quick picks of the date view. A week starts on Monday; this week and
// this month end today, since no visit has arrived later.
enum class DatePreset { Today, Yesterday, ThisWeek, ThisMonth };
TDateRange PresetRange(DatePreset preset, const QDate& today);

// The range with its ends in order.
TDateRange Ordered(const TDateRange& range);

// The listing of the visits that arrived in `range`, with the list's eleven
// columns in the list's order, read through the day index (db/DayIndex.h).
SqlLine DateRangeListing(const TDateRange& range);

// Records whose arrival could not be read as a date. Raises EDatabaseError.
std::int64_t UnreadableDays(sqlite3* db);
