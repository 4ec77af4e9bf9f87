// Keeping the register within the law: numbers hidden on screen, old records deleted.
#include "app/DBGridModel.h"
#include "app/DeleteBeforeDateDialog.h"
#include "app/FeatureTexts.h"
#include "app/Unit1.h"
#include "audit/AuditEvents.h"
#include "audit/AuditTrail.h"
#include "db/DatabaseError.h"
#include "db/RegisterConnection.h"
#include "records/OldRecords.h"
#include "shell/HandlerWiring.h"
#include "shell/MessageBoxes.h"
#include "visitors/RecordDate.h"

#include <QAction>
#include <QApplication>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>

void TForm1::HideNumbersItemClick() { DBGrid1Model->setNumbersMasked(HideNumbersItem->isChecked()); }

void TForm1::DeleteOldRecordsItemClick()
{
    const QDate day = TDeleteBeforeDateDialog::Ask(this, QDate::currentDate().addYears(-1));
    if (!day.isValid())
        return;
    const QString dayText = QLocale::system().toString(day, QLocale::ShortFormat);
    const TRecordDateReader reader(QLocale::system());
    TOldRecords old;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        old = FindRecordsBefore(*ADOConnection1, day, reader);
    }
    const QString kept = old.unreadable > 0 ? FeatureTexts::UnreadableDatesKept(old.unreadable) : QString();
    if (old.ids.empty()) {
        MessageBoxes::ShowMessage(FeatureTexts::NoRecordsBefore(dayText) + kept);
        return;
    }
    if (!MessageBoxes::AskWarningYesNo(FeatureTexts::ConfirmDeleteBefore(static_cast<qint64>(old.ids.size()), dayText)))
        return;
    const qint64 current = currentRecordNumber();
    TDeletion deletion;
    try {
        QProgressDialog progress(FeatureTexts::DeletingOldRecords(), FeatureTexts::Cancel(), 0,
                                 static_cast<int>(old.ids.size()), this);
        progress.setObjectName(QStringLiteral("DeleteOldRecordsProgress"));
        progress.setWindowTitle(FeatureTexts::DeleteOldRecordsTitle());
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        deletion = DeleteRecords(
            *ADOConnection1, old.ids, day, reader,
            [&progress](qint64 done, qint64) {
                progress.setValue(static_cast<int>(done));
                QCoreApplication::processEvents();
                return !progress.wasCanceled();
            },
            [&](qint64 deleted) {
                AuditTrail->AppendWithin({AuditEvent::OldRecordsDeleted(), QString::number(deleted),
                                          FeatureTexts::AuditRecordsBefore(dayText)});
            });
    } catch (const EDatabaseError& e) {
        MessageBoxes::ShowMessage(FeatureTexts::DeleteFailed(e.message()));
        return;
    }
    if (deletion.cancelled) {
        MessageBoxes::ShowMessage(FeatureTexts::DeleteCancelled());
        return;
    }
    PerformClick(Button_Refresh);
    makeRecordCurrent(current);
    MessageBoxes::ShowMessage(FeatureTexts::RecordsDeleted(deletion.deleted) + kept);
}
