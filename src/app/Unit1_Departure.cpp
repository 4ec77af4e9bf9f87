// Who is still on site: the on-site view, and the departure of the visitor
// on the current row of the list.
#include "app/FeatureTexts.h"
#include "app/Unit1.h"
#include "audit/AuditEvents.h"
#include "audit/AuditTrail.h"
#include "db/RegisterQuery.h"
#include "db/VisitorPresence.h"
#include "shell/MessageBoxes.h"

#include <QLabel>
#include <QLineEdit>

void TForm1::OnSiteOnlyItemClick()
{
    ADOQuery1->Close();
    ADOQuery1->SQL.Clear();
    ADOQuery1->SQL.Add(OnSiteListing());
    ADOQuery1->Open();
    applyGridLayout();
    StatusPanel(0)->setText(FeatureTexts::OnSiteCount(ADOQuery1->RecordCount()));
    markOvernightVisits();
    showInGates();
}

void TForm1::RecordDepartureItemClick()
{
    const qint64 recordNumber = currentRecordNumber();
    if (recordNumber < 0)
        return; // no current row, or its record has gone from the register
    const QString name = ADOQuery1->Fields(DataColumn::Name);
    QString departure = ADOQuery1->Fields(DataColumn::Departure);
    if (IsBlankDeparture(departure)) {
        const DepartureOutcome outcome = departVisitor(recordNumber, name);
        if (outcome.kind != DepartureOutcome::AlreadyLeft)
            return;
        departure = outcome.leftAt;
    }
    MessageBoxes::ShowMessage(FeatureTexts::AlreadyLeft(departure));
}

DepartureOutcome TForm1::departVisitor(qint64 recordNumber, const QString& name)
{
    DepartureOutcome outcome;
    AuditTrail->RecordChange([&]() -> std::optional<TAuditEntry> {
        outcome = RecordDeparture(*ADOConnection1, recordNumber, ClockText());
        if (outcome.kind != DepartureOutcome::Recorded)
            return std::nullopt;
        return TAuditEntry{AuditEvent::DepartureRecorded(), QString::number(recordNumber), {}};
    });
    if (outcome.kind != DepartureOutcome::Recorded)
        return outcome;
    // A closed list holds a write that failed, not a listing: it stays
    // empty until the next listing.
    if (ADOQuery1->Active())
        relistKeepingRecord(recordNumber);
    // A form loaded with this visit shows the departure too, so that a
    // later "修改" keeps it.
    if (Edit_BianHao->text() == QString::number(recordNumber) && IsBlankDeparture(Edit_LiKaiShiJian->text()))
        Edit_LiKaiShiJian->setText(outcome.leftAt);
    StatusPanel(0)->setText(FeatureTexts::DepartureRecorded(name));
    return outcome;
}

void TForm1::relistKeepingRecord(qint64 recordNumber)
{
    // The statement of the list is kept: opening it again gives the same
    // listing, search, filter or on-site view with today's rows.
    ADOQuery1->Close();
    ADOQuery1->Open();
    applyGridLayout();
    makeRecordCurrent(recordNumber);
}
