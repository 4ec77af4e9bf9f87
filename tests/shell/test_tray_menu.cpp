#include "FormFixture.h"
#include "app/Unit1.h"
#include "login/Unit_Login.h"
#include "shell/HandlerWiring.h"
#include "shell/TrayIcon.h"
#include "shell/Unit_Function.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>

namespace {

class TrayMenuTest : public FormFixture {
protected:
    void TearDown() override
    {
        ShowAppInTaskbar(); // the taskbar state is the process's, not the window's
        FormFixture::TearDown();
    }

    // The program started on a register; the login window is up.
    void startToLoginWindow()
    {
        makeRegister();
        createForms();
        pump(1300);
        ASSERT_TRUE(form2->isVisible());
        ASSERT_FALSE(form1->isVisible());
    }
    void startLoggedIn()
    {
        startToLoginWindow();
        enterPassword(QString::fromLatin1(kAdminPassword));
        ASSERT_TRUE(form1->isVisible());
    }
    QString marker() const { return form2->Edit_LoginPass_Temp->text(); }
    void leftClickTrayIcon()
    {
        for (TTrayMessage m : {TTrayMessage::LButtonDown, TTrayMessage::LButtonUp})
            TTrayIconHandler::Instance()->CallbackWindowProc(form1->TrayIcon1->IconId(), m);
    }
};

} // namespace

TEST_F(TrayMenuTest, MenuHasItsSixItemsInOrderAndTheIconItsSettings)
{
    makeRegister();
    createForms();
    QStringList captions;
    QStringList names;
    for (QAction* a : form1->PopupMenu1->actions()) {
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
        names << a->objectName();
    }
    EXPECT_EQ(captions, QStringList({"检测更新", "-", "显示窗口", "隐藏窗口", "-", "退出程序"}));
    EXPECT_EQ(names, QStringList({"Aboutme", "N2", "ShowME", "HideME", "N1", "CloseMe"}));
    EXPECT_EQ(form1->PopupMenu1->defaultAction(), nullptr);

    TTrayIcon* icon = form1->TrayIcon1;
    EXPECT_EQ(icon->Hint(), QStringLiteral("Vostrel"));
    EXPECT_EQ(icon->TipText(), QStringLiteral("Vostrel"));
    EXPECT_TRUE(icon->IconVisible());
    EXPECT_FALSE(icon->Icon().isNull());
    EXPECT_EQ(icon->PopupMenu(), form1->PopupMenu1);
    EXPECT_EQ(icon->Icon().cacheKey(), form1->windowIcon().cacheKey());
}

TEST_F(TrayMenuTest, HideThenTrayClickAsksForThePasswordAndTheTaskbarComesBackWithTheLogin)
{
    startLoggedIn();
    EXPECT_FALSE(WindowSkipsTaskbar(form1.get()));

    // a click while shown leaves it shown and logged in
    leftClickTrayIcon();
    EXPECT_TRUE(form1->isVisible());
    EXPECT_FALSE(marker().isEmpty());

    PerformClick(form1->HideME);
    EXPECT_FALSE(form1->isVisible());
    EXPECT_TRUE(marker().isEmpty());
    EXPECT_TRUE(WindowSkipsTaskbar(form1.get()));

    leftClickTrayIcon(); // runs the login check
    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(form1->isVisible());
    EXPECT_TRUE(WindowSkipsTaskbar(form2.get())); // off the taskbar until the login

    enterPassword(QStringLiteral("wrong1"));
    EXPECT_FALSE(form1->isVisible());
    EXPECT_TRUE(AppHiddenFromTaskbar());

    enterPassword(QString::fromLatin1(kAdminPassword));
    EXPECT_TRUE(form1->isVisible());
    EXPECT_FALSE(form2->isVisible());
    EXPECT_FALSE(marker().isEmpty());
    EXPECT_FALSE(WindowSkipsTaskbar(form1.get()));

    // the minimise button does the same as the menu item
    PerformClick(form1->Button_HIde);
    EXPECT_FALSE(form1->isVisible());
    EXPECT_TRUE(marker().isEmpty());
    PerformClick(form1->ShowME);
    EXPECT_TRUE(form2->isVisible());
}

TEST_F(TrayMenuTest, HideWhileTheLoginWindowIsUpKeepsItAndTakesTheTaskbarButton)
{
    startToLoginWindow();
    PerformClick(form1->HideME);
    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(form1->isVisible());
    EXPECT_TRUE(marker().isEmpty());
    EXPECT_TRUE(WindowSkipsTaskbar(form2.get()));
}

TEST_F(TrayMenuTest, WrongAttemptsCountAcrossHideAndShow)
{
    startToLoginWindow();
    enterPassword(QStringLiteral("bad1"));
    enterPassword(QStringLiteral("bad2"));
    enterPassword(QString::fromLatin1(kAdminPassword));
    ASSERT_TRUE(form1->isVisible());

    PerformClick(form1->HideME);
    PerformClick(form1->ShowME);
    ASSERT_TRUE(form2->isVisible());
    enterPassword(QStringLiteral("bad3"));
    EXPECT_TRUE(boxTexts().contains(QStringLiteral("由于您多次输入了无效的密码程序将要退出...")));
    EXPECT_TRUE(form1->HasClosed());
}

TEST_F(TrayMenuTest, ExitItemAndExitButtonEndTheProgram)
{
    startLoggedIn();
    PerformClick(form1->Button4);
    EXPECT_TRUE(form1->HasClosed());
}

TEST_F(TrayMenuTest, MinimisedWindowsComeBackNormalFromTheIconTheMenuAndTheLogin)
{
    startLoggedIn();
    form1->showMinimized();
    pump(50);
    ASSERT_TRUE(form1->isMinimized());
    leftClickTrayIcon();
    EXPECT_TRUE(form1->isVisible());
    EXPECT_FALSE(form1->isMinimized());

    form1->showMinimized();
    pump(50);
    form1->ShowME->trigger();
    EXPECT_FALSE(form1->isMinimized());

    // Minimised, hidden to the tray, the login window minimised too: the
    // click brings the login window back normal, the password the main window.
    form1->showMinimized();
    pump(50);
    form1->HideME->trigger();
    leftClickTrayIcon();
    ASSERT_TRUE(form2->isVisible());
    form2->showMinimized();
    pump(50);
    leftClickTrayIcon();
    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(form2->isMinimized());
    enterPassword(QString::fromLatin1(kAdminPassword));
    EXPECT_TRUE(form1->isVisible());
    EXPECT_FALSE(form1->isMinimized());
}

TEST_F(TrayMenuTest, ANotificationAreaThatDrawsMenusGetsThePopupMenusOwnItems)
{
    startLoggedIn();
    QMenu* exported = form1->TrayIcon1->ExportedMenu();
    ASSERT_NE(exported, nullptr);
    EXPECT_EQ(form1->TrayIcon1->SystemTrayIcon()->contextMenu(), exported);
    EXPECT_EQ(exported->actions(), form1->PopupMenu1->actions());

    // Chosen there, 隐藏窗口 runs its handler: hidden and logged out.
    exported->actions().at(3)->trigger();
    EXPECT_FALSE(form1->isVisible());
    EXPECT_TRUE(marker().isEmpty());

    // The exported menu follows the popup menu.
    QAction* extra = form1->PopupMenu1->addAction(QStringLiteral("extra"));
    pump(20);
    EXPECT_EQ(exported->actions().last(), extra);
    form1->PopupMenu1->removeAction(extra);
    pump(20);
    EXPECT_EQ(exported->actions(), form1->PopupMenu1->actions());
}
