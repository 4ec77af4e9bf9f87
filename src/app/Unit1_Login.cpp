// The login check: the stored password is read and deciphered, and the login
// window asks for it. The main window stays hidden until it is typed.
#include "app/Unit1.h"
#include "app/WatchListCheck.h"
#include "audit/AuditEvents.h"
#include "audit/AuditTrail.h"
#include "crypto/Unit_DESCrypt.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/RegisterQuery.h"
#include "login/Unit_Login.h"
#include "shell/HandlerWiring.h"
#include "shell/MessageBoxes.h"
#include "shell/WindowPlacement.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

void TForm1::connectLogin()
{
    BindClick(Button_CheckLogin, [this] { Button_CheckLoginClick(); });
    // Not guarded: the handler deals with its own failures.
    connect(Timer_CheckLogin, &QTimer::timeout, this, [this] { Timer_CheckLoginTimer(); });
}

void TForm1::Timer_CheckLoginTimer()
{
    // A box shown while the program starts keeps dispatching ticks before the
    // login window exists; the check waits for it and runs at a later tick.
    if (!LoginForm)
        return;
    // The timer rests while the check runs, so a check that fails with an
    // error box never starts another one behind it; the next try comes a
    // second after the box is dismissed.
    Timer_CheckLogin->stop();
    try {
        PerformClick(Button_CheckLogin);
    } catch (const std::exception& e) {
        MessageBoxes::ShowError(QString::fromUtf8(e.what()));
        Timer_CheckLogin->start();
    }
}

void TForm1::Button_CheckLoginClick()
{
    if (!LoginForm)
        return; // nobody to ask yet; the armed timer runs the check later
    ADOQuery_Pass->Close();
    ADOQuery_Pass->SQL.Clear();
    ADOQuery_Pass->SQL.Add("Select 密码 from Pass");
    ADOQuery_Pass->Open();
    // The register is open from here: events kept since the start go in.
    AuditTrail->WritePending();
    const QString stored = ADOQuery_Pass->FieldByName(QStringLiteral("密码"));
    AdminPassword = QString::fromLatin1(DecryptFromHex(stored.toStdString(), kPasswordCipherKey));
    if (AdminPassword.isEmpty()) {
        close();
        return;
    }
    hide();
    LoginForm->hide();
    ShowInFront(LoginForm);
    QCoreApplication::processEvents();
}

void TForm1::ShowAfterLogin()
{
    showingAfterLogin_ = true;
    ShowInFront(this);
    showingAfterLogin_ = false;
    focusFirstControl();
    upgradeRegister();
    WatchListCheck->Reload();
    AuditTrail->RecordEvent(AuditEvent::LoginSucceeded());
    noteOvernightVisitsAtLogin();
    startSite();
    // Searches read an in-memory copy once it has loaded in the background.
    ADOConnection1->EnableSearchIndex(true);
}

bool TForm1::mayBeShown() const
{
    if (!LoginForm)
        return true; // a window built without the login, as in a form test
    return showingAfterLogin_ || !LoginForm->Edit_LoginPass_Temp->text().isEmpty();
}

void TForm1::setVisible(bool visible)
{
    if (visible && !mayBeShown())
        return;
    if (visible && !placed_) {
        CentreOnDesktop(this);
        placed_ = true;
    }
    QWidget::setVisible(visible);
}

void TForm1::focusFirstControl()
{
    // Where a window shown for the first time puts the focus: the first
    // control in tab order. Shown again, the window would otherwise go back
    // to the control last used, "最小化" when that hid it.
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
        if (w->window() == this && w->isVisibleTo(this) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}
