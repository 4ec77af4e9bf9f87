#pragma once

struct sqlite3;

// The program's own additions to a register are made by numbered steps, one
// per version, and the register records in PRAGMA user_version the last step
// it holds (0: none). The tables data and Pass are never touched.
//   1 - the look-up indexes (db/LookupIndexes.h)
//   2 - the on-site index counting a departure of blanks as none
//   3 - the watch list's table (db/WatchListTable.h)
//   4 - the audit trail's tables (db/AuditTables.h)
//   5 - the day index (db/DayIndex.h)
inline constexpr int kRegisterVersion = 5;

// The version from which a register holds the watch list's table.
inline constexpr int kWatchListVersion = 3;
// The version whose step makes the audit trail's tables.
inline constexpr int kAuditTablesVersion = 4;
// The version from which a register holds the day index.
inline constexpr int kDayIndexVersion = 5;

// The version the register open on `db` holds. Raises EDatabaseError.
int RegisterVersion(sqlite3* db);

// Raises EDatabaseError, with a message for the guard, when the register open
// on `db` is of a newer version than this program knows. Reads only.
void RefuseNewerRegister(sqlite3* db);

// Brings the register open on `db` up to kRegisterVersion: each missing step
// runs in a transaction of its own, which records its version. A register
// already there is not written. Raises EDatabaseError; the steps done before
// the failing one stay done.
void UpgradeRegister(sqlite3* db);
