#pragma once
#include <QDate>
#include <QList>
#include <QPair>
#include <QRect>
#include <QString>
#include <QWidget>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTableView;
class QTimer;
class TRegisterConnection;
class TRegisterQuery;
class TRegisterDataSource;
class TDBGridModel;
struct TDateRange;
class TForm2;
class TListExport;
class TAuditTrail;
class TReturningVisitorOffers;
class TWatchList;
class TWatchListCheck;
class TPaperPrints;
class TPassScanner;
class TSiteDesk;
class TSiteSync;
struct SiteNotice;
struct DepartureOutcome;
class TSkinData;
class TTrayIcon;
class QKeySequence;
class QPoint;

// The deciphered administrator password, held from the login check on.
extern QString AdminPassword;

// The main window: the record form, the record list, the settings and the
// about tab. It stays hidden until the administrator has logged in.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The login window, set once it exists.
    TForm2* LoginForm = nullptr;

    // Title band
    QGroupBox* GroupBox7;
    QLabel* Label20;
    QLabel* Label23;

    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QWidget* TabSheet3;

    // Registration tab: search bar
    QGroupBox* GroupBox1;
    QFrame* Panel2;
    QComboBox* ComboBoxSeachClass;
    QLineEdit* searchkeyword;
    QPushButton* Button_Search;
    QLabel* Label16;
    QComboBox* ComboBoxClass;
    QPushButton* Button_First;
    QPushButton* Button_Prior;
    QPushButton* Button_Next;
    QPushButton* Button_Last;
    QPushButton* Button_Refresh;
    QTableView* DBGrid1;

    // Registration tab: record form
    QGroupBox* GroupBox4;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label19;
    QLabel* Label22;
    QLabel* Label24;
    QLabel* Label25;
    QComboBox* Edit_FenLei;
    QPushButton* Button_Edit_FenLei_add;
    QPushButton* Button_Edit_FenLei_Del;
    QLineEdit* Edit_XingMing;
    QLineEdit* Edit_IDNumber;
    QPushButton* Button8;
    QLineEdit* Edit_ShouJi;
    QPushButton* Button10;
    QLineEdit* Edit_DianHua;
    QLineEdit* Edit_DiZhi;
    QLineEdit* Edit_LaiYou;
    QLineEdit* Edit_LaiFangShiJian;
    QPushButton* Button6;
    QLineEdit* Edit_LiKaiShiJian;
    QPushButton* Button5;
    QPlainTextEdit* Memo_BeiZhu;
    QFrame* Bevel1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QLabel* Label7;
    QLineEdit* Edit_BianHao;
    QPushButton* Button_ClearAllEdit;

    // Settings tab
    QGroupBox* GroupBox3;
    QLabel* Label8;
    QLineEdit* Edit_Pass_A;
    QLabel* Label9;
    QLineEdit* Edit_Pass_B;
    QLabel* Label17;
    QPushButton* Button7;
    QPushButton* Button_PassCleal;
    QGroupBox* GroupBox6;
    QPushButton* Button11;
    QLabel* Label21;
    QGroupBox* GroupBox5;
    QPushButton* Button9;
    QLabel* Label18;

    // About tab
    QGroupBox* GroupBox2;
    QLabel* Label10;
    QLabel* Label11;
    QLineEdit* EditVer;
    QLabel* Label12;
    QLabel* Label13;
    QLabel* Label14;
    QLabel* Label15;
    QPlainTextEdit* Memo1;

    // Button band
    QFrame* Panel1;
    QLabel* Label33;
    QLabel* Label30;
    QLabel* Label31;
    QLabel* Label32;
    QPushButton* ButtonWEB;
    QPushButton* Button4;
    QPushButton* Button_HIde;
    QPushButton* Button_CheckLogin;

    QStatusBar* StatusBar1;
    // The status bar's panels 0 (results), 1 (current row), 2 (clock).
    QLabel* StatusPanel(int index) const;

    // Components
    TSkinData* SkinData1; // the window's skin, decoded while the window is built
    QTimer* Timer1;
    QTimer* Timer_CheckLogin;
    QTimer* Timer_CloseMe;
    TRegisterConnection* ADOConnection1;
    TRegisterQuery* ADOQuery1;
    TRegisterDataSource* DataSource1;
    TRegisterQuery* ADOQuery_Pass;
    TDBGridModel* DBGrid1Model;
    TTrayIcon* TrayIcon1;

    // The tray menu
    QMenu* PopupMenu1;
    QAction* Aboutme;
    QAction* N2;
    QAction* ShowME;
    QAction* HideME;
    QAction* N1;
    QAction* CloseMe;

    // Start-up and end
    void FormCreate();
    void FormClose();
    void Timer1Timer();
    void Timer_CloseMeTimer();
    void Button4Click();
    void Button_HIdeClick();
    bool GridWndProc(QEvent* event);

    // True once the main window has closed, which ends the program.
    bool HasClosed() const { return closed_; }

    // The clock panel's text: the program's current timestamp.
    QString ClockText() const;

    // Tray menu and taskbar presence
    void TrayIcon1Click();
    void ShowMEClick();
    void HideMEClick();
    void CloseMeClick();

    // Web links and look-ups
    void AboutmeClick();
    void ButtonWEBClick();
    void Label12Click();
    void Label30Click();
    void Label31Click();
    void Label32Click();
    void Button8Click();
    void Button10Click();
    // Opens a web address in the default browser.
    void OpenAddress(const QString& address);

    // Record list, search and navigation
    void Button_RefreshClick();
    void Button_SearchClick();
    void ComboBoxClassChange();
    void searchkeywordClick();
    void searchkeywordDblClick();
    void Button_FirstClick();
    void Button_PriorClick();
    void Button_NextClick();
    void Button_LastClick();

    // Record entry and editing
    void DBGrid1CellClick();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button_ClearAllEditClick();
    void Button6Click();
    void Button5Click();
    // The record form's edits show the beginning of a text set into them,
    // all but the one being typed in.
    void showFormFromStart();

    // Category list
    void Button_Edit_FenLei_addClick();
    void Button_Edit_FenLei_DelClick();

    // Database maintenance
    void Button9Click();
    void Button11Click();

    // Login check
    void Timer_CheckLoginTimer();
    void Button_CheckLoginClick();
    // Shows the window for a correct password; until then, and while nobody
    // is logged in, the window refuses to be shown.
    void ShowAfterLogin();
    void setVisible(bool visible) override;

    // Password setting
    void Button7Click();
    void Button_PassClealClick();

    // Features around the record list and the record form: the list's
    // context menu, whose items also work by their keys anywhere in the
    // window; who is still on site; the departure of the current row;
    // the export of the list (ListExport.h); returning visitors offered
    // while a number is typed (ReturningVisitorOffers.h); the identity
    // number's check. Texts: FeatureTexts.h.
    QMenu* PopupMenu_DBGrid1;
    QAction* RecordDepartureItem;  // 登记离开, F9
    QAction* OnSiteOnlyItem;       // 只看未离开, F8
    QAction* ExportListItem;       // 导出当前列表..., Ctrl+E
    QAction* HideNumbersItem;      // 隐藏证件号码 (checked: numbers masked), Ctrl+H
    QAction* DeleteOldRecordsItem; // 删除早于某日的记录...
    QAction* WatchListItem;        // 黑名单..., Ctrl+B
    QAction* AuditTrailItem;       // 操作日志...
    // The audit trail of what is done at the desk (Unit1_AuditTrail.cpp).
    TAuditTrail* AuditTrail;
    TListExport* ListExport;
    TReturningVisitorOffers* ReturningVisitorOffers;
    // The watch list and its check of the record form (WatchListCheck.h).
    TWatchList* WatchList;
    TWatchListCheck* WatchListCheck;
    void WatchListItemClick();
    void DBGrid1ContextPopup(const QPoint& position, bool fromKeyboard);
    void RecordDepartureItemClick();
    void OnSiteOnlyItemClick();
    void ExportListItemClick();
    void HideNumbersItemClick();
    void DeleteOldRecordsItemClick();
    void AuditTrailItemClick();
    void Edit_IDNumberExit();
    // Paper and the pass (Unit1_Paper.cpp): the roll call of who is on site,
    // the current visitor's pass, and its scan at the exit, which records
    // the departure.
    QAction* PrintRollCallItem; // 打印未离开名单..., Ctrl+P
    QAction* PrintPassItem;     // 打印访客单...
    TPaperPrints* PaperPrints;
    TPassScanner* PassScanner;
    void PrintRollCallItemClick();
    void PrintPassItemClick();
    // `printedNumber` is the record's number at the gate that printed the pass.
    void PassScanned(qint64 printedNumber, const QString& passText);

    // Visits by date, their counts, and visits left open from an earlier
    // day (Unit1_Reports.cpp; the counting in src/reports).
    QAction* DateRangeItem;      // 按日期查看..., Ctrl+D
    QAction* StatisticsItem;     // 统计...
    QAction* CloseOvernightItem; // 将今天以前未离开的登记为离开...
    void DateRangeItemClick();
    void StatisticsItemClick();
    void CloseOvernightItemClick();
    // Lists the visits that arrived in `range`, as 按日期查看 does after
    // asking for it.
    void ListDateRange(const TDateRange& range);

    // Several gates (Unit1_Site.cpp, SiteDesk.h): with a usable gate file
    // the register syncs with the site's server; nullptr without one.
    TSiteDesk* SiteDesk = nullptr;
    // Rows a pull added, changed or deleted: the list shows them again,
    // its current record and the record form left as they are.
    void SiteRecordsApplied(const QList<qint64>& recordNumbers);
    // A change of this gate that the site decided otherwise: one line in
    // panel 0, and a refused change in the audit trail.
    void SiteNoticeRaised(const SiteNotice& notice);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void buildTrayMenu();
    void buildTrayIcon();
    // Each area binds its own handlers, in its own source file.
    void connectStartup();
    void connectRegisterList();
    void connectRecordForm();
    void connectCategories();
    void connectMaintenance();
    void connectLogin();
    void connectPassword();
    void connectTray();
    void connectLinks();
    void loadCategoryList();
    // Record list: the column layout set again after every listing, search
    // and filter; the current row's number into status panel 1.
    void applyGridLayout();
    void showCurrentRowNumber();
    // The features around the record list (Unit1_RecordListMenu.cpp,
    // Unit1_Departure.cpp, Unit1_Retention.cpp, Unit1_IdentityCheck.cpp).
    void buildRecordListMenu();
    // Adds an item to the record list's menu; its key works in the whole window.
    QAction* addRecordListItem(const char* name, const QString& caption, const QKeySequence& key);
    void connectRecordListMenu();
    void connectIdentityCheck();
    void connectAuditTrail();
    void upgradeRegister();
    void buildReportItems();
    void connectReports();
    // Whether the register holds the day index, after trying to add it;
    // tells the guard when it does not.
    bool dayIndexReady();
    // At each login the day index is brought in step with other programs'
    // writes. Overnight visits: counted into status panel 0 at the first
    // login of a day, and counted and coloured in the on-site view.
    void noteOvernightVisitsAtLogin();
    void markOvernightVisits();
    QDate overnightNoticeDay_;
    void relistKeepingRecord(qint64 recordNumber);
    // Writes the departure of a visitor who has not left, as 登记离开 does,
    // and says so in panel 0; the outcome tells what the register held.
    DepartureOutcome departVisitor(qint64 recordNumber, const QString& name);
    void connectSite();
    void startSite();
    void connectSiteSync(TSiteSync* sync);
    bool showsOnSiteView() const;
    // The on-site view of a gate shows the gate each visitor came in by.
    void showInGates();
    void relistPulledRows();
    static QString ListingCountText(int records);
    bool relistPending_ = false; // pulled rows wait for a box to close
    void buildPaperItems();
    void connectPaper();
    // The record number of the list's current row, or -1 without one.
    qint64 currentRecordNumber() const;
    // Makes the row of a record current wherever it stands in the list now;
    // a record no longer listed leaves no row current.
    void makeRecordCurrent(qint64 recordNumber);

    bool mayBeShown() const;
    void focusFirstControl();
    // The window's size (Unit1_WindowSize.cpp).
    QRect clientArea() const;
    bool maximizedBySkin() const;
    void rememberDesignedPlaces();
    void layOutForClientArea();
    void fitIntoWorkArea();
    void askToFitIntoWorkArea();
    QList<QPair<QWidget*, int>> rightAnchored_;
    int designedMemoWidth_ = 0;
    bool fitPending_ = false;

    QList<QLabel*> statusPanels_;
    bool showingAfterLogin_ = false;
    bool placed_ = false; // centred when first shown
    bool closed_ = false;
    bool created_ = false; // true once the window is the application's main window
};
