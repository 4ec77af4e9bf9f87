// Registers go both ways between the program and the sqlcipher shell of the
// distribution (SQLCipher 3 on Debian 12): the file format is that of
// SQLCipher 3 with the register's page size.
#include "StoreFixture.h"

#include "crypto/Unit_DESCrypt.h"
#include "db/Sqlite.h"
#include "db/Unit_DB.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace {

class ShellInteropTest : public StoreFixture {
protected:
    void SetUp() override
    {
        shell = QStandardPaths::findExecutable(QStringLiteral("sqlcipher"));
        if (shell.isEmpty())
            GTEST_SKIP() << "the sqlcipher shell is not installed";
        StoreFixture::SetUp();
    }

    // Runs `script` in the shell on the register, keyed as README tells;
    // returns what it printed.
    QString runShell(const QString& script, int pageSize = kRegisterPageSize)
    {
        QProcess process;
        process.start(shell, {QStringLiteral("-batch"), dir.file(QStringLiteral("_.udb"))});
        EXPECT_TRUE(process.waitForStarted());
        process.write(QStringLiteral("PRAGMA key = '%1';\nPRAGMA cipher_page_size = %2;\n%3\n")
                          .arg(QString::fromLatin1(kRegisterPassword))
                          .arg(pageSize)
                          .arg(script)
                          .toUtf8());
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    QStringList listedNames()
    {
        open(allRecords());
        QStringList names;
        for (query.First(); !query.Eof(); query.Next())
            names << query.Fields(DataColumn::Name) + QLatin1Char('/') + query.Fields(DataColumn::Remarks);
        return names;
    }

    QString shell;
};

TEST_F(ShellInteropTest, ARegisterMadeByTheShellOpensListsAndTakesWrites)
{
    connection.Close();
    ASSERT_TRUE(QFile::remove(dir.file(QStringLiteral("_.udb"))));
    const QString hex = QString::fromStdString(EncryptToHex("abc123", "vum"));
    runShell(
        QStringLiteral(
            "CREATE TABLE data (编号 INTEGER PRIMARY KEY AUTOINCREMENT, 分类 TEXT, 姓名 TEXT, 身份证 TEXT, 手机 TEXT,"
            " 电话 TEXT, 来由 TEXT, 地址 TEXT, 来访 TEXT, 离开 TEXT, 备注 TEXT, 日期 TEXT);"
            "CREATE TABLE Pass (密码 TEXT);"
            "INSERT INTO Pass VALUES ('%1');"
            "INSERT INTO data (分类, 姓名, 身份证, 来由, 备注, 日期) VALUES"
            " ('快递', '欧阳娜娜', '110101199003077777', '送货', '北门进,'||char(10)||'南门出', '2026/12/8 9:00:00'),"
            " ('访客', '张三', '110101199003071234', '面试', '', '2026/12/8 9:05:00');")
            .arg(hex));

    EXPECT_EQ(listedNames(), (QStringList{QStringLiteral("欧阳娜娜/北门进,\n南门出"), QStringLiteral("张三/")}));
    open(SqlLine("Select 密码 from Pass"));
    EXPECT_EQ(query.Fields(0), hex);

    addVisitor(QStringLiteral("李四"));
    exec(SqlLine("Update data set 来由='复试' where 编号=2"));
    connection.Close();
    EXPECT_EQ(runShell(QStringLiteral("PRAGMA integrity_check; SELECT 姓名 || ':' || 来由 FROM data ORDER BY 编号;")),
              QStringLiteral("ok\n欧阳娜娜:送货\n张三:复试\n李四:送货"));
}

TEST_F(ShellInteropTest, ARegisterWrittenAndCompactedByTheProgramReadsBackInTheShell)
{
    addVisitor(QStringLiteral("王小明"), QStringLiteral("快递"));
    addVisitor(QStringLiteral("陈"));
    exec(SqlLine("Delete from data where 姓名='陈'"));
    addVisitor(QStringLiteral("司马光"));
    connection.Close();
    const QString expected = QStringLiteral("ok\n1:王小明:快递\n3:司马光:QQ帐号");
    EXPECT_EQ(runShell(QStringLiteral(
                  "PRAGMA integrity_check; SELECT 编号 || ':' || 姓名 || ':' || 分类 FROM data ORDER BY 编号;")),
              expected);

    ASSERT_NO_THROW(CompactDatabaseFile(dir.file(QStringLiteral("_.udb")), QString::fromLatin1(kRegisterPassword)));
    EXPECT_EQ(runShell(QStringLiteral(
                  "PRAGMA integrity_check; SELECT 编号 || ':' || 姓名 || ':' || 分类 FROM data ORDER BY 编号;")),
              expected);
}

// The program links a SQLCipher of the 4 line, at least 4.6, whichever way
// the build found it.
TEST(RegisterEngine, IsSQLCipher4_6OrLater)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    QString version;
    {
        SqliteStatement statement(db, QStringLiteral("PRAGMA cipher_version"));
        if (statement.step())
            version = statement.columnText(0).section(QLatin1Char(' '), 0, 0);
    }
    sqlite3_close(db);
    const QStringList parts = version.split(QLatin1Char('.'));
    ASSERT_GE(parts.size(), 2) << version.toStdString();
    EXPECT_EQ(parts[0].toInt(), 4) << version.toStdString();
    EXPECT_GE(parts[1].toInt(), 6) << version.toStdString();
}

} // namespace
