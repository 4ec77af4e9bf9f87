#include "db/SearchIndex.h"
#include "db/DatabaseError.h"
#include "db/LikeMatch.h"
#include "db/RegisterConnection.h"
#include "db/SearchTable.h"
#include "db/SqlStatement.h"
#include "db/Sqlite.h"

#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>

namespace {

// Rows read per statement while loading: each statement holds the file's
// read lock only briefly, so the program's writes never wait long.
constexpr int kLoadChunk = 20000;
// More rows written than this since the last search are read anew as a whole.
constexpr std::size_t kRereadLimit = 5000;
constexpr int kLoadAttempts = 3;
constexpr int kLoadBusyTimeoutMs = 5000;
constexpr int kReadAttempts = 5;
constexpr int kReadRetryPauseMs = 100;

QByteArray columnList()
{
    QByteArray list;
    for (const char* name : TSearchTable::ColumnNames())
        list += QByteArray(", ") + name;
    return list;
}

// The cells of the current row of `statement`, from its column `first` on.
TSearchTable::Cells cellsOf(sqlite3_stmt* statement, int first)
{
    TSearchTable::Cells cells;
    for (std::size_t c = 0; c < TSearchTable::kColumns; ++c) {
        const int i = first + static_cast<int>(c);
        // The text like() is given: numbers as the engine writes them.
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
        if (text)
            cells[c] = std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, i)));
    }
    return cells;
}

} // namespace

struct TSearchIndex::Load {
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    std::unique_ptr<TSearchTable> table; // set before done, when the load succeeded

    void run(const QString& path, const QString& password);
};

namespace {

// Reads the searched columns of every row on a handle of its own.
std::unique_ptr<TSearchTable> readTable(const QString& path, const QString& password, const std::atomic<bool>& cancel)
{
    sqlite3* db = nullptr;
    const auto closeHandle = qScopeGuard([&] { sqlite3_close(db); });
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK)
        RaiseEngineError(db);
    KeyRegisterHandle(db, password);
    sqlite3_busy_timeout(db, kLoadBusyTimeoutMs);
    auto loaded = std::make_unique<TSearchTable>();
    SqliteStatement chunk(db, QString::fromUtf8("SELECT 编号" + columnList()
                                                + " FROM data WHERE 编号 > ? ORDER BY 编号 LIMIT "
                                                + QByteArray::number(kLoadChunk)));
    std::int64_t last = std::numeric_limits<std::int64_t>::min();
    for (bool more = true; more;) {
        if (cancel)
            return nullptr;
        chunk.reset();
        chunk.bindInt64(1, last);
        int rows = 0;
        while (chunk.step()) {
            last = chunk.columnInt64(0);
            loaded->put(last, cellsOf(chunk.get(), 1));
            ++rows;
        }
        more = rows == kLoadChunk;
    }
    loaded->shrinkToFit();
    return loaded;
}

} // namespace

void TSearchIndex::Load::run(const QString& path, const QString& password)
{
    // A register the program writes to row after row may keep the read
    // waiting past the busy timeout: the read is tried again a few times.
    for (int attempt = 0; attempt < kReadAttempts && !cancel; ++attempt) {
        try {
            table = readTable(path, password, cancel);
            break;
        } catch (const std::exception&) {
            // Searches go on scanning meanwhile.
            std::this_thread::sleep_for(std::chrono::milliseconds(kReadRetryPauseMs));
        }
    }
    done = true;
}

TSearchIndex::TSearchIndex(QString registerPath, QString password)
    : registerPath_(std::move(registerPath)), password_(std::move(password))
{}

TSearchIndex::~TSearchIndex() { detach(); }

void TSearchIndex::attach(sqlite3* db)
{
    detach();
    db_ = db;
    sqlite3_update_hook(db_, &TSearchIndex::onUpdate, this);
    try {
        startLoad();
    } catch (const std::exception&) {
        // The first search tries again.
    }
}

void TSearchIndex::detach()
{
    stopLoad();
    table_.reset();
    written_.clear();
    failedLoads_ = 0;
    if (!db_)
        return;
    sqlite3_update_hook(db_, nullptr, nullptr);
    db_ = nullptr;
}

void TSearchIndex::onUpdate(void* self, int, const char* database, const char* table, long long rowid)
{
    auto* index = static_cast<TSearchIndex*>(self);
    ++index->changesReported_;
    // Past the limit the rows are not kept: the copy is read anew anyway.
    if (std::strcmp(database, "main") == 0 && sqlite3_stricmp(table, "data") == 0
        && index->written_.size() <= kRereadLimit)
        index->written_.push_back(rowid);
}

std::pair<std::int64_t, std::int64_t> TSearchIndex::fileVersion()
{
    // The data version moves when another handle commits; the schema version
    // when a table is made anew, whose rows the hook reports under another name.
    SqliteStatement data(db_, QStringLiteral("PRAGMA data_version"));
    SqliteStatement schema(db_, QStringLiteral("PRAGMA schema_version"));
    return {data.step() ? data.columnInt64(0) : -1, schema.step() ? schema.columnInt64(0) : -1};
}

void TSearchIndex::startLoad()
{
    stopLoad();
    table_.reset();
    written_.clear();
    version_ = fileVersion();
    changesSeen_ = sqlite3_total_changes64(db_);
    changesReported_ = 0;
    load_ = std::make_shared<Load>();
    loader_ = std::thread([load = load_, path = registerPath_, password = password_] { load->run(path, password); });
}

void TSearchIndex::stopLoad()
{
    if (!loader_.joinable())
        return;
    load_->cancel = true;
    loader_.join();
    load_.reset();
}

void TSearchIndex::takeFinishedLoad()
{
    if (!load_ || !load_->done)
        return;
    if (loader_.joinable())
        loader_.join();
    if (load_->table)
        table_ = std::move(load_->table);
    else
        ++failedLoads_;
    load_.reset();
}

bool TSearchIndex::applyWrites()
{
    if (written_.empty())
        return true;
    if (written_.size() > kRereadLimit)
        return false;
    std::sort(written_.begin(), written_.end());
    written_.erase(std::unique(written_.begin(), written_.end()), written_.end());
    SqliteStatement row(db_, QString::fromUtf8("SELECT 1" + columnList() + " FROM data WHERE 编号 = ?"));
    for (const std::int64_t id : written_) {
        row.reset();
        row.bindInt64(1, id);
        if (row.step())
            table_->put(id, cellsOf(row.get(), 1));
        else
            table_->remove(id);
    }
    row.reset();
    written_.clear();
    return true;
}

bool TSearchIndex::inStep()
{
    if (!db_)
        return false;
    // Inside a transaction the rows written may yet be rolled back.
    if (!sqlite3_get_autocommit(db_))
        return false;
    takeFinishedLoad();
    if (!table_) {
        if (!load_ && failedLoads_ < kLoadAttempts)
            startLoad();
        return false;
    }
    // Another handle wrote, or this one changed rows without reporting them.
    const std::int64_t changes = sqlite3_total_changes64(db_);
    if (fileVersion() != version_ || changes - changesSeen_ > changesReported_ || !applyWrites()) {
        startLoad();
        return false;
    }
    changesSeen_ = changes;
    changesReported_ = 0;
    return true;
}

bool TSearchIndex::ready()
{
    try {
        return inStep();
    } catch (const std::exception&) {
        // A copy half brought up to date is read anew; the search scans.
        table_.reset();
        return false;
    }
}

bool TSearchIndex::waitUntilReady()
{
    // A copy found out of step starts a load, and a load found out of date
    // on arrival starts again.
    while (!ready()) {
        if (!loader_.joinable())
            return false;
        loader_.join();
    }
    return true;
}

std::size_t TSearchIndex::memoryBytes() const { return table_ ? table_->memoryBytes() : 0; }

std::optional<std::vector<std::int64_t>> TSearchIndex::select(const SqlPlainSelect& select,
                                                              const QStringList& parameters)
{
    // "where <column> like '%' || ? || '%'", as the search and the filter write it.
    static const QRegularExpression contains(
        QStringLiteral("^\\s*where\\s+(\\S+)\\s+like\\s+'%'\\s*\\|\\|\\s*\\?\\s*\\|\\|\\s*'%'\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    if (!db_)
        return std::nullopt;
    // The listing: every record.
    if (select.rest.trimmed().isEmpty() && parameters.isEmpty()) {
        if (!ready())
            return std::nullopt;
        return table_->allIds();
    }
    if (parameters.size() != 1)
        return std::nullopt;
    const QRegularExpressionMatch match = contains.match(select.rest);
    if (!match.hasMatch())
        return std::nullopt;
    const int column = TSearchTable::ColumnIndex(match.captured(1).toUtf8().toStdString());
    const QByteArray pattern = "%" + parameters.front().toUtf8() + "%";
    // The engine refuses a pattern this long: the scan raises its error.
    if (column < 0 || pattern.size() > sqlite3_limit(db_, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1)
        || pattern.contains('\0'))
        return std::nullopt;
    if (!ready())
        return std::nullopt;
    return table_->select(
        column, TLikePattern(std::string_view(pattern.constData(), static_cast<std::size_t>(pattern.size()))));
}
