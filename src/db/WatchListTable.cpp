#include "db/WatchListTable.h"
#include "db/Sqlite.h"

const QString& WatchListTableStatement()
{
    static const QString statement =
        QStringLiteral("CREATE TABLE watch_list (编号 INTEGER PRIMARY KEY, 姓名 TEXT NOT NULL, 身份证 TEXT NOT NULL, "
                       "手机 TEXT NOT NULL, 原因 TEXT NOT NULL, 添加时间 TEXT NOT NULL)");
    return statement;
}

void CreateWatchListTable(sqlite3* db)
{
    // A register brought back to an older version by hand may hold it already.
    QString statement = WatchListTableStatement();
    statement.replace(QLatin1String("CREATE TABLE"), QLatin1String("CREATE TABLE IF NOT EXISTS"));
    ExecuteStatements(db, statement.toUtf8().constData());
}
