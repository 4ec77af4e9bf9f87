#include "watchlist/WatchList.h"
#include "db/Sqlite.h"
#include "db/SqliteTransaction.h"
#include "db/WatchListTable.h"

#include <QDateTime>
#include <algorithm>

namespace {

QString now() { return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }

bool hasTable(sqlite3* db)
{
    SqliteStatement s(db, QStringLiteral("SELECT 1 FROM main.sqlite_schema WHERE type = 'table' AND name = ?"));
    s.bindTexts({QString::fromLatin1(kWatchListTable)});
    return s.step();
}

} // namespace

void TWatchList::Load(sqlite3* db)
{
    QList<TWatchEntry> entries;
    if (hasTable(db)) {
        SqliteStatement s(db, QStringLiteral("SELECT 编号, 姓名, 身份证, 手机, 原因, 添加时间 FROM watch_list "
                                             "ORDER BY 编号"));
        while (s.step())
            entries << TWatchEntry{s.columnInt64(0), s.columnText(1), s.columnText(2),
                                   s.columnText(3),  s.columnText(4), s.columnText(5)};
    }
    entries_ = std::move(entries);
    matcher_.Rebuild(entries_);
}

qint64 TWatchList::insert(sqlite3* db, TWatchEntry& entry)
{
    SqliteStatement s(db, QStringLiteral("INSERT INTO watch_list (姓名, 身份证, 手机, 原因, 添加时间) "
                                         "VALUES (?, ?, ?, ?, ?)"));
    s.bindTexts({entry.name, entry.identityNumber, entry.mobile, entry.reason, entry.added});
    s.step();
    entry.id = sqlite3_last_insert_rowid(db);
    return entry.id;
}

TWatchEntry TWatchList::Add(sqlite3* db, TWatchEntry entry)
{
    entry.added = now();
    insert(db, entry);
    entries_ << entry;
    matcher_.Rebuild(entries_);
    emit Changed(QStringLiteral("添加 ") + entry.name);
    return entry;
}

void TWatchList::Change(sqlite3* db, const TWatchEntry& entry)
{
    const auto stored =
        std::find_if(entries_.begin(), entries_.end(), [&](const TWatchEntry& e) { return e.id == entry.id; });
    if (stored == entries_.end())
        return;
    SqliteStatement s(db, QStringLiteral("UPDATE watch_list SET 姓名 = ?, 身份证 = ?, 手机 = ?, 原因 = ? "
                                         "WHERE 编号 = CAST(? AS INTEGER)"));
    s.bindTexts({entry.name, entry.identityNumber, entry.mobile, entry.reason, QString::number(entry.id)});
    s.step();
    const QString before = stored->name;
    stored->name = entry.name;
    stored->identityNumber = entry.identityNumber;
    stored->mobile = entry.mobile;
    stored->reason = entry.reason;
    matcher_.Rebuild(entries_);
    emit Changed(QStringLiteral("修改 ") + (before == entry.name ? before : before + QStringLiteral("→") + entry.name));
}

void TWatchList::Remove(sqlite3* db, qint64 id)
{
    const auto stored =
        std::find_if(entries_.begin(), entries_.end(), [&](const TWatchEntry& e) { return e.id == id; });
    if (stored == entries_.end())
        return;
    SqliteStatement s(db, QStringLiteral("DELETE FROM watch_list WHERE 编号 = CAST(? AS INTEGER)"));
    s.bindTexts({QString::number(id)});
    s.step();
    const QString name = stored->name;
    entries_.erase(stored);
    matcher_.Rebuild(entries_);
    emit Changed(QStringLiteral("删除 ") + name);
}

TWatchImportPlan TWatchList::Import(sqlite3* db, const QString& fileName)
{
    TWatchImportPlan plan = PlanWatchListImport(ReadWatchListFile(fileName), matcher_);
    const QString added = now();
    {
        SqliteTransaction transaction(db, "BEGIN IMMEDIATE;");
        for (TWatchEntry& entry : plan.entries) {
            entry.added = added;
            insert(db, entry);
        }
        transaction.Commit();
    }
    entries_ << plan.entries;
    matcher_.Rebuild(entries_);
    emit Imported(static_cast<int>(plan.entries.size()), static_cast<int>(plan.skipped.size()));
    return plan;
}
