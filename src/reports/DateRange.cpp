#include "reports/DateRange.h"
#include "db/Sqlite.h"

#include <algorithm>

TDateRange PresetRange(DatePreset preset, const QDate& today)
{
    switch (preset) {
    case DatePreset::Today: return {today, today};
    case DatePreset::Yesterday: return {today.addDays(-1), today.addDays(-1)};
    case DatePreset::ThisWeek: return {today.addDays(1 - today.dayOfWeek()), today};
    case DatePreset::ThisMonth: return {QDate(today.year(), today.month(), 1), today};
    }
    return {today, today};
}

TDateRange Ordered(const TDateRange& range) { return {std::min(range.from, range.to), std::max(range.from, range.to)}; }

SqlLine DateRangeListing(const TDateRange& range)
{
    const TDateRange days = Ordered(range);
    // The days are the program's own numbers, never typed text.
    const QByteArray condition = "编号 in (select 编号 from visit_days where day between "
                                 + QByteArray::number(days.from.toJulianDay()) + " and "
                                 + QByteArray::number(days.to.toJulianDay()) + ")";
    return SqlLine(SqlSelect{"Select ", kListedColumns, " from ", "data"}) + SqlWhere{" where "}
           + condition.constData();
}

std::int64_t UnreadableDays(sqlite3* db)
{
    SqliteStatement count(db, QStringLiteral("SELECT count(*) FROM visit_days WHERE day IS NULL"));
    return count.step() ? count.columnInt64(0) : 0;
}
