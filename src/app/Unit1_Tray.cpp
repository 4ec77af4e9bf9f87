// The notification-area icon, its menu and the taskbar presence: the window
// can be put away into the icon, which forgets the login, and brought back.
#include "app/Unit1.h"
#include "login/Unit_Login.h"
#include "shell/HandlerWiring.h"
#include "shell/TrayIcon.h"
#include "shell/Unit_Function.h"
#include "shell/WindowPlacement.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>

void TForm1::buildTrayIcon()
{
    // The settings come before the visibility, so the icon appears with its
    // image and tip at once, while the window is still being built.
    TrayIcon1 = new TTrayIcon(this);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    TrayIcon1->SetHint(QStringLiteral("Vostrel"));
    TrayIcon1->SetIcon(windowIcon());
    TrayIcon1->SetPopupMenu(PopupMenu1);
    TrayIcon1->OnClick = [this] { TrayIcon1Click(); };
    TrayIcon1->SetIconVisible(true);
    TrayIcon1->Loaded();
}

void TForm1::connectTray()
{
    BindClick(ShowME, [this] { ShowMEClick(); });
    BindClick(HideME, [this] { HideMEClick(); });
}

void TForm1::TrayIcon1Click() { PerformClick(ShowME); }

void TForm1::ShowMEClick()
{
    // Before the login window exists there is nobody to ask for the password.
    if (!LoginForm)
        return;
    if (LoginForm->Edit_LoginPass_Temp->text().isEmpty()) {
        PerformClick(Button_CheckLogin);
        return;
    }
    // Hiding first brings the window to the front even when it is on screen.
    hide();
    ShowInFront(this);
    QCoreApplication::processEvents();
    ShowAppInTaskbar();
}

void TForm1::HideMEClick()
{
    HideAppFromTaskbar();
    hide();
    if (LoginForm)
        LoginForm->Edit_LoginPass_Temp->clear();
}
