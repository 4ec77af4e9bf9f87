#pragma once
#include <QHash>
#include <QList>
#include <QString>
#include <cstdint>
#include <vector>

struct sqlite3;

// The gate's own tables of a register in site mode (a gate file beside the
// program): what the sync needs beside data, which stays as it is.
//   site_records  one row a record of data: its site-wide id, the gates it
//                 came in and went out by, the version the gate last knew and
//                 what its texts were then (to tell a departure from a change)
//   site_outbox   the gate's changes not yet acknowledged by the server, in order
//   site_state    the sync's own values (last server change applied, ...)
// They are made at the first open in site mode, not by the upgrade path, and
// the schema check accepts them at any version, exactly as made here.

// The statements that make the tables and their indexes, as the register's
// schema keeps them (without "if not exists"), by object name.
struct SiteSchemaObject {
    QString name;
    QString statement;
};
const QList<SiteSchemaObject>& SiteSchemaObjects();

// True when the register open on `db` holds the tables. Raises EDatabaseError.
bool HoldsSiteTables(sqlite3* db);

// Makes the tables, in one transaction, and gives every record already in
// data a site id and an 'add' in the outbox. Does nothing when they exist.
// Raises EDatabaseError with the engine's message.
void CreateSiteTables(sqlite3* db);

// How the rows were written: by a statement of the desk, or by the deletion
// of old records (which travels as one change).
enum class SiteWrite { Statement, OldRecordsDeleted };

// Puts what the desk just wrote to the rows `writtenIds` of data into the
// outbox, in the caller's transaction: new rows are 'add', a departure
// recorded on an open visit 'depart', other changes 'modify', removed rows
// 'delete' (or one 'clear' when data was emptied, or one 'delete_before').
// Does nothing when the register holds no site tables. Raises EDatabaseError.
void RecordSiteChanges(sqlite3* db, const std::vector<std::int64_t>& writtenIds, SiteWrite write);

// The gate each record came in by ("" when unknown), for the on-site view.
QHash<qint64, QString> SiteInGates(sqlite3* db, const std::vector<std::int64_t>& recordNumbers);
