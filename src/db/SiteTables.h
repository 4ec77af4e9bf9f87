#pragma once
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <cstdint>
#include <optional>
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

// Makes the tables, in one short transaction; the records already in data
// are given their site ids by AddRecordsBeforeSiteMode. Does nothing when they
// exist. `gate` is this gate's name, the gate the records it adds come in by.
// Raises EDatabaseError with the engine's message.
void CreateSiteTables(sqlite3* db, const QString& gate = QString());

// Gives up to `limit` of the records that were in data when the tables were
// made a site id and an 'add' in the outbox, in a transaction of their own, so
// that a large register's first open in site mode never holds the desk's
// writes up for long. Returns whether records remain. Raises EDatabaseError.
bool AddRecordsBeforeSiteMode(sqlite3* db, int limit);

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

// --- For the sync worker -------------------------------------------------

// The eleven texts of a record after its number, 分类 to 日期, as the
// register holds them; a null QByteArray is SQL null.
using RecordTexts = QList<QByteArray>;
inline constexpr int kRecordTextCount = 11;
inline constexpr int kDepartureText = 8; // 离开

// The texts of record `number`, or nothing when data has no such row.
std::optional<RecordTexts> ReadRecordTexts(sqlite3* db, std::int64_t number);

// One change waiting in the outbox.
struct SiteOutboxEntry {
    std::int64_t seq = 0;
    QString changeId;
    QString kind; // add, modify, depart, delete, clear, delete_before
    std::int64_t recordNumber = 0;
    QString siteId;
    std::int64_t version = 0;
    RecordTexts texts;      // add, modify, depart
    QStringList deletedIds; // delete_before
};
// The oldest `limit` entries, in order.
QList<SiteOutboxEntry> ReadSiteOutbox(sqlite3* db, int limit);
int SiteOutboxSize(sqlite3* db);
void RemoveSiteOutboxEntry(sqlite3* db, std::int64_t seq);

// A value of site_state, or a null text.
QString SiteStateValue(sqlite3* db, const QString& key);
void SetSiteStateValue(sqlite3* db, const QString& key, const QString& value);

// The local record of a site id, or 0.
std::int64_t LocalRecordOf(sqlite3* db, const QString& siteId);

// A record as the site holds it, for applying a pulled change.
struct SiteRecord {
    QString siteId;
    RecordTexts texts;
    QString inGate;
    QString outGate;
    std::int64_t version = 1;
    std::int64_t sourceNumber = 0; // the 编号 at the gate it came in by, or 0
};
// Makes data and site_records hold `record`, without an outbox entry: an
// existing mapping is updated, an import of this gate's own row (in_gate =
// `gate`, source number of an unmapped local row) is mapped, anything else is
// inserted with a new record number. Returns the local record number when
// data changed, else 0.
std::int64_t ApplySiteRecord(sqlite3* db, const SiteRecord& record, const QString& gate);
// Removes the local records of these site ids; returns their local numbers.
QList<qint64> RemoveSiteRecords(sqlite3* db, const QStringList& siteIds);
// Re-keys a record after the site matched its add to an imported record.
void RekeySiteRecord(sqlite3* db, const QString& fromSiteId, const QString& toSiteId);

// A new gate's first fill: a register that holds no records and never pulled
// takes the site's records straight from the site's register, in order of
// their first change, rather than change by change. Its indexes are dropped
// while it fills (rows are only appended) and made again at the end; the
// changes after `seq` are then pulled as usual.
struct SiteFill {
    std::int64_t seq = 0;   // the site's last change when the fill began
    std::int64_t after = 0; // the order key of the last record filled
};
// The fill under way, if any.
std::optional<SiteFill> SiteFillState(sqlite3* db);
// Whether the register can begin a fill: no records, nothing pulled yet.
bool CanBeginSiteFill(sqlite3* db);
// Begins a fill at the site's change `seq`, in one transaction, when the
// register still can; returns the fill under way, if any.
std::optional<SiteFill> BeginSiteFill(sqlite3* db, std::int64_t seq);
// Appends these records (with site_records and their days), in one
// transaction with `after`, the order key of the last; returns their numbers.
QList<qint64> FillSiteRecords(sqlite3* db, const QList<SiteRecord>& records, std::int64_t after);
// Makes the dropped indexes again and marks the fill's changes as pulled.
void EndSiteFill(sqlite3* db);
