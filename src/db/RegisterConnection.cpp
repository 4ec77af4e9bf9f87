#include "RegisterConnection.h"
#include "ConnectionString.h"
#include "DatabaseError.h"
#include "LikeMatch.h"
#include "Sqlite.h"
#include "SqlStatement.h"

#include <QFileInfo>

namespace {

// Settings every handle on the register carries; the set-up tool writes the
// file with the same ones.
constexpr const char* kCipherPageSize = "PRAGMA cipher_page_size = 4096;";
constexpr int kBusyTimeoutMs = 1000;

} // namespace

QString KeyRegisterHandle(sqlite3* db, const QString& password)
{
    const QByteArray key = password.toUtf8();
    if (sqlite3_key(db, key.constData(), static_cast<int>(key.size())) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    char* error = nullptr;
    if (sqlite3_exec(db, kCipherPageSize, nullptr, nullptr, &error) != SQLITE_OK
        || sqlite3_exec(db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : sqlite3_errmsg(db));
        sqlite3_free(error);
        return message;
    }
    return {};
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
