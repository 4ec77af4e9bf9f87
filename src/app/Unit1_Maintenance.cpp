// The settings tab's maintenance: clearing every record and compacting the
// register file.
#include "app/Unit1.h"
#include "audit/AuditEvents.h"
#include "audit/AuditTrail.h"
#include "db/DatabaseError.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/RegisterQuery.h"
#include "db/Sqlite.h"
#include "db/StoreMessages.h"
#include "db/Unit_DB.h"
#include "shell/ExecutableFolder.h"
#include "shell/HandlerWiring.h"
#include "shell/MessageBoxes.h"

#include <QFileInfo>
#include <QPushButton>
#include <exception>

void TForm1::connectMaintenance()
{
    BindClick(Button9, [this] { Button9Click(); });
    BindClick(Button11, [this] { Button11Click(); });
}

void TForm1::Button9Click()
{
    if (!MessageBoxes::AskWarningYesNo(QStringLiteral("您真的要删除数据库中所有的记录吗?")))
        return;
    // Any failure ends the steps silently; the list shows what it left.
    try {
        ADOQuery1->SQL.Clear();
        ADOQuery1->SQL.Add(SqlLine("delete from (data)"));
        AuditTrail->RecordChange([this] {
            ADOQuery1->ExecSQL();
            return TAuditEntry{AuditEvent::RegisterCleared(), QString::number(ADOConnection1->RowsChanged()), {}};
        });
        ADOQuery1->SQL.Clear();
        ADOQuery1->SQL.Add(SqlSelect{"select ", "*", " from ", "(data)"});
        ADOQuery1->Open();
        PerformClick(Button_ClearAllEdit);
        PerformClick(Button_Refresh);
    } catch (...) {}
}

void TForm1::Button11Click()
{
    const QString path = ExecutableFolder() + QLatin1String(kRegisterFileName);
    if (!QFileInfo(path).isFile()) {
        MessageBoxes::ShowMessage(QStringLiteral("没有发现数据库\"_.udb\"文件."));
        return;
    }
    // Releases the file; the next statement opens it again.
    ADOConnection1->Close();
    bool compacted = true;
    QString why;
    try {
        CompactDatabaseFile(path, QString::fromLatin1(kRegisterPassword));
    } catch (const EDatabaseError& e) {
        compacted = false;
        // A damaged register is the one failure the guard must act on.
        if (e.message() == StoreMessages::DamagedRegisterNotCompacted())
            why = QStringLiteral("\n") + e.message();
    } catch (const std::exception&) {
        compacted = false;
    }
    // Recorded in the compacted file, which the connection opens again; a
    // compaction that failed leaves the file as it was, untouched.
    if (compacted) {
        try {
            ADOConnection1->handle();
        } catch (const std::exception&) {}
        AuditTrail->RecordEvent(AuditEvent::RegisterCompacted());
    }
    MessageBoxes::ShowMessage(compacted ? QStringLiteral("数据库压缩完成.") : QStringLiteral("数据库压缩失败.") + why);
    // Closing the connection closed the list's result; it is listed again so
    // that the grid and the navigation work on an open result.
    PerformClick(Button_Refresh);
}
