#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>
#include <functional>
#include <vector>

struct sqlite3;

// Rows of the audit trail in the register (tables: db/AuditTables.h). Each
// row's hash is SHA-256 over the hash of the row before it and the row's own
// fields, and audit_head keeps the number of rows and the last hash, so a row
// changed, removed or put in between afterwards breaks the chain.

// What an event leaves: the record number or the count it concerns, and a
// short detail. Never an identity or mobile number.
struct TAuditEntry {
    QString event;
    QString subject;
    QString detail;
};

struct TAuditRow {
    qint64 seq = 0; // 1 for the first row
    QString at;     // local time, "yyyy-MM-dd HH:mm:ss"
    TAuditEntry entry;
};

// The time as rows keep it.
QString AuditTimeText(const QDateTime& time);

// The hash of row `seq` following a row whose hash is `previousHash` (empty
// before the first row), as lower-case hexadecimal.
QString AuditRowHash(const QString& previousHash, qint64 seq, const QString& at, const TAuditEntry& entry);

// Appends a row to the trail of the register open on `db`, inside the
// transaction open there, or in one of its own when none is. Raises
// EDatabaseError with the engine's message.
void AppendAuditRow(sqlite3* db, const QDateTime& at, const TAuditEntry& entry);

// The outcome of checking the chain: intact, with `rows` rows; or broken, the
// rows up to `lastIntact` checking out and what follows not.
struct TAuditVerification {
    bool intact = true;
    qint64 rows = 0;
    qint64 lastIntact = 0;
    QString lastHash; // of the last row, when intact: a copy kept elsewhere anchors the trail
};
// Reads the whole trail. Raises EDatabaseError.
TAuditVerification VerifyAuditTrail(sqlite3* db);

// Which rows the window shows: one event (empty: all) and the days from
// `from` to `to`, both included (an invalid date leaves that end open).
struct TAuditFilter {
    QString event;
    QDate from;
    QDate to;
};

// Up to `limit` rows of the filter numbered below `beforeSeq`, newest first.
// Raises EDatabaseError.
std::vector<TAuditRow> ReadAuditPage(sqlite3* db, const TAuditFilter& filter, qint64 beforeSeq, int limit);

// Passes every row of the filter to `visit`, newest first, page by page,
// until it returns false. Raises EDatabaseError.
void ForEachAuditRow(sqlite3* db, const TAuditFilter& filter, const std::function<bool(const TAuditRow&)>& visit);
