// The login check and the login window.
#include "LoginFixture.h"
#include "crypto/Unit_DESCrypt.h"
#include "shell/MessageBeep.h"
#include "skin/engine/SkinForm.h"
#include "skin/engine/SkinManager.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

TEST_F(LoginFixture, TheLoginWindowAppearsASecondAfterStartAndTheMainWindowWaits)
{
    makeRegister();
    createForms();
    pump(600);
    EXPECT_FALSE(form2->isVisible());
    pump(700);
    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(form1->isVisible());
    EXPECT_FALSE(form1->Timer_CheckLogin->isActive()); // the check ran once
    EXPECT_EQ(AdminPassword, QString::fromLatin1(kAdminPassword));
    EXPECT_EQ(form2->windowTitle(), QStringLiteral("管理登录"));
    // The skin's frame surrounds a client area of 294 x 161.
    const TSkinForm* frame = TSkinManager::Instance()->FindSkinForm(form2.get());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(form2->size(),
              QSize(294 + frame->LeftWidth() + frame->RightWidth(), 161 + frame->TopHeight() + frame->BottomHeight()));
    EXPECT_EQ(form2->GroupBox1->pos(), QPoint(frame->LeftWidth(), frame->TopHeight()));

    form1->show(); // a stray show before the password changes nothing
    EXPECT_FALSE(form1->isVisible());
}

TEST_F(LoginFixture, TheRightPasswordShowsTheMainWindow)
{
    startAndWaitForLogin();
    enterPassword(QStringLiteral("abc123"));
    EXPECT_TRUE(form1->isVisible());
    EXPECT_FALSE(form2->isVisible());
    EXPECT_EQ(form2->Edit_LoginPass->text(), QString());
    EXPECT_EQ(form2->Edit_LoginPass_Temp->text(), QStringLiteral("abc123"));
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(LoginFixture, WrongPasswordsAreCountedAndTheThirdEndsTheProgram)
{
    startAndWaitForLogin();
    enterPassword(QString());
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("请输入密码...")});
    enterPassword(QStringLiteral("ABC123")); // letter case counts
    EXPECT_EQ(form2->StatusPanel0->text(), QStringLiteral("密码错误...1次"));
    EXPECT_EQ(form2->Edit_LoginPass->text(), QStringLiteral("ABC123")); // left in the box
    enterPassword(QStringLiteral("abc12"));
    EXPECT_EQ(form2->StatusPanel0->text(), QStringLiteral("密码错误...2次"));
    EXPECT_FALSE(form1->HasClosed());
    enterPassword(QStringLiteral("x"));
    EXPECT_EQ(boxTexts().last(), QStringLiteral("由于您多次输入了无效的密码程序将要退出..."));
    EXPECT_TRUE(form1->HasClosed());
}

TEST_F(LoginFixture, TheCountSurvivesALogin)
{
    startAndWaitForLogin();
    enterPassword(QStringLiteral("no1"));
    enterPassword(QStringLiteral("no2"));
    enterPassword(QStringLiteral("abc123"));
    ASSERT_TRUE(form1->isVisible());
    // Hidden without login, the check runs again and asks once more.
    form1->hide();
    form2->Edit_LoginPass_Temp->clear();
    form1->Button_CheckLogin->click();
    EXPECT_TRUE(form2->isVisible());
    enterPassword(QStringLiteral("no3"));
    EXPECT_TRUE(form1->HasClosed());
}

TEST_F(LoginFixture, EnterClicksEnterOnlyAfterTheFirstChange)
{
    startAndWaitForLogin();
    const int beeps = MessageBeepCount();
    QTest::keyClick(form2->Edit_LoginPass, Qt::Key_Return);
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
    EXPECT_TRUE(boxes.isEmpty());
    typeText(form2->Edit_LoginPass, QStringLiteral("abc123"));
    QTest::keyClick(form2->Edit_LoginPass, Qt::Key_Return);
    EXPECT_TRUE(form1->isVisible());
}

TEST_F(LoginFixture, OnlyLettersAndDigitsEnterThePasswordBox)
{
    startAndWaitForLogin();
    QLineEdit* edit = form2->Edit_LoginPass;
    const int beeps = MessageBeepCount();
    typeText(edit, QStringLiteral("a b-C_9!密"));
    EXPECT_EQ(edit->text(), QStringLiteral("abC9"));
    EXPECT_EQ(MessageBeepCount(), beeps + 5);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("abC"));

    QGuiApplication::clipboard()->setText(QStringLiteral("x y"));
    edit->paste();
    EXPECT_EQ(edit->text(), QStringLiteral("abC"));
    EXPECT_EQ(MessageBeepCount(), beeps + 6);
    QGuiApplication::clipboard()->setText(QStringLiteral("Z7"));
    edit->paste();
    EXPECT_EQ(edit->text(), QStringLiteral("abCZ7"));
    edit->insert(QStringLiteral("密码"));
    EXPECT_EQ(edit->text(), QStringLiteral("abCZ7"));
}

TEST_F(LoginFixture, ThePasswordBoxShowsAStarForEveryCharacter)
{
    startAndWaitForLogin(); // the window is skinned by now
    QLineEdit* edit = form2->Edit_LoginPass;
    typeText(edit, QStringLiteral("ab1"));
    EXPECT_EQ(edit->text(), QStringLiteral("ab1"));
    EXPECT_EQ(edit->displayText(), QStringLiteral("***")); // at once, no character shown for a moment
    EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
}

TEST_F(LoginFixture, ClickingIntoThePasswordBoxEmptiesIt)
{
    startAndWaitForLogin();
    form2->Edit_LoginPass->setText(QStringLiteral("abc"));
    QTest::mouseClick(form2->Edit_LoginPass, Qt::LeftButton);
    EXPECT_EQ(form2->Edit_LoginPass->text(), QString());
}

TEST_F(LoginFixture, NoStoredPasswordEndsTheProgramSilently)
{
    // The last one deciphers to the empty text.
    const std::string enciphersNothing = "UPDATE Pass SET 密码='" + EncryptToHex("", "vum") + "'";
    for (const std::string& statement :
         {std::string("UPDATE Pass SET 密码=''"), std::string("DELETE FROM Pass"),
          std::string("UPDATE Pass SET 密码='XYZ'"), std::string("UPDATE Pass SET 密码=NULL"), enciphersNothing}) {
        SCOPED_TRACE(statement);
        TearDown();
        boxes.clear();
        QFile::remove(dir.file(QStringLiteral("_.udb")));
        SetUp();
        makeRegister();
        sql(statement.c_str());
        createForms();
        pump(1200);
        EXPECT_TRUE(form1->HasClosed());
        EXPECT_FALSE(form2->isVisible());
        EXPECT_TRUE(boxes.isEmpty());
    }
}

TEST_F(LoginFixture, AnUnreadableRegisterIsRetriedWithOneErrorBoxAtATime)
{
    QFile garbage(dir.file(QStringLiteral("_.udb")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();
    int errorBoxes = 0;
    int maxOpenAtOnce = 0;
    int open = 0;
    QElapsedTimer clock;
    clock.start();
    qint64 firstDismissed = 0;
    qint64 secondShown = 0;
    MessageBoxes::SetScript([&](const MessageBoxes::Request& r) {
        boxes << r;
        if (r.kind != MessageBoxes::Kind::Error)
            return false;
        if (++errorBoxes == 2)
            secondShown = clock.elapsed();
        maxOpenAtOnce = std::max(maxOpenAtOnce, ++open);
        if (errorBoxes == 1) {
            pump(2500); // the guard takes a while to read the box: timers keep running
            firstDismissed = clock.elapsed();
        }
        --open;
        return false;
    });
    createForms();
    while (errorBoxes < 2 && clock.elapsed() < 20000)
        pump(50);
    EXPECT_EQ(maxOpenAtOnce, 1);
    ASSERT_EQ(errorBoxes, 2);
    EXPECT_GE(secondShown - firstDismissed, 900); // a second after the box went
    EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("not a database"))) << boxes[0].text.toStdString();
    EXPECT_FALSE(form2->isVisible());
    EXPECT_FALSE(form1->HasClosed());
}
