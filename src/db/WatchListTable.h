#pragma once
#include <QString>

struct sqlite3;

// The watch list's table, the program's own: one row an entry, its number the
// row's key; every text column holds the entry as typed.
inline constexpr const char* kWatchListTable = "watch_list";

// The statement that makes the table, as the register's schema keeps it.
const QString& WatchListTableStatement();

// A step of the register's upgrade path (db/RegisterUpgrade.h): makes the
// table. Raises EDatabaseError with the engine's message.
void CreateWatchListTable(sqlite3* db);
