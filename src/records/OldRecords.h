#pragma once
#include <QDate>
#include <cstdint>
#include <functional>
#include <vector>

class TRegisterConnection;
class TRecordDateReader;

// Records whose record date lies before a day, for deleting old visits.
struct TOldRecords {
    std::vector<std::int64_t> ids; // 编号 of the records dated before the day
    std::int64_t unreadable = 0;   // records kept because their date could not be read
};

// Reads every record's date; raises EDatabaseError.
TOldRecords FindRecordsBefore(TRegisterConnection& connection, const QDate& day, const TRecordDateReader& reader);

struct TDeletion {
    std::int64_t deleted = 0; // records that went
    bool cancelled = false;   // the caller stopped it: nothing went
};

// Told how many of the records were gone through, of how many; returns false
// to stop.
using DeletionProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// Deletes, in one transaction, those of `ids` whose date `reader` still reads
// as before `day` when the transaction runs: a record another program changed
// since it was found stays. `progress` is told every few thousand records and
// at the end; when it returns false everything is rolled back. On any failure
// none go (the engine's message is raised as EDatabaseError). `beforeCommit`
// is told how many went, inside the transaction, just before it commits: what
// it writes goes with the deletion or not at all.
TDeletion DeleteRecords(TRegisterConnection& connection, const std::vector<std::int64_t>& ids, const QDate& day,
                        const TRecordDateReader& reader, const DeletionProgress& progress = {},
                        const std::function<void(std::int64_t deleted)>& beforeCommit = {});
