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
    const qint64 current = currentRecordNumber();
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        DeleteRecords(*ADOConnection1, old.ids);
    } catch (const EDatabaseError& e) {
        MessageBoxes::ShowMessage(AdditionTexts::DeleteFailed(e.message()));
        return;
    }
    PerformClick(Button_Refresh);
    makeRecordCurrent(current);
    MessageBoxes::ShowMessage(AdditionTexts::RecordsDeleted(static_cast<qint64>(old.ids.size())) + kept);
}
