// Keeping the register within the law: numbers hidden on screen, old records deleted.
#include "app/AdditionTexts.h"
#include "app/DBGridModel.h"
#include "app/DeleteBeforeDateDialog.h"
#include "app/Unit1.h"
#include "db/DatabaseError.h"
#include "db/OldRecords.h"
#include "db/RecordDate.h"
#include "db/RegisterConnection.h"
#include "shell/HandlerWiring.h"
#include "shell/MessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>

void TForm1::YinCangZhengJianHaoMaClick() { DBGrid1Model->setNumbersMasked(YinCangZhengJianHaoMa->isChecked()); }

void TForm1::ShanChuJiuJiLuClick()
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
    const QString kept = old.unreadable > 0 ? AdditionTexts::UnreadableDatesKept(old.unreadable) : QString();
    if (old.ids.empty()) {
        MessageBoxes::ShowMessage(AdditionTexts::NoRecordsBefore(dayText) + kept);
        return;
    }
    if (!MessageBoxes::AskWarningYesNo(
            AdditionTexts::ConfirmDeleteBefore(static_cast<qint64>(old.ids.size()), dayText)))
        return;
    TDeletion deletion;
    try {
        QProgressDialog progress(AdditionTexts::DeletingOldRecords(), AdditionTexts::Cancel(), 0,
                                 static_cast<int>(old.ids.size()), this);
        progress.setObjectName(QStringLiteral("DeleteOldRecordsProgress"));
        progress.setWindowTitle(AdditionTexts::DeleteOldRecordsTitle());
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        deletion = DeleteRecords(*ADOConnection1, old.ids, day, reader, [&progress](qint64 done, qint64) {
            progress.setValue(static_cast<int>(done));
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        });
    } catch (const EDatabaseError& e) {
        MessageBoxes::ShowMessage(AdditionTexts::DeleteFailed(e.message()));
        return;
    }
    if (deletion.cancelled) {
        MessageBoxes::ShowMessage(AdditionTexts::DeleteCancelled());
        return;
    }
    PerformClick(Button_Refresh);
    MessageBoxes::ShowMessage(AdditionTexts::RecordsDeleted(deletion.deleted) + kept);
}
