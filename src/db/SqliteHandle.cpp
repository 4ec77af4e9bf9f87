#include "db/SqliteHandle.h"
#include "db/DatabaseError.h"
#include "db/Sqlite.h"

#include <utility>

SqliteHandle::SqliteHandle(const QByteArray& name, int flags)
{
    if (sqlite3_open_v2(name.constData(), &db_, flags, nullptr) != SQLITE_OK) {
        const QString message = QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : "out of memory");
        sqlite3_close(std::exchange(db_, nullptr));
        throw EDatabaseError(message);
    }
}

SqliteHandle::~SqliteHandle() { sqlite3_close(db_); }

SqliteHandle::SqliteHandle(SqliteHandle&& other) noexcept : db_(std::exchange(other.db_, nullptr)) {}

SqliteHandle& SqliteHandle::operator=(SqliteHandle&& other) noexcept
{
    if (this != &other) {
        sqlite3_close(db_);
        db_ = std::exchange(other.db_, nullptr);
    }
    return *this;
}

sqlite3* SqliteHandle::release() { return std::exchange(db_, nullptr); }
