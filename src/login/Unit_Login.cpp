#include "login/Unit_Login.h"
#include "app/FeatureTexts.h"
#include "app/ProgramIcon.h"
#include "app/TVostrelApplication.h"
#include "app/Unit1.h"
#include "audit/AuditEvents.h"
#include "audit/AuditTrail.h"
#include "shell/HandlerWiring.h"
#include "shell/MessageBoxes.h"
#include "shell/PasswordCharacter.h"
#include "shell/PasswordKeyFilter.h"
#include "shell/Unit_Function.h"
#include "shell/WindowPlacement.h"

#include <QMouseEvent>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

TForm2::TForm2(TForm1* mainForm, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      mainForm_(mainForm)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowIcon(ProgramIcon());
    buildLayout();
    connectHandlers();
}

TForm2::~TForm2()
{
    // The main window outlives this one; its timers and tray handlers must
    // not reach a login window that is gone.
    if (mainForm_ && mainForm_->LoginForm == this)
        mainForm_->LoginForm = nullptr;
}

void TForm2::connectHandlers()
{
    BindClick(Button_Logining, [this] { Button_LoginingClick(); });
    BindClick(Button2, [this] { Button2Click(); });
    connect(Edit_Error, &QLineEdit::textChanged, this, [this] { RunGuarded([this] { Edit_ErrorChange(); }); });
    connect(Edit_LoginPass, &QLineEdit::textChanged, this, [this] { RunGuarded([this] { Edit_LoginPassChange(); }); });
    Edit_LoginPass->installEventFilter(this);
    InstallPasswordKeyFilter(Edit_LoginPass, [this] {
        if (!loginingIsDefault_)
            return false;
        PerformClick(Button_Logining);
        return true;
    });
}

bool TForm2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit_LoginPass && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        RunGuarded([this] { Edit_LoginPassClick(); });
    return QWidget::eventFilter(watched, event);
}

void TForm2::Button_LoginingClick()
{
    if (Edit_LoginPass->text().isEmpty()) {
        MessageBoxes::ShowMessage(QStringLiteral("请输入密码..."));
        return;
    }
    if (Edit_LoginPass->text() == AdminPassword) {
        close();
        if (TVostrelApplication* app = TVostrelApplication::instance())
            app->ShowMainForm = true;
        mainForm_->ShowAfterLogin();
        PerformClick(mainForm_->Button_Refresh);
        Edit_LoginPass->clear();
        Edit_LoginPass_Temp->setText(AdminPassword);
        ShowAppInTaskbar();
        return;
    }
    // Recorded before the count, whose third step ends the program.
    const int inARow = Edit_Error->text().toInt() + 1;
    mainForm_->AuditTrail->RecordEvent(
        {AuditEvent::LoginFailed(), QString::number(inARow), FeatureTexts::AuditFailedLogins(inARow)});
    // The new count fires Edit_ErrorChange before the panel is written.
    Edit_Error->setText(QString::number(Edit_Error->text().toInt() + 1));
    StatusPanel0->setText(QStringLiteral("密码错误...") + Edit_Error->text() + QStringLiteral("次"));
}

void TForm2::setVisible(bool visible)
{
    if (visible && !placed_) {
        CentreOnDesktop(this);
        placed_ = true;
    }
    QWidget::setVisible(visible);
}

void TForm2::Button2Click() { mainForm_->close(); }

void TForm2::Edit_ErrorChange()
{
    if (Edit_Error->text() != QLatin1String("3"))
        return;
    MessageBoxes::ShowMessage(QStringLiteral("由于您多次输入了无效的密码程序将要退出..."));
    mainForm_->close();
}

void TForm2::Edit_LoginPassClick() { Edit_LoginPass->clear(); }

void TForm2::Edit_LoginPassChange() { loginingIsDefault_ = true; }

void TForm2::buildLayout()
{
    setWindowTitle(QStringLiteral("管理登录"));
    setFixedSize(294, 161);
    QFont songti(QStringLiteral("宋体"));
    songti.setPixelSize(13);
    setFont(songti);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(0, 0, 294, 161 - 20);
    Label1 = new QLabel(QStringLiteral("请输入管理密码："), GroupBox1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(24, 24, 200, 16);
    Edit_LoginPass = new QLineEdit(GroupBox1);
    Edit_LoginPass->setObjectName(QStringLiteral("Edit_LoginPass"));
    Edit_LoginPass->setGeometry(24, 48, 246, 22);
    SetPasswordCharacter(Edit_LoginPass, QLatin1Char('*'));
    Button_Logining = new QPushButton(QStringLiteral("进入"), GroupBox1);
    Button_Logining->setObjectName(QStringLiteral("Button_Logining"));
    Button_Logining->setGeometry(64, 90, 75, 27);
    Button_Logining->setAutoDefault(false);
    Button2 = new QPushButton(QStringLiteral("退出"), GroupBox1);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(156, 90, 75, 27);
    Button2->setAutoDefault(false);
    Edit_Error = new QLineEdit(QStringLiteral("0"), GroupBox1);
    Edit_Error->setObjectName(QStringLiteral("Edit_Error"));
    Edit_Error->hide();
    Edit_LoginPass_Temp = new QLineEdit(GroupBox1);
    Edit_LoginPass_Temp->setObjectName(QStringLiteral("Edit_LoginPass_Temp"));
    Edit_LoginPass_Temp->hide();

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setGeometry(0, 161 - 20, 294, 20);
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel0 = new QLabel(StatusBar1);
    StatusPanel0->setMinimumWidth(50);
    StatusBar1->addWidget(StatusPanel0, 1);
}
