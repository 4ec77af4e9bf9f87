// "清空数据" and "压缩修复" on the settings tab.
#include "FormFixture.h"
#include "ReadOnlyFolder.h"
#include "RegisterRows.h"

#include "app/DBGridModel.h"
#include "app/Unit1.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/RegisterQuery.h"
#include "db/Sqlite.h"
#include "login/Unit_Login.h"
#include "shell/HandlerWiring.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QThread>
#include <iostream>

namespace {

class MaintenanceTest : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        oldTemp_ = qgetenv("TMPDIR");
        qputenv("TMPDIR", temp.path().toUtf8()); // where "~ACP" files go
    }
    void TearDown() override
    {
        FormFixture::TearDown();
        qputenv("TMPDIR", oldTemp_);
    }

    QString registerPath() const { return dir.file(QStringLiteral("_.udb")); }
    QByteArray registerBytes() const
    {
        QFile file(registerPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList leftovers() const
    {
        return QDir(temp.path()).entryList(QDir::Files | QDir::Hidden)
               + QDir(dir.path()).entryList({QStringLiteral("_.udb.*")}, QDir::Files | QDir::Hidden);
    }

    // Every row of data and Pass, read with the register's key.
    QStringList dump() const { return RegisterRows(registerPath()); }
    void exec(const char* sql)
    {
        sqlite3* db = nullptr;
        sqlite3_open_v2(QFile::encodeName(registerPath()).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        ASSERT_NO_THROW(KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword)));
        ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
    }

    // A register of `count` rows with long remarks, most of them deleted again.
    void makeThinnedRegister(int count)
    {
        makeRegister();
        QList<QStringList> rows;
        for (int i = 0; i < count; ++i)
            rows << QStringList{QStringLiteral("QQ帐号"),
                                QStringLiteral("访客%1").arg(i),
                                QStringLiteral("110101199001011234"),
                                {},
                                {},
                                QStringLiteral("送货"),
                                {},
                                {},
                                {},
                                QString(200, QChar(u'备')),
                                {}};
        insertRows(rows);
        exec("DELETE FROM data WHERE 编号 % 20 <> 0");
    }

    // Compaction fails and leaves the register byte for byte as it was.
    void expectCompactionFails()
    {
        const QByteArray before = registerBytes();
        ASSERT_FALSE(before.isEmpty());
        boxes.clear();
        form1->Button11->click();
        EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("数据库压缩失败.")});
        EXPECT_TRUE(registerBytes() == before) << "the register changed";
        EXPECT_EQ(leftovers(), QStringList());
        // Listed again all the same: navigation finds an open result.
        EXPECT_TRUE(form1->ADOQuery1->Active());
        form1->Button_Next->click();
        EXPECT_EQ(boxes.size(), 1);
    }

    void openList()
    {
        form1->ADOQuery1->SQL.Clear();
        form1->ADOQuery1->SQL.Add(SqlSelect{"select ", "编号", " from ", "data"});
        form1->ADOQuery1->Open();
    }

    TempDir temp;

private:
    QByteArray oldTemp_;
};

TEST_F(MaintenanceTest, ClearAllAnsweredNoKeepsRecordsAndYesEmptiesEverything)
{
    makeRegister();
    insertRows(
        {{QStringLiteral("QQ帐号"), QStringLiteral("张三")}, {QStringLiteral("QQ帐号"), QStringLiteral("李四")}});
    createForms();
    form1->Edit_XingMing->setText(QStringLiteral("张三"));

    answerNextQuestions({false});
    form1->Button9->click();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].kind, MessageBoxes::Kind::WarningYesNo);
    EXPECT_EQ(boxes[0].caption, QStringLiteral("警告"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("您真的要删除数据库中所有的记录吗?"));
    EXPECT_EQ(dump().size(), 3);

    answerNextQuestions({true});
    form1->Button9->click();
    EXPECT_EQ(boxes.size(), 2);
    EXPECT_EQ(dump().size(), 1); // the Pass row alone
    EXPECT_EQ(form1->Edit_XingMing->text(), QString());
    EXPECT_TRUE(form1->ADOQuery1->Active());
    EXPECT_EQ(form1->ADOQuery1->RecordCount(), 0);
    EXPECT_EQ(form1->DBGrid1Model->rowCount(), 0);
}

TEST_F(MaintenanceTest, CompactionShrinksTheRegisterAndKeepsRowsAndPassword)
{
    makeThinnedRegister(5000);
    const QStringList before = dump();
    const qint64 sizeBefore = QFileInfo(registerPath()).size();
    createForms();
    openList(); // the connection is open when the button is pressed
    ASSERT_TRUE(form1->ADOConnection1->Connected());

    form1->Button11->click();

    const qint64 sizeAfter = QFileInfo(registerPath()).size();
    std::cout << "register size before " << sizeBefore << " bytes, after " << sizeAfter << " bytes\n";
    RecordProperty("size_before", std::to_string(sizeBefore));
    RecordProperty("size_after", std::to_string(sizeAfter));
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("数据库压缩完成.")});
    EXPECT_LT(sizeAfter, sizeBefore / 4);
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(before.size(), 251);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(registerPath()).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(leftovers(), QStringList());

    // The register is listed again, which opens the connection again, and
    // the navigation works on that list.
    EXPECT_TRUE(form1->ADOQuery1->Active());
    EXPECT_EQ(form1->ADOQuery1->RecordCount(), 250);
    EXPECT_EQ(form1->DBGrid1Model->rowCount(), 250);
    EXPECT_EQ(form1->StatusPanel(0)->text(), QStringLiteral("共250条信息"));
    form1->Button_Last->click();
    EXPECT_EQ(form1->StatusPanel(1)->text(), QStringLiteral("250"));
    EXPECT_EQ(boxes.size(), 1);
    // Record numbers go on after the highest one ever given, deleted or not.
    exec("INSERT INTO data (姓名) VALUES ('新')");
    EXPECT_TRUE(dump()[250].startsWith(QStringLiteral("5001|")));
}

TEST_F(MaintenanceTest, MissingRegisterIsReportedAndNothingElseHappens)
{
    makeRegister();
    createForms();
    openList();
    ASSERT_TRUE(QFile::remove(registerPath()));
    form1->Button11->click();
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("没有发现数据库\"_.udb\"文件.")});
    EXPECT_TRUE(form1->ADOConnection1->Connected());
    EXPECT_EQ(leftovers(), QStringList());
}

TEST_F(MaintenanceTest, CompactionFailsWhenTheTemporaryFolderIsReadOnly)
{
    makeThinnedRegister(200);
    createForms();
    ReadOnlyFolder readOnly(temp.path());
    REQUIRE_READ_ONLY(readOnly);
    expectCompactionFails();
}

TEST_F(MaintenanceTest, CompactionFailsWhenTheProgramFolderIsReadOnly)
{
    makeThinnedRegister(200);
    createForms();
    ReadOnlyFolder readOnly(dir.path());
    REQUIRE_READ_ONLY(readOnly);
    expectCompactionFails();
}

TEST_F(MaintenanceTest, CompactionFailsWhileAnotherProcessHoldsATransaction)
{
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlcipher"));
    if (shell.isEmpty())
        GTEST_SKIP() << "the sqlcipher shell is not installed";
    makeThinnedRegister(200);
    const QStringList rows = dump();
    createForms();

    QProcess other;
    other.start(shell, {registerPath()});
    ASSERT_TRUE(other.waitForStarted());
    const QString flag = temp.file(QStringLiteral("held"));
    other.write(QStringLiteral("PRAGMA key = '%1';\nPRAGMA cipher_page_size = %3;\n"
                               "BEGIN;\nINSERT INTO data (姓名) VALUES ('未提交');\n.shell touch '%2'\n")
                    .arg(QString::fromLatin1(kRegisterPassword), flag)
                    .arg(kRegisterPageSize)
                    .toUtf8());
    ASSERT_TRUE(other.waitForBytesWritten());
    for (int i = 0; i < 100 && !QFileInfo::exists(flag); ++i)
        QThread::msleep(50);
    ASSERT_TRUE(QFileInfo::exists(flag)) << "the other process did not start its transaction";
    QFile::remove(flag);

    expectCompactionFails();

    other.closeWriteChannel(); // the other process ends; its transaction rolls back
    ASSERT_TRUE(other.waitForFinished());
    boxes.clear();
    form1->Button11->click();
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("数据库压缩完成.")});
    EXPECT_EQ(dump(), rows);
}

TEST_F(MaintenanceTest, CompactionFailsWhenTheProgramFolderIsFull)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small file system needs root";
    const QByteArray folder = QFile::encodeName(dir.path());
    ASSERT_EQ(::mount("tmpfs", folder.constData(), "tmpfs", 0, "size=16m,mode=0700"), 0);
    struct Unmount {
        const QByteArray& path;
        ~Unmount() { ::umount2(path.constData(), MNT_DETACH); }
    } unmount{folder};

    makeThinnedRegister(1500);
    createForms();
    {
        // Fill the disk, then free a little less than the compacted copy needs.
        QFile filler(dir.file(QStringLiteral("filler")));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {}
        filler.resize(filler.size() - 8192);
    }
    expectCompactionFails();
}

} // namespace
