#pragma once
#include <QDate>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

struct sqlite3;
class TRecordDateReader;

// The day index: the program's own table visit_days, one row per record of
// data with the day the visit arrived (a Julian day number), read from 来访,
// else from 日期; null when neither reads as a date. Lists and counts by date
// read it instead of every record's dates. Every write of the program renews
// the rows it touched in the write's own transaction; a step of the upgrade
// path builds it for an older register.

// The day a visit arrived: 来访 read as a date, else 日期.
std::optional<QDate> ArrivalDay(const TRecordDateReader& reader, const QString& arrival, const QString& recordDate);

// Whether the register open on `db` holds the day index. Raises EDatabaseError.
bool HoldsDayIndex(sqlite3* db);

// The upgrade step: creates the day index and fills it from every record,
// dates read in the system's locale. Raises EDatabaseError.
void CreateDayIndex(sqlite3* db);

// Reads records `ids` again after a write: a record there gets its day anew,
// a record gone loses its row; when data is left empty the index is emptied
// too (a delete of every row reports no single row). Does nothing for a
// register without the index. Runs in the caller's transaction, if any.
// Raises EDatabaseError.
void RenewDays(sqlite3* db, const std::vector<std::int64_t>& ids);

// Brings the day index in step with records that another program added or
// deleted (the program's own writes keep it in step as they go): when the
// numbers of rows or the largest record numbers differ, the records missing
// from either side are read again, in one transaction. A 来访 that another
// program changed is not seen. Raises EDatabaseError.
void ReconcileDayIndex(sqlite3* db);
