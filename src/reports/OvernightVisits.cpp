#include "reports/OvernightVisits.h"
#include "db/RegisterConnection.h"
#include "db/SiteTables.h"
#include "db/Sqlite.h"
#include "db/SqliteTransaction.h"
#include "db/VisitorPresence.h"

namespace {

std::vector<std::int64_t> overnight(sqlite3* db, const QDate& today)
{
    // The open visits come from the on-site index; each looks up its day.
    SqliteStatement select(db, QStringLiteral("SELECT data.编号 FROM data, visit_days WHERE ")
                                   + QString::fromUtf8(NoDepartureCondition())
                                   + QStringLiteral(" AND visit_days.编号 = data.编号 AND visit_days.day < ? "
                                                    "ORDER BY data.编号"));
    select.bindInt64(1, today.toJulianDay());
    std::vector<std::int64_t> ids;
    while (select.step())
        ids.push_back(select.columnInt64(0));
    return ids;
}

} // namespace

std::vector<std::int64_t> OvernightVisits(TRegisterConnection& connection, const QDate& today)
{
    return overnight(connection.handle(), today);
}

QString UnrecordedDeparture() { return QStringLiteral("未登记离开"); }

std::vector<std::int64_t> CloseOvernightVisits(TRegisterConnection& connection, const QDate& today,
                                               const std::function<void(std::size_t written)>& beforeCommit)
{
    sqlite3* db = connection.handle();
    SqliteTransaction transaction(db, "BEGIN IMMEDIATE;");
    connection.noteWrite();
    const std::vector<std::int64_t> ids = overnight(db, today);
    SqliteStatement update(db, QStringLiteral("UPDATE data SET 离开 = ?1 WHERE 编号 = ?2 AND ")
                                   + QString::fromUtf8(NoDepartureCondition()));
    const QByteArray text = UnrecordedDeparture().toUtf8();
    std::vector<std::int64_t> written;
    for (const std::int64_t id : ids) {
        if (sqlite3_bind_text(update.get(), 1, text.constData(), static_cast<int>(text.size()), SQLITE_STATIC)
            != SQLITE_OK)
            RaiseEngineError(db);
        update.bindInt64(2, id);
        update.step();
        if (sqlite3_changes(db) == 1)
            written.push_back(id);
        update.reset();
    }
    RecordSiteChanges(db, written, SiteWrite::Statement);
    if (beforeCommit)
        beforeCommit(written.size());
    transaction.Commit();
    return written;
}
