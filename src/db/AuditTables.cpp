#include "db/AuditTables.h"
#include "db/Sqlite.h"

const QList<AuditSchemaObject>& AuditSchemaObjects()
{
    static const QList<AuditSchemaObject> objects = {
        {QStringLiteral("audit_trail"),
         QStringLiteral("CREATE TABLE audit_trail (seq INTEGER PRIMARY KEY, at TEXT NOT NULL, event TEXT NOT NULL, "
                        "subject TEXT NOT NULL, detail TEXT NOT NULL, hash TEXT NOT NULL)")},
        {QStringLiteral("audit_head"),
         QStringLiteral("CREATE TABLE audit_head (id INTEGER PRIMARY KEY, rows INTEGER NOT NULL, hash TEXT NOT NULL)")},
        {QStringLiteral("audit_trail_event"),
         QStringLiteral("CREATE INDEX audit_trail_event ON audit_trail (event, seq)")},
        {QStringLiteral("audit_trail_at"), QStringLiteral("CREATE INDEX audit_trail_at ON audit_trail (at)")},
    };
    return objects;
}

namespace {

bool objectExists(sqlite3* db, const QString& name)
{
    SqliteStatement s(db, QStringLiteral("SELECT 1 FROM main.sqlite_master WHERE name = ?"));
    s.bindTexts({name});
    return s.step();
}

} // namespace

bool HasAuditTables(sqlite3* db)
{
    return objectExists(db, QStringLiteral("audit_trail")) && objectExists(db, QStringLiteral("audit_head"));
}

void CreateAuditTables(sqlite3* db)
{
    for (const AuditSchemaObject& object : AuditSchemaObjects())
        if (!objectExists(db, object.name))
            ExecuteStatements(db, object.statement.toUtf8().constData());
}
