#include "db/Sqlite.h"
#include "db/DatabaseError.h"
#include "db/StoreMessages.h"

#include <QMutex>
#include <QSet>

#include <utility>

namespace {

QMutex damagedMutex;
QSet<const sqlite3*> damagedHandles;

// A page whose check fails reads as "out of memory" from the cipher, and
// every later read of the handle fails the same way; the engine itself
// reports a damaged structure as corrupt. ("Not a database" stays the
// engine's: it is also what a wrong key reads.)
bool isDamage(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_NOMEM || primary == SQLITE_CORRUPT;
}

// The message of the failure `rc` on db, marking db as damaged when it is.
QString engineMessage(sqlite3* db, int rc, const char* detail = nullptr)
{
    if (db && isDamage(rc)) {
        const QMutexLocker lock(&damagedMutex);
        damagedHandles.insert(db);
        return StoreMessages::RegisterDamaged();
    }
    return QString::fromUtf8(detail ? detail : db ? sqlite3_errmsg(db) : "out of memory");
}

} // namespace

void RaiseEngineError(sqlite3* db) { throw EDatabaseError(engineMessage(db, db ? sqlite3_errcode(db) : SQLITE_OK)); }

bool TakeDamageMark(const sqlite3* db)
{
    const QMutexLocker lock(&damagedMutex);
    return damagedHandles.remove(db);
}

void ExecuteStatements(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString message = engineMessage(db, rc, error);
        sqlite3_free(error);
        throw EDatabaseError(message);
    }
}

SqliteStatement::SqliteStatement(sqlite3* db, const QString& sql) : db_(db)
{
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &stmt_, &tail) != SQLITE_OK)
        RaiseEngineError(db);
    if (!stmt_)
        throw EDatabaseError(QStringLiteral("empty statement"));
    const QByteArray rest = QByteArray(tail, static_cast<qsizetype>(utf8.constData() + utf8.size() - tail)).trimmed();
    if (!rest.isEmpty() && rest != ";") {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw EDatabaseError(QStringLiteral("only one statement may be sent at a time"));
    }
}

SqliteStatement::~SqliteStatement()
{
    if (stmt_)
        sqlite3_finalize(stmt_);
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), stmt_(std::exchange(other.stmt_, nullptr))
{}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept
{
    if (this != &other) {
        if (stmt_)
            sqlite3_finalize(stmt_);
        db_ = std::exchange(other.db_, nullptr);
        stmt_ = std::exchange(other.stmt_, nullptr);
    }
    return *this;
}

void SqliteStatement::bindTexts(const QStringList& values)
{
    if (values.size() != sqlite3_bind_parameter_count(stmt_))
        throw EDatabaseError(QStringLiteral("statement parameters do not match its values"));
    for (int i = 0; i < values.size(); ++i) {
        const QByteArray utf8 = values[i].toUtf8();
        if (sqlite3_bind_text(stmt_, i + 1, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT)
            != SQLITE_OK)
            RaiseEngineError(db_);
    }
}

void SqliteStatement::bindInt64(int index, long long value)
{
    if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK)
        RaiseEngineError(db_);
}

bool SqliteStatement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const QString message = engineMessage(db_, rc);
    sqlite3_reset(stmt_);
    throw EDatabaseError(message);
}

void SqliteStatement::reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int SqliteStatement::columnCount() const { return sqlite3_column_count(stmt_); }

QString SqliteStatement::columnName(int i) const { return QString::fromUtf8(sqlite3_column_name(stmt_, i)); }

QString SqliteStatement::columnText(int i) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt_, i)) : QString();
}

long long SqliteStatement::columnInt64(int i) const { return sqlite3_column_int64(stmt_, i); }

void HardenHandle(sqlite3* db)
{
    const int settings[][2] = {{SQLITE_DBCONFIG_DEFENSIVE, 1},
                               {SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0},
                               {SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0},
                               {SQLITE_DBCONFIG_ENABLE_TRIGGER, 0},
                               {SQLITE_DBCONFIG_ENABLE_VIEW, 0},
                               {SQLITE_DBCONFIG_DQS_DML, 0},
                               {SQLITE_DBCONFIG_DQS_DDL, 0}};
    for (const auto& [option, value] : settings) {
        int now = -1;
        if (sqlite3_db_config(db, option, value, &now) != SQLITE_OK || now != value)
            throw EDatabaseError(QStringLiteral("the register engine refused a safety setting"));
    }
}

LargerCache::LargerCache(sqlite3* db, int kibibytes) : db_(db)
{
    SqliteStatement read(db, QStringLiteral("PRAGMA main.cache_size"));
    if (read.step())
        previous_ = read.columnInt64(0);
    ExecuteStatements(db, ("PRAGMA main.cache_size = -" + QByteArray::number(kibibytes) + ";").constData());
}

LargerCache::~LargerCache()
{
    const QByteArray restore = "PRAGMA main.cache_size = " + QByteArray::number(previous_) + ";";
    sqlite3_exec(db_, restore.constData(), nullptr, nullptr, nullptr);
}
