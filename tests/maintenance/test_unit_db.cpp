// Compaction of a register file on its own, without the windows.
#include "TempDir.h"
#include "db/DatabaseError.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/Sqlite.h"
#include "db/Unit_DB.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class UnitDBTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        oldTemp_ = qgetenv("TMPDIR");
        qputenv("TMPDIR", temp.path().toUtf8());
        ASSERT_NO_THROW(CreateRegisterFile(dir.path(), QStringLiteral("abc123"), false));
    }
    void TearDown() override { qputenv("TMPDIR", oldTemp_); }

    QString path() const { return dir.file(QStringLiteral("_.udb")); }
    QByteArray bytes() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList tempFiles() const { return QDir(temp.path()).entryList(QDir::Files | QDir::Hidden); }

    TempDir dir;
    TempDir temp;

private:
    QByteArray oldTemp_;
};

TEST_F(UnitDBTest, TemporaryFolderIsTheSystemsWithASeparator) { EXPECT_EQ(GetTempDirectory(), temp.folder()); }

TEST_F(UnitDBTest, WrongPasswordFailsAndLeavesNoFiles)
{
    const QByteArray before = bytes();
    EXPECT_THROW(CompactDatabaseFile(path(), QStringLiteral("wrong")), EDatabaseError);
    EXPECT_TRUE(bytes() == before);
    EXPECT_EQ(tempFiles(), QStringList());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("_.udb")});
}

TEST_F(UnitDBTest, CompactedCopyOpensWithTheSamePassword)
{
    ASSERT_NO_THROW(CompactDatabaseFile(path(), QString::fromLatin1(kRegisterPassword)));
    EXPECT_EQ(tempFiles(), QStringList());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(path()).constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    EXPECT_NO_THROW(KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword)));
    SqliteStatement pass(db, QStringLiteral("SELECT count(*) FROM Pass"));
    ASSERT_TRUE(pass.step());
    EXPECT_EQ(pass.columnInt64(0), 1);
    pass = SqliteStatement();
    sqlite3_close(db);
}

} // namespace
