#include "db/VisitorPresence.h"
#include "db/RegisterConnection.h"
#include "db/SiteTables.h"
#include "db/Sqlite.h"
#include "db/SqliteTransaction.h"

#include <algorithm>
#include <optional>

namespace {

// The blanks a departure may hold and still be empty: those of ASCII and the
// full-width space. The statements and IsBlankDeparture() use the same set.
constexpr char16_t kBlanks[] = u" \t\n\v\f\r\u3000";
constexpr const char* kNoDeparture = "(离开 is null or trim(离开, ' ' || char(9, 10, 11, 12, 13, 12288)) = '')";
constexpr const char* kOnSiteCondition =
    " where (离开 is null or trim(离开, ' ' || char(9, 10, 11, 12, 13, 12288)) = '')";

} // namespace

bool IsBlankDeparture(const QString& departure)
{
    const QStringView blanks(kBlanks);
    return std::all_of(departure.begin(), departure.end(), [&](QChar c) { return blanks.contains(c); });
}

const char* NoDepartureCondition() { return kNoDeparture; }

SqlLine OnSiteListing()
{
    return SqlLine(SqlSelect{"Select ", kListedColumns, " from ", "data"}) + SqlWhere{kOnSiteCondition};
}

DepartureOutcome RecordDeparture(TRegisterConnection& connection, qint64 number, const QString& departureTime)
{
    sqlite3* db = connection.handle();
    {
        // In site mode the departure goes into the outbox in the same
        // transaction (whether the register is in site mode is asked inside it).
        std::optional<SqliteTransaction> transaction;
        if (sqlite3_get_autocommit(db))
            transaction.emplace(db, "BEGIN IMMEDIATE;");
        SqliteStatement update(db, QStringLiteral("UPDATE data SET 离开 = ?1 WHERE 编号 = ?2 AND ")
                                       + QString::fromUtf8(kNoDeparture));
        const QByteArray time = departureTime.toUtf8();
        if (sqlite3_bind_text(update.get(), 1, time.constData(), static_cast<int>(time.size()), SQLITE_TRANSIENT)
            != SQLITE_OK)
            RaiseEngineError(db);
        update.bindInt64(2, number);
        connection.noteWrite();
        update.step();
        if (sqlite3_changes(db) == 1) {
            RecordSiteChanges(db, {number}, SiteWrite::Statement);
            if (transaction)
                transaction->Commit();
            return {DepartureOutcome::Recorded, departureTime};
        }
    }
    SqliteStatement read(db, QStringLiteral("SELECT 离开 FROM data WHERE 编号 = ?1"));
    read.bindInt64(1, number);
    if (!read.step())
        return {DepartureOutcome::NoRecord, QString()};
    return {DepartureOutcome::AlreadyLeft, read.columnText(0)};
}
