// Setting a new administrator password on the settings tab.
#include "LoginFixture.h"
#include "crypto/Unit_DESCrypt.h"
#include "db/RegisterQuery.h"
#include "shell/MessageBeep.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>

namespace {

class PasswordTest : public LoginFixture {
protected:
    void loggedIn()
    {
        startAndWaitForLogin();
        enterPassword(QString::fromLatin1(kAdminPassword));
        ASSERT_TRUE(form1->isVisible());
        boxes.clear();
    }
    void set(const QString& a, const QString& b)
    {
        form1->Edit_Pass_A->setText(a);
        form1->Edit_Pass_B->setText(b);
        form1->Button7->click();
    }
    QByteArray registerBytes() const
    {
        QFile f(dir.file(QStringLiteral("_.udb")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(PasswordTest, TheChecksComeInOrder)
{
    loggedIn();
    set(QStringLiteral("abc123"), QString()); // the current password, though the confirmation is empty
    set(QString(), QString());
    set(QStringLiteral("new1"), QString());
    set(QStringLiteral("new1"), QStringLiteral("new2"));
    EXPECT_EQ(boxTexts(), (QStringList{QStringLiteral("请输入新的密码."), QStringLiteral("请填写密码."),
                                       QStringLiteral("请填写确认密码."), QStringLiteral("两次输入的密码不相同.")}));
    EXPECT_TRUE(form1->Edit_Pass_A->text().isEmpty());
    EXPECT_TRUE(form1->Edit_Pass_B->text().isEmpty());
    EXPECT_FALSE(form1->HasClosed());
    QDir folder(dir.path());
    EXPECT_TRUE(folder.entryList({QStringLiteral("bak_*")}).isEmpty());
}

TEST_F(PasswordTest, ResetEmptiesBothAndTheEditsTakeOnlyLettersAndDigits)
{
    loggedIn();
    const int beeps = MessageBeepCount();
    typeText(form1->Edit_Pass_A, QStringLiteral("ab c"));
    typeText(form1->Edit_Pass_B, QStringLiteral("x.y"));
    EXPECT_EQ(form1->Edit_Pass_A->text(), QStringLiteral("abc"));
    EXPECT_EQ(form1->Edit_Pass_B->text(), QStringLiteral("xy"));
    EXPECT_EQ(MessageBeepCount(), beeps + 2);
    form1->Button_PassCleal->click();
    EXPECT_TRUE(form1->Edit_Pass_A->text().isEmpty());
    EXPECT_TRUE(form1->Edit_Pass_B->text().isEmpty());
}

TEST_F(PasswordTest, ASuccessfulChangeBacksUpTheRegisterStoresTheNewPasswordAndEnds)
{
    loggedIn();
    const QByteArray before = registerBytes();
    form1->StatusPanel(2)->setText(QStringLiteral("2026-12-07 9:05:03"));
    form1->Timer1->stop(); // keep the stamp of this moment
    set(QStringLiteral("NewPass123"), QStringLiteral("NewPass123"));
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("密码设置成功,请重新登录.")});
    EXPECT_TRUE(form1->HasClosed());

    QFile backup(dir.file(QStringLiteral("bak_2026120790503_.udb")));
    ASSERT_TRUE(backup.open(QIODevice::ReadOnly));
    EXPECT_EQ(backup.readAll(), before);
    EXPECT_EQ(backup.permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*tmp*")}).isEmpty());

    form2.reset();
    form1.reset();
    AdminPassword.clear();
    createForms();
    pump(1200);
    EXPECT_EQ(AdminPassword, QStringLiteral("NewPass123"));
    form1->ADOQuery_Pass->First();
    EXPECT_EQ(form1->ADOQuery_Pass->Fields(0).toStdString(), EncryptToHex("NewPass123", "vum"));
    EXPECT_EQ(form1->ADOQuery_Pass->Fields(0).size(), 32);
    enterPassword(QStringLiteral("abc123"));
    EXPECT_FALSE(form1->isVisible());
    enterPassword(QStringLiteral("NewPass123"));
    EXPECT_TRUE(form1->isVisible());
}

TEST_F(PasswordTest, AFailedUpdateKeepsTheOldPasswordAndTheProgramRuns)
{
    loggedIn();
    // Another holder locks the register against writing.
    sqlite3* other = nullptr;
    ASSERT_EQ(
        sqlite3_open_v2(dir.file(QStringLiteral("_.udb")).toUtf8().constData(), &other, SQLITE_OPEN_READWRITE, nullptr),
        SQLITE_OK);
    ASSERT_NO_THROW(KeyRegisterHandle(other, QString::fromLatin1(kRegisterPassword)));
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    set(QStringLiteral("short"), QStringLiteral("short"));
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].kind, MessageBoxes::Kind::Error);
    EXPECT_FALSE(form1->HasClosed());
    EXPECT_FALSE(QDir(dir.path()).entryList({QStringLiteral("bak_*_.udb")}).isEmpty()); // the backup stays
    form1->ADOQuery_Pass->Close();
    form1->ADOQuery_Pass->Open();
    EXPECT_EQ(QString::fromStdString(DecryptFromHex(form1->ADOQuery_Pass->Fields(0).toStdString(), "vum")),
              QStringLiteral("abc123"));
}
