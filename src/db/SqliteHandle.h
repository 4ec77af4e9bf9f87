#pragma once
#include <QByteArray>

struct sqlite3;

// Owns one handle on the engine: opened by the constructor, closed with the
// object, so a failure after the open never leaks it.
class SqliteHandle {
public:
    // Opens `name` (sqlite3_open_v2's file name and flags); raises
    // EDatabaseError with the engine's message, the handle closed.
    SqliteHandle(const QByteArray& name, int flags);
    ~SqliteHandle();
    SqliteHandle(SqliteHandle&& other) noexcept;
    SqliteHandle& operator=(SqliteHandle&& other) noexcept;
    SqliteHandle(const SqliteHandle&) = delete;
    SqliteHandle& operator=(const SqliteHandle&) = delete;

    sqlite3* get() const { return db_; }
    // Hands the open handle to the caller, who closes it from now on.
    sqlite3* release();

private:
    sqlite3* db_ = nullptr;
};
