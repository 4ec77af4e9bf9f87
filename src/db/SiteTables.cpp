#include "db/SiteTables.h"
#include "db/DatabaseError.h"
#include "db/DayIndex.h"
#include "db/Sqlite.h"
#include "db/SqliteTransaction.h"
#include "db/VisitorPresence.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QUuid>
#include <algorithm>

namespace {

// The site_state key of the first record number not yet given a site id
// since site mode began; empty once all have been.
const char* const kAddedFromKey = "added_from";

// The site_state keys of a first fill (SiteFill) and of the statements of
// the indexes it dropped, a JSON array.
const char* const kFillSeqKey = "fill_seq";
const char* const kFillAfterKey = "fill_after";
const char* const kFillIndexesKey = "fill_indexes";
// The largest of the register's indexes at a million records fits.
constexpr int kIndexBuildCacheKiB = 256 * 1024;

const char* const kTextColumns = "分类, 姓名, 身份证, 手机, 电话, 来由, 地址, 来访, 离开, 备注, 日期";

QString newUuid() { return QUuid::createUuid().toString(QUuid::WithoutBraces); }

void bindText(SqliteStatement& s, int index, const QByteArray& value)
{
    const int rc = value.isNull() ? sqlite3_bind_null(s.get(), index)
                                  : sqlite3_bind_text(s.get(), index, value.constData(), static_cast<int>(value.size()),
                                                      SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        RaiseEngineError(sqlite3_db_handle(s.get()));
}

void bindText(SqliteStatement& s, int index, const QString& value)
{
    bindText(s, index, value.isNull() ? QByteArray() : value.toUtf8());
}

QByteArray columnBytes(const SqliteStatement& s, int i)
{
    if (sqlite3_column_type(s.get(), i) == SQLITE_NULL)
        return {};
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), i));
    return QByteArray(text ? text : "", sqlite3_column_bytes(s.get(), i));
}

QString columnNullableText(const SqliteStatement& s, int i)
{
    return sqlite3_column_type(s.get(), i) == SQLITE_NULL ? QString() : s.columnText(i);
}

RecordTexts readTexts(const SqliteStatement& s, int first)
{
    RecordTexts texts;
    for (int i = 0; i < kRecordTextCount; ++i)
        texts << columnBytes(s, first + i);
    return texts;
}

// What a record's texts other than its departure were, to tell a recorded
// departure from any other change.
QByteArray hashWithoutDeparture(const RecordTexts& texts)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (int i = 0; i < texts.size(); ++i) {
        if (i == kDepartureText)
            continue;
        const QByteArray& text = texts[i];
        hash.addData(text.isNull() ? QByteArray("N") : "T" + QByteArray::number(text.size()) + ":" + text);
    }
    return hash.result();
}

QString textsToJson(const RecordTexts& texts)
{
    QJsonArray array;
    for (const QByteArray& text : texts)
        array.append(text.isNull() ? QJsonValue() : QJsonValue(QString::fromUtf8(text)));
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

bool departureIsBlank(const QByteArray& departure) { return IsBlankDeparture(QString::fromUtf8(departure)); }

QJsonArray jsonArray(const QString& json) { return QJsonDocument::fromJson(json.toUtf8()).array(); }

const char* const kPutMapping = "INSERT OR REPLACE INTO site_records (record_number, site_id, in_gate, out_gate, "
                                "version, texts_hash, departure) VALUES (?, ?, ?, ?, ?, ?, ?)";

struct Mapping {
    QString siteId;
    std::int64_t version = 0;
    QByteArray textsHash;
    QByteArray departure;
};

std::optional<Mapping> mappingOf(sqlite3* db, std::int64_t number)
{
    SqliteStatement s(db, QStringLiteral("SELECT site_id, version, texts_hash, departure FROM site_records "
                                         "WHERE record_number = ?"));
    s.bindInt64(1, number);
    if (!s.step())
        return std::nullopt;
    return Mapping{s.columnText(0), s.columnInt64(1), columnBytes(s, 2), columnBytes(s, 3)};
}

void putMappingWith(SqliteStatement& s, std::int64_t number, const QString& siteId, const QString& inGate,
                    const QString& outGate, std::int64_t version, const RecordTexts& texts)
{
    s.bindInt64(1, number);
    bindText(s, 2, siteId);
    bindText(s, 3, inGate);
    bindText(s, 4, outGate);
    s.bindInt64(5, version);
    const QByteArray hash = hashWithoutDeparture(texts);
    sqlite3_bind_blob(s.get(), 6, hash.constData(), static_cast<int>(hash.size()), SQLITE_TRANSIENT);
    bindText(s, 7, texts[kDepartureText]);
    s.step();
    s.reset();
}

void putMapping(sqlite3* db, std::int64_t number, const QString& siteId, const QString& inGate, const QString& outGate,
                std::int64_t version, const RecordTexts& texts)
{
    SqliteStatement s(db, QString::fromLatin1(kPutMapping));
    putMappingWith(s, number, siteId, inGate, outGate, version, texts);
}

void putOutbox(sqlite3* db, const QString& kind, std::int64_t number, const QString& siteId, std::int64_t version,
               const QString& texts)
{
    SqliteStatement s(db, QStringLiteral("INSERT INTO site_outbox (change_id, kind, record_number, site_id, "
                                         "version, texts) VALUES (?, ?, ?, ?, ?, ?)"));
    bindText(s, 1, newUuid());
    bindText(s, 2, kind);
    if (number != 0)
        s.bindInt64(3, number);
    bindText(s, 4, siteId);
    if (version != 0)
        s.bindInt64(5, version);
    bindText(s, 6, texts);
    s.step();
}

void forgetMapping(sqlite3* db, std::int64_t number)
{
    SqliteStatement s(db, QStringLiteral("DELETE FROM site_records WHERE record_number = ?"));
    s.bindInt64(1, number);
    s.step();
}

bool dataIsEmpty(sqlite3* db)
{
    SqliteStatement s(db, QStringLiteral("SELECT NOT EXISTS (SELECT 1 FROM data)"));
    return s.step() && s.columnInt64(0) == 1;
}

void recordAdd(sqlite3* db, std::int64_t number, const RecordTexts& texts, const QString& gate)
{
    const QString siteId = newUuid();
    const bool departed = !departureIsBlank(texts[kDepartureText]);
    putMapping(db, number, siteId, gate, departed ? gate : QString(), 1, texts);
    putOutbox(db, QStringLiteral("add"), number, siteId, 0, textsToJson(texts));
}

void recordStatementWrite(sqlite3* db, std::vector<std::int64_t> ids)
{
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    if (dataIsEmpty(db) && ids.size() != 1) {
        // "清空": the whole register, as one change.
        SqliteStatement any(db, QStringLiteral("SELECT 1 FROM site_records LIMIT 1"));
        if (any.step()) {
            ExecuteStatements(db, "DELETE FROM site_records;");
            putOutbox(db, QStringLiteral("clear"), 0, QString(), 0, QString());
        }
        return;
    }
    const QString gate = SiteStateValue(db, QStringLiteral("gate"));
    for (const std::int64_t number : ids) {
        const std::optional<RecordTexts> texts = ReadRecordTexts(db, number);
        const std::optional<Mapping> known = mappingOf(db, number);
        if (texts && !known) {
            recordAdd(db, number, *texts, gate);
        } else if (!texts && known) {
            forgetMapping(db, number);
            putOutbox(db, QStringLiteral("delete"), number, known->siteId, 0, QString());
        } else if (texts && known) {
            const QByteArray& departure = (*texts)[kDepartureText];
            const bool sameOthers = hashWithoutDeparture(*texts) == known->textsHash;
            if (sameOthers && departure == known->departure)
                continue;
            const bool departs = sameOthers && departureIsBlank(known->departure) && !departureIsBlank(departure);
            // The version the site will have after this change, if it takes it.
            SqliteStatement update(db, QStringLiteral("UPDATE site_records SET version = ?, texts_hash = ?, "
                                                      "departure = ?, out_gate = CASE WHEN ? THEN ? ELSE out_gate "
                                                      "END WHERE record_number = ?"));
            update.bindInt64(1, known->version + 1);
            const QByteArray hash = hashWithoutDeparture(*texts);
            sqlite3_bind_blob(update.get(), 2, hash.constData(), static_cast<int>(hash.size()), SQLITE_TRANSIENT);
            bindText(update, 3, departure);
            update.bindInt64(4, departs ? 1 : 0);
            bindText(update, 5, gate);
            update.bindInt64(6, number);
            update.step();
            putOutbox(db, departs ? QStringLiteral("depart") : QStringLiteral("modify"), number, known->siteId,
                      known->version, textsToJson(*texts));
        }
    }
}

void recordOldRecordsDeleted(sqlite3* db, const std::vector<std::int64_t>& ids)
{
    QJsonArray siteIds;
    for (const std::int64_t number : ids) {
        if (const std::optional<Mapping> known = mappingOf(db, number)) {
            siteIds.append(known->siteId);
            forgetMapping(db, number);
        }
    }
    if (!siteIds.isEmpty())
        putOutbox(db, QStringLiteral("delete_before"), 0, QString(), 0,
                  QString::fromUtf8(QJsonDocument(siteIds).toJson(QJsonDocument::Compact)));
}

} // namespace

const QList<SiteSchemaObject>& SiteSchemaObjects()
{
    static const QList<SiteSchemaObject> objects = {
        {QStringLiteral("site_records"),
         QStringLiteral("CREATE TABLE site_records (record_number INTEGER PRIMARY KEY, site_id TEXT NOT NULL, "
                        "in_gate TEXT, out_gate TEXT, version INTEGER NOT NULL, texts_hash BLOB, departure TEXT)")},
        {QStringLiteral("site_records_by_site_id"),
         QStringLiteral("CREATE UNIQUE INDEX site_records_by_site_id ON site_records (site_id)")},
        {QStringLiteral("site_outbox"),
         QStringLiteral("CREATE TABLE site_outbox (seq INTEGER PRIMARY KEY AUTOINCREMENT, change_id TEXT NOT NULL, "
                        "kind TEXT NOT NULL, record_number INTEGER, site_id TEXT, version INTEGER, texts TEXT)")},
        {QStringLiteral("site_state"), QStringLiteral("CREATE TABLE site_state (key TEXT NOT NULL, value TEXT)")},
        {QStringLiteral("site_state_keys"), QStringLiteral("CREATE UNIQUE INDEX site_state_keys ON site_state (key)")},
    };
    return objects;
}

bool HoldsSiteTables(sqlite3* db)
{
    // Asked on every write. Once made, the tables stay for the life of the
    // handle (a file put in the register's place is opened on a new handle),
    // so a yes is kept with the handle.
    static const char* const kHeld = "vostrel.site_tables";
    if (sqlite3_get_clientdata(db, kHeld))
        return true;
    SqliteStatement s(db, QStringLiteral("SELECT 1 FROM main.sqlite_master WHERE type = 'table' AND name = "
                                         "'site_outbox'"));
    if (!s.step())
        return false;
    static char held = 1;
    sqlite3_set_clientdata(db, kHeld, &held, nullptr);
    return true;
}

void CreateSiteTables(sqlite3* db, const QString& gate)
{
    SqliteTransaction transaction(db, "BEGIN IMMEDIATE;");
    if (HoldsSiteTables(db))
        return;
    for (const SiteSchemaObject& object : SiteSchemaObjects())
        ExecuteStatements(db, object.statement.toUtf8().constData());
    SetSiteStateValue(db, QStringLiteral("gate"), gate);
    SetSiteStateValue(db, QString::fromLatin1(kAddedFromKey), QStringLiteral("1"));
    transaction.Commit();
}

bool AddRecordsBeforeSiteMode(sqlite3* db, int limit)
{
    SqliteTransaction transaction(db, "BEGIN IMMEDIATE;");
    const QString from = SiteStateValue(db, QString::fromLatin1(kAddedFromKey));
    if (from.isEmpty())
        return false;
    const QString gate = SiteStateValue(db, QStringLiteral("gate"));
    SqliteStatement read(db, QStringLiteral("SELECT 编号, %1 FROM data WHERE 编号 >= ? ORDER BY 编号 LIMIT ?")
                                 .arg(QString::fromUtf8(kTextColumns)));
    read.bindInt64(1, from.toLongLong());
    read.bindInt64(2, limit);
    int readRows = 0;
    std::int64_t last = 0;
    while (read.step()) {
        ++readRows;
        last = read.columnInt64(0);
        // Added or pulled since the tables were made: its add is there already.
        if (!mappingOf(db, last))
            recordAdd(db, last, readTexts(read, 1), gate);
    }
    const bool more = readRows == limit;
    SetSiteStateValue(db, QString::fromLatin1(kAddedFromKey), more ? QString::number(last + 1) : QString());
    transaction.Commit();
    return more;
}

void RecordSiteChanges(sqlite3* db, const std::vector<std::int64_t>& writtenIds, SiteWrite write)
{
    if (!HoldsSiteTables(db))
        return;
    if (write == SiteWrite::OldRecordsDeleted)
        recordOldRecordsDeleted(db, writtenIds);
    else
        recordStatementWrite(db, writtenIds);
}

QHash<qint64, QString> SiteInGates(sqlite3* db, const std::vector<std::int64_t>& recordNumbers)
{
    QHash<qint64, QString> gates;
    const bool site = HoldsSiteTables(db);
    std::optional<SqliteStatement> read;
    if (site)
        read.emplace(db, QStringLiteral("SELECT in_gate FROM site_records WHERE record_number = ?"));
    for (const std::int64_t number : recordNumbers) {
        QString gate;
        if (read) {
            read->bindInt64(1, number);
            if (read->step())
                gate = read->columnText(0);
            read->reset();
        }
        gates.insert(number, gate);
    }
    return gates;
}

std::optional<RecordTexts> ReadRecordTexts(sqlite3* db, std::int64_t number)
{
    SqliteStatement s(db, QStringLiteral("SELECT %1 FROM data WHERE 编号 = ?").arg(QString::fromUtf8(kTextColumns)));
    s.bindInt64(1, number);
    if (!s.step())
        return std::nullopt;
    return readTexts(s, 0);
}

QList<SiteOutboxEntry> ReadSiteOutbox(sqlite3* db, int limit)
{
    SqliteStatement s(db, QStringLiteral("SELECT seq, change_id, kind, record_number, site_id, version, texts "
                                         "FROM site_outbox ORDER BY seq LIMIT ?"));
    s.bindInt64(1, limit);
    QList<SiteOutboxEntry> entries;
    while (s.step()) {
        SiteOutboxEntry e;
        e.seq = s.columnInt64(0);
        e.changeId = s.columnText(1);
        e.kind = s.columnText(2);
        e.recordNumber = s.columnInt64(3);
        e.siteId = s.columnText(4);
        e.version = s.columnInt64(5);
        const QJsonArray texts = jsonArray(s.columnText(6));
        if (e.kind == QLatin1String("delete_before")) {
            for (const auto& v : texts)
                e.deletedIds << v.toString();
        } else {
            for (const auto& v : texts)
                e.texts << (v.isNull() ? QByteArray() : v.toString().toUtf8());
        }
        entries << e;
    }
    return entries;
}

int SiteOutboxSize(sqlite3* db)
{
    SqliteStatement s(db, QStringLiteral("SELECT count(*) FROM site_outbox"));
    return s.step() ? static_cast<int>(s.columnInt64(0)) : 0;
}

void RemoveSiteOutboxEntry(sqlite3* db, std::int64_t seq)
{
    SqliteStatement s(db, QStringLiteral("DELETE FROM site_outbox WHERE seq = ?"));
    s.bindInt64(1, seq);
    s.step();
}

QString SiteStateValue(sqlite3* db, const QString& key)
{
    SqliteStatement s(db, QStringLiteral("SELECT value FROM site_state WHERE key = ?"));
    bindText(s, 1, key);
    return s.step() ? columnNullableText(s, 0) : QString();
}

void SetSiteStateValue(sqlite3* db, const QString& key, const QString& value)
{
    SqliteStatement s(db, QStringLiteral("INSERT OR REPLACE INTO site_state (key, value) VALUES (?, ?)"));
    bindText(s, 1, key);
    bindText(s, 2, value);
    s.step();
}

std::int64_t LocalRecordOf(sqlite3* db, const QString& siteId)
{
    SqliteStatement s(db, QStringLiteral("SELECT record_number FROM site_records WHERE site_id = ?"));
    bindText(s, 1, siteId);
    return s.step() ? s.columnInt64(0) : 0;
}

std::int64_t ApplySiteRecord(sqlite3* db, const SiteRecord& record, const QString& gate)
{
    {
        // The gate's own change of the record is still to be pushed; the
        // site's answer to it decides.
        SqliteStatement pending(db, QStringLiteral("SELECT 1 FROM site_outbox WHERE site_id = ? LIMIT 1"));
        bindText(pending, 1, record.siteId);
        if (pending.step())
            return 0;
    }
    std::int64_t number = LocalRecordOf(db, record.siteId);
    if (number == 0 && record.inGate == gate && record.sourceNumber != 0 && ReadRecordTexts(db, record.sourceNumber)) {
        // An import of this gate's own register: its row is this record,
        // whether or not the gate's own add of it is still to be pushed.
        const std::optional<Mapping> known = mappingOf(db, record.sourceNumber);
        SqliteStatement pendingAdd(db, QStringLiteral("SELECT 1 FROM site_outbox WHERE kind = 'add' AND site_id = ?"));
        bindText(pendingAdd, 1, known ? known->siteId : QString());
        if (!known || pendingAdd.step()) {
            number = record.sourceNumber;
            if (known)
                RekeySiteRecord(db, known->siteId, record.siteId);
        }
    }
    const std::optional<RecordTexts> local = number != 0 ? ReadRecordTexts(db, number) : std::nullopt;
    std::int64_t changed = 0;
    if (!local) {
        SqliteStatement insert(db, QStringLiteral("INSERT INTO data (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                                       .arg(QString::fromUtf8(kTextColumns)));
        for (int i = 0; i < kRecordTextCount; ++i)
            bindText(insert, i + 1, record.texts.value(i));
        insert.step();
        number = sqlite3_last_insert_rowid(db);
        changed = number;
    } else if (*local != record.texts) {
        SqliteStatement update(db, QStringLiteral("UPDATE data SET 分类 = ?, 姓名 = ?, 身份证 = ?, 手机 = ?, 电话 = ?, "
                                                  "来由 = ?, 地址 = ?, 来访 = ?, 离开 = ?, 备注 = ?, 日期 = ? "
                                                  "WHERE 编号 = ?"));
        for (int i = 0; i < kRecordTextCount; ++i)
            bindText(update, i + 1, record.texts.value(i));
        update.bindInt64(kRecordTextCount + 1, number);
        update.step();
        changed = number;
    }
    putMapping(db, number, record.siteId, record.inGate, record.outGate, record.version, record.texts);
    return changed;
}

QList<qint64> RemoveSiteRecords(sqlite3* db, const QStringList& siteIds)
{
    QList<qint64> removed;
    SqliteStatement remove(db, QStringLiteral("DELETE FROM data WHERE 编号 = ?"));
    for (const QString& siteId : siteIds) {
        const std::int64_t number = LocalRecordOf(db, siteId);
        if (number == 0)
            continue;
        remove.bindInt64(1, number);
        remove.step();
        remove.reset();
        forgetMapping(db, number);
        removed << number;
    }
    return removed;
}

void RekeySiteRecord(sqlite3* db, const QString& fromSiteId, const QString& toSiteId)
{
    SqliteStatement s(db, QStringLiteral("UPDATE site_records SET site_id = ? WHERE site_id = ?"));
    bindText(s, 1, toSiteId);
    bindText(s, 2, fromSiteId);
    s.step();
    SqliteStatement outbox(db, QStringLiteral("UPDATE site_outbox SET site_id = ? WHERE site_id = ?"));
    bindText(outbox, 1, toSiteId);
    bindText(outbox, 2, fromSiteId);
    outbox.step();
}

std::optional<SiteFill> SiteFillState(sqlite3* db)
{
    const QString seq = SiteStateValue(db, QString::fromLatin1(kFillSeqKey));
    if (seq.isEmpty())
        return std::nullopt;
    return SiteFill{seq.toLongLong(), SiteStateValue(db, QString::fromLatin1(kFillAfterKey)).toLongLong()};
}

bool CanBeginSiteFill(sqlite3* db)
{
    return SiteStateValue(db, QStringLiteral("last_seq")).isEmpty() && !SiteFillState(db) && dataIsEmpty(db);
}

std::optional<SiteFill> BeginSiteFill(sqlite3* db, std::int64_t seq)
{
    SqliteTransaction transaction(db, "BEGIN IMMEDIATE;");
    if (const std::optional<SiteFill> fill = SiteFillState(db))
        return fill;
    if (!CanBeginSiteFill(db))
        return std::nullopt;
    // Every index the appended rows would write at places of its own.
    QJsonArray statements;
    QStringList names;
    {
        SqliteStatement indexes(db, QStringLiteral("SELECT name, sql FROM main.sqlite_master WHERE type = 'index' "
                                                   "AND sql IS NOT NULL AND tbl_name IN ('data', 'visit_days', "
                                                   "'site_records') ORDER BY name"));
        while (indexes.step()) {
            names << indexes.columnText(0);
            statements.append(indexes.columnText(1));
        }
    }
    for (const QString& name : names)
        ExecuteStatements(db, ("DROP INDEX \"" + name.toUtf8() + "\";").constData());
    SetSiteStateValue(db, QString::fromLatin1(kFillIndexesKey),
                      QString::fromUtf8(QJsonDocument(statements).toJson(QJsonDocument::Compact)));
    SetSiteStateValue(db, QString::fromLatin1(kFillSeqKey), QString::number(seq));
    SetSiteStateValue(db, QString::fromLatin1(kFillAfterKey), QStringLiteral("0"));
    transaction.Commit();
    return SiteFill{seq, 0};
}

QList<qint64> FillSiteRecords(sqlite3* db, const QList<SiteRecord>& records, std::int64_t after)
{
    SqliteTransaction transaction(db, "BEGIN IMMEDIATE;");
    SqliteStatement insert(db, QStringLiteral("INSERT INTO data (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                                   .arg(QString::fromUtf8(kTextColumns)));
    SqliteStatement mapping(db, QString::fromLatin1(kPutMapping));
    QList<qint64> numbers;
    numbers.reserve(records.size());
    for (const SiteRecord& record : records) {
        for (int i = 0; i < kRecordTextCount; ++i)
            bindText(insert, i + 1, record.texts.value(i));
        insert.step();
        insert.reset();
        const std::int64_t number = sqlite3_last_insert_rowid(db);
        putMappingWith(mapping, number, record.siteId, record.inGate, record.outGate, record.version, record.texts);
        numbers << number;
    }
    RenewDays(db, std::vector<std::int64_t>(numbers.begin(), numbers.end()));
    SetSiteStateValue(db, QString::fromLatin1(kFillAfterKey), QString::number(after));
    transaction.Commit();
    return numbers;
}

void EndSiteFill(sqlite3* db)
{
    const std::optional<SiteFill> fill = SiteFillState(db);
    if (!fill)
        return;
    // Each index in a transaction of its own, built in a cache that holds
    // it: the desk reads on meanwhile and waits only for each commit. A
    // login makes the look-up indexes again meanwhile: those stay.
    const LargerCache cache(db, kIndexBuildCacheKiB);
    for (const auto& statement : jsonArray(SiteStateValue(db, QString::fromLatin1(kFillIndexesKey)))) {
        QString sql = statement.toString();
        sql.replace(QRegularExpression(QStringLiteral("^CREATE (UNIQUE )?INDEX ")),
                    QStringLiteral("CREATE \\1INDEX IF NOT EXISTS "));
        SqliteTransaction transaction(db, "BEGIN IMMEDIATE;");
        ExecuteStatements(db, sql.toUtf8().constData());
        transaction.Commit();
    }
    SqliteTransaction transaction(db, "BEGIN IMMEDIATE;");
    SetSiteStateValue(db, QStringLiteral("last_seq"), QString::number(fill->seq));
    for (const char* key : {kFillSeqKey, kFillAfterKey, kFillIndexesKey}) {
        SqliteStatement forget(db, QStringLiteral("DELETE FROM site_state WHERE key = ?"));
        bindText(forget, 1, QString::fromLatin1(key));
        forget.step();
    }
    transaction.Commit();
}
