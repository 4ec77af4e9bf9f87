// Paper from the record list: the roll call and the current visitor's pass;
// and the pass scanned at the exit, which records the departure.
#include "app/FeatureTexts.h"
#include "app/PaperPrints.h"
#include "app/PassScanner.h"
#include "app/PassText.h"
#include "app/SiteDesk.h"
#include "app/Unit1.h"
#include "db/RegisterConnection.h"
#include "db/RegisterQuery.h"
#include "db/Sqlite.h"
#include "db/VisitorPresence.h"
#include "shell/HandlerWiring.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

void TForm1::buildPaperItems()
{
    PopupMenu_DBGrid1->addSeparator();
    PrintRollCallItem =
        addRecordListItem("PrintRollCallItem", FeatureTexts::PrintRollCallItem(), QKeySequence(Qt::CTRL | Qt::Key_P));
    PrintPassItem = addRecordListItem("PrintPassItem", FeatureTexts::PrintPassItem(), QKeySequence());
}

void TForm1::connectPaper()
{
    PaperPrints = new TPaperPrints(this, ADOConnection1);
    BindClick(PrintRollCallItem, [this] { PrintRollCallItemClick(); });
    BindClick(PrintPassItem, [this] { PrintPassItemClick(); });
    PassScanner = new TPassScanner(this, this);
    connect(PassScanner, &TPassScanner::PassScanned, this, [this](qint64 recordNumber, const QString& passText) {
        RunGuarded([&] { PassScanned(recordNumber, passText); });
    });
}

void TForm1::PrintRollCallItemClick() { PaperPrints->PrintRollCall(ClockText()); }

void TForm1::PrintPassItemClick()
{
    const qint64 recordNumber = currentRecordNumber();
    if (recordNumber < 0)
        return;
    VisitorPass pass;
    pass.recordNumber = recordNumber;
    pass.name = ADOQuery1->Fields(DataColumn::Name);
    pass.category = ADOQuery1->Fields(DataColumn::Category);
    pass.reason = ADOQuery1->Fields(DataColumn::Reason);
    pass.arrival = ADOQuery1->Fields(DataColumn::Arrival);
    if (SiteDesk)
        pass.siteId = SiteDesk->SiteIdOf(recordNumber);
    PaperPrints->PrintPass(pass);
}

void TForm1::PassScanned(qint64 printedNumber, const QString& passText)
{
    // A pass printed at a gate of the site names the record by its site id;
    // the number on it is that of the gate that printed it.
    qint64 recordNumber = printedNumber;
    const QString siteId = PassText::SiteId(passText);
    if (!siteId.isEmpty()) {
        const std::optional<qint64> local = SiteDesk ? SiteDesk->RecordOfSiteId(siteId) : std::nullopt;
        if (!local) {
            StatusPanel(0)->setText(FeatureTexts::PassUnknown(passText));
            return;
        }
        recordNumber = *local;
    }
    QString name;
    QString departure;
    {
        SqliteStatement read(ADOConnection1->handle(), QStringLiteral("SELECT 姓名, 离开 FROM data WHERE 编号 = ?1"));
        read.bindInt64(1, recordNumber);
        if (!read.step()) {
            StatusPanel(0)->setText(FeatureTexts::PassUnknown(passText));
            return;
        }
        name = read.columnText(0);
        departure = read.columnText(1);
    }
    if (IsBlankDeparture(departure)) {
        const DepartureOutcome outcome = departVisitor(recordNumber, name);
        if (outcome.kind == DepartureOutcome::Recorded)
            return;
        if (outcome.kind == DepartureOutcome::NoRecord) {
            StatusPanel(0)->setText(FeatureTexts::PassUnknown(passText));
            return;
        }
        departure = outcome.leftAt;
    }
    StatusPanel(0)->setText(FeatureTexts::PassAlreadyLeft(name, departure));
}
