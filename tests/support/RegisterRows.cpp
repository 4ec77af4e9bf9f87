#include "RegisterRows.h"

#include "db/DatabaseError.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/Sqlite.h"

#include <QFile>

QStringList RegisterRows(const QString& path, const QString& dataColumns)
{
    QStringList rows;
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    bool keyed = true;
    try {
        KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword));
    } catch (const EDatabaseError&) {
        keyed = false;
    }
    if (keyed) {
        SqliteStatement data(db, QStringLiteral("SELECT %1 FROM data ORDER BY 编号").arg(dataColumns));
        while (data.step()) {
            QStringList values;
            for (int i = 0; i < data.columnCount(); ++i)
                values << data.columnText(i);
            rows << values.join(QLatin1Char('|'));
        }
        SqliteStatement pass(db, QStringLiteral("SELECT 密码 FROM Pass"));
        while (pass.step())
            rows << QStringLiteral("Pass ") + pass.columnText(0);
    }
    sqlite3_close(db);
    return rows;
}
