// The audit trail's store: the chain shows rows changed, removed or added by
// hand; an older register gets the tables; events wait for them; pages.
#include "StoreFixture.h"
#include "audit/AuditEvents.h"
#include "audit/AuditStore.h"
#include "audit/AuditTrail.h"
#include "db/AuditTables.h"
#include "db/DatabaseError.h"
#include "db/RegisterSchema.h"
#include "db/RegisterUpgrade.h"
#include "db/Sqlite.h"
#include "db/SqliteHandle.h"
#include "db/Unit_DB.h"

#include <QFile>
#include <limits>

namespace {

class AuditStore : public StoreFixture {
protected:
    // A second handle on the file, as anyone with the engine and the key has.
    SqliteHandle openFile() const
    {
        SqliteHandle db(QFile::encodeName(dir.file(QStringLiteral("_.udb"))), SQLITE_OPEN_READWRITE);
        KeyRegisterHandle(db.get(), QString::fromLatin1(kRegisterPassword));
        return db;
    }

    void freshRegister()
    {
        connection.Close();
        CreateRegisterFile(dir.path(), QStringLiteral("abc123"), true);
    }

    void appendRows(int count)
    {
        for (int i = 1; i <= count; ++i)
            AppendAuditRow(connection.handle(), QDateTime(QDate(2026, 12, i), QTime(8, 0)),
                           {AuditEvent::RecordAdded(), QString::number(i), {}});
    }

    QStringList events()
    {
        QStringList names;
        for (const TAuditRow& row : ReadAuditPage(connection.handle(), {}, std::numeric_limits<qint64>::max(), 100))
            names.prepend(row.entry.event + row.entry.subject);
        return names;
    }
};

} // namespace

TEST_F(AuditStore, TheCheckFindsTheFirstRowThatNoLongerChains)
{
    struct Case {
        const char* what;
        const char* tamper; // run on the file with the engine
        bool intact;
        qint64 lastIntact;
    };
    const Case cases[] = {
        {"untouched", "", true, 5},
        {"a row changed", "UPDATE audit_trail SET detail = 'x' WHERE seq = 3", false, 2},
        {"a row deleted", "DELETE FROM audit_trail WHERE seq = 2", false, 1},
        {"the first row deleted", "DELETE FROM audit_trail WHERE seq = 1", false, 0},
        {"the last row removed", "DELETE FROM audit_trail WHERE seq = 5", false, 4},
        // Told apart from the last row changed with its hash made anew only by
        // a copy of the last hash kept elsewhere: both say from row 4 on.
        {"the last row removed with the count", "DELETE FROM audit_trail WHERE seq = 5; UPDATE audit_head SET rows = 4",
         false, 3},
        {"rows renumbered after a deletion",
         "DELETE FROM audit_trail WHERE seq = 2; UPDATE audit_trail SET seq = seq - 1 "
         "WHERE seq > 2",
         false, 1},
        {"the head's hash changed", "UPDATE audit_head SET hash = 'x'", false, 4},
        {"the head removed", "DELETE FROM audit_head", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        connection.Close();
        ExecuteStatements(openFile().get(), "DELETE FROM audit_trail; DELETE FROM audit_head;");
        appendRows(5);
        connection.Close();
        ExecuteStatements(openFile().get(), c.tamper);
        const TAuditVerification check = VerifyAuditTrail(connection.handle());
        EXPECT_EQ(check.intact, c.intact);
        EXPECT_EQ(check.lastIntact, c.lastIntact);
    }
}

TEST_F(AuditStore, AnOlderRegisterGetsTheTablesAndKeepsEventsUntilThen)
{
    const QByteArray older =
        "DROP TABLE audit_trail; DROP TABLE audit_head; DROP TABLE visit_days; PRAGMA user_version = "
        + QByteArray::number(kAuditTablesVersion - 1) + ";";
    ExecuteStatements(openFile().get(), older.constData());
    TAuditTrail trail(&connection);
    trail.RecordEvent(AuditEvent::ProgramStarted()); // not open yet
    connection.handle();                             // the schema check accepts the older register
    trail.RecordEvent(AuditEvent::LoginFailed(), QStringLiteral("1"));
    trail.RecordChange([] { return TAuditEntry{AuditEvent::RecordAdded(), QStringLiteral("7"), {}}; });
    EXPECT_EQ(trail.PendingCount(), 3);

    UpgradeRegister(connection.handle());
    EXPECT_TRUE(HasAuditTables(connection.handle()));
    trail.RecordEvent(AuditEvent::LoginSucceeded());
    EXPECT_EQ(trail.PendingCount(), 0);
    EXPECT_EQ(events(), (QStringList{AuditEvent::ProgramStarted(), AuditEvent::LoginFailed(),
                                     AuditEvent::RecordAdded() + QStringLiteral("7"), AuditEvent::LoginSucceeded()}));
    EXPECT_TRUE(VerifyAuditTrail(connection.handle()).intact);
}

TEST_F(AuditStore, TheSchemaCheckAcceptsOnlyTheTrailAsTheProgramMakesIt)
{
    const char* strangers[] = {
        "DROP TABLE audit_head; CREATE TABLE audit_head (id INTEGER PRIMARY KEY, rows INTEGER, hash TEXT, x)",
        "CREATE INDEX audit_trail_detail ON audit_trail (detail)",
        "DROP INDEX audit_trail_at; CREATE INDEX audit_trail_at ON audit_trail (at, detail)",
    };
    for (const char* stranger : strangers) {
        SCOPED_TRACE(stranger);
        freshRegister();
        ExecuteStatements(openFile().get(), stranger);
        EXPECT_THROW(CheckRegisterSchema(openFile().get()), ERegisterRefused);
    }
    freshRegister();
    const QByteArray older = "PRAGMA user_version = " + QByteArray::number(kAuditTablesVersion - 1) + ";";
    ExecuteStatements(openFile().get(), older.constData()); // tables a register of that version cannot hold
    EXPECT_THROW(CheckRegisterSchema(openFile().get()), ERegisterRefused);
}

TEST_F(AuditStore, AChangeThatFailsLeavesNoRow)
{
    TAuditTrail trail(&connection);
    EXPECT_THROW(trail.RecordChange([]() -> std::optional<TAuditEntry> { throw EDatabaseError(QStringLiteral("x")); }),
                 EDatabaseError);
    trail.RecordChange([this] {
        addVisitor(QStringLiteral("甲"));
        return std::nullopt; // a change that records nothing
    });
    EXPECT_TRUE(events().isEmpty());
    EXPECT_TRUE(sqlite3_get_autocommit(connection.handle()));
}

TEST_F(AuditStore, PagesFilterByEventAndDayNewestFirst)
{
    appendRows(6); // days 1 to 6, all 添加记录
    AppendAuditRow(connection.handle(), QDateTime(QDate(2026, 12, 3), QTime(23, 59, 59)),
                   {AuditEvent::RecordDeleted(), QStringLiteral("2"), {}});
    sqlite3* db = connection.handle();
    const qint64 all = std::numeric_limits<qint64>::max();
    auto seqs = [](const std::vector<TAuditRow>& rows) {
        QList<qint64> list;
        for (const TAuditRow& row : rows)
            list << row.seq;
        return list;
    };
    EXPECT_EQ(seqs(ReadAuditPage(db, {}, all, 3)), (QList<qint64>{7, 6, 5}));
    EXPECT_EQ(seqs(ReadAuditPage(db, {}, 5, 3)), (QList<qint64>{4, 3, 2}));
    EXPECT_EQ(seqs(ReadAuditPage(db, {AuditEvent::RecordDeleted(), {}, {}}, all, 10)), (QList<qint64>{7}));
    EXPECT_EQ(seqs(ReadAuditPage(db, {{}, QDate(2026, 12, 2), QDate(2026, 12, 3)}, all, 10)), (QList<qint64>{7, 3, 2}));
    EXPECT_EQ(seqs(ReadAuditPage(db, {AuditEvent::RecordAdded(), QDate(2026, 12, 5), {}}, all, 10)),
              (QList<qint64>{6, 5}));
    qint64 visited = 0;
    ForEachAuditRow(db, {}, [&](const TAuditRow&) { return ++visited < 4; });
    EXPECT_EQ(visited, 4);
}

// Compaction copies the file table by table; the copy keeps the register's
// version, without which the trail's tables would make it a stranger's.
TEST_F(AuditStore, CompactionKeepsTheTrailWholeAndAccepted)
{
    appendRows(3);
    connection.Close();
    CompactDatabaseFile(dir.file(QStringLiteral("_.udb")), QString::fromLatin1(kRegisterPassword));
    EXPECT_EQ(RegisterVersion(openFile().get()), kRegisterVersion);
    const TAuditVerification check = VerifyAuditTrail(connection.handle());
    EXPECT_TRUE(check.intact);
    EXPECT_EQ(check.rows, 3);
}
