#include "RegisterConnection.h"
#include "ConnectionString.h"
#include "DatabaseError.h"
#include "LikeMatch.h"
#include "Sqlite.h"
#include "SqlStatement.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace {

constexpr int kBusyTimeoutMs = 1000;

// Sets the cipher page size and reads the schema; empty on success, else the
// engine's message.
QString readWithPageSize(sqlite3* db, int pageSize)
{
    const QByteArray pragma = CipherPageSizePragma(pageSize);
    char* error = nullptr;
    if (sqlite3_exec(db, pragma.constData(), nullptr, nullptr, &error) != SQLITE_OK
        || sqlite3_exec(db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : sqlite3_errmsg(db));
        sqlite3_free(error);
        return message;
    }
    return {};
}

// The page size in the header of a journal that an interrupted change left
// beside the file, or 0. The first read rolls such a journal back, and a read
// with another page size than the file's would overrun the engine's buffers.
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

} // namespace

QByteArray CipherPageSizePragma(int pageSize, const char* schema)
{
    const QByteArray prefix = schema ? QByteArray(schema) + "." : QByteArray();
    return "PRAGMA " + prefix + "cipher_page_size = " + QByteArray::number(pageSize) + ";";
}

QString KeyRegisterHandle(sqlite3* db, const QString& password)
{
    const QByteArray key = password.toUtf8();
    if (sqlite3_key(db, key.constData(), static_cast<int>(key.size())) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // An empty file takes the current page size; a register written with the
    // earlier, smaller pages is read with those until compaction rewrites it.
    const bool legacyFirst = interruptedJournalPageSize(db) == kLegacyRegisterPageSize;
    const QString error = readWithPageSize(db, legacyFirst ? kLegacyRegisterPageSize : kRegisterPageSize);
    if (error.isEmpty() || readWithPageSize(db, legacyFirst ? kRegisterPageSize : kLegacyRegisterPageSize).isEmpty())
        return {};
    return error;
}

TRegisterConnection::TRegisterConnection(QObject* parent) : QObject(parent) {}

TRegisterConnection::~TRegisterConnection() { Close(); }

void TRegisterConnection::SetConnectionString(const QString& connectionString)
{
    Close();
    connectionString_ = connectionString;
}

sqlite3* TRegisterConnection::handle()
{
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
        throw EDatabaseError(QStringLiteral("unable to open database file: ") + parts.dataSource + QStringLiteral(" is a folder"));
    sqlite3* db = nullptr;
    // The program never creates the register: a missing file is an error.
    const int rc = sqlite3_open_v2(parts.dataSource.toUtf8().constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        throw EDatabaseError(message);
    }
    const QString keyError = KeyRegisterHandle(db, parts.password);
    if (!keyError.isEmpty()) {
        sqlite3_close(db);
        throw EDatabaseError(keyError);
    }
    if (InstallLikeFunction(db) != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        throw EDatabaseError(message);
    }
    db_ = db;
    noteWrite();
}

void TRegisterConnection::Close()
{
    if (!db_)
        return;
    emit closing(); // queries finalise their statements before the handle goes
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
    while (statement.step()) {
    }
}
