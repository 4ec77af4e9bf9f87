// Registers are written with large cipher pages; files written with the
// earlier 4 KiB pages keep working and compaction moves them to the new size.
#include "StoreFixture.h"

#include "db/RegisterUpgrade.h"
#include "db/Sqlite.h"
#include "db/Unit_DB.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A raw handle keyed with one fixed page size, without the fallback the
// program's handles have.
class FixedPageHandle {
public:
    FixedPageHandle(const QString& path, int pageSize)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_key(db_, kRegisterPassword, static_cast<int>(qstrlen(kRegisterPassword)));
        sqlite3_exec(db_, CipherSettingsPragma(pageSize).constData(), nullptr, nullptr, nullptr);
    }
    ~FixedPageHandle() { sqlite3_close(db_); }
    sqlite3* get() const { return db_; }
    bool reads() const { return exec("SELECT count(*) FROM sqlite_master;"); }
    bool exec(const char* sql) const { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

private:
    sqlite3* db_ = nullptr;
};

class PageSizeTest : public StoreFixture {
protected:
    QString registerPath() const { return dir.file(QStringLiteral("_.udb")); }

    // Rewrites the register with 4 KiB pages, as earlier versions wrote it.
    void makeLegacy()
    {
        connection.Close();
        const QString legacy = dir.file(QStringLiteral("legacy.udb"));
        QFile empty(legacy); // the handles here do not create files
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
        empty.close();
        {
            FixedPageHandle current(registerPath(), kRegisterPageSize);
            SqliteStatement attach(current.get(), QStringLiteral("ATTACH DATABASE ? AS legacy KEY ?"));
            attach.bindTexts({legacy, QString::fromLatin1(kRegisterPassword)});
            attach.step();
            ASSERT_TRUE(current.exec(CipherSettingsPragma(kLegacyRegisterPageSize, "legacy").constData()));
            ASSERT_TRUE(current.exec("SELECT sqlcipher_export('legacy');"));
            // Registers of the legacy pages are older than the audit trail and the day index.
            ASSERT_TRUE(current.exec(
                "DROP TABLE legacy.audit_trail; DROP TABLE legacy.audit_head; DROP TABLE legacy.visit_days;"));
            ASSERT_TRUE(current.exec("DETACH DATABASE legacy;"));
        }
        ASSERT_TRUE(QFile::remove(registerPath()));
        ASSERT_TRUE(QFile::rename(legacy, registerPath()));
        ASSERT_TRUE(FixedPageHandle(registerPath(), kLegacyRegisterPageSize).reads());
    }

    // Every row of the register as the program reads it.
    QStringList rows()
    {
        open(allRecords());
        QStringList result;
        for (query.First(); !query.Eof(); query.Next()) {
            QStringList values;
            for (int i = 0; i < 11; ++i)
                values << query.Fields(i);
            result << values.join(QLatin1Char('|'));
        }
        return result;
    }

    static QString quickCheck(sqlite3* db)
    {
        SqliteStatement check(db, QStringLiteral("PRAGMA quick_check"));
        return check.step() ? check.columnText(0) : QStringLiteral("no result");
    }
};

TEST_F(PageSizeTest, ANewRegisterIsWrittenWithTheLargePages)
{
    EXPECT_TRUE(FixedPageHandle(registerPath(), kRegisterPageSize).reads());
    EXPECT_FALSE(FixedPageHandle(registerPath(), kLegacyRegisterPageSize).reads());
    EXPECT_EQ(QFileInfo(registerPath()).size() % kRegisterPageSize, 0);
}

TEST_F(PageSizeTest, ALegacyRegisterIsReadAndWrittenWithItsOwnPagesUntilCompacted)
{
    addVisitor(QStringLiteral("王五"));
    addVisitor(QStringLiteral("O'Neil"));
    const QStringList before = rows();
    makeLegacy();

    EXPECT_EQ(rows(), before);
    addVisitor(QStringLiteral("赵六"));
    const QStringList grown = rows();
    ASSERT_EQ(grown.size(), 3);
    EXPECT_TRUE(grown.last().contains(QStringLiteral("赵六")));
    connection.Close();
    {
        const FixedPageHandle legacy(registerPath(), kLegacyRegisterPageSize);
        ASSERT_TRUE(legacy.reads()) << "a write changed the page size of the file";
        EXPECT_EQ(quickCheck(legacy.get()), QStringLiteral("ok"));
    }

    ASSERT_NO_THROW(CompactDatabaseFile(registerPath(), QString::fromLatin1(kRegisterPassword)));
    EXPECT_FALSE(FixedPageHandle(registerPath(), kLegacyRegisterPageSize).reads());
    EXPECT_TRUE(FixedPageHandle(registerPath(), kRegisterPageSize).reads());
    EXPECT_EQ(rows(), grown);
}

// A legacy register left with a hot journal by a crash inside a change is
// rolled back by the first handle that opens it, even though that handle
// tries the large pages first.
TEST_F(PageSizeTest, ALegacyRegisterWithAHotJournalRollsBack)
{
    for (int i = 0; i < 60; ++i)
        addVisitor(QStringLiteral("访客%1").arg(i));
    const QStringList before = rows();
    makeLegacy();

    TempDir crashed;
    const QString copy = crashed.file(QStringLiteral("_.udb"));
    {
        const FixedPageHandle writer(registerPath(), kLegacyRegisterPageSize);
        // A tiny cache makes the change spill into the file before the commit.
        ASSERT_TRUE(writer.exec("PRAGMA cache_size = 2;"));
        ASSERT_TRUE(writer.exec("BEGIN;"));
        ASSERT_TRUE(writer.exec("UPDATE data SET 备注 = printf('%.2000c', '!');"));
        ASSERT_TRUE(QFile::copy(registerPath() + QStringLiteral("-journal"), copy + QStringLiteral("-journal")));
        ASSERT_TRUE(QFile::copy(registerPath(), copy));
        ASSERT_TRUE(writer.exec("ROLLBACK;"));
    }
    QFile original(registerPath()), spilled(copy);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly) && spilled.open(QIODevice::ReadOnly));
    ASSERT_NE(original.readAll(), spilled.readAll()) << "the change did not reach the file before the commit";

    connection.SetConnectionString(RegisterConnectionString(crashed.folder()));
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(quickCheck(connection.handle()), QStringLiteral("ok"));
}

} // namespace
