#include "db/VisitorPresence.h"
#include "db/RegisterConnection.h"
#include "db/Sqlite.h"

SqlLine OnSiteListing()
{
    return SqlLine(SqlSelect{"Select ", kListedColumns, " from ", "data"})
           + SqlWhere{" where 离开 is null or 离开 = ''"};
}

DepartureOutcome RecordDeparture(TRegisterConnection& connection, qint64 number, const QString& departureTime)
{
    sqlite3* db = connection.handle();
    {
        SqliteStatement update(
            db, QStringLiteral("UPDATE data SET 离开 = ?1 WHERE 编号 = ?2 AND (离开 is null or 离开 = '')"));
        const QByteArray time = departureTime.toUtf8();
        if (sqlite3_bind_text(update.get(), 1, time.constData(), static_cast<int>(time.size()), SQLITE_TRANSIENT)
            != SQLITE_OK)
            RaiseEngineError(db);
        update.bindInt64(2, number);
        connection.noteWrite();
        update.step();
        if (sqlite3_changes(db) == 1)
            return {DepartureOutcome::Recorded, departureTime};
    }
    SqliteStatement read(db, QStringLiteral("SELECT 离开 FROM data WHERE 编号 = ?1"));
    read.bindInt64(1, number);
    if (!read.step())
        return {DepartureOutcome::NoRecord, QString()};
    return {DepartureOutcome::AlreadyLeft, read.columnText(0)};
}
