#pragma once
// The register engine: SQLite with page encryption.
#ifndef SQLITE_HAS_CODEC
#define SQLITE_HAS_CODEC 1
#endif
#include <sqlite3.h>

#include <QString>
#include <QStringList>

class SqliteStatement {
public:
    SqliteStatement() = default;
    // Prepares one statement; raises EDatabaseError with the engine's message.
    SqliteStatement(sqlite3* db, const QString& sql);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    void bindTexts(const QStringList& values);
    void bindInt64(int index, long long value);
    // True while a row is available; raises on an engine error.
    bool step();
    void reset();
    int columnCount() const;
    QString columnName(int i) const;
    QString columnText(int i) const; // null reads as empty
    long long columnInt64(int i) const;
    sqlite3_stmt* get() const { return stmt_; }

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
};

// Raises EDatabaseError with the engine's current message for db. A failure
// that means the file is damaged raises StoreMessages::RegisterDamaged() and
// marks the handle damaged, as every failure raised here does.
[[noreturn]] void RaiseEngineError(sqlite3* db);

// True, once, when a failure on db since the last call meant a damaged file:
// the handle reads nothing more and has to be opened again.
bool TakeDamageMark(const sqlite3* db);

// Sets the page cache of db's register to `kibibytes` for the life of the
// object, for work that writes many pages at places of their own.
class LargerCache {
public:
    LargerCache(sqlite3* db, int kibibytes);
    ~LargerCache();
    LargerCache(const LargerCache&) = delete;
    LargerCache& operator=(const LargerCache&) = delete;

private:
    sqlite3* db_;
    long long previous_ = -2000;
};

// Runs statements without parameters or result rows, one after another;
// raises EDatabaseError with the engine's message at the first that fails.
void ExecuteStatements(sqlite3* db, const char* sql);

// A register file is untrusted input: no schema of a file may run functions
// with side effects, nothing may write the schema itself or load code, and
// views and triggers, which the register never has, do not run. Call before
// the first statement of a handle; raises EDatabaseError if the engine
// refused a setting.
void HardenHandle(sqlite3* db);
