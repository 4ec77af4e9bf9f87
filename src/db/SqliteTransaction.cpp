#include "db/SqliteTransaction.h"
#include "db/Sqlite.h"

SqliteTransaction::SqliteTransaction(sqlite3* db, const char* begin) : db_(db) { ExecuteStatements(db_, begin); }

SqliteTransaction::~SqliteTransaction()
{
    // A failed statement may have ended the transaction already; rolling
    // back then is a harmless no-op.
    if (open_ && !sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK;", nullptr, nullptr, nullptr);
}

void SqliteTransaction::Commit()
{
    ExecuteStatements(db_, "COMMIT;");
    open_ = false;
}
