#include "db/DayIndex.h"
#include "db/Sqlite.h"
#include "db/SqliteTransaction.h"
#include "visitors/RecordDate.h"

#include <QLocale>

namespace {

bool dataIsEmpty(sqlite3* db)
{
    SqliteStatement any(db, QStringLiteral("SELECT 1 FROM data LIMIT 1"));
    return !any.step();
}

// Writes the day of one record, null when unreadable.
void putDay(SqliteStatement& put, std::int64_t id, const std::optional<QDate>& day)
{
    put.bindInt64(1, id);
    if (day)
        put.bindInt64(2, day->toJulianDay());
    else
        sqlite3_bind_null(put.get(), 2);
    put.step();
    put.reset();
}

} // namespace

std::optional<QDate> ArrivalDay(const TRecordDateReader& reader, const QString& arrival, const QString& recordDate)
{
    if (std::optional<QDate> day = reader.dateOf(arrival))
        return day;
    return reader.dateOf(recordDate);
}

bool HoldsDayIndex(sqlite3* db)
{
    SqliteStatement table(db, QStringLiteral("SELECT 1 FROM main.sqlite_master WHERE type = 'table' AND name = "
                                             "'visit_days'"));
    return table.step();
}

void CreateDayIndex(sqlite3* db)
{
    ExecuteStatements(db, "DROP TABLE IF EXISTS visit_days; "
                          "CREATE TABLE visit_days (编号 INTEGER PRIMARY KEY, day INTEGER);");
    const TRecordDateReader reader{QLocale()};
    {
        SqliteStatement read(db, QStringLiteral("SELECT 编号, 来访, 日期 FROM data"));
        SqliteStatement put(db, QStringLiteral("INSERT INTO visit_days (编号, day) VALUES (?, ?)"));
        while (read.step())
            putDay(put, read.columnInt64(0), ArrivalDay(reader, read.columnText(1), read.columnText(2)));
    }
    // Made after the rows: one sort instead of a million insertions.
    ExecuteStatements(db, "CREATE INDEX visit_days_by_day ON visit_days (day);");
}

void RenewDays(sqlite3* db, const std::vector<std::int64_t>& ids)
{
    if (!HoldsDayIndex(db))
        return;
    if (dataIsEmpty(db)) {
        ExecuteStatements(db, "DELETE FROM visit_days;");
        return;
    }
    if (ids.empty())
        return;
    const TRecordDateReader reader{QLocale()};
    SqliteStatement read(db, QStringLiteral("SELECT 来访, 日期 FROM data WHERE 编号 = ?"));
    SqliteStatement put(db, QStringLiteral("INSERT OR REPLACE INTO visit_days (编号, day) VALUES (?, ?)"));
    SqliteStatement forget(db, QStringLiteral("DELETE FROM visit_days WHERE 编号 = ?"));
    for (const std::int64_t id : ids) {
        read.bindInt64(1, id);
        if (read.step()) {
            const std::optional<QDate> day = ArrivalDay(reader, read.columnText(0), read.columnText(1));
            read.reset();
            putDay(put, id, day);
        } else {
            read.reset();
            forget.bindInt64(1, id);
            forget.step();
            forget.reset();
        }
    }
}

void ReconcileDayIndex(sqlite3* db)
{
    if (!HoldsDayIndex(db))
        return;
    {
        SqliteStatement sizes(db,
                              QStringLiteral("SELECT (SELECT count(*) FROM data) = (SELECT count(*) FROM visit_days)"
                                             " AND ifnull((SELECT max(编号) FROM data), 0) = "
                                             "ifnull((SELECT max(编号) FROM visit_days), 0)"));
        if (sizes.step() && sizes.columnInt64(0) == 1)
            return;
    }
    SqliteTransaction transaction(db, "BEGIN IMMEDIATE;");
    std::vector<std::int64_t> ids;
    {
        SqliteStatement missing(
            db, QStringLiteral("SELECT 编号 FROM data WHERE 编号 NOT IN (SELECT 编号 FROM visit_days) "
                               "UNION ALL "
                               "SELECT 编号 FROM visit_days WHERE 编号 NOT IN (SELECT 编号 FROM data)"));
        while (missing.step())
            ids.push_back(missing.columnInt64(0));
    }
    RenewDays(db, ids);
    transaction.Commit();
}
