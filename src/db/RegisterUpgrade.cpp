#include "db/RegisterUpgrade.h"
#include "db/AuditTables.h"
#include "db/DatabaseError.h"
#include "db/DayIndex.h"
#include "db/LookupIndexes.h"
#include "db/Sqlite.h"
#include "db/SqliteTransaction.h"
#include "db/WatchListTable.h"

#include <QByteArray>
#include <iterator>

namespace {

using UpgradeStep = void (*)(sqlite3*);

// Step n + 1 takes a register from version n to n + 1.
constexpr UpgradeStep kSteps[] = {
    CreateLookupIndexes, RenewOnSiteIndex, CreateWatchListTable, CreateAuditTables, CreateDayIndex,
};
static_assert(static_cast<int>(std::size(kSteps)) == kRegisterVersion);
static_assert(kSteps[kWatchListVersion - 1] == CreateWatchListTable);
static_assert(kSteps[kAuditTablesVersion - 1] == CreateAuditTables);
static_assert(kSteps[kDayIndexVersion - 1] == CreateDayIndex);

} // namespace

int RegisterVersion(sqlite3* db)
{
    SqliteStatement version(db, QStringLiteral("PRAGMA main.user_version"));
    version.step();
    return static_cast<int>(version.columnInt64(0));
}

void RefuseNewerRegister(sqlite3* db)
{
    const int version = RegisterVersion(db);
    if (version < 0)
        throw EDatabaseError(
            QStringLiteral("_.udb is not a register of this program (version %1); it was not opened").arg(version));
    if (version > kRegisterVersion)
        throw EDatabaseError(QStringLiteral("登记簿 _.udb 由较新版本的程序写过 (版本 %1, 本程序只认识到版本 %2), "
                                            "本程序不能打开它, 也没有改动它. 请使用较新版本的程序.")
                                 .arg(version)
                                 .arg(kRegisterVersion));
}

void UpgradeRegister(sqlite3* db)
{
    RefuseNewerRegister(db);
    while (RegisterVersion(db) < kRegisterVersion) {
        // IMMEDIATE takes the write lock first; the version is read again
        // under it, since another program may have taken the step meanwhile.
        SqliteTransaction step(db, "BEGIN IMMEDIATE;");
        const int version = RegisterVersion(db);
        if (version < 0 || version >= kRegisterVersion)
            break;
        kSteps[version](db);
        ExecuteStatements(db, QByteArray("PRAGMA main.user_version = " + QByteArray::number(version + 1)).constData());
        step.Commit();
    }
}
