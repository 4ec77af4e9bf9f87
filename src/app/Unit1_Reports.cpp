// Visits by date, their counts, and visits left open from an earlier day.
#include "app/DBGridModel.h"
#include "app/DateRangeDialog.h"
#include "app/FeatureTexts.h"
#include "app/StatisticsWindow.h"
#include "app/Unit1.h"
#include "audit/AuditEvents.h"
#include "audit/AuditTrail.h"
#include "db/DayIndex.h"
#include "db/RegisterConnection.h"
#include "db/RegisterQuery.h"
#include "reports/DateRange.h"
#include "reports/OvernightVisits.h"
#include "shell/HandlerWiring.h"
#include "shell/MessageBoxes.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <exception>

void TForm1::buildReportItems()
{
    PopupMenu_DBGrid1->addSeparator();
    DateRangeItem =
        addRecordListItem("DateRangeItem", FeatureTexts::DateRangeItem(), QKeySequence(Qt::CTRL | Qt::Key_D));
    StatisticsItem = addRecordListItem("StatisticsItem", FeatureTexts::StatisticsItem(), QKeySequence());
    CloseOvernightItem = addRecordListItem("CloseOvernightItem", FeatureTexts::CloseOvernightItem(), QKeySequence());
}

void TForm1::connectReports()
{
    BindClick(DateRangeItem, [this] { DateRangeItemClick(); });
    BindClick(StatisticsItem, [this] { StatisticsItemClick(); });
    BindClick(CloseOvernightItem, [this] { CloseOvernightItemClick(); });
}

bool TForm1::dayIndexReady()
{
    if (HoldsDayIndex(ADOConnection1->handle()))
        return true;
    upgradeRegister();
    if (HoldsDayIndex(ADOConnection1->handle()))
        return true;
    MessageBoxes::ShowMessage(FeatureTexts::DayIndexMissing());
    return false;
}

void TForm1::DateRangeItemClick()
{
    if (!dayIndexReady())
        return;
    const QDate today = QDate::currentDate();
    const std::optional<TDateRange> range = TDateRangeDialog::Ask(this, {today, today});
    if (range)
        ListDateRange(*range);
}

void TForm1::ListDateRange(const TDateRange& range)
{
    const TDateRange days = Ordered(range);
    ADOQuery1->Close();
    ADOQuery1->SQL.Clear();
    ADOQuery1->SQL.Add(DateRangeListing(days));
    ADOQuery1->Open();
    applyGridLayout();
    const QString format = QStringLiteral("yyyy-MM-dd");
    StatusPanel(0)->setText(FeatureTexts::DateRangeStatus(ADOQuery1->RecordCount(), days.from.toString(format),
                                                          days.to.toString(format),
                                                          UnreadableDays(ADOConnection1->handle())));
}

void TForm1::StatisticsItemClick()
{
    if (!dayIndexReady())
        return;
    const QDate today = QDate::currentDate();
    TStatisticsWindow window(this, ADOConnection1, PresetRange(DatePreset::ThisMonth, today));
    window.Button_CountClick();
    window.exec();
}

void TForm1::CloseOvernightItemClick()
{
    if (!dayIndexReady())
        return;
    const QDate today = QDate::currentDate();
    const auto count = static_cast<qint64>(OvernightVisits(*ADOConnection1, today).size());
    if (count == 0) {
        MessageBoxes::ShowMessage(FeatureTexts::NoOvernightVisits());
        return;
    }
    if (!MessageBoxes::AskWarningYesNo(FeatureTexts::ConfirmCloseOvernight(count)))
        return;
    const qint64 current = currentRecordNumber();
    const std::vector<std::int64_t> closed = CloseOvernightVisits(*ADOConnection1, today, [this](std::size_t written) {
        AuditTrail->AppendWithin(
            {AuditEvent::DepartureRecorded(), QString::number(written), FeatureTexts::AuditOvernightClosed()});
    });
    relistKeepingRecord(current);
    MessageBoxes::ShowMessage(FeatureTexts::OvernightClosed(static_cast<qint64>(closed.size())));
}

void TForm1::noteOvernightVisitsAtLogin()
{
    const QDate today = QDate::currentDate();
    // Neither failing is worth a box: the index is brought in step at the
    // next login, and the count made then.
    try {
        ReconcileDayIndex(ADOConnection1->handle());
    } catch (const std::exception&) {}
    if (overnightNoticeDay_ == today)
        return;
    try {
        if (!HoldsDayIndex(ADOConnection1->handle()))
            return;
        const auto count = static_cast<qint64>(OvernightVisits(*ADOConnection1, today).size());
        overnightNoticeDay_ = today;
        // Told after the listing that follows the login has written panel 0.
        if (count > 0)
            QTimer::singleShot(0, this, [this, count] {
                StatusPanel(0)->setText(StatusPanel(0)->text() + QStringLiteral(",")
                                        + FeatureTexts::OvernightVisits(count));
            });
    } catch (const std::exception&) {}
}

void TForm1::markOvernightVisits()
{
    if (!HoldsDayIndex(ADOConnection1->handle()))
        return;
    const std::vector<std::int64_t> overnight = OvernightVisits(*ADOConnection1, QDate::currentDate());
    if (overnight.empty())
        return;
    DBGrid1Model->setMarkedRecords(QSet<qint64>(overnight.begin(), overnight.end()));
    StatusPanel(0)->setText(StatusPanel(0)->text() + QStringLiteral(",")
                            + FeatureTexts::OvernightVisits(static_cast<qint64>(overnight.size())));
}
