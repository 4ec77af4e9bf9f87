#include "records/OldRecords.h"
#include "db/RegisterConnection.h"
#include "db/Sqlite.h"
#include "db/SqliteTransaction.h"
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
    SqliteTransaction deletion(db, "BEGIN IMMEDIATE;");
    connection.noteWrite();
    {
        SqliteStatement remove(db, QStringLiteral("DELETE FROM data WHERE 编号 = ?"));
        for (std::int64_t id : ids) {
            remove.bindInt64(1, id);
            remove.step();
            remove.reset();
        }
    }
    deletion.Commit();
}
