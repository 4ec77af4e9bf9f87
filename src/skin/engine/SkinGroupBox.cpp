#include "skin/engine/SkinGroupBox.h"

#include "skin/SkinData.h"

#include <QEvent>
#include <QGroupBox>
#include <QPainter>
#include <QStyle>

namespace {
constexpr int kCaptionIndent = 8;

QString CaptionOf(const QWidget* control)
{
    if (auto* box = qobject_cast<const QGroupBox*>(control))
        return box->title();
    return control->property("Caption").toString();
}

bool RightAligned(const QWidget* control)
{
    auto* box = qobject_cast<const QGroupBox*>(control);
    if (!box)
        return false;
    return QStyle::visualAlignment(box->layoutDirection(), box->alignment()) & Qt::AlignRight;
}
} // namespace

bool TSkinGroupBox::BeforeMessage(QEvent* event)
{
    if (event->type() == QEvent::Paint && skinData_) {
        auto* box = qobject_cast<QGroupBox*>(control_.data());
        if (!box || !box->isCheckable()) {
            PaintFrame();
            return false;
        }
    }
    return TSkinControl::BeforeMessage(event);
}

QRect TSkinGroupBox::CaptionRect(const QRect& rect) const
{
    if (!control_)
        return {};
    QString caption = CaptionOf(control_);
    caption.remove(QLatin1Char('&'));
    if (caption.isEmpty())
        return {};
    const QFontMetrics fm(control_->font());
    const int w = fm.horizontalAdvance(caption);
    const int x = RightAligned(control_) ? rect.right() + 1 - kCaptionIndent - w : rect.left() + kCaptionIndent;
    return QRect(x, rect.top(), w, fm.height());
}

void TSkinGroupBox::Draw(QPainter& painter, const QRect& rect)
{
    if (!skinData_ || !control_)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor face = skinData_->FaceColour();
    painter.fillRect(rect, face);

    painter.setFont(control_->font());
    const int h = painter.fontMetrics().height();
    QPen pen(skinData_->Colour(TSkinData::csButtonShadow), 1);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // From (1, h/2 - 1) up to, not including, (width - 1, height - 1); the
    // pen's outline covers one pixel past the rectangle's right and bottom.
    const QRect frame(QPoint(rect.left() + 1, rect.top() + h / 2 - 1), QPoint(rect.right() - 2, rect.bottom() - 2));
    painter.drawRoundedRect(frame, 2.5, 2.5);

    const QRect caption = CaptionRect(rect);
    if (!caption.isEmpty()) {
        painter.fillRect(caption, face);
        painter.setPen(control_->palette().color(control_->isEnabled() ? QPalette::Active : QPalette::Disabled,
                                                 QPalette::WindowText));
        painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextDontClip,
                         CaptionOf(control_));
    }
    painter.restore();
}
