// The record list's context menu and the keys of its items, and the upgrade
// of an older register once a login has opened it.
#include "app/FeatureTexts.h"
#include "app/ListExport.h"
#include "app/ReturningVisitorOffers.h"
#include "app/Unit1.h"
#include "app/WatchListCheck.h"
#include "db/RegisterConnection.h"
#include "db/RegisterQuery.h"
#include "db/RegisterUpgrade.h"
#include "shell/HandlerWiring.h"
#include "watchlist/WatchList.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTableView>

namespace {

// The menu key and Shift+F10 on the record list open its menu at the
// current row, as a right click does at the pointer.
class GridMenuKeys : public QObject {
public:
    GridMenuKeys(QObject* parent, std::function<void()> open) : QObject(parent), open_(std::move(open)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
            if (key->key() == Qt::Key_Menu || shiftF10) {
                RunGuarded(open_);
                return true;
            }
        }
        // Opened by the key press above; the context menu event the key
        // would also make is not wanted.
        if (event->type() == QEvent::ContextMenu
            && static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard)
            return true;
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> open_;
};

// The keys of the list's menu win over an edit's own use of them (Ctrl+E is
// "end of line" and Ctrl+H "backspace" in a line edit): the edit is told the
// key is not its own, so the window's shortcut runs.
class MenuKeysOverEdits : public QObject {
public:
    MenuKeysOverEdits(QObject* parent, const QMenu* menu) : QObject(parent), menu_(menu) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
            for (const QAction* item : menu_->actions())
                if (!item->shortcut().isEmpty() && item->shortcut() == pressed)
                    return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QMenu* menu_;
};

} // namespace

void TForm1::buildRecordListMenu()
{
    // A popup menu of the window: the skin draws it like the tray menu.
    PopupMenu_DBGrid1 = new QMenu(this);
    PopupMenu_DBGrid1->setObjectName(QStringLiteral("PopupMenu_DBGrid1"));
    RecordDepartureItem =
        addRecordListItem("RecordDepartureItem", FeatureTexts::RecordDepartureItem(), QKeySequence(Qt::Key_F9));
    OnSiteOnlyItem = addRecordListItem("OnSiteOnlyItem", FeatureTexts::OnSiteOnlyItem(), QKeySequence(Qt::Key_F8));
    PopupMenu_DBGrid1->addSeparator();
    ExportListItem =
        addRecordListItem("ExportListItem", FeatureTexts::ExportListItem(), QKeySequence(Qt::CTRL | Qt::Key_E));
    HideNumbersItem =
        addRecordListItem("HideNumbersItem", FeatureTexts::HideNumbersItem(), QKeySequence(Qt::CTRL | Qt::Key_H));
    HideNumbersItem->setCheckable(true);
    PopupMenu_DBGrid1->addSeparator();
    DeleteOldRecordsItem =
        addRecordListItem("DeleteOldRecordsItem", FeatureTexts::DeleteOldRecordsItem(), QKeySequence());
    PopupMenu_DBGrid1->addSeparator();
    WatchListItem =
        addRecordListItem("WatchListItem", FeatureTexts::WatchListItem(), QKeySequence(Qt::CTRL | Qt::Key_B));
    AuditTrailItem = addRecordListItem("AuditTrailItem", FeatureTexts::AuditTrailItem(), QKeySequence());
    buildReportItems();
    buildPaperItems();
}

QAction* TForm1::addRecordListItem(const char* name, const QString& caption, const QKeySequence& key)
{
    QAction* item = PopupMenu_DBGrid1->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    item->setShortcut(key);
    item->setShortcutContext(Qt::WindowShortcut);
    addAction(item);
    return item;
}

void TForm1::connectRecordListMenu()
{
    ListExport = new TListExport(this, ADOQuery1, HideNumbersItem);
    BindClick(RecordDepartureItem, [this] { RecordDepartureItemClick(); });
    BindClick(OnSiteOnlyItem, [this] { OnSiteOnlyItemClick(); });
    BindClick(ExportListItem, [this] { ExportListItemClick(); });
    BindClick(HideNumbersItem, [this] { HideNumbersItemClick(); });
    BindClick(DeleteOldRecordsItem, [this] { DeleteOldRecordsItemClick(); });
    connectReports();

    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { RunGuarded([&] { DBGrid1ContextPopup(position, false); }); });
    auto openAtCurrentRow = [this] { DBGrid1ContextPopup(QPoint(), true); };
    DBGrid1->installEventFilter(new GridMenuKeys(DBGrid1, openAtCurrentRow));
    DBGrid1->viewport()->installEventFilter(new GridMenuKeys(DBGrid1->viewport(), openAtCurrentRow));

    // A combo box holds the focus for its edit and hands the key to the edit
    // directly, past the edit's filters: it is filtered itself.
    auto* keysOverEdits = new MenuKeysOverEdits(this, PopupMenu_DBGrid1);
    for (QWidget* edit : findChildren<QLineEdit*>())
        edit->installEventFilter(keysOverEdits);
    for (QWidget* edit : findChildren<QPlainTextEdit*>())
        edit->installEventFilter(keysOverEdits);
    for (QWidget* box : findChildren<QComboBox*>())
        box->installEventFilter(keysOverEdits);

    ReturningVisitorOffers = new TReturningVisitorOffers(this);
    connectIdentityCheck();

    WatchList = new TWatchList(this);
    WatchListCheck = new TWatchListCheck(this, WatchList);
    BindClick(WatchListItem, [this] { WatchListItemClick(); });
    connectAuditTrail();
    connectPaper();
}

void TForm1::ExportListItemClick() { ListExport->AskAndExport(); }

void TForm1::DBGrid1ContextPopup(const QPoint& position, bool fromKeyboard)
{
    QPoint at = position;
    if (fromKeyboard) {
        // Under the current row, or at the list's top left without one.
        const QRect row = DBGrid1->visualRect(DBGrid1->currentIndex());
        at = row.isValid() ? QPoint(row.left(), row.bottom()) : QPoint(0, 0);
    }
    PopupMenu_DBGrid1->popup(DBGrid1->viewport()->mapToGlobal(at));
}

void TForm1::upgradeRegister()
{
    // An older register is brought up to the program's version once; one
    // that cannot be written now (read-only, busy) is asked again at the next
    // login. The look-ups work without the indexes of version 1, only slower.
    try {
        sqlite3* db = ADOConnection1->handle();
        if (RegisterVersion(db) >= kRegisterVersion)
            return;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto done = qScopeGuard([this] {
            ADOConnection1->noteWrite();
            QApplication::restoreOverrideCursor();
        });
        UpgradeRegister(db);
    } catch (const std::exception&) {}
}
