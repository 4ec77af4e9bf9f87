#include "app/ComboBoxPicks.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

TComboBoxPicks::TComboBoxPicks(QComboBox* box) : QObject(box), box_(box)
{
    QLineEdit* edit = box->lineEdit();
    // A pick changes the text first, then reports the entry.
    connect(edit, &QLineEdit::textChanged, this, [this] { picked_ = -1; });
    // Return reaches the edit's signals before the box matches the text;
    // the box's own slot on editingFinished runs before this one.
    connect(edit, &QLineEdit::returnPressed, this, &TComboBoxPicks::beginFinishingEdit);
    connect(edit, &QLineEdit::editingFinished, this, [this] { finishingEdit_ = false; });
    connect(box, &QComboBox::currentIndexChanged, this, [this](int index) { select(index, false); });
    connect(box, &QComboBox::activated, this, [this](int index) { select(index, true); });
    // The box hands the focus change and its keys to the edit itself, so
    // both are watched.
    box->installEventFilter(this);
    edit->installEventFilter(this);
}

int TComboBoxPicks::PickedEntry() const { return picked_ < box_->count() ? picked_ : -1; }

bool TComboBoxPicks::eventFilter(QObject* watched, QEvent* event)
{
    // The edit ends also when the box's own list opens and takes the focus.
    if (event->type() == QEvent::FocusOut)
        beginFinishingEdit();
    else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            beginFinishingEdit();
    }
    return QObject::eventFilter(watched, event);
}

void TComboBoxPicks::beginFinishingEdit()
{
    finishingEdit_ = true;
    // The matching happens while the event is delivered; should the edit not
    // report its end, the mark goes with the event all the same.
    QTimer::singleShot(0, this, [this] { finishingEdit_ = false; });
}

void TComboBoxPicks::select(int index, bool byUser)
{
    if (finishingEdit_)
        return;
    picked_ = index;
    if (byUser && index >= 0)
        emit Picked(index);
}
