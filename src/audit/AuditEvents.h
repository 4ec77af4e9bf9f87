#pragma once
#include <QString>
#include <QStringList>

// The events of the audit trail, each under the name its rows carry.
namespace AuditEvent {

inline QString ProgramStarted() { return QStringLiteral("程序启动"); }
inline QString ProgramEnded() { return QStringLiteral("程序退出"); }
inline QString LoginSucceeded() { return QStringLiteral("登录成功"); }
inline QString LoginFailed() { return QStringLiteral("登录失败"); }
inline QString PasswordChanged() { return QStringLiteral("修改密码"); }
inline QString RecordAdded() { return QStringLiteral("添加记录"); }
inline QString RecordChanged() { return QStringLiteral("修改记录"); }
inline QString RecordDeleted() { return QStringLiteral("删除记录"); }
inline QString DepartureRecorded() { return QStringLiteral("登记离开"); }
inline QString RegisterCleared() { return QStringLiteral("清空"); }
inline QString RegisterCompacted() { return QStringLiteral("压缩"); }
inline QString ListExported() { return QStringLiteral("导出"); }
inline QString OldRecordsDeleted() { return QStringLiteral("删除旧记录"); }
// Those of the watch list.
inline QString WatchListChanged() { return QStringLiteral("黑名单修改"); }
inline QString WatchListImported() { return QStringLiteral("黑名单导入"); }
inline QString WatchListTurnedAway() { return QStringLiteral("黑名单拦截"); }
inline QString WatchListLetIn() { return QStringLiteral("黑名单放行"); }
// A change of this gate that the site refused: another gate changed the record
// first. Only a gate of a site writes it, so it is not among All().
inline QString SiteChangeRefused() { return QStringLiteral("修改被拒"); }

// Every event, in the order above, for choosing one.
inline QStringList All()
{
    return {ProgramStarted(),      ProgramEnded(),  LoginSucceeded(),    LoginFailed(),       PasswordChanged(),
            RecordAdded(),         RecordChanged(), RecordDeleted(),     DepartureRecorded(), RegisterCleared(),
            RegisterCompacted(),   ListExported(),  OldRecordsDeleted(), WatchListChanged(),  WatchListImported(),
            WatchListTurnedAway(), WatchListLetIn()};
}

} // namespace AuditEvent
