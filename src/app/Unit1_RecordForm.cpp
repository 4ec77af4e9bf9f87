// The record form: loading a row of the list, add, modify, delete, clearing
// the form and the two time buttons.
#include "app/FeatureTexts.h"
#include "app/Unit1.h"
#include "app/WatchListCheck.h"
#include "audit/AuditEvents.h"
#include "audit/AuditTrail.h"
#include "audit/ChangedColumns.h"
#include "db/RegisterConnection.h"
#include "db/RegisterQuery.h"
#include "db/Sqlite.h"
#include "shell/HandlerWiring.h"
#include "shell/MessageBoxes.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

namespace {

// The form's checks: an empty field shows its message and stops the handler.
bool filledOrSay(const QString& text, const char* message)
{
    if (!text.isEmpty())
        return true;
    MessageBoxes::ShowMessage(QString::fromUtf8(message));
    return false;
}

} // namespace

void TForm1::connectRecordForm()
{
    // clicked is emitted for the left button on a data cell only, after the
    // press has made that row current (and so moved the query there); the
    // title row and the row indicator are headers and do not emit it.
    connect(DBGrid1, &QTableView::clicked, this, [this] { RunGuarded([this] { DBGrid1CellClick(); }); });

    BindClick(Button1, [this] { Button1Click(); });
    BindClick(Button2, [this] { Button2Click(); });
    BindClick(Button3, [this] { Button3Click(); });
    BindClick(Button_ClearAllEdit, [this] { Button_ClearAllEditClick(); });
    BindClick(Button6, [this] { Button6Click(); });
    BindClick(Button5, [this] { Button5Click(); });
}

void TForm1::DBGrid1CellClick()
{
    Edit_BianHao->setText(ADOQuery1->Fields(DataColumn::RecordNumber));
    Edit_FenLei->setEditText(ADOQuery1->Fields(DataColumn::Category));
    Edit_XingMing->setText(ADOQuery1->Fields(DataColumn::Name));
    Edit_IDNumber->setText(ADOQuery1->Fields(DataColumn::IdentityNumber));
    Edit_ShouJi->setText(ADOQuery1->Fields(DataColumn::Mobile));
    Edit_DianHua->setText(ADOQuery1->Fields(DataColumn::Telephone));
    Edit_LaiYou->setText(ADOQuery1->Fields(DataColumn::Reason));
    Edit_DiZhi->setText(ADOQuery1->Fields(DataColumn::Address));
    Edit_LaiFangShiJian->setText(ADOQuery1->Fields(DataColumn::Arrival));
    Edit_LiKaiShiJian->setText(ADOQuery1->Fields(DataColumn::Departure));
    Memo_BeiZhu->setPlainText(ADOQuery1->Fields(DataColumn::Remarks));
    showFormFromStart();
    showCurrentRowNumber();
}

void TForm1::showFormFromStart()
{
    for (QLineEdit* edit : GroupBox4->findChildren<QLineEdit*>())
        if (!edit->hasFocus())
            edit->setCursorPosition(0);
}

void TForm1::Button1Click()
{
    if (!filledOrSay(Edit_FenLei->currentText(), "请选择分类.") || !filledOrSay(Edit_XingMing->text(), "请填写姓名.")
        || !filledOrSay(Edit_IDNumber->text(), "请填写身份证编号.") || !filledOrSay(Edit_LaiYou->text(), "请填写来由."))
        return;
    if (!WatchListCheck->MayWriteRecord())
        return;
    ADOQuery1->SQL.Clear();
    ADOQuery1->SQL.Add(SqlLine("Insert into data (分类,姓名,身份证,手机,电话,来由,地址,来访,离开,备注,日期) values ('")
                       + SqlValue{Edit_FenLei->currentText()} + "','" + SqlValue{Edit_XingMing->text()} + "','"
                       + SqlValue{Edit_IDNumber->text()} + "','" + SqlValue{Edit_ShouJi->text()} + "','"
                       + SqlValue{Edit_DianHua->text()} + "','" + SqlValue{Edit_LaiYou->text()} + "','"
                       + SqlValue{Edit_DiZhi->text()} + "','" + SqlValue{Edit_LaiFangShiJian->text()} + "','"
                       + SqlValue{Edit_LiKaiShiJian->text()} + "','" + SqlValue{Memo_BeiZhu->toPlainText()} + "','"
                       + SqlValue{ClockText()} + "')");
    AuditTrail->RecordChange([this] {
        ADOQuery1->ExecSQL();
        return TAuditEntry{
            AuditEvent::RecordAdded(), QString::number(sqlite3_last_insert_rowid(ADOConnection1->handle())), {}};
    });
    MessageBoxes::ShowMessage(QStringLiteral("添加成功."));
    PerformClick(Button_ClearAllEdit);
    PerformClick(Button_Refresh);
}

void TForm1::Button2Click()
{
    if (!filledOrSay(Edit_BianHao->text(), "不可编辑") || !filledOrSay(Edit_FenLei->currentText(), "请选择分类.")
        || !filledOrSay(Edit_XingMing->text(), "请填写姓名."))
        return;
    if (!WatchListCheck->MayWriteRecord())
        return;
    const qint64 current = currentRecordNumber();
    ADOQuery1->SQL.Clear();
    ADOQuery1->SQL.Add(SqlLine("update data  set 分类='") + SqlValue{Edit_FenLei->currentText()} + "' ");
    ADOQuery1->SQL.Add(SqlLine(", 姓名='") + SqlValue{Edit_XingMing->text()} + "' ");
    ADOQuery1->SQL.Add(SqlLine(", 身份证='") + SqlValue{Edit_IDNumber->text()} + "' ");
    ADOQuery1->SQL.Add(SqlLine(", 手机='") + SqlValue{Edit_ShouJi->text()} + "' ");
    ADOQuery1->SQL.Add(SqlLine(", 电话='") + SqlValue{Edit_DianHua->text()} + "' ");
    ADOQuery1->SQL.Add(SqlLine(", 来由='") + SqlValue{Edit_LaiYou->text()} + "' ");
    ADOQuery1->SQL.Add(SqlLine(", 地址='") + SqlValue{Edit_DiZhi->text()} + "' ");
    ADOQuery1->SQL.Add(SqlLine(", 来访='") + SqlValue{Edit_LaiFangShiJian->text()} + "' ");
    ADOQuery1->SQL.Add(SqlLine(", 离开='") + SqlValue{Edit_LiKaiShiJian->text()} + "' ");
    ADOQuery1->SQL.Add(SqlLine(", 备注='") + SqlValue{Memo_BeiZhu->toPlainText()} + "' ");
    ADOQuery1->SQL.Add(SqlLine(", 日期='") + SqlValue{ClockText()} + "' ");
    ADOQuery1->SQL.Add(SqlLine("where  编号=") + SqlInteger{Edit_BianHao->text()});
    // The row tells which columns the guard changed, never what they held.
    const QList<QPair<QString, QString>> typed = {
        {QStringLiteral("分类"), Edit_FenLei->currentText()}, {QStringLiteral("姓名"), Edit_XingMing->text()},
        {QStringLiteral("身份证"), Edit_IDNumber->text()},    {QStringLiteral("手机"), Edit_ShouJi->text()},
        {QStringLiteral("电话"), Edit_DianHua->text()},       {QStringLiteral("来由"), Edit_LaiYou->text()},
        {QStringLiteral("地址"), Edit_DiZhi->text()},         {QStringLiteral("来访"), Edit_LaiFangShiJian->text()},
        {QStringLiteral("离开"), Edit_LiKaiShiJian->text()},  {QStringLiteral("备注"), Memo_BeiZhu->toPlainText()},
    };
    AuditTrail->RecordChange([this, &typed]() -> std::optional<TAuditEntry> {
        sqlite3* db = ADOConnection1->handle();
        const QStringList changed = ChangedColumns(db, Edit_BianHao->text().toLongLong(), typed);
        ADOQuery1->ExecSQL();
        if (ADOConnection1->RowsChanged() == 0)
            return std::nullopt;
        return TAuditEntry{AuditEvent::RecordChanged(), Edit_BianHao->text(),
                           changed.isEmpty() ? FeatureTexts::AuditNothingChanged() : changed.join(QLatin1Char(','))};
    });
    PerformClick(Button_ClearAllEdit);
    MessageBoxes::ShowMessage(QStringLiteral("修改成功."));
    PerformClick(Button_Refresh);
    // The row that was current stays current, wherever it now stands.
    makeRecordCurrent(current);
}

qint64 TForm1::currentRecordNumber() const
{
    if (!ADOQuery1->Active() || ADOQuery1->RecNo() < 1)
        return -1;
    bool isNumber = false;
    const qint64 number = ADOQuery1->Fields(DataColumn::RecordNumber).toLongLong(&isNumber);
    return isNumber ? number : -1;
}

void TForm1::makeRecordCurrent(qint64 recordNumber)
{
    if (!ADOQuery1->Active())
        return;
    const int row = recordNumber < 0 ? -1 : ADOQuery1->RowOfRecordNumber(recordNumber);
    if (row > 0)
        ADOQuery1->SetRecNo(row);
    else
        ADOQuery1->ClearCurrentRow();
}

void TForm1::Button3Click()
{
    if (!MessageBoxes::AskWarningYesNo(QStringLiteral("您真的要删除该记录吗?")))
        return;
    // Whatever goes wrong here (an empty or closed list, the engine) passes
    // silently; the form is then left as it is.
    try {
        AuditTrail->RecordChange([this]() -> std::optional<TAuditEntry> {
            const qint64 recordNumber = currentRecordNumber();
            ADOQuery1->Delete();
            if (ADOConnection1->RowsChanged() == 0)
                return std::nullopt;
            return TAuditEntry{AuditEvent::RecordDeleted(), QString::number(recordNumber), {}};
        });
        PerformClick(Button_ClearAllEdit);
    } catch (...) {}
}

void TForm1::Button_ClearAllEditClick()
{
    Edit_BianHao->clear();
    Edit_FenLei->setEditText(QString());
    Edit_XingMing->clear();
    Edit_IDNumber->clear();
    Edit_ShouJi->clear();
    Edit_DianHua->clear();
    Edit_LaiYou->clear();
    Edit_DiZhi->clear();
    Edit_LaiFangShiJian->clear();
    Edit_LiKaiShiJian->clear();
    Memo_BeiZhu->clear();
    ComboBoxClass->setEditText(QString());
}

void TForm1::Button6Click() { Edit_LaiFangShiJian->setText(ClockText()); }

void TForm1::Button5Click() { Edit_LiKaiShiJian->setText(ClockText()); }
