// The register as other programs and the disk leave it: replaced by another
// program's compaction, with a damaged page, with a write-ahead log left by a
// crash, with its record numbers used up, with blank departures.
#include "StoreFixture.h"

#include "db/DataColumn.h"
#include "db/DatabaseError.h"
#include "db/Sqlite.h"
#include "db/StoreMessages.h"
#include "db/Unit_DB.h"
#include "db/VisitorPresence.h"

#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class SharedRegisterTest : public StoreFixture {
protected:
    QString registerPath() const { return dir.file(QStringLiteral("_.udb")); }
    QByteArray nativePath() const { return QFile::encodeName(registerPath()); }

    // The names a fresh connection reads: what the file on disk holds.
    QStringList storedNames() const
    {
        TRegisterConnection fresh;
        fresh.SetConnectionString(RegisterConnectionString(dir.folder()));
        SqliteStatement s(fresh.handle(), QStringLiteral("SELECT 姓名 FROM data ORDER BY 编号"));
        QStringList names;
        while (s.step())
            names << s.columnText(0);
        return names;
    }

    QString error(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const EDatabaseError& e) {
            return e.message();
        }
        return QStringLiteral("(no error)");
    }
};

TEST_F(SharedRegisterTest, AnotherProgramsCompactionIsFollowedAndKeepsTheFilesAccess)
{
    addVisitor(QStringLiteral("张三"));
    open(allRecords());
    ASSERT_EQ(query.RecordCount(), 1);
    // A register shared by a group; as root, owned by another account too.
    const bool root = ::getuid() == 0;
    ASSERT_EQ(::chmod(nativePath().constData(), 0660), 0);
    if (root) {
        ASSERT_EQ(::chown(nativePath().constData(), 65534, 65534), 0);
    }
    struct stat before {};
    ASSERT_EQ(::stat(nativePath().constData(), &before), 0);

    ASSERT_NO_THROW(CompactDatabaseFile(registerPath(), QString::fromLatin1(kRegisterPassword)));

    struct stat after {};
    ASSERT_EQ(::stat(nativePath().constData(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 0777, 0660u);
    EXPECT_EQ(after.st_gid, before.st_gid);
    if (root) {
        EXPECT_EQ(after.st_uid, before.st_uid);
    }

    // This program's next statements go to the compacted file.
    addVisitor(QStringLiteral("李四"));
    open(allRecords());
    EXPECT_EQ(query.RecordCount(), 2);
    EXPECT_EQ(storedNames(), (QStringList{QStringLiteral("张三"), QStringLiteral("李四")}));
}

TEST_F(SharedRegisterTest, ADamagedPageIsNamedAndTheNextActionWorks)
{
    // Long, unindexed 来访 texts fill the table's pages, so the middle of the
    // file is a page of records.
    exec(SqlLine("BEGIN"));
    for (int i = 0; i < 300; ++i)
        exec(insertLine({QStringLiteral("QQ帐号"), QStringLiteral("访客%1").arg(i), QString(), QString(), QString(),
                         QString(), QString(), QString(1000, QLatin1Char('x')), QString(), QString(),
                         QStringLiteral("2026/12/8 9:00:00")}));
    exec(SqlLine("COMMIT"));
    connection.Close();
    QFile file(registerPath());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 pages = file.size() / kRegisterPageSize;
    ASSERT_GT(pages, 10);
    const qint64 at = pages / 2 * kRegisterPageSize + 100;
    ASSERT_TRUE(file.seek(at));
    char byte = 0;
    ASSERT_TRUE(file.getChar(&byte));
    ASSERT_TRUE(file.seek(at));
    ASSERT_TRUE(file.putChar(static_cast<char>(byte ^ 0x20)));
    file.close();
    QFile damaged(registerPath());
    ASSERT_TRUE(damaged.open(QIODevice::ReadOnly));
    const QByteArray bytes = damaged.readAll();

    const QString readAll = error([&] {
        open(allRecords());
        query.ReadRows([](const QStringList&) { return true; });
    });
    EXPECT_EQ(readAll, StoreMessages::RegisterDamaged());
    // The next action opens the file again: an add works and reads back.
    EXPECT_EQ(error([&] { addVisitor(QStringLiteral("新来")); }), QStringLiteral("(no error)"));
    SqliteStatement last(connection.handle(), QStringLiteral("SELECT 姓名 FROM data ORDER BY 编号 DESC LIMIT 1"));
    ASSERT_TRUE(last.step());
    EXPECT_EQ(last.columnText(0), QStringLiteral("新来"));
    last = SqliteStatement();
    connection.Close();

    // Compaction cannot read the page either: it says so and changes nothing
    // but the added record's pages.
    const QString compaction =
        error([&] { CompactDatabaseFile(registerPath(), QString::fromLatin1(kRegisterPassword)); });
    EXPECT_EQ(compaction, StoreMessages::DamagedRegisterNotCompacted());
    QFile kept(registerPath());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll().mid(static_cast<int>(at) - 100, kRegisterPageSize),
              bytes.mid(static_cast<int>(at) - 100, kRegisterPageSize));
}

// A write-ahead log and its index left by a program killed while it wrote
// hold the newest rows: compaction takes them into the copy and removes them.
TEST_F(SharedRegisterTest, CompactionTakesInAndRemovesALeftWriteAheadLog)
{
    addVisitor(QStringLiteral("张三"));
    connection.Close();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(nativePath().constData(), &db), SQLITE_OK);
    ASSERT_NO_THROW(KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword)));
    ASSERT_NO_THROW(ExecuteStatements(db, "PRAGMA journal_mode = WAL; INSERT INTO data (姓名) VALUES ('李四');"));
    const QString wal = registerPath() + QStringLiteral("-wal");
    const QString shm = registerPath() + QStringLiteral("-shm");
    ASSERT_TRUE(QFile::copy(wal, wal + QStringLiteral(".kept")));
    ASSERT_TRUE(QFile::copy(shm, shm + QStringLiteral(".kept")));
    sqlite3_close(db);
    for (const QString& name : {wal, shm}) {
        QFile::remove(name);
        ASSERT_TRUE(QFile::rename(name + QStringLiteral(".kept"), name));
    }

    ASSERT_NO_THROW(CompactDatabaseFile(registerPath(), QString::fromLatin1(kRegisterPassword)));
    EXPECT_FALSE(QFile::exists(wal));
    EXPECT_FALSE(QFile::exists(shm));
    EXPECT_EQ(storedNames(), (QStringList{QStringLiteral("张三"), QStringLiteral("李四")}));
}

TEST_F(SharedRegisterTest, AnAddAfterTheLargestRecordNumberSaysSo)
{
    addVisitor(QStringLiteral("张三"));
    exec(SqlLine("UPDATE sqlite_sequence SET seq = 9223372036854775807 WHERE name = 'data'"));
    EXPECT_EQ(error([&] { addVisitor(QStringLiteral("李四")); }), StoreMessages::RecordNumbersExhausted());
    EXPECT_EQ(storedNames(), QStringList{QStringLiteral("张三")});
}

// Blanks of any kind, and nothing else, leave a visitor on site; the
// departure fills such a 离开.
TEST_F(SharedRegisterTest, BlankDeparturesAreNoDepartures)
{
    const QStringList departures = {QString(),
                                    QStringLiteral(" "),
                                    QStringLiteral("\t"),
                                    QStringLiteral("　"),
                                    QStringLiteral(" \t　\r\n"),
                                    QStringLiteral("9:00"),
                                    QStringLiteral(" x ")};
    for (const QString& departure : departures)
        exec(insertLine({QString(), departure, QString(), QString(), QString(), QString(), QString(), QString(),
                         departure, QString(), QString()}));
    open(OnSiteListing());
    QStringList onSite;
    for (query.First(); !query.Eof(); query.Next()) {
        onSite << query.Fields(DataColumn::Name);
        EXPECT_TRUE(IsBlankDeparture(query.Fields(DataColumn::Departure)))
            << query.Fields(DataColumn::Departure).toStdString();
    }
    EXPECT_EQ(onSite, departures.mid(0, 5));
    EXPECT_FALSE(IsBlankDeparture(QStringLiteral("9:00")));
    for (qint64 number = 1; number <= departures.size(); ++number)
        EXPECT_EQ(RecordDeparture(connection, number, QStringLiteral("10:00")).kind,
                  number <= 5 ? DepartureOutcome::Recorded : DepartureOutcome::AlreadyLeft)
            << number;
}

} // namespace
