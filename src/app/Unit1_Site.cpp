// Several gates: the sync with the site's server started after the login,
// the rows it pulls shown in place, what the site decided against this gate,
// and the gate each visitor came in by in the on-site view.
#include "app/DBGridModel.h"
#include "app/FeatureTexts.h"
#include "app/SiteDesk.h"
#include "app/Unit1.h"
#include "audit/AuditEvents.h"
#include "audit/AuditTrail.h"
#include "db/RegisterConnection.h"
#include "db/RegisterQuery.h"
#include "db/SiteTables.h"
#include "db/VisitorPresence.h"
#include "shell/ExecutableFolder.h"
#include "shell/HandlerWiring.h"
#include "site/GateFile.h"
#include "site/SiteSync.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

namespace {

// How long a pulled row waits while a box is open over the window.
constexpr int kRelistRetryMs = 200;
constexpr int kInGateColumnWidth = 80;

} // namespace

void TForm1::connectSite()
{
    const GateFile gate = ReadGateFile(ExecutableFolder() + QLatin1String(kGateFileName));
    if (gate.state != GateFileState::Present)
        return;
    SiteDesk = new TSiteDesk(gate, ADOConnection1, StatusBar1, this);
    connect(SiteDesk, &TSiteDesk::Started, this, &TForm1::connectSiteSync);
}

void TForm1::startSite()
{
    if (!SiteDesk)
        return;
    try {
        SiteDesk->Start();
    } catch (const std::exception& e) {
        // The register cannot take the site's tables now (read-only, busy):
        // the desk works alone and tries again at the next login.
        StatusPanel(0)->setText(FeatureTexts::SiteTablesNotMade(QString::fromUtf8(e.what())));
    }
}

void TForm1::connectSiteSync(TSiteSync* sync)
{
    connect(sync, &TSiteSync::recordsApplied, this,
            [this](const QList<qint64>& numbers) { RunGuarded([&] { SiteRecordsApplied(numbers); }); });
    connect(sync, &TSiteSync::noticeRaised, this,
            [this](const SiteNotice& notice) { RunGuarded([&] { SiteNoticeRaised(notice); }); });
}

void TForm1::SiteRecordsApplied(const QList<qint64>& recordNumbers)
{
    // Rows pulled while a relisting waits are shown by that relisting.
    if (!recordNumbers.isEmpty() && !relistPending_)
        relistPulledRows();
}

void TForm1::relistPulledRows()
{
    // A box asks or tells something inside a handler, which goes on with
    // the list as it stands once the box is answered: the rows wait.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        relistPending_ = true;
        QTimer::singleShot(kRelistRetryMs, this, [this] { RunGuarded([this] { relistPulledRows(); }); });
        return;
    }
    relistPending_ = false;
    if (!ADOQuery1->Active())
        return;
    const int scrolled = DBGrid1->verticalScrollBar()->value();
    const bool onSite = showsOnSiteView();
    // The listing's count in panel 0 follows the rows; any other message stays.
    const bool countShown = StatusPanel(0)->text() == ListingCountText(ADOQuery1->RecordCount());
    relistKeepingRecord(currentRecordNumber());
    if (countShown)
        StatusPanel(0)->setText(ListingCountText(ADOQuery1->RecordCount()));
    if (onSite) {
        StatusPanel(0)->setText(FeatureTexts::OnSiteCount(ADOQuery1->RecordCount()));
        markOvernightVisits();
        showInGates();
    }
    DBGrid1->verticalScrollBar()->setValue(scrolled);
}

void TForm1::SiteNoticeRaised(const SiteNotice& notice)
{
    if (notice.kind == SiteNotice::Kind::DepartureTaken) {
        StatusPanel(0)->setText(FeatureTexts::DepartureTakenAt(notice.name, notice.gate, notice.standing));
        return;
    }
    StatusPanel(0)->setText(FeatureTexts::ChangeRefusedBy(notice.name, notice.gate));
    AuditTrail->RecordEvent({AuditEvent::SiteChangeRefused(), QString::number(notice.recordNumber),
                             FeatureTexts::AuditChangeRefused(notice.gate)});
}

bool TForm1::showsOnSiteView() const
{
    TSqlStrings onSite;
    onSite.Add(OnSiteListing());
    return ADOQuery1->SQL.Text() == onSite.Text();
}

void TForm1::showInGates()
{
    if (!SiteDesk || !ADOQuery1->Active())
        return;
    const QList<qint64> listed = DBGrid1Model->listedRecordNumbers();
    const QHash<qint64, QString> gates =
        SiteInGates(ADOConnection1->handle(), std::vector<std::int64_t>(listed.begin(), listed.end()));
    DBGrid1Model->setAddedColumn(FeatureTexts::InGateColumn(), gates);
    DBGrid1->setColumnWidth(DBGrid1Model->columnCount() - 1, kInGateColumnWidth);
    // The current row's selection takes in the new column too.
    if (DBGrid1->currentIndex().isValid())
        DBGrid1->selectRow(DBGrid1->currentIndex().row());
}
