#include "app/CutOffCellTips.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

bool TCutOffCellTips::IsCutOff(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    if (cell.text.isEmpty())
        return false;
    const QWidget* widget = cell.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    // The room the style leaves for the text, less its margins on both sides.
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    return cell.fontMetrics.horizontalAdvance(cell.text) > textRect.width() - 2 * margin;
}

bool TCutOffCellTips::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    if (IsCutOff(option, index)) {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        QToolTip::showText(event->globalPos(), cell.text, view->viewport(), option.rect);
    } else {
        QToolTip::hideText();
    }
    return true;
}
