#pragma once
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

struct sqlite3;
struct SqlPlainSelect;
class TSearchTable;

// Answers the record list's searches and category filter ("<column> like
// '%keyword%'"), and its listing, from an in-memory copy of the searched
// columns instead of reading every page of the register.
//
// The copy is read on a background thread with a handle of its own after
// the register's handle is attached; until it is ready a search is left to
// the engine's scan. Every row the program's handle writes is read again
// before the next search; a write by any other handle, or one the index
// cannot follow, makes it read the copy anew, and the search in the meantime
// is left to the scan. The answer is always that of the scan.
class TSearchIndex {
public:
    // `registerPath` and `password` open the background handle.
    TSearchIndex(QString registerPath, QString password);
    ~TSearchIndex();
    TSearchIndex(const TSearchIndex&) = delete;
    TSearchIndex& operator=(const TSearchIndex&) = delete;

    // The program's handle on the register was opened: follows its writes
    // and starts reading the copy. Raises EDatabaseError.
    void attach(sqlite3* db);
    // The program's handle is about to close: stops following it.
    void detach();

    // Record numbers, ascending, of the rows `select` gives with `parameters`,
    // when it is a search the index answers and the copy is in step; nothing
    // when the caller has to scan.
    std::optional<std::vector<std::int64_t>> select(const SqlPlainSelect& select, const QStringList& parameters);

    // Whether the copy is loaded and in step; takes over a finished load.
    bool ready();
    // Waits for a load under way (for measurements and tests); returns ready().
    bool waitUntilReady();
    std::size_t memoryBytes() const;

    // The update hook attach() installs; whoever puts a hook of its own on
    // the handle for a while hands every row on to it.
    static void onUpdate(void* self, int operation, const char* database, const char* table, long long rowid);

private:
    struct Load;
    void startLoad();
    void stopLoad();
    void takeFinishedLoad();
    bool inStep();
    bool applyWrites();
    std::pair<std::int64_t, std::int64_t> fileVersion();

    QString registerPath_;
    QString password_;
    sqlite3* db_ = nullptr;

    std::unique_ptr<TSearchTable> table_;
    std::shared_ptr<Load> load_;
    std::thread loader_;
    int failedLoads_ = 0;

    // Where the copy stands: the file's data and schema versions and the
    // handle's change count when the load began, and the rows written since.
    std::pair<std::int64_t, std::int64_t> version_;
    std::int64_t changesSeen_ = 0;
    std::int64_t changesReported_ = 0;
    std::vector<std::int64_t> written_;
};
