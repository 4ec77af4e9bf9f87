#include "records/OldRecords.h"
#include "db/RegisterConnection.h"
#include "db/Sqlite.h"
#include "visitors/RecordDate.h"

#include <QString>

TOldRecords FindRecordsBefore(TRegisterConnection& connection, const QDate& day, const TRecordDateReader& reader)
{
    TOldRecords old;
    SqliteStatement select(connection.handle(), QStringLiteral("SELECT 编号, 日期 FROM data ORDER BY 编号"));
    while (select.step()) {
        const std::optional<QDate> date = reader.dateOf(select.columnText(1));
        if (!date)
            ++old.unreadable;
        else if (*date < day)
            old.ids.push_back(select.columnInt64(0));
    }
    return old;
}

void DeleteRecords(TRegisterConnection& connection, const std::vector<std::int64_t>& ids)
{
    sqlite3* db = connection.handle();
    if (sqlite3_exec(db, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr) != SQLITE_OK)
        RaiseEngineError(db);
    connection.noteWrite();
    try {
        SqliteStatement remove(db, QStringLiteral("DELETE FROM data WHERE 编号 = ?"));
        for (std::int64_t id : ids) {
            remove.bindInt64(1, id);
            remove.step();
            remove.reset();
        }
        if (sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK)
            RaiseEngineError(db);
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
        throw;
    }
}
