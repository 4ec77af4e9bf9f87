#pragma once
#include <QStyledItemDelegate>

// Draws cells as usual; a cell whose column is too narrow for its text shows
// the whole text as a tool tip while the pointer rests on it.
class TCutOffCellTips : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // True when the text of `index` does not fit in the cell drawn with `option`.
    bool IsCutOff(const QStyleOptionViewItem& option, const QModelIndex& index) const;
};
