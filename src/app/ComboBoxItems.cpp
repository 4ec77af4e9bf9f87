#include "app/ComboBoxItems.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QItemDelegate>
#include <QSignalBlocker>

#include <algorithm>

namespace {

// A row is the font's full line (ascent and descent) plus a small margin;
// the plain delegate gives a 13 px font a 13 px row and cuts the glyphs' tops.
class FontRowDelegate : public QItemDelegate {
public:
    using QItemDelegate::QItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), QFontMetrics(option.font).lineSpacing() + 4));
        return size;
    }
};

} // namespace

void ReplaceItems(QComboBox* box, const QStringList& items)
{
    const QString text = box->currentText();
    const QSignalBlocker blocker(box);
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEditText(text);
}

void FitRowsToFont(QComboBox* box) { box->setItemDelegate(new FontRowDelegate(box)); }

QStringList ItemsOf(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}
