#include "app/EditMarks.h"

#include <QApplication>
#include <QLineEdit>
#include <QVariant>

namespace {

const char* propertyOf(EditMark mark) { return mark == EditMark::Fault ? "faultTip" : "watchListTip"; }

} // namespace

void SetEditMark(QLineEdit* edit, EditMark mark, const QString& tip)
{
    if (edit->property(propertyOf(mark)).toString() == tip)
        return;
    edit->setProperty(propertyOf(mark), tip);
    const QString fault = edit->property(propertyOf(EditMark::Fault)).toString();
    const QString watch = edit->property(propertyOf(EditMark::WatchList)).toString();
    if (fault.isEmpty() && watch.isEmpty()) {
        edit->setPalette(QPalette());
    } else {
        QPalette palette = QApplication::palette(edit);
        if (!fault.isEmpty())
            palette.setColor(QPalette::Text, Qt::red);
        if (!watch.isEmpty())
            palette.setColor(QPalette::Base, WatchListWarningColour());
        edit->setPalette(palette);
    }
    QStringList tips;
    for (const QString& t : {watch, fault})
        if (!t.isEmpty())
            tips << t;
    edit->setToolTip(tips.join(QLatin1Char('\n')));
}
