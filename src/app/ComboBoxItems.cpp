#include "ComboBoxItems.h"

#include <QComboBox>
#include <QSignalBlocker>

void ReplaceItems(QComboBox* box, const QStringList& items)
{
    const QString text = box->currentText();
    const QSignalBlocker blocker(box);
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEditText(text);
}

QStringList ItemsOf(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}
