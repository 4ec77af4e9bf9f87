// Registers crafted to attack the engine through their schema or a planted
// journal: the open refuses each with a message before any statement of the
// program runs, compaction refuses it too, and the file stays byte for byte.
#include "StoreFixture.h"

#include "db/DatabaseError.h"
#include "db/Sqlite.h"
#include "db/Unit_DB.h"

#include <QFile>
#include <QtEndian>

namespace {

struct Crafting {
    const char* name;
    const char* sql;     // run on the fresh register through a keyed handle
    const char* refusal; // part of the message
};

// The statements stand for the published attacks on old engines through a
// register file: a schema object whose use runs a faulty function or module,
// and statistics that the query planner trusted.
const Crafting kCraftings[] = {
    {"PassIsAViewCallingRtreenode",
     "DROP TABLE Pass; CREATE VIEW Pass AS SELECT rtreenode(2, x'000000000000000000000000') AS 密码;", "view Pass"},
    {"TriggerOnData", "CREATE TRIGGER wipe AFTER INSERT ON data BEGIN DELETE FROM data; END;", "trigger wipe on data"},
    {"VirtualTableNamedData",
     "DROP TABLE data; CREATE VIRTUAL TABLE data USING fts5(编号, 分类, 姓名, 身份证, 手机, 电话, 来由, 地址, 来访, "
     "离开, 备注, 日期);",
     "data is a virtual"},
    {"CraftedStatistics",
     "ANALYZE; DELETE FROM sqlite_stat1; INSERT INTO sqlite_stat1 VALUES ('data', 'data_texts', '0 0 0 0 0');",
     "statistics table sqlite_stat1"},
    {"IndexOnAnExpression", "DROP INDEX data_address; CREATE INDEX data_address ON data (lower(地址));",
     "index data_address is not one of the register's"},
    {"ForeignIndex", "CREATE INDEX data_date ON data (日期);", "index data_date on data"},
    {"ComputedColumn", "ALTER TABLE data ADD COLUMN 年份 TEXT AS (substr(日期, 1, 4));",
     "column 年份 of data is computed"},
    {"ColumnMissing", "ALTER TABLE data DROP COLUMN 日期;", "table data does not have the register's columns"},
    {"PassMissing", "DROP TABLE Pass;", "table Pass is missing"},
    {"NumericIdentityColumn",
     "DROP TABLE data; CREATE TABLE data (编号 INTEGER PRIMARY KEY AUTOINCREMENT, 分类 TEXT, 姓名 TEXT, 身份证 REAL, "
     "手机 TEXT, 电话 TEXT, 来由 TEXT, 地址 TEXT, 来访 TEXT, 离开 TEXT, 备注 TEXT, 日期 TEXT);",
     "column 身份证 of data is not a text column"},
    {"IntegerPassword", "DROP TABLE Pass; CREATE TABLE Pass (密码 INTEGER);",
     "column 密码 of Pass is not a text column"},
    {"UntypedColumn",
     "ALTER TABLE data RENAME COLUMN 来访 TO x; ALTER TABLE data ADD COLUMN 来访; ALTER TABLE data DROP COLUMN x;",
     "column 来访 of data is not a text column"},
};

class HostileRegisterTest : public StoreFixture, public ::testing::WithParamInterface<Crafting> {
protected:
    QString registerPath() const { return dir.file(QStringLiteral("_.udb")); }

    QByteArray bytes(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void craft(const char* sql)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(registerPath()).constData(), &db, SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        ASSERT_NO_THROW(KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword)));
        const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        ASSERT_EQ(rc, SQLITE_OK) << message.toStdString();
    }

    // The login check's statement on the register; the error it raised.
    QString loginCheckError()
    {
        try {
            open(SqlLine("Select 密码 from Pass"));
        } catch (const EDatabaseError& e) {
            return e.message();
        }
        return QStringLiteral("(opened)");
    }
};

TEST_P(HostileRegisterTest, IsRefusedWithAMessageAndLeftUnchanged)
{
    addVisitor(QStringLiteral("张三"));
    connection.Close();
    craft(GetParam().sql);
    const QByteArray before = bytes(registerPath());

    const QString error = loginCheckError();
    EXPECT_TRUE(error.contains(QLatin1String("not a register of this program"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QString::fromUtf8(GetParam().refusal))) << error.toStdString();
    EXPECT_FALSE(connection.Connected());
    EXPECT_THROW(CompactDatabaseFile(registerPath(), QString::fromLatin1(kRegisterPassword)), EDatabaseError);
    EXPECT_EQ(bytes(registerPath()), before);
    EXPECT_FALSE(QFile::exists(registerPath() + QStringLiteral("-journal")));
}

INSTANTIATE_TEST_SUITE_P(Craftings, HostileRegisterTest, ::testing::ValuesIn(kCraftings),
                         [](const auto& crafting) { return std::string(crafting.param.name); });

class OversizedSchemaTest : public HostileRegisterTest {};

// Twenty thousand schema rows, written straight into the schema table: the
// engine's own reading of so many views takes longer than linear time.
TEST_F(OversizedSchemaTest, TwentyThousandSchemaRowsAreRefusedUnread)
{
    connection.Close();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(registerPath()).constData(), &db, SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_key(db, kRegisterPassword, static_cast<int>(strlen(kRegisterPassword))), SQLITE_OK);
    ASSERT_NO_THROW(ExecuteStatements(db, CipherSettingsPragma(kRegisterPageSize).constData()));
    ASSERT_NO_THROW(ExecuteStatements(db, "PRAGMA writable_schema = ON; BEGIN;"));
    {
        SqliteStatement insert(db, QStringLiteral("INSERT INTO sqlite_schema VALUES ('view', ?1, ?1, 0, ?2)"));
        for (int i = 0; i < 20000; ++i) {
            const QString name = QStringLiteral("v%1").arg(i);
            insert.bindTexts({name, QStringLiteral("CREATE VIEW %1 AS SELECT 1").arg(name)});
            insert.step();
            insert.reset();
        }
    }
    ASSERT_NO_THROW(ExecuteStatements(db, "COMMIT;"));
    sqlite3_close(db);
    const QByteArray before = bytes(registerPath());

    EXPECT_TRUE(loginCheckError().contains(QLatin1String("far more objects than a register's")));
    EXPECT_THROW(CompactDatabaseFile(registerPath(), QString::fromLatin1(kRegisterPassword)), EDatabaseError);
    EXPECT_EQ(bytes(registerPath()), before);
}

class OwnIndexTest : public HostileRegisterTest {};

// The look-up indexes a login adds, one of them partial, and an index of an
// earlier version are the program's own: the register opens with them.
TEST_F(OwnIndexTest, IndexesOfTheProgramPassTheCheck)
{
    addVisitor(QStringLiteral("王五"));
    connection.Close();
    craft("CREATE INDEX IF NOT EXISTS data_mobiles ON data (手机);"
          "CREATE INDEX IF NOT EXISTS data_on_site ON data (编号, 离开) WHERE 离开 is null or 离开 = '';"
          "CREATE INDEX data_identity ON data (身份证);");
    open(allRecords());
    ASSERT_EQ(query.RecordCount(), 1);
    EXPECT_EQ(query.Fields(DataColumn::Name), QStringLiteral("王五"));
}

class PlantedJournalTest : public HostileRegisterTest {};

// A journal beside the register whose header claims 512-byte pages: rolling
// it back would write pages of a size the register never had.
TEST_F(PlantedJournalTest, AJournalOfAnotherPageSizeIsRefusedAndNothingIsRolledBack)
{
    addVisitor(QStringLiteral("李四"));
    connection.Close();
    QByteArray journal("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
    for (const quint32 field : {1u, 0x1234u, 4u, 512u, 512u}) { // records, nonce, pages, sector, page size
        char bigEndian[4];
        qToBigEndian(field, bigEndian);
        journal += QByteArray(bigEndian, 4);
    }
    journal.resize(512, '\0');
    for (int i = 0; i < 4; ++i)
        journal += QByteArray(4, '\0') + QByteArray(512, static_cast<char>(0xA5 + i)) + QByteArray(4, '\0');
    const QString journalPath = registerPath() + QStringLiteral("-journal");
    QFile planted(journalPath);
    ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
    ASSERT_EQ(planted.write(journal), journal.size());
    planted.close();
    const QByteArray before = bytes(registerPath());

    EXPECT_TRUE(loginCheckError().contains(QLatin1String("_.udb-journal")));
    EXPECT_THROW(CompactDatabaseFile(registerPath(), QString::fromLatin1(kRegisterPassword)), EDatabaseError);
    EXPECT_EQ(bytes(registerPath()), before);
    EXPECT_EQ(bytes(journalPath), journal);

    // Once the stray journal is moved away the register opens as it was.
    ASSERT_TRUE(QFile::remove(journalPath));
    open(allRecords());
    ASSERT_EQ(query.RecordCount(), 1);
    EXPECT_EQ(query.Fields(DataColumn::Name), QStringLiteral("李四"));
}

} // namespace
