#include "skin/engine/SkinEdit.h"

#include "skin/SkinData.h"

#include <QAbstractSpinBox>
#include <QFrame>
#include <QLineEdit>
#include <QPainter>

bool TSkinEdit::HasFrame() const
{
    if (!control_)
        return false;
    if (auto* edit = qobject_cast<QLineEdit*>(control_.data()))
        return edit->hasFrame();
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(control_.data()))
        return spin->hasFrame();
    if (auto* frame = qobject_cast<QFrame*>(control_.data()))
        return frame->frameWidth() > 0;
    return false;
}

void TSkinEdit::Draw(QPainter& painter, const QRect& rect)
{
    if (!skinData_ || !HasFrame() || rect.width() < 6 || rect.height() < 6)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    const QColor rings[3] = {skinData_->Colour(TSkinData::csButtonShadow), Qt::white, Qt::white};
    for (int i = 0; i < 3; ++i) {
        QPen pen(rings[i], 1);
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.drawRect(rect.adjusted(i, i, -1 - i, -1 - i));
    }
    painter.restore();
}
