#include "app/Unit1.h"
#include "app/ClockText.h"
#include "app/ComboBoxItems.h"
#include "app/DBGridModel.h"
#include "app/GateFileNotice.h"
#include "app/ListExport.h"
#include "app/ProgramIcon.h"
#include "app/SiteDesk.h"
#include "app/TVostrelApplication.h"
#include "audit/AuditEvents.h"
#include "audit/AuditTrail.h"
#include "db/CategoryFile.h"
#include "db/RegisterConnection.h"
#include "db/RegisterDataSource.h"
#include "db/RegisterFile.h"
#include "db/RegisterQuery.h"
#include "shell/ExecutableFolder.h"
#include "shell/HandlerWiring.h"
#include "shell/MessageBoxes.h"
#include "shell/TrayIcon.h"
#include "shell/Unit_Clipbrd.h"
#include "shell/Unit_Shortcuts.h"
#include "skin/ShippedSkin.h"
#include "skin/SkinData.h"
#include "skin/SkinMessage.h"
#include "skin/engine/SkinManager.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QWheelEvent>

QString AdminPassword;

TForm1::TForm1(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(ProgramIcon());
    SetSkinMessageHandler([](const QString& text) { MessageBoxes::ShowMessage(text); });
    InstallSkinManager();
    SkinData1 = new TSkinData(this);
    LoadShippedSkin(*SkinData1);
    SkinData1->SetActive(true);
    SkinData1->Loaded(); // stays inactive when the skin could not be decoded
    buildLayout();
    rememberDesignedPlaces();
    buildTrayMenu();
    buildRecordListMenu();
    buildTrayIcon();

    ADOConnection1 = new TRegisterConnection(this);
    ADOQuery1 = new TRegisterQuery(ADOConnection1, this);
    ADOQuery1->SQL.Add(SqlSelect{"Select ", "*", " from ", "data"});
    ADOQuery_Pass = new TRegisterQuery(ADOConnection1, this);
    DataSource1 = new TRegisterDataSource(ADOQuery1, this);
    DBGrid1Model = new TDBGridModel(DataSource1, this);
    DBGrid1->setModel(DBGrid1Model);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    Timer_CheckLogin = new QTimer(this);
    Timer_CheckLogin->setInterval(1000);
    Timer_CloseMe = new QTimer(this);
    Timer_CloseMe->setInterval(1000);

    connectStartup();
    connectCategories();
    connectMaintenance();
    connectRegisterList();
    connectRecordForm();
    connectTray();
    connectLinks();
    connectLogin();
    connectPassword();
    connectRecordListMenu();
    Timer1->start();
    FormCreate();
    created_ = true;
}

TForm1::~TForm1()
{
    // The skin goes first, while the window and its controls are whole, so
    // the frame and the skinners are taken off a complete window.
    delete SkinData1;
    SkinData1 = nullptr;
}

QLabel* TForm1::StatusPanel(int index) const { return statusPanels_.value(index); }

QString TForm1::ClockText() const { return StatusPanel(2)->text(); }

void TForm1::connectStartup()
{
    BindTimer(Timer1, [this] { Timer1Timer(); });
    BindTimer(Timer_CloseMe, [this] { Timer_CloseMeTimer(); });
    BindClick(Button4, [this] { Button4Click(); });
    BindClick(Button_HIde, [this] { Button_HIdeClick(); });
    BindClick(CloseMe, [this] { CloseMeClick(); });
}

void TForm1::FormCreate()
{
    if (TVostrelApplication* app = TVostrelApplication::instance())
        app->ShowMainForm = false;
    setWindowTitle(windowTitle() + EditVer->text());

    const QString folder = ExecutableFolder();
    try {
        if (!QFileInfo::exists(folder + QLatin1String(kRegisterFileName))) {
            MessageBoxes::ShowMessage(QStringLiteral("没有发现数据库\"_.udb\"文件."));
            Timer_CloseMe->start();
            return;
        }
        ADOConnection1->SetConnectionString(RegisterConnectionString(folder));
        ReportUnusableGateFile(folder);
        connectSite();
        AuditTrail->RecordEvent(AuditEvent::ProgramStarted()); // written once the login check opens the register
        Timer_CheckLogin->start();
        loadCategoryList();
        DBGrid1->viewport()->installEventFilter(this);
    } catch (const std::exception&) {
        MessageBoxes::ShowMessage(QStringLiteral("程序发生未知错误,请联系客服 QQ480215967 "));
        close();
    }

    // The icon is in the notification area since the window was built; this repeat is refused.
    TrayIcon1->SetIconVisible(true);

    CreateShellLink(QCoreApplication::applicationFilePath(), QStringLiteral("Vostrel"), QString(), -1,
                    WriteProgramIconFile());
}

void TForm1::loadCategoryList()
{
    const QString path = ExecutableFolder() + QStringLiteral("class.dat");
    if (!QFileInfo::exists(path))
        WriteCategoryFile(path, ItemsOf(Edit_FenLei));
    ReplaceItems(Edit_FenLei, ReadCategoryFile(path));
    ReplaceItems(ComboBoxClass, ReadCategoryFile(path));
}

void TForm1::Timer1Timer()
{
    StatusPanel(2)->setText(FormatClockText(QDateTime::currentDateTime(), QLocale::system()));
}

void TForm1::Timer_CloseMeTimer() { close(); }

void TForm1::FormClose()
{
    AuditTrail->RecordEvent(AuditEvent::ProgramEnded());
    if (SiteDesk)
        SiteDesk->End();
    ADOConnection1->Close();
    SharedClipboard().ClearClipboard();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (ListExport->DeferClose()) {
        event->ignore();
        return;
    }
    try {
        FormClose();
    } catch (const std::exception& e) {
        event->ignore();
        MessageBoxes::ShowError(QString::fromUtf8(e.what()));
        return;
    }
    event->accept();
    // While still being created the window is not yet the main window, and
    // closing it does not end the program.
    if (created_) {
        closed_ = true;
        QCoreApplication::quit();
    }
}

void TForm1::Button4Click() { PerformClick(CloseMe); }

void TForm1::Button_HIdeClick() { PerformClick(HideME); }

void TForm1::CloseMeClick() { close(); }

bool TForm1::GridWndProc(QEvent* event)
{
    if (event->type() != QEvent::Wheel)
        return false;
    const auto* wheel = static_cast<QWheelEvent*>(event);
    if (wheel->angleDelta().y() < 0)
        ADOQuery1->Next();
    else
        ADOQuery1->Prior();
    return true;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DBGrid1->viewport()) {
        bool consumed = false;
        RunGuarded([&] { consumed = GridWndProc(event); });
        return consumed || event->type() == QEvent::Wheel;
    }
    return QWidget::eventFilter(watched, event);
}
