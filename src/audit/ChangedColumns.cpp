#include "audit/ChangedColumns.h"
#include "db/Sqlite.h"

QStringList ChangedColumns(sqlite3* db, qint64 recordNumber, const QList<QPair<QString, QString>>& columnValues)
{
    QStringList columns;
    for (const auto& [column, value] : columnValues)
        columns << column;
    // The names are the program's own, never typed: quoted all the same.
    QStringList quoted;
    for (const QString& column : columns)
        quoted << QLatin1Char('"') + QString(column).replace(QLatin1Char('"'), QStringLiteral("\"\""))
                      + QLatin1Char('"');
    SqliteStatement read(db, QStringLiteral("SELECT ") + quoted.join(QLatin1Char(','))
                                 + QStringLiteral(" FROM data WHERE 编号 = ?"));
    read.bindInt64(1, recordNumber);
    QStringList changed;
    if (!read.step())
        return changed;
    for (int i = 0; i < columnValues.size(); ++i)
        if (read.columnText(i) != columnValues[i].second)
            changed << columns[i];
    return changed;
}
