// Files replaced whole: through a symbolic link "_.udb", the leftovers of a
// compaction that was killed, and category names that GBK cannot hold.
#include "TempDir.h"
#include "base/GbkCodec.h"
#include "db/AtomicFileCopy.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/RegisterQuery.h"
#include "db/Unit_DB.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The program folder holds "_.udb" as a link to a register kept elsewhere.
class LinkedRegister : public ::testing::Test {
protected:
    void SetUp() override
    {
        oldTemp_ = qgetenv("TMPDIR");
        qputenv("TMPDIR", temp.path().toUtf8());
        ASSERT_NO_THROW(CreateRegisterFile(data.path(), QStringLiteral("abc123"), false));
        ASSERT_TRUE(QFile::rename(data.file(QStringLiteral("_.udb")), target()));
        ASSERT_TRUE(
            QFile::link(QStringLiteral("../") + QDir(data.path()).dirName() + QStringLiteral("/visitors.db"), link()));
        ASSERT_TRUE(QFileInfo(link()).isSymLink());
    }
    void TearDown() override { qputenv("TMPDIR", oldTemp_); }

    QString link() const { return program.file(QStringLiteral("_.udb")); }
    QString target() const { return data.file(QStringLiteral("visitors.db")); }

    // Rows of table data seen through the link.
    int rowCount() const
    {
        TRegisterConnection connection;
        connection.SetConnectionString(RegisterConnectionString(program.folder()));
        TRegisterQuery query(&connection);
        query.SQL.Add(SqlSelect{"Select ", "编号", " from ", "data"});
        query.Open();
        return query.RecordCount();
    }

    void addRows(int count)
    {
        TRegisterConnection connection;
        connection.SetConnectionString(RegisterConnectionString(program.folder()));
        TRegisterQuery query(&connection);
        for (int i = 0; i < count; ++i) {
            query.SQL.Clear();
            query.SQL.Add(SqlLine("insert into data (姓名,备注) values ('访客','")
                          + SqlValue{QString(300, QChar(u'备'))} + "')");
            query.ExecSQL();
        }
        query.SQL.Clear();
        query.SQL.Add("delete from data where 编号 > 10");
        query.ExecSQL();
    }

    TempDir program;
    TempDir data;
    TempDir temp;

private:
    QByteArray oldTemp_;
};

TEST_F(LinkedRegister, AnAtomicCopyReplacesTheLinksTargetAndKeepsTheLink)
{
    const QString source = program.file(QStringLiteral("new content"));
    writeFile(source, "replacement");
    ASSERT_NO_THROW(CopyFileAtomically(source, link()));
    EXPECT_TRUE(QFileInfo(link()).isSymLink());
    EXPECT_EQ(bytesOf(target()), QByteArray("replacement"));
    EXPECT_EQ(QDir(program.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2);
    EXPECT_EQ(QDir(data.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("visitors.db")});

    // A link whose target does not exist yet gets its target made.
    QFile::remove(target());
    ASSERT_NO_THROW(CopyFileAtomically(source, link()));
    EXPECT_TRUE(QFileInfo(link()).isSymLink());
    EXPECT_EQ(bytesOf(target()), QByteArray("replacement"));
}

TEST_F(LinkedRegister, CompactionWritesThroughTheLink)
{
    // Enough rows that the program's own empty tables (a page or more each)
    // stay well under a quarter of the file.
    addRows(800);
    const qint64 before = QFileInfo(target()).size();
    ASSERT_NO_THROW(CompactDatabaseFile(link(), QString::fromLatin1(kRegisterPassword)));
    EXPECT_TRUE(QFileInfo(link()).isSymLink());
    EXPECT_EQ(QFileInfo(link()).symLinkTarget(), target());
    EXPECT_LT(QFileInfo(target()).size(), before / 4);
    EXPECT_EQ(rowCount(), 10);
    EXPECT_EQ(QDir(data.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("visitors.db")});
}

TEST_F(LinkedRegister, TheSetUpToolReplacesThroughTheLinkToo)
{
    addRows(20);
    ASSERT_NO_THROW(CreateRegisterFile(program.path(), QStringLiteral("fresh1"), true));
    EXPECT_TRUE(QFileInfo(link()).isSymLink());
    EXPECT_EQ(rowCount(), 0);
}

TEST_F(LinkedRegister, LeftoversOfAKilledCompactionGoAtTheNextOne)
{
    // What a compaction killed at different steps leaves behind, and files
    // of the same folders whose names the program never makes.
    const QStringList leftovers = {
        temp.file(QStringLiteral("~ACPa1B2c3.tmp")), temp.file(QStringLiteral("~ACPa1B2c3.tmp-journal")),
        temp.file(QStringLiteral("~ACPzzzzzz.tmp")), data.file(QStringLiteral("visitors.db.tmp-Q9w8E7")),
        program.file(QStringLiteral("_.udb.tmp-x1y2z3"))};
    const QStringList others = {
        temp.file(QStringLiteral("~ACPnotes.txt")),       temp.file(QStringLiteral("~ACPa1B2c3d4.tmp")),
        temp.file(QStringLiteral("report.tmp")),          data.file(QStringLiteral("visitors.db.tmp-toolong1")),
        data.file(QStringLiteral("other.db.tmp-abcdef")), program.file(QStringLiteral("_.udb.bak"))};
    for (const QString& file : leftovers + others)
        writeFile(file, "left");
    // A folder and a link with a leftover's name are no leftovers.
    ASSERT_TRUE(QDir().mkdir(temp.file(QStringLiteral("~ACPdir123.tmp"))));
    ASSERT_TRUE(QFile::link(others[0], temp.file(QStringLiteral("~ACPlink12.tmp"))));

    ASSERT_NO_THROW(CompactDatabaseFile(link(), QString::fromLatin1(kRegisterPassword)));
    for (const QString& file : leftovers)
        EXPECT_FALSE(QFileInfo::exists(file)) << file.toStdString();
    for (const QString& file : others)
        EXPECT_EQ(bytesOf(file), QByteArray("left")) << file.toStdString();
    EXPECT_TRUE(QFileInfo(temp.file(QStringLiteral("~ACPdir123.tmp"))).isDir());
    EXPECT_TRUE(QFileInfo(temp.file(QStringLiteral("~ACPlink12.tmp"))).isSymLink());
    EXPECT_EQ(rowCount(), 0);
}

TEST(GbkCodec, TellsWhichTextsGbkCanHold)
{
    EXPECT_TRUE(IsGbkEncodable(QStringLiteral("QQ帐号")));
    EXPECT_TRUE(IsGbkEncodable(QStringLiteral("问号?与空格 ")));
    EXPECT_TRUE(IsGbkEncodable(QString()));
    EXPECT_FALSE(IsGbkEncodable(QStringLiteral("访客😀")));
    EXPECT_FALSE(IsGbkEncodable(QString(QChar(0xD800)))); // a lone surrogate
    EXPECT_FALSE(IsGbkEncodable(QStringLiteral("\uFFFD")));
}

} // namespace
