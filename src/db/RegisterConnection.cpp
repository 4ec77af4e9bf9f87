#include "db/RegisterConnection.h"
#include "db/ConnectionString.h"
#include "db/DatabaseError.h"
#include "db/DayIndex.h"
#include "db/LikeMatch.h"
#include "db/RegisterSchema.h"
#include "db/SearchIndex.h"
#include "db/SiteTables.h"
#include "db/SqlStatement.h"
#include "db/Sqlite.h"
#include "db/SqliteHandle.h"
#include "db/SqliteTransaction.h"
#include "db/StoreMessages.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cstring>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr int kBusyTimeoutMs = 1000;

// Keys the handle with the register's cipher settings and reads the schema;
// raises EDatabaseError with the engine's message. Keying again resets what a
// failed read with another page size left in the cipher.
void readWithPageSize(sqlite3* db, const QByteArray& key, int pageSize)
{
    if (sqlite3_key(db, key.constData(), static_cast<int>(key.size())) != SQLITE_OK)
        RaiseEngineError(db);
    ExecuteStatements(db, CipherSettingsPragma(pageSize).constData());
    ReadRegisterSchema(db);
}

// The page size in the header of a journal that an interrupted change left
// beside the file, or 0. The first read rolls such a journal back, so it has to
// be read with the journal's page size.
int interruptedJournalPageSize(sqlite3* db)
{
    const char* name = sqlite3_db_filename(db, "main");
    if (!name || !*name)
        return 0;
    QFile journal(QFile::decodeName(name) + QStringLiteral("-journal"));
    if (!journal.open(QIODevice::ReadOnly))
        return 0;
    constexpr int kPageSizeOffset = 24;
    const QByteArray header = journal.read(kPageSizeOffset + 4);
    static const QByteArray magic("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
    if (header.size() < kPageSizeOffset + 4 || !header.startsWith(magic))
        return 0;
    return static_cast<int>(qFromBigEndian<quint32>(header.constData() + kPageSizeOffset));
}

// The largest record number is taken, by a record or by the AUTOINCREMENT
// counter, which never goes back.
bool recordNumbersExhausted(sqlite3* db)
{
    try {
        SqliteStatement largest(db, QStringLiteral("SELECT max(ifnull((SELECT max(seq) FROM sqlite_sequence WHERE "
                                                   "name = 'data'), 0), ifnull((SELECT max(编号) FROM data), 0))"));
        return largest.step() && largest.columnInt64(0) == std::numeric_limits<std::int64_t>::max();
    } catch (const EDatabaseError&) {
        return false;
    }
}

// The records of data a statement writes, told by the engine's update hook
// while the object lives; rows go on to the search index's hook as well.
class WrittenRecords {
public:
    explicit WrittenRecords(sqlite3* db) : db_(db)
    {
        forwardTo_ = sqlite3_update_hook(db_, &WrittenRecords::onUpdate, this);
    }
    ~WrittenRecords() { sqlite3_update_hook(db_, forwardTo_ ? &TSearchIndex::onUpdate : nullptr, forwardTo_); }
    WrittenRecords(const WrittenRecords&) = delete;
    WrittenRecords& operator=(const WrittenRecords&) = delete;

    const std::vector<std::int64_t>& ids() const { return ids_; }

private:
    static void onUpdate(void* self, int operation, const char* database, const char* table, long long rowid)
    {
        auto* written = static_cast<WrittenRecords*>(self);
        if (written->forwardTo_)
            TSearchIndex::onUpdate(written->forwardTo_, operation, database, table, rowid);
        if (std::strcmp(database, "main") == 0 && sqlite3_stricmp(table, "data") == 0)
            written->ids_.push_back(rowid);
    }

    sqlite3* db_;
    void* forwardTo_ = nullptr; // the search index, the one other hook on the handle
    std::vector<std::int64_t> ids_;
};

} // namespace

TRegisterConnection::FileIdentity TRegisterConnection::FileIdentity::Of(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true, static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

bool TRegisterConnection::FileIdentity::isSameFile(const QString& path) const
{
    const FileIdentity now = Of(path);
    return known && now.known && now.device == device && now.inode == inode;
}

QByteArray CipherSettingsPragma(int pageSize, const char* schema)
{
    const QByteArray prefix = schema ? QByteArray(schema) + "." : QByteArray();
    // Compatibility 3 first: it resets the page size to its own default.
    return "PRAGMA " + prefix + "cipher_compatibility = 3; PRAGMA " + prefix
           + "cipher_page_size = " + QByteArray::number(pageSize) + ";";
}

void KeyRegisterHandle(sqlite3* db, const QString& password)
{
    HardenHandle(db);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // A journal left by a change of this program has one of the register's
    // page sizes; rolling back any other would write a stranger's pages.
    const int journalPageSize = interruptedJournalPageSize(db);
    if (journalPageSize != 0 && journalPageSize != kRegisterPageSize && journalPageSize != kLegacyRegisterPageSize)
        throw EDatabaseError(QStringLiteral("the journal beside the register (_.udb-journal) was not written by this "
                                            "program; the register was not opened"));
    // An empty file takes the current page size; a register written with the
    // earlier, smaller pages is read with those until compaction rewrites it.
    const bool legacyFirst = journalPageSize == kLegacyRegisterPageSize;
    const QByteArray key = password.toUtf8();
    try {
        readWithPageSize(db, key, legacyFirst ? kLegacyRegisterPageSize : kRegisterPageSize);
    } catch (const ERegisterRefused&) {
        throw; // the key and the page size read the schema
    } catch (const EDatabaseError& first) {
        // The message of the first try is the one that tells.
        try {
            readWithPageSize(db, key, legacyFirst ? kRegisterPageSize : kLegacyRegisterPageSize);
        } catch (const EDatabaseError&) {
            throw first;
        }
    }
}

TRegisterConnection::TRegisterConnection(QObject* parent) : QObject(parent) {}

TRegisterConnection::~TRegisterConnection() { Close(); }

void TRegisterConnection::SetConnectionString(const QString& connectionString)
{
    Close();
    searchIndex_.reset();
    connectionString_ = connectionString;
}

sqlite3* TRegisterConnection::handle()
{
    // Another program's compaction or a restore puts a new file in the
    // register's place; a handle on the old one would read and write a file
    // nobody sees. A handle that met a damaged page reads nothing more.
    if (db_ && (TakeDamageMark(db_) || !openedFile_.isSameFile(dataSource_)))
        Close();
    if (!db_)
        open();
    return db_;
}

void TRegisterConnection::open()
{
    const ConnectionParts parts = ParseConnectionString(connectionString_);
    if (parts.dataSource.isEmpty())
        throw EDatabaseError(QStringLiteral("the connection string names no data source"));
    if (QFileInfo(parts.dataSource).isDir())
        throw EDatabaseError(QStringLiteral("unable to open database file: ") + parts.dataSource
                             + QStringLiteral(" is a folder"));
    // The program never creates the register: a missing file is an error.
    SqliteHandle db(parts.dataSource.toUtf8(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
    try {
        KeyRegisterHandle(db.get(), parts.password);
        CheckRegisterSchema(db.get());
        InstallLikeFunction(db.get());
    } catch (...) {
        TakeDamageMark(db.get());
        throw;
    }
    db_ = db.release();
    dataSource_ = parts.dataSource;
    openedFile_ = FileIdentity::Of(dataSource_);
    noteWrite();
    if (searchIndex_)
        searchIndex_->attach(db_);
}

void TRegisterConnection::EnableSearchIndex(bool enabled)
{
    if (!enabled) {
        searchIndex_.reset();
        return;
    }
    if (searchIndex_)
        return;
    const ConnectionParts parts = ParseConnectionString(connectionString_);
    searchIndex_ = std::make_unique<TSearchIndex>(parts.dataSource, parts.password);
    if (db_)
        searchIndex_->attach(db_);
}

void TRegisterConnection::Close()
{
    if (!db_)
        return;
    emit closing(); // queries finalise their statements before the handle goes
    TakeDamageMark(db_);
    if (searchIndex_)
        searchIndex_->detach();
    sqlite3_close(db_);
    db_ = nullptr;
    noteWrite();
}

void TRegisterConnection::Execute(const CompiledSql& sql)
{
    sqlite3* db = handle();
    SqliteStatement statement(db, sql.text);
    statement.bindTexts(sql.parameters);
    noteWrite();
    // The day index and the site's outbox change with the records, in the
    // same transaction. (A statement that writes nothing itself, BEGIN and
    // COMMIT among them, is left alone.) Whether the register holds them is
    // asked inside the transaction: the sync worker makes the site's tables
    // on a handle of its own, and a write must not slip between its making
    // them and this statement.
    const bool writes = !sqlite3_stmt_readonly(statement.get());
    std::optional<SqliteTransaction> transaction;
    if (writes && sqlite3_get_autocommit(db))
        transaction.emplace(db, "BEGIN IMMEDIATE;");
    const bool keepDays = writes && HoldsDayIndex(db);
    const bool keepSite = writes && HoldsSiteTables(db);
    try {
        WrittenRecords written(db);
        while (statement.step()) {}
        rowsChanged_ = sqlite3_changes64(db);
        if (keepDays)
            RenewDays(db, written.ids());
        if (keepSite)
            RecordSiteChanges(db, written.ids(), SiteWrite::Statement);
        if (transaction)
            transaction->Commit();
    } catch (const EDatabaseError&) {
        // The engine says "database or disk is full" also when an add finds
        // the record numbers used up, which no freeing of disk space mends.
        if ((sqlite3_errcode(db) & 0xff) == SQLITE_FULL && recordNumbersExhausted(db))
            throw EDatabaseError(StoreMessages::RecordNumbersExhausted());
        throw;
    }
}
