// Keeping the register within the law: numbers hidden on screen, old records deleted.
#include "app/DBGridModel.h"
#include "app/DeleteBeforeDateDialog.h"
#include "app/FeatureTexts.h"
#include "app/Unit1.h"
#include "db/DatabaseError.h"
#include "db/RegisterConnection.h"
#include "records/OldRecords.h"
#include "shell/HandlerWiring.h"
#include "shell/MessageBoxes.h"
#include "visitors/RecordDate.h"

#include <QAction>
#include <QApplication>
#include <QLocale>
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
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        DeleteRecords(*ADOConnection1, old.ids);
    } catch (const EDatabaseError& e) {
        MessageBoxes::ShowMessage(FeatureTexts::DeleteFailed(e.message()));
        return;
    }
    PerformClick(Button_Refresh);
    MessageBoxes::ShowMessage(FeatureTexts::RecordsDeleted(static_cast<qint64>(old.ids.size())) + kept);
}
