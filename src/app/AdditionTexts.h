#pragma once
#include <QString>

// Every text of the record list's context menu and of the helpers around the
// record form, in one place.
namespace AdditionTexts {

// Context menu items of the record list.
inline QString RecordDepartureItem() { return QStringLiteral("登记离开"); }
inline QString OnSiteOnlyItem() { return QStringLiteral("只看未离开"); }

// Status panel 0 and the message box of the departure.
inline QString DepartureRecorded(const QString& name) { return name + QStringLiteral("已登记离开"); }
inline QString AlreadyLeft(const QString& departure) { return QStringLiteral("该访客已于") + departure + QStringLiteral("离开."); }

// Status panel 0 of the on-site view.
inline QString OnSiteCount(int count) { return QStringLiteral("未离开的访客共") + QString::number(count) + QStringLiteral("人"); }

// Tool tips of an identity number that fails its check.
inline QString WrongCheckCharacter() { return QStringLiteral("校验码不正确"); }
inline QString WrongBirthDate() { return QStringLiteral("出生日期不正确"); }

} // namespace AdditionTexts
