// Setting a new administrator password, after a backup of the register.
#include "app/FeatureTexts.h"
#include "app/Unit1.h"
#include "audit/AuditEvents.h"
#include "audit/AuditTrail.h"
#include "crypto/Unit_DESCrypt.h"
#include "db/AtomicFileCopy.h"
#include "db/RegisterFile.h"
#include "db/RegisterQuery.h"
#include "shell/ExecutableFolder.h"
#include "shell/HandlerWiring.h"
#include "shell/MessageBoxes.h"
#include "shell/PasswordKeyFilter.h"

#include <QLineEdit>
#include <QPushButton>
#include <exception>

void TForm1::connectPassword()
{
    BindClick(Button7, [this] { Button7Click(); });
    BindClick(Button_PassCleal, [this] { Button_PassClealClick(); });
    InstallPasswordKeyFilter(Edit_Pass_A);
    InstallPasswordKeyFilter(Edit_Pass_B);
}

void TForm1::Button7Click()
{
    if (Edit_Pass_A->text() == AdminPassword) {
        MessageBoxes::ShowMessage(QStringLiteral("请输入新的密码."));
        return;
    }
    if (Edit_Pass_A->text().isEmpty()) {
        MessageBoxes::ShowMessage(QStringLiteral("请填写密码."));
        return;
    }
    if (Edit_Pass_B->text().isEmpty()) {
        MessageBoxes::ShowMessage(QStringLiteral("请填写确认密码."));
        return;
    }
    if (Edit_Pass_A->text() != Edit_Pass_B->text()) {
        MessageBoxes::ShowMessage(QStringLiteral("两次输入的密码不相同."));
        Button_PassClealClick();
        return;
    }

    QString stamp = ClockText();
    for (const char* removed : {":", " ", "/", "\\", "-"})
        stamp.remove(QLatin1String(removed));
    const QString folder = ExecutableFolder();
    const QString backup = QStringLiteral("bak_") + stamp + QStringLiteral("_.udb");
    // A failed backup does not stop the change.
    bool backedUp = true;
    try {
        CopyFileAtomically(folder + QLatin1String(kRegisterFileName), folder + backup);
    } catch (const std::exception&) {
        backedUp = false;
    }

    const std::string enciphered = EncryptToHex(Edit_Pass_B->text().toStdString(), kPasswordCipherKey);
    ADOQuery1->SQL.Clear();
    ADOQuery1->SQL.Add("update Pass  set 密码='" + SqlValue{QString::fromStdString(enciphered)} + "' ");
    AuditTrail->RecordChange([&] {
        ADOQuery1->ExecSQL();
        return TAuditEntry{AuditEvent::PasswordChanged(), {}, FeatureTexts::AuditBackup(backup, backedUp)};
    });
    MessageBoxes::ShowMessage(QStringLiteral("密码设置成功,请重新登录."));
    close();
}

void TForm1::Button_PassClealClick()
{
    Edit_Pass_A->clear();
    Edit_Pass_B->clear();
}
