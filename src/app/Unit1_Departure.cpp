// Who is still on site: the on-site view, and the departure of the visitor
// on the current row of the list.
#include "app/FeatureTexts.h"
#include "app/Unit1.h"
#include "db/RegisterQuery.h"
#include "db/VisitorPresence.h"
#include "shell/MessageBoxes.h"

#include <QLabel>
#include <QLineEdit>

namespace {

// The 1-based row of a record in an open listing, search, filter or on-site
// view, or -1. Those results hold their rows in ascending record number.
int rowOfRecord(const TRegisterQuery& query, qint64 recordNumber)
{
    int low = 0;
    int high = query.RecordCount() - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const qint64 number = query.CellAt(middle, 0).toLongLong();
        if (number == recordNumber)
            return middle + 1;
        if (number < recordNumber)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return -1;
}

} // namespace

void TForm1::OnSiteOnlyItemClick()
{
    ADOQuery1->Close();
    ADOQuery1->SQL.Clear();
    ADOQuery1->SQL.Add(OnSiteListing());
    ADOQuery1->Open();
    applyGridLayout();
    StatusPanel(0)->setText(FeatureTexts::OnSiteCount(ADOQuery1->RecordCount()));
}

void TForm1::RecordDepartureItemClick()
{
    if (!ADOQuery1->Active() || ADOQuery1->RecordCount() == 0)
        return;
    bool isNumber = false;
    const qint64 recordNumber = ADOQuery1->Fields(DataColumn::RecordNumber).toLongLong(&isNumber);
    if (!isNumber)
        return; // the row has gone from the register
    const QString name = ADOQuery1->Fields(DataColumn::Name);
    QString departure = ADOQuery1->Fields(DataColumn::Departure);
    if (IsBlankDeparture(departure)) {
        const DepartureOutcome outcome = RecordDeparture(*ADOConnection1, recordNumber, ClockText());
        if (outcome.kind == DepartureOutcome::NoRecord)
            return;
        departure = outcome.leftAt;
        if (outcome.kind == DepartureOutcome::Recorded) {
            relistKeepingRecord(recordNumber);
            // A form loaded with this visit shows the departure too, so that
            // a later "修改" keeps it.
            if (Edit_BianHao->text() == QString::number(recordNumber) && IsBlankDeparture(Edit_LiKaiShiJian->text()))
                Edit_LiKaiShiJian->setText(departure);
            StatusPanel(0)->setText(FeatureTexts::DepartureRecorded(name));
            return;
        }
    }
    MessageBoxes::ShowMessage(FeatureTexts::AlreadyLeft(departure));
}

void TForm1::relistKeepingRecord(qint64 recordNumber)
{
    // The statement of the list is kept: opening it again gives the same
    // listing, search, filter or on-site view with today's rows.
    const int row = ADOQuery1->RecNo();
    ADOQuery1->Close();
    ADOQuery1->Open();
    applyGridLayout();
    if (ADOQuery1->RecordCount() == 0)
        return;
    const int kept = rowOfRecord(*ADOQuery1, recordNumber);
    ADOQuery1->SetRecNo(kept > 0 ? kept : row);
}
