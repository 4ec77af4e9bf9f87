// The register's upgrade path: an older register takes the missing steps
// once, a step that fails leaves it as it was, and a register of a newer
// version is refused and not changed.
#include "StoreFixture.h"
#include "db/DatabaseError.h"
#include "db/LookupIndexes.h"
#include "db/RegisterUpgrade.h"
#include "db/Sqlite.h"
#include "db/SqliteHandle.h"
#include "db/Unit_DB.h"

#include <QFile>

namespace {

class RegisterUpgrade : public StoreFixture {
protected:
    QString registerPath() const { return dir.file(QStringLiteral("_.udb")); }

    SqliteHandle openRegister() const
    {
        SqliteHandle db(QFile::encodeName(registerPath()), SQLITE_OPEN_READWRITE);
        KeyRegisterHandle(db.get(), QString::fromLatin1(kRegisterPassword));
        return db;
    }

    QByteArray bytes() const
    {
        QFile file(registerPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(RegisterUpgrade, AnOlderRegisterTakesTheStepsOnceAndIsThenNotWritten)
{
    {
        const SqliteHandle db = openRegister();
        EXPECT_EQ(RegisterVersion(db.get()), kRegisterVersion); // the set-up tool takes every step
        ExecuteStatements(db.get(), "DROP INDEX data_mobiles; DROP INDEX data_on_site; PRAGMA user_version = 0;");
        UpgradeRegister(db.get());
        EXPECT_EQ(RegisterVersion(db.get()), kRegisterVersion);
        EXPECT_TRUE(MissingLookupIndexes(db.get()).isEmpty());
    }
    const QByteArray upgraded = bytes();
    UpgradeRegister(openRegister().get());
    EXPECT_EQ(bytes(), upgraded);
    EXPECT_NO_THROW(connection.handle()); // the schema check accepts what the version holds
}

TEST_F(RegisterUpgrade, AStepThatFailsIsRolledBackWhole)
{
    const SqliteHandle db = openRegister();
    // A table takes the name of the second index, so step 1 fails after it
    // has made the first.
    ExecuteStatements(db.get(), "DROP INDEX data_mobiles; DROP INDEX data_on_site; PRAGMA user_version = 0;"
                                "CREATE TABLE data_on_site (x);");
    EXPECT_THROW(UpgradeRegister(db.get()), EDatabaseError);
    EXPECT_EQ(RegisterVersion(db.get()), 0);
    EXPECT_EQ(MissingLookupIndexes(db.get()), LookupIndexNames());
    EXPECT_TRUE(sqlite3_get_autocommit(db.get())); // no transaction left open
}

TEST_F(RegisterUpgrade, ARegisterOfANewerVersionIsRefusedAndLeftAsItWas)
{
    const QByteArray newer = "PRAGMA user_version = " + QByteArray::number(kRegisterVersion + 1) + ";";
    ExecuteStatements(openRegister().get(), newer.constData());
    const QByteArray before = bytes();

    try {
        connection.handle();
        ADD_FAILURE() << "a newer register was opened";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("较新版本"))) << e.what();
    }
    EXPECT_THROW(UpgradeRegister(openRegister().get()), EDatabaseError);
    EXPECT_THROW(CompactDatabaseFile(registerPath(), QString::fromLatin1(kRegisterPassword)), EDatabaseError);
    EXPECT_EQ(bytes(), before);
}

TEST_F(RegisterUpgrade, TheOnSiteIndexOfVersionOneIsMadeAnewForBlankDepartures)
{
    ExecuteStatements(openRegister().get(),
                      "DROP INDEX data_on_site; PRAGMA user_version = 1;"
                      "DROP TABLE audit_trail; DROP TABLE audit_head; DROP TABLE visit_days;"
                      "CREATE INDEX data_on_site ON data (编号, 离开) WHERE 离开 is null or 离开 = '';");
    EXPECT_NO_THROW(connection.handle()); // version 1 holds the index this way
    connection.Close();
    const SqliteHandle db = openRegister();
    UpgradeRegister(db.get());
    EXPECT_EQ(RegisterVersion(db.get()), kRegisterVersion);
    SqliteStatement index(db.get(), QStringLiteral("SELECT sql FROM sqlite_master WHERE name = 'data_on_site'"));
    ASSERT_TRUE(index.step());
    EXPECT_TRUE(index.columnText(0).contains(QStringLiteral("trim(离开"))) << index.columnText(0).toStdString();
}
