// A program folder on a small file system that fills up, and one that is
// read-only: every write fails cleanly and what was there stays whole.
#include "FaultFixture.h"
#include "ReadOnlyFolder.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

class FullDiskTest : public FaultFixture {
protected:
    void SetUp() override
    {
        FaultFixture::SetUp();
        if (::geteuid() != 0)
            GTEST_SKIP() << "mounting a small file system needs root";
        folder_ = QFile::encodeName(dir.path());
        if (::mount("tmpfs", folder_.constData(), "tmpfs", 0, "size=3m,mode=0700") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        mounted_ = true;
    }
    void TearDown() override
    {
        FaultFixture::TearDown(); // the windows close their handles first
        if (mounted_)
            ::umount2(folder_.constData(), MNT_DETACH);
    }

    // Takes every free block of the file system.
    void fillDisk()
    {
        const int fd = ::open(QFile::encodeName(dir.file(QStringLiteral("filler"))).constData(),
                              O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        const QByteArray block(4096, 'x');
        while (::write(fd, block.constData(), block.size()) > 0) {}
        while (::write(fd, "x", 1) > 0) {}
        ::close(fd);
    }

private:
    QByteArray folder_;
    bool mounted_ = false;
};

TEST_F(FullDiskTest, EveryWriteFailsCleanlyOnAFullDisk)
{
    makeRegister();
    useTemporaryFolder(dir.file(QStringLiteral("tmp"))); // the compaction's copy lands on the full disk too
    insertRows({{QStringLiteral("QQ帐号"), QStringLiteral("张三"), QStringLiteral("1"), {}, {}, QStringLiteral("r")},
                {QStringLiteral("QQ帐号"), QStringLiteral("李四"), QStringLiteral("2"), {}, {}, QStringLiteral("r")}});
    createForms();
    logIn();
    const QStringList before = dump();
    const QByteArray registerBefore = bytes(QStringLiteral("_.udb"));
    const QByteArray categoriesBefore = bytes(QStringLiteral("class.dat"));
    fillDisk();

    // An add that needs new pages: the engine's message, no row.
    fillRecord(QStringLiteral("王五"), QString(200000, QLatin1Char('x')));
    form1->Button1->click();
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors()[0].contains(QLatin1String("full"))) << errors()[0].toStdString();
    EXPECT_FALSE(boxTexts().contains(QStringLiteral("添加成功.")));
    EXPECT_EQ(dump(), before);
    form1->Button_Refresh->click();
    EXPECT_EQ(form1->ADOQuery1->RecordCount(), 2);

    // "+": the error box, the box keeps the new item, the file stays whole.
    form1->Edit_FenLei->setEditText(QStringLiteral("新分类"));
    form1->Button_Edit_FenLei_add->click();
    EXPECT_EQ(errors().size(), 2);
    EXPECT_FALSE(boxTexts().contains(QStringLiteral("新分类添加成功.")));
    EXPECT_EQ(bytes(QStringLiteral("class.dat")), categoriesBefore);

    // Compaction: its failure message, the register untouched, no copy left.
    form1->Button11->click();
    EXPECT_EQ(boxTexts().last(), QStringLiteral("数据库压缩失败."));
    EXPECT_EQ(bytes(QStringLiteral("_.udb")), registerBefore);
    EXPECT_TRUE(QDir(dir.file(QStringLiteral("tmp"))).isEmpty());

    // Password: the backup cannot be made and the update cannot be written;
    // the old password stays and the program goes on.
    form1->Edit_Pass_A->setText(QStringLiteral("new999"));
    form1->Edit_Pass_B->setText(QStringLiteral("new999"));
    form1->Button7->click();
    EXPECT_EQ(errors().size(), 3);
    EXPECT_FALSE(boxTexts().contains(QStringLiteral("密码设置成功,请重新登录.")));
    EXPECT_EQ(dump(), before);
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("bak_*")}, QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_TRUE(form1->isVisible());

    // Room again: the register works as before.
    QFile::remove(dir.file(QStringLiteral("filler")));
    fillRecord(QStringLiteral("王五"));
    form1->Button1->click();
    EXPECT_TRUE(boxTexts().contains(QStringLiteral("添加成功.")));
    EXPECT_EQ(form1->ADOQuery1->RecordCount(), 3);
}

class ReadOnlyMediaTest : public FaultFixture {};

TEST_F(ReadOnlyMediaTest, AddAndPasswordChangeFailOnAReadOnlyFolder)
{
    makeRegister();
    insertRows({{QStringLiteral("QQ帐号"), QStringLiteral("张三"), QStringLiteral("1"), {}, {}, QStringLiteral("r")}});
    createForms();
    const QStringList before = dump();
    const QByteArray categoriesBefore = bytes(QStringLiteral("class.dat"));
    ReadOnlyFolder readOnly(dir.path());
    REQUIRE_READ_ONLY(readOnly);
    logIn(); // reading still works

    fillRecord(QStringLiteral("王五"));
    form1->Button1->click();
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors()[0].contains(QLatin1String("readonly"))) << errors()[0].toStdString();
    form1->Button_Refresh->click();
    EXPECT_EQ(form1->ADOQuery1->RecordCount(), 1);

    form1->Edit_FenLei->setEditText(QStringLiteral("新分类"));
    form1->Button_Edit_FenLei_add->click();
    EXPECT_EQ(errors().size(), 2);
    EXPECT_EQ(bytes(QStringLiteral("class.dat")), categoriesBefore);

    form1->Edit_Pass_A->setText(QStringLiteral("new999"));
    form1->Edit_Pass_B->setText(QStringLiteral("new999"));
    form1->Button7->click();
    EXPECT_EQ(errors().size(), 3);
    EXPECT_FALSE(boxTexts().contains(QStringLiteral("密码设置成功,请重新登录.")));
    EXPECT_TRUE(form1->isVisible());
    form2.reset();
    form1.reset(); // releases the file before it is read again
    EXPECT_EQ(dump(), before);
}

} // namespace
