// The set-up of a fresh register.
#include "TempDir.h"
#include "crypto/Unit_DESCrypt.h"
#include "db/DatabaseError.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/RegisterQuery.h"
#include "db/Sqlite.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

TEST(RegisterFile, AFreshRegisterHoldsBothTablesAndTheEncipheredPassword)
{
    TempDir dir;
    ASSERT_NO_THROW(CreateRegisterFile(dir.path(), QStringLiteral("Gate2026"), false));
    const QFileInfo info(dir.file(QStringLiteral("_.udb")));
    EXPECT_EQ(info.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFile::Permissions());
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("_.udb.new"))));

    TRegisterConnection connection;
    connection.SetConnectionString(RegisterConnectionString(dir.folder()));
    TRegisterQuery query(&connection);
    query.SQL.Add("Select 密码 from Pass");
    query.Open();
    ASSERT_EQ(query.RecordCount(), 1);
    EXPECT_EQ(query.Fields(0).toStdString(), EncryptToHex("Gate2026", "vum"));
    EXPECT_EQ(DecryptFromHex(query.Fields(0).toStdString(), "vum"), "Gate2026");

    query.SQL.Clear();
    query.SQL.Add(SqlSelect{"Select ", kListedColumns, " from ", "data"});
    query.Open();
    EXPECT_EQ(query.RecordCount(), 0);
}

TEST(RegisterFile, AnExistingRegisterIsReplacedOnlyWhenAsked)
{
    TempDir dir;
    ASSERT_NO_THROW(CreateRegisterFile(dir.path(), QStringLiteral("one"), false));
    const QByteArray before = [&] {
        QFile f(dir.file(QStringLiteral("_.udb")));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    EXPECT_THROW(CreateRegisterFile(dir.path(), QStringLiteral("two"), false), EDatabaseError);
    QFile f(dir.file(QStringLiteral("_.udb")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    f.close();
    EXPECT_NO_THROW(CreateRegisterFile(dir.path(), QStringLiteral("two"), true));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_NE(f.readAll(), before);
}

TEST(RegisterFile, InitialPasswordsAreAsciiLettersAndDigits)
{
    EXPECT_TRUE(IsValidAdminPassword(QStringLiteral("a")));
    EXPECT_TRUE(IsValidAdminPassword(QStringLiteral("Abc123XYZ")));
    for (const char* bad : {"", "ab c", "密码", "abc!", "a\n"})
        EXPECT_FALSE(IsValidAdminPassword(QString::fromUtf8(bad))) << bad;
    TempDir dir;
    EXPECT_THROW(CreateRegisterFile(dir.path(), QStringLiteral("a b"), false), EDatabaseError);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("_.udb"))));
    EXPECT_THROW(CreateRegisterFile(dir.file(QStringLiteral("missing")), QStringLiteral("ab"), false), EDatabaseError);
}

// The listing and every search read their record numbers from an index
// holding the searched column, never from the whole table.
TEST(RegisterFile, ListingAndSearchesScanAnIndexNotTheTable)
{
    TempDir dir;
    ASSERT_NO_THROW(CreateRegisterFile(dir.path(), QStringLiteral("abc123"), false));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(dir.file(QStringLiteral("_.udb"))).constData(), &db,
                              SQLITE_OPEN_READONLY, nullptr),
              SQLITE_OK);
    ASSERT_NO_THROW(KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword)));
    QStringList wheres{QString()};
    for (const char* column : {"姓名", "身份证", "手机", "电话", "地址", "来由", "备注", "分类"})
        wheres << QStringLiteral(" where ") + QString::fromUtf8(column) + QStringLiteral(" like '%' || ? || '%'");
    for (const QString& where : wheres) {
        SqliteStatement plan(db, QStringLiteral("EXPLAIN QUERY PLAN SELECT 编号 FROM data") + where);
        ASSERT_TRUE(plan.step());
        EXPECT_TRUE(plan.columnText(3).contains(QStringLiteral("COVERING INDEX")))
            << where.toStdString() << ": " << plan.columnText(3).toStdString();
    }
    sqlite3_close(db);
}
