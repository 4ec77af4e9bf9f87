#include "skin/engine/SkinButton.h"

#include "skin/SkinData.h"
#include "skin/SkinDraw.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kTransparentTag = 5555;
constexpr int kFrameNormal = 1, kFramePressed = 2, kFrameDisabled = 3, kFrameHot = 4, kFrameFocused = 5;

bool LeftButton(const QEvent* event) { return static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton; }
} // namespace

void TSkinButton::Attach(TSkinForm* form, TSkinData* data, bool ownColour)
{
    if (IsAttached() || !control_)
        return;
    TSkinControl::Attach(form, data, ownColour);
    parentBackground_ =
        control_->property("Tag").toInt() == kTransparentTag || (data && data->HasOption(TSkinData::xoTransparent));
    // Hot tracking needs move events without a button held.
    savedMouseTracking_ = control_->hasMouseTracking();
    control_->setMouseTracking(true);
}

void TSkinButton::Detach()
{
    const bool wasActive = IsActive();
    TSkinControl::Detach();
    if (!wasActive)
        return;
    state_ = 0;
    work_ = QImage();
    if (State() != ControlState::Destroyed && control_)
        control_->setMouseTracking(savedMouseTracking_);
}

void TSkinButton::SetState(int bits, bool on) { state_ = on ? (state_ | bits) : (state_ & ~bits); }

int TSkinButton::CurrentFrame() const
{
    if (!control_)
        return kFrameNormal;
    if (!control_->isEnabled())
        return kFrameDisabled;
    if (IsPressed())
        return kFramePressed;
    if (IsHot())
        return kFrameHot;
    if (control_->hasFocus() || control_->property("default").toBool())
        return kFrameFocused;
    return kFrameNormal;
}

bool TSkinButton::BeforeMessage(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Paint:
        if (!skinData_ || !skinData_->Buttons() || skinData_->Buttons()->Bitmap.isNull())
            return TSkinControl::BeforeMessage(event);
        PaintFrame();
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (!LeftButton(event))
            break;
        if (!control_->hasFocus() && (control_->focusPolicy() & Qt::ClickFocus))
            control_->setFocus(Qt::MouseFocusReason);
        SetState(sbPressed, true);
        control_->repaint();
        return false;
    case QEvent::MouseButtonRelease: {
        if (!LeftButton(event) || !IsPressed())
            break;
        SetState(sbPressed, false);
        control_->repaint();
        // The release goes to the pressed button wherever the mouse is; only
        // a release over it clicks.
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (control_->rect().contains(pos)) {
            if (auto* button = qobject_cast<QAbstractButton*>(control_.data()))
                button->click();
        }
        return false;
    }
    default: break;
    }
    return TSkinControl::BeforeMessage(event);
}

void TSkinButton::AfterMessage(QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && !key->isAutoRepeat()) {
            SetState(sbPressed, event->type() == QEvent::KeyPress);
            Repaint();
        }
        break;
    }
    case QEvent::MouseMove: {
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (control_->rect().contains(pos)) {
            if (control_->isEnabled() && !IsHot()) {
                SetState(sbHot, true);
                Repaint();
            }
        } else if (state_ != 0) {
            // Dragged off while held: the same as leaving.
            state_ = 0;
            Repaint();
        }
        break;
    }
    case QEvent::Leave:
        state_ = 0;
        Repaint();
        break;
    case QEvent::Hide:
        // No leave comes when the window hides under the mouse, so the
        // button would show hot or pressed when it is shown again.
        state_ = 0;
        break;
    case QEvent::FocusOut:
        SetState(sbPressed, false);
        TSkinControl::AfterMessage(event);
        break;
    default: TSkinControl::AfterMessage(event); break;
    }
}

void TSkinButton::PaintBackground(QImage& image) const
{
    image.fill(skinData_->FaceColour());
    QWidget* parent = control_->parentWidget();
    if (!parentBackground_ || !parent)
        return;
    // The parent's own painting under the button, without its children (the
    // button among them).
    parent->render(&image, QPoint(), QRegion(control_->geometry()), QWidget::DrawWindowBackground);
}

void TSkinButton::Draw(QPainter& painter, const QRect& rect)
{
    const TDataSkinButton* buttons = skinData_ ? skinData_->Buttons() : nullptr;
    if (!control_ || !buttons || buttons->Bitmap.isNull() || rect.isEmpty())
        return;
    const bool focused = control_->hasFocus();
    const bool enabled = control_->isEnabled();
    const int frame = CurrentFrame();

    const qreal dpr = control_->devicePixelRatioF();
    if (work_.size() != rect.size() * dpr)
        work_ = QImage(rect.size() * dpr, QImage::Format_ARGB32_Premultiplied);
    work_.setDevicePixelRatio(dpr);
    // An image's own resolution is 72 dpi: a caption font given in points
    // would come out a quarter smaller than on the screen.
    work_.setDotsPerMeterX(qRound(control_->logicalDpiX() / 0.0254));
    work_.setDotsPerMeterY(qRound(control_->logicalDpiY() / 0.0254));
    PaintBackground(work_);

    QPainter p(&work_);
    const QRect local(QPoint(0, 0), rect.size());
    DrawElement(p, local, buttons, 5, frame);

    QColor text = control_->palette().color(QPalette::ButtonText);
    if (buttons->HasNormalColour2)
        text = buttons->NormalColour2;
    if (frame == kFrameHot && buttons->HasMouseOverColour2)
        text = buttons->MouseOverColour2;
    if (frame == kFramePressed && buttons->HasPressedColour2)
        text = buttons->PressedColour2;
    if (!enabled)
        text = skinData_->Colour(TSkinData::csButtonShadow);

    QString caption = control_->property("text").toString();
    caption.replace(QLatin1String("||"), QLatin1String("\n"));
    p.setFont(control_->font());
    p.setPen(text);
    p.setLayoutDirection(control_->layoutDirection());
    const int flags = Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextExpandTabs | Qt::TextDontClip
                      | Qt::TextShowMnemonic;
    const QRect textRect = p.boundingRect(local.adjusted(2, 2, -2, -2), flags, caption);
    p.drawText(textRect, flags, caption);

    if (focused && !skinData_->HasOption(TSkinData::xoNoFocusRect)) {
        QPen pen(text, 1, Qt::DotLine);
        pen.setCosmetic(true);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(textRect.adjusted(-2, -2, 1, 1));
    }
    p.end();
    painter.drawImage(rect.topLeft(), work_);
}
