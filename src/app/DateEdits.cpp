#include "app/DateEdits.h"

#include <QDateEdit>
#include <QLocale>

QDateEdit* NewDateEdit(const QDate& date, QWidget* parent, const char* name)
{
    auto* edit = new QDateEdit(date, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setCalendarPopup(true);
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    edit->setDisplayFormat(format);
    return edit;
}
