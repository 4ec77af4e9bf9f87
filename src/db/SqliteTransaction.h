#pragma once

struct sqlite3;

// One transaction on a handle: begun by the constructor, kept by Commit(),
// rolled back when the object goes without a commit, whether by an early
// return or an exception.
class SqliteTransaction {
public:
    // Runs `begin` ("BEGIN;", "BEGIN IMMEDIATE;"...); raises EDatabaseError
    // with the engine's message when the engine refuses it.
    explicit SqliteTransaction(sqlite3* db, const char* begin = "BEGIN;");
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    // Commits; raises EDatabaseError when the engine cannot, and the
    // transaction is then rolled back with the object.
    void Commit();

private:
    sqlite3* db_;
    bool open_ = true;
};
