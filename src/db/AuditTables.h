#pragma once
#include <QString>
#include <QStringList>

struct sqlite3;

// The tables of the audit trail (src/audit): audit_trail, the rows appended
// one after another, each chained to the one before by its hash, and
// audit_head, one row keeping how many rows the trail holds and the hash of
// the last, so that a removed last row shows too. Step 3 of the upgrade path
// (db/RegisterUpgrade.h) makes them, with the indexes the trail's window
// pages through.

// The statements that make the tables and their indexes, as the register's
// schema keeps them (without "if not exists"), by object name.
struct AuditSchemaObject {
    QString name;
    QString statement;
};
const QList<AuditSchemaObject>& AuditSchemaObjects();

// True when the register open on `db` holds the tables. Raises EDatabaseError.
bool HasAuditTables(sqlite3* db);

// Step 3 of the upgrade path: makes whichever of the tables and indexes are
// missing. Raises EDatabaseError with the engine's message.
void CreateAuditTables(sqlite3* db);
