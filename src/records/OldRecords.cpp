#include "records/OldRecords.h"
#include "db/DayIndex.h"
#include "db/RegisterConnection.h"
#include "db/SiteTables.h"
#include "db/Sqlite.h"
#include "db/SqliteTransaction.h"
#include "visitors/RecordDate.h"

#include <QString>

namespace {

constexpr std::int64_t kRecordsPerProgress = 4096;

// Each deleted row changes every index of data at a place of its own: with the
// engine's small default cache the same index pages are read, written and
// journalled again and again. For the deletion the cache holds the indexes.
constexpr int kDeletionCacheKiB = 256 * 1024;

} // namespace

TOldRecords FindRecordsBefore(TRegisterConnection& connection, const QDate& day, const TRecordDateReader& reader)
{
    TOldRecords old;
    SqliteStatement select(connection.handle(), QStringLiteral("SELECT 编号, 日期 FROM data ORDER BY 编号"));
    while (select.step()) {
        const std::optional<QDate> date = reader.dateOf(select.columnText(1));
        if (!date)
            ++old.unreadable;
        else if (*date < day)
            old.ids.push_back(select.columnInt64(0));
    }
    return old;
}

TDeletion DeleteRecords(TRegisterConnection& connection, const std::vector<std::int64_t>& ids, const QDate& day,
                        const TRecordDateReader& reader, const DeletionProgress& progress,
                        const std::function<void(std::int64_t deleted)>& beforeCommit)
{
    sqlite3* db = connection.handle();
    const LargerCache cache(db, kDeletionCacheKiB);
    SqliteTransaction transaction(db, "BEGIN IMMEDIATE;");
    connection.noteWrite();
    TDeletion deletion;
    std::vector<std::int64_t> deleted;
    SqliteStatement read(db, QStringLiteral("SELECT 日期 FROM data WHERE 编号 = ?"));
    SqliteStatement remove(db, QStringLiteral("DELETE FROM data WHERE 编号 = ?"));
    const auto total = static_cast<std::int64_t>(ids.size());
    for (std::int64_t done = 0; done < total; ++done) {
        const std::int64_t id = ids[static_cast<std::size_t>(done)];
        read.bindInt64(1, id);
        const bool stillOld = read.step() && reader.dateOf(read.columnText(0)).value_or(day) < day;
        read.reset();
        if (stillOld) {
            remove.bindInt64(1, id);
            remove.step();
            remove.reset();
            deleted.push_back(id);
            ++deletion.deleted;
        }
        if (progress && (done + 1) % kRecordsPerProgress == 0 && !progress(done + 1, total))
            return {0, true};
    }
    if (progress && !progress(total, total))
        return {0, true};
    RenewDays(db, deleted);
    RecordSiteChanges(db, deleted, SiteWrite::OldRecordsDeleted);
    if (beforeCommit)
        beforeCommit(deletion.deleted);
    transaction.Commit();
    return deletion;
}
