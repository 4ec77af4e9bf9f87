#pragma once
#include <QString>
#include <QStringList>

// Every text of the record list's context menu and of the helpers around the
// record form, in one place.
namespace FeatureTexts {

// Context menu items of the record list.
inline QString RecordDepartureItem() { return QStringLiteral("登记离开"); }
inline QString OnSiteOnlyItem() { return QStringLiteral("只看未离开"); }

// A stored value as a box or a panel shows it: cut, with a mark, past a
// length no name or time reaches, so that any value shows at once.
inline QString Elided(const QString& value)
{
    constexpr qsizetype kLongest = 40;
    if (value.size() <= kLongest)
        return value;
    qsizetype kept = kLongest - 1;
    if (value.at(kept - 1).isHighSurrogate())
        --kept;
    return value.left(kept) + QStringLiteral("…");
}

// Status panel 0 and the message box of the departure.
inline QString DepartureRecorded(const QString& name) { return Elided(name) + QStringLiteral("已登记离开"); }
inline QString AlreadyLeft(const QString& departure)
{
    return QStringLiteral("该访客已于") + Elided(departure) + QStringLiteral("离开.");
}

// Status panel 0 of the on-site view.
inline QString OnSiteCount(int count)
{
    return QStringLiteral("未离开的访客共") + QString::number(count) + QStringLiteral("人");
}

// Tool tips of an identity number that fails its check.
inline QString WrongCheckCharacter() { return QStringLiteral("校验码不正确"); }
inline QString WrongBirthDate() { return QStringLiteral("出生日期不正确"); }
inline QString WrongLength() { return QStringLiteral("位数不正确"); }

// Context menu items of the record list added for exports and retention.
inline QString ExportListItem() { return QStringLiteral("导出当前列表..."); }
inline QString HideNumbersItem() { return QStringLiteral("隐藏证件号码"); }
inline QString DeleteOldRecordsItem() { return QStringLiteral("删除早于某日的记录..."); }

// The export's save dialog, progress and result.
inline QString ExportDialogTitle() { return QStringLiteral("导出当前列表"); }
inline QString ExportFileStem() { return QStringLiteral("访客登记_"); }
inline QString ExportXlsxType() { return QStringLiteral("Excel 工作簿 (*.xlsx)"); }
inline QString ExportSpreadsheetCsvType() { return QStringLiteral("CSV(用Excel打开) (*.csv)"); }
inline QString ExportPlainCsvType() { return QStringLiteral("CSV(纯文本) (*.csv)"); }
// Ends a .xlsx cell cut to the format's limit.
inline QString ExportCutMark() { return QStringLiteral("…[已截断]"); }
inline QString ExportInProgress() { return QStringLiteral("正在导出..."); }
inline QString Cancel() { return QStringLiteral("取消"); }
inline QString ExportDone(qint64 count)
{
    return QStringLiteral("导出完成,共") + QString::number(count) + QStringLiteral("条.");
}
inline QString ExportCellsCut(qint64 count)
{
    return QStringLiteral("\n其中") + QString::number(count) + QStringLiteral("个单元格超过32767个字符,已截断并以")
           + ExportCutMark() + QStringLiteral("结尾.");
}
inline QString ExportFailed(const QString& reason) { return QStringLiteral("导出失败:") + reason; }
inline QString ExportIncomplete() { return QStringLiteral("写入的文件读回不完整,可能是磁盘已满"); }

// Deleting records older than a day.
inline QString DeleteOldRecordsTitle() { return QStringLiteral("删除早于某日的记录"); }
inline QString DeleteOldRecordsPrompt() { return QStringLiteral("删除登记日期早于此日的记录:"); }
inline QString ConfirmDeleteBefore(qint64 count, const QString& day)
{
    return QStringLiteral("将删除") + QString::number(count) + QStringLiteral("条早于") + day
           + QStringLiteral("的记录,确定吗?");
}
inline QString RecordsDeleted(qint64 count)
{
    return QStringLiteral("已删除") + QString::number(count) + QStringLiteral("条记录.");
}
inline QString NoRecordsBefore(const QString& day)
{
    return QStringLiteral("没有早于") + day + QStringLiteral("的记录.");
}
inline QString UnreadableDatesKept(qint64 count)
{
    return QStringLiteral("\n另有") + QString::number(count) + QStringLiteral("条记录的日期无法识别,已保留.");
}
inline QString DeletingOldRecords() { return QStringLiteral("正在删除旧记录..."); }
inline QString DeleteCancelled() { return QStringLiteral("已取消,没有记录被删除."); }
inline QString DeleteFailed(const QString& reason) { return QStringLiteral("删除失败,没有记录被删除:") + reason; }

// Start-up without a private folder for the single-instance lock.
inline QString CannotLockSingleInstance()
{
    return QStringLiteral("无法建立程序的运行锁(没有只属于当前用户的文件夹),程序将退出.");
}

// Start-up with a gate file that cannot be used: the desk works alone. The
// reason, in the set-up tool's words, is for the site's administrator.
inline QString GateFileUnusable(const QString& what, const QString& reason)
{
    return QStringLiteral("门岗文件\"vostrel-gate.pem\"") + what
           + QStringLiteral(",本机单独登记,不与其他门岗同步.请联系站点管理员.\n(") + reason + QStringLiteral(")");
}
inline QString GateFileDamaged(const QString& reason) { return GateFileUnusable(QStringLiteral("已损坏"), reason); }
inline QString GateFileForeign(const QString& reason)
{
    return GateFileUnusable(QStringLiteral("不属于本站点或本门岗"), reason);
}
inline QString GateFileExpired(const QString& reason)
{
    return GateFileUnusable(QStringLiteral("的证书已过期"), reason);
}

// The watch list: its menu item, window, import and the check at entry.
inline QString WatchListItem() { return QStringLiteral("黑名单..."); }
inline QString WatchListTitle() { return QStringLiteral("黑名单"); }
inline QStringList WatchListColumns()
{
    return {QStringLiteral("姓名"), QStringLiteral("身份证"), QStringLiteral("手机"), QStringLiteral("原因"),
            QStringLiteral("添加时间")};
}
inline QString WatchListAdd() { return QStringLiteral("添加"); }
inline QString WatchListChange() { return QStringLiteral("修改"); }
inline QString WatchListRemove() { return QStringLiteral("删除"); }
inline QString WatchListImport() { return QStringLiteral("导入..."); }
inline QString WatchListShowSkipped() { return QStringLiteral("跳过的行..."); }
inline QString WatchListClose() { return QStringLiteral("关闭"); }
inline QString WatchListAddTitle() { return QStringLiteral("添加到黑名单"); }
inline QString WatchListChangeTitle() { return QStringLiteral("修改黑名单条目"); }
inline QString WatchListNameMissing() { return QStringLiteral("请填写姓名."); }
inline QString WatchListNothingSelected() { return QStringLiteral("请先选择一个条目."); }
inline QString WatchListConfirmRemove(const QString& name)
{
    return QStringLiteral("确定要从黑名单中删除") + Elided(name) + QStringLiteral("吗?");
}
inline QString WatchListImportTitle() { return QStringLiteral("导入黑名单"); }
inline QString WatchListImportTypes()
{
    return QStringLiteral("黑名单 (*.csv *.xlsx);;CSV (*.csv);;Excel 工作簿 (*.xlsx)");
}
inline QString WatchListImported(qsizetype added, qsizetype skipped)
{
    return QStringLiteral("导入") + QString::number(added) + QStringLiteral("条,跳过") + QString::number(skipped)
           + QStringLiteral("条");
}
inline QString WatchListImportFailed(const QString& reason) { return QStringLiteral("导入失败:") + reason; }
inline QString WatchListSkippedLine(int line, const QString& reason)
{
    return QStringLiteral("第") + QString::number(line) + QStringLiteral("行:") + reason;
}
inline QString WatchListSkippedNoName() { return QStringLiteral("缺少姓名"); }
inline QString WatchListSkippedExtraColumns() { return QStringLiteral("多于4列"); }
inline QString WatchListSkippedWrongIdentity() { return QStringLiteral("身份证号码不正确"); }
inline QString WatchListSkippedWrongMobile() { return QStringLiteral("手机号码含有非数字字符"); }
inline QString WatchListSkippedAlreadyListed() { return QStringLiteral("身份证号码已在黑名单中"); }
inline QString WatchListMoreSkipped(qsizetype count)
{
    return QStringLiteral("...另有") + QString::number(count) + QStringLiteral("行");
}
inline QString WatchListHit(const QString& reason) { return QStringLiteral("黑名单:") + reason; }
inline QString WatchListSameName(const QString& name)
{
    return QStringLiteral("与黑名单中的") + Elided(name) + QStringLiteral("同名,证件号码不同");
}
inline QString WatchListAskToRegister(const QString& name, const QString& reason)
{
    return QStringLiteral("该访客在黑名单中:") + Elided(name) + QStringLiteral(",") + Elided(reason)
           + QStringLiteral("。是否仍要登记?");
}
// The audit trail: its menu item, its window and the details of its rows.
inline QString AuditTrailItem() { return QStringLiteral("操作日志..."); }
inline QString AuditTrailTitle() { return QStringLiteral("操作日志"); }
inline QString AuditEventLabel() { return QStringLiteral("事件"); }
inline QString AuditAllEvents() { return QStringLiteral("全部"); }
inline QString AuditDateLabel() { return QStringLiteral("日期"); }
inline QString AuditDateTo() { return QStringLiteral("至"); }
inline QString AuditExport() { return QStringLiteral("导出..."); }
inline QString AuditVerify() { return QStringLiteral("校验"); }
inline QString AuditClose() { return QStringLiteral("关闭"); }
inline QStringList AuditColumns()
{
    return {QStringLiteral("序号"), QStringLiteral("时间"), QStringLiteral("事件"), QStringLiteral("编号/数量"),
            QStringLiteral("说明")};
}
inline QString AuditCsvType() { return QStringLiteral("CSV (*.csv)"); }
inline QString AuditFileStem() { return QStringLiteral("操作日志_"); }
inline QString AuditIntact(qint64 rows)
{
    return QStringLiteral("操作日志完整,共") + QString::number(rows) + QStringLiteral("条.");
}
inline QString AuditBroken(qint64 lastIntact)
{
    return QStringLiteral("第") + QString::number(lastIntact) + QStringLiteral("条之后的记录被改动或删除.");
}
// Beside the check's result: the start of the last row's hash, to note down.
inline QString AuditLastHash(const QString& hash) { return QStringLiteral("  末条哈希 ") + hash.left(16); }
inline QString AuditFailedLogins(int inARow)
{
    return QStringLiteral("连续第") + QString::number(inARow) + QStringLiteral("次");
}
inline QString AuditBackup(const QString& fileName, bool made)
{
    return (made ? QStringLiteral("备份:") : QStringLiteral("备份失败:")) + fileName;
}
inline QString AuditNothingChanged() { return QStringLiteral("无改动"); }
inline QString AuditExported(const QString& fileName, qint64 rows, bool masked)
{
    return fileName + QStringLiteral(",共") + QString::number(rows) + QStringLiteral("条,")
           + (masked ? QStringLiteral("证件号码已隐藏") : QStringLiteral("证件号码未隐藏"));
}
inline QString AuditOvernightClosed() { return QStringLiteral("今天以前到访且未离开的访客,写入\"未登记离开\""); }
inline QString AuditRecordsBefore(const QString& day) { return QStringLiteral("早于") + day; }

// The roll call, the visitor pass and the pass scanned at the exit.
inline QString PrintRollCallItem() { return QStringLiteral("打印未离开名单..."); }
inline QString PrintPassItem() { return QStringLiteral("打印访客单..."); }
inline QString RollCallTitle() { return QStringLiteral("未离开访客名单"); }
inline QString RollCallSummary(const QString& printedAt, int count)
{
    return QStringLiteral("打印时间:") + printedAt + QStringLiteral("    未离开共") + QString::number(count)
           + QStringLiteral("人");
}
inline QString RollCallNumberColumn() { return QStringLiteral("序号"); }
inline QString RollCallNameColumn() { return QStringLiteral("姓名"); }
inline QString RollCallCategoryColumn() { return QStringLiteral("分类"); }
inline QString RollCallArrivalColumn() { return QStringLiteral("到访时间"); }
inline QString RollCallReasonColumn() { return QStringLiteral("来由"); }
inline QString RollCallMobileColumn() { return QStringLiteral("手机"); }
inline QString RollCallTickColumn() { return QStringLiteral("核对"); }
inline QString PageOf(int page, int pages)
{
    return QStringLiteral("第") + QString::number(page) + QStringLiteral("页,共") + QString::number(pages)
           + QStringLiteral("页");
}
inline QString RollCallFileStem() { return QStringLiteral("未离开名单_"); }
inline QString PassTitle() { return QStringLiteral("访客单"); }
inline QString PassNameCaption() { return QStringLiteral("姓名:"); }
inline QString PassCategoryCaption() { return QStringLiteral("分类:"); }
inline QString PassReasonCaption() { return QStringLiteral("来由:"); }
inline QString PassArrivalCaption() { return QStringLiteral("到访时间:"); }
inline QString PassHint() { return QStringLiteral("离开时请出示此单扫码"); }
inline QString PassFileStem() { return QStringLiteral("访客单_"); }
inline QString PrintFailed() { return QStringLiteral("打印失败:无法写入打印机或文件."); }
// Status panel 0 after a pass is scanned that does not close a visit.
inline QString PassUnknown(const QString& passText)
{
    return QStringLiteral("访客单") + Elided(passText) + QStringLiteral("没有对应的登记记录");
}
inline QString PassAlreadyLeft(const QString& name, const QString& departure)
{
    return Elided(name) + QStringLiteral("已于") + Elided(departure) + QStringLiteral("离开,无需再次登记");
}

// Visits by date, their counts, and visits left open overnight.
inline QString DateRangeItem() { return QStringLiteral("按日期查看..."); }
inline QString StatisticsItem() { return QStringLiteral("统计..."); }
inline QString CloseOvernightItem() { return QStringLiteral("将今天以前未离开的登记为离开..."); }
inline QString DateRangeTitle() { return QStringLiteral("按日期查看"); }
inline QString StatisticsTitle() { return QStringLiteral("统计"); }
inline QString Today() { return QStringLiteral("今天"); }
inline QString Yesterday() { return QStringLiteral("昨天"); }
inline QString ThisWeek() { return QStringLiteral("本周"); }
inline QString ThisMonth() { return QStringLiteral("本月"); }
inline QString FromDay() { return QStringLiteral("从"); }
inline QString ToDay() { return QStringLiteral("至"); }
inline QString Count() { return QStringLiteral("统计"); }
inline QString Export() { return QStringLiteral("导出..."); }
inline QString DateRangeStatus(qint64 listed, const QString& from, const QString& to, qint64 unreadable)
{
    QString text = QString::number(listed) + QStringLiteral("条记录,") + from + QStringLiteral("至") + to;
    if (unreadable > 0)
        text += QStringLiteral(",另有") + QString::number(unreadable) + QStringLiteral("条日期无法识别");
    return text;
}
inline QString DayIndexMissing() { return QStringLiteral("登记簿还没有日期索引(登记簿只读或正被占用),请稍后再试."); }
inline QString VisitsPerDay() { return QStringLiteral("每日来访"); }
inline QString PerCategory() { return QStringLiteral("按分类"); }
inline QString PerHour() { return QStringLiteral("按到访时段"); }
inline QString HourOf(int hour) { return QString::number(hour) + QStringLiteral("时"); }
inline QString NoTime() { return QStringLiteral("无时间"); }
inline QString NoCategory() { return QStringLiteral("(无分类)"); }
inline QString Visits() { return QStringLiteral("来访"); }
inline QString Item() { return QStringLiteral("项目"); }
inline QString Section() { return QStringLiteral("类别"); }
inline QString Number() { return QStringLiteral("数量"); }
inline QString TotalVisits() { return QStringLiteral("来访合计"); }
inline QString MedianStay() { return QStringLiteral("停留时间中位数(分钟)"); }
inline QString OnSiteNow() { return QStringLiteral("当前在场"); }
inline QString UnreadableDates() { return QStringLiteral("日期无法识别"); }
inline QString NoStay() { return QStringLiteral("-"); }
inline QString StatisticsSummary(qint64 visits, const QString& medianStay, qint64 onSite, qint64 unreadable)
{
    return TotalVisits() + QStringLiteral(": ") + QString::number(visits) + QStringLiteral("    ") + MedianStay()
           + QStringLiteral(": ") + medianStay + QStringLiteral("    ") + OnSiteNow() + QStringLiteral(": ")
           + QString::number(onSite) + QStringLiteral("    ") + UnreadableDates() + QStringLiteral(": ")
           + QString::number(unreadable);
}
inline QString ExportStatisticsFilter() { return QStringLiteral("Excel 工作簿 (*.xlsx)"); }
inline QString StatisticsExported(const QString& table, const QString& chart)
{
    return QStringLiteral("已导出:\n") + table + QStringLiteral("\n") + chart;
}
inline QString OvernightVisits(qint64 count)
{
    return QStringLiteral("有") + QString::number(count) + QStringLiteral("位访客在今天以前到访且未登记离开");
}
inline QString ConfirmCloseOvernight(qint64 count)
{
    return QStringLiteral("将把") + QString::number(count)
           + QStringLiteral("位今天以前到访且未登记离开的访客的离开时间登记为\"未登记离开\",确定吗?");
}
inline QString NoOvernightVisits() { return QStringLiteral("没有今天以前到访且未登记离开的访客."); }
inline QString OvernightClosed(qint64 count)
{
    return QStringLiteral("已将") + QString::number(count) + QStringLiteral("位访客登记为离开.");
}

// Several gates: the site panel, the on-site view's gate column, and what
// the site decided against this gate.
inline QString SiteOnline() { return QStringLiteral("联网"); }
inline QString SiteOfflineSince(const QString& time) { return QStringLiteral("离线,自") + time + QStringLiteral("起"); }
inline QString SiteConnecting() { return QStringLiteral("正在连接"); }
inline QString SiteWaiting(int count) { return QStringLiteral("待传") + QString::number(count) + QStringLiteral("条"); }
inline QString WatchListUpdated(const QString& time)
{
    return QStringLiteral("黑名单") + time + QStringLiteral("更新");
}
inline QString WatchListNotUpdated() { return QStringLiteral("黑名单未更新"); }
inline QString InGateColumn() { return QStringLiteral("入口"); }
inline QString DepartureTakenAt(const QString& name, const QString& gate, const QString& time)
{
    return name + QStringLiteral("的离开已在") + gate + QStringLiteral("登记(") + time + QStringLiteral(")");
}
inline QString ChangeRefusedBy(const QString& name, const QString& gate)
{
    return QStringLiteral("对") + name + QStringLiteral("的修改未被接受:") + gate
           + QStringLiteral("已先修改,已恢复为站点的内容");
}
inline QString SiteTablesNotMade(const QString& why)
{
    return QStringLiteral("登记簿无法加入站点同步,本机单独工作:") + why;
}
inline QString AuditChangeRefused(const QString& gate)
{
    return QStringLiteral("以") + gate + QStringLiteral("的修改为准");
}

} // namespace FeatureTexts
