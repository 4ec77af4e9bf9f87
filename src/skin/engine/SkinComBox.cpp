#include "skin/engine/SkinComBox.h"

#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/engine/SkinScrollbar.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QHoverEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>

namespace {
constexpr int kFrames = 4;
constexpr int kEdge = 2;

void DrawMagentaFree(QPainter& p, const QRect& rect, const TDataSkinObject& element, int frames, int frame)
{
    p.drawImage(rect.topLeft(), MagentaToTransparent(RenderElement(rect.size(), element, frames, frame)));
}
} // namespace

TSkinComBox::~TSkinComBox()
{
    if (edit_)
        edit_->removeEventFilter(this);
    if (popup_)
        popup_->removeEventFilter(this);
}

QComboBox* TSkinComBox::Combo() const { return qobject_cast<QComboBox*>(control_.data()); }

QRect TSkinComBox::ButtonRect() const
{
    if (!control_)
        return {};
    const QRect r = control_->rect();
    QRect button(r.right() + 1 - kEdge - kButtonWidth, r.top() + kEdge, kButtonWidth, r.height() - 2 * kEdge);
    if (control_->layoutDirection() == Qt::RightToLeft)
        button.moveLeft(r.left() + kEdge);
    return button;
}

QRect TSkinComBox::EditRect() const
{
    if (!control_)
        return {};
    const QRect r = control_->rect().adjusted(kEdge, kEdge, -kEdge, -kEdge);
    const QRect button = ButtonRect();
    if (control_->layoutDirection() == Qt::RightToLeft)
        return QRect(QPoint(button.right() + 1, r.top()), r.bottomRight());
    return QRect(r.topLeft(), QPoint(button.left() - 1, r.bottom()));
}

bool TSkinComBox::Pressed() const { return mouseDown_ || (popup_ && popup_->isVisible()); }

int TSkinComBox::CurrentFrame() const
{
    if (!control_ || !control_->isEnabled())
        return 3;
    if (Pressed())
        return 2;
    if (control_->hasFocus() || hot_)
        return 4;
    return 1;
}

void TSkinComBox::Attach(TSkinForm* form, TSkinData* data, bool ownColour)
{
    QComboBox* combo = Combo();
    if (IsAttached() || !combo)
        return;
    hadHover_ = combo->testAttribute(Qt::WA_Hover);
    combo->setAttribute(Qt::WA_Hover, true);
    TSkinControl::Attach(form, data, ownColour);
    edit_ = combo->lineEdit();
    editObject_ = edit_.data();
    if (edit_) {
        edit_->installEventFilter(this);
        FitLineEdit();
    }
    if (QAbstractItemView* view = combo->view()) {
        popup_ = view->window() != combo->window() ? view->window() : view->parentWidget();
        if (popup_)
            popup_->installEventFilter(this);
        auto* list = new TSkinScrollbar(view);
        list->setParent(this);
        list->Attach(nullptr, data, false);
        listSkinner_ = list;
    }
}

void TSkinComBox::Detach()
{
    if (!IsActive())
        return;
    if (listSkinner_) {
        listSkinner_->Detach();
        delete listSkinner_.data();
    }
    if (edit_)
        edit_->removeEventFilter(this);
    if (popup_)
        popup_->removeEventFilter(this);
    TSkinControl::Detach();
    QComboBox* combo = Combo();
    if (combo && State() != ControlState::Destroyed) {
        combo->setAttribute(Qt::WA_Hover, hadHover_);
        // The combo lays its line edit out again.
        QResizeEvent again(combo->size(), combo->size());
        QCoreApplication::sendEvent(combo, &again);
    }
    hot_ = mouseDown_ = false;
}

void TSkinComBox::FitLineEdit()
{
    fitPending_ = false;
    if (!IsActive() || !edit_ || !control_)
        return;
    const QRect area = EditRect();
    const QRect g = edit_->geometry();
    if (!area.contains(g)) {
        const QRect fitted = g.intersected(area);
        if (!fitted.isEmpty())
            edit_->setGeometry(fitted);
    }
}

void TSkinComBox::ScheduleFit()
{
    if (fitPending_ || !edit_)
        return;
    fitPending_ = true;
    QTimer::singleShot(0, this, &TSkinComBox::FitLineEdit);
}

bool TSkinComBox::eventFilter(QObject* watched, QEvent* event)
{
    const bool fromEdit = edit_ && watched == editObject_;
    const bool fromPopup = popup_ && watched == popup_.data();
    if (!fromEdit && !fromPopup)
        return TSkinControl::eventFilter(watched, event);
    if (!IsActive() || State() == ControlState::Destroyed)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (fromEdit && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            mouseDown_ = true;
            Repaint();
        }
        break;
    case QEvent::MouseButtonRelease:
        if (fromEdit && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            mouseDown_ = false;
            Repaint();
        }
        break;
    case QEvent::Show: Repaint(); break;
    case QEvent::Hide:
        // The list took the mouse: its closing ends the press.
        if (fromPopup)
            mouseDown_ = false;
        Repaint();
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut: Repaint(); break;
    case QEvent::Move:
    case QEvent::Resize:
        if (fromEdit)
            ScheduleFit();
        break;
    default: break;
    }
    return false;
}

bool TSkinComBox::BeforeMessage(QEvent* event)
{
    if (event->type() == QEvent::Paint) {
        if (!control_)
            return false;
        const auto* combo = skinData_ ? skinData_->Element(QStringLiteral("ComboButton")) : nullptr;
        if (!combo || combo->Bitmap.isNull())
            return true; // nothing to draw with: the combo's own look
        QPainter p(control_);
        Draw(p, control_->rect());
        return false;
    }
    return TSkinControl::BeforeMessage(event);
}

void TSkinComBox::AfterMessage(QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::Paint: break;
    case QEvent::HoverEnter:
    case QEvent::HoverMove: {
        const bool over = control_ && control_->isEnabled()
                          && ButtonRect().contains(static_cast<QHoverEvent*>(event)->position().toPoint());
        if (over != hot_) {
            hot_ = over;
            Repaint();
        }
        break;
    }
    case QEvent::HoverLeave:
    case QEvent::Leave:
        if (hot_) {
            hot_ = false;
            Repaint();
        }
        break;
    case QEvent::Hide:
        // No leave comes when the window hides under the mouse.
        hot_ = mouseDown_ = false;
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            mouseDown_ = true;
            Repaint();
        }
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            mouseDown_ = false;
            Repaint();
        }
        break;
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::StyleChange:
    case QEvent::FontChange:
    case QEvent::LayoutDirectionChange:
        ScheduleFit();
        Repaint();
        break;
    default: TSkinControl::AfterMessage(event); break;
    }
}

void TSkinComBox::DrawText(QPainter& p, const QRect& area) const
{
    const QComboBox* combo = Combo();
    if (!combo || combo->isEditable())
        return;
    const QPalette::ColorGroup group = combo->isEnabled() ? QPalette::Active : QPalette::Disabled;
    const bool selected = combo->hasFocus() && !Pressed();
    QRect textArea = area.adjusted(1, 1, -1, -1);
    if (selected)
        p.fillRect(textArea, combo->palette().color(group, QPalette::Highlight));
    textArea.adjust(2, 0, -2, 0);
    const QIcon icon = combo->itemIcon(combo->currentIndex());
    if (!icon.isNull()) {
        const QSize is = combo->iconSize();
        const QRect ir(QPoint(textArea.left(), textArea.top() + (textArea.height() - is.height()) / 2), is);
        icon.paint(&p, ir, Qt::AlignCenter, combo->isEnabled() ? QIcon::Normal : QIcon::Disabled);
        textArea.setLeft(ir.right() + 4);
    }
    p.setFont(combo->font());
    p.setPen(combo->palette().color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    const QString text = p.fontMetrics().elidedText(combo->currentText(), Qt::ElideRight, textArea.width());
    p.drawText(textArea, Qt::AlignVCenter | Qt::AlignLeading | Qt::TextSingleLine, text);
}

void TSkinComBox::Draw(QPainter& p, const QRect& rect)
{
    QComboBox* combo = Combo();
    if (!combo || !skinData_)
        return;
    const auto* button = skinData_->ElementAs<TDataSkinBorder>(QStringLiteral("ComboButton"));
    const TDataSkinObject* plainButton = skinData_->Element(QStringLiteral("ComboButton"));
    if (!plainButton || plainButton->Bitmap.isNull())
        return;
    const TDataSkinObject* sunk = skinData_->Element(QStringLiteral("SunkEdge"));
    const TDataSkinObject* arrow = skinData_->Element(QStringLiteral("ExtraImages"));
    const bool rtl = combo->layoutDirection() == Qt::RightToLeft;
    const int frame = CurrentFrame();
    const QPalette::ColorGroup group = combo->isEnabled() ? QPalette::Active : QPalette::Disabled;
    const QRect editArea = EditRect();
    const QRect buttonArea = ButtonRect();

    // The field under the edit area (the line edit of an editable combo
    // paints over it).
    p.fillRect(rect, combo->palette().color(group, QPalette::Base));
    DrawText(p, editArea);

    switch (plainButton->Style) {
    case 1: {
        // Flat: two rings, a filled button area with the button frame in it.
        p.setPen(skinData_->Colour(TSkinData::csButtonShadow));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect.adjusted(0, 0, -1, -1));
        p.setPen(combo->palette().color(group, QPalette::Base));
        p.drawRect(rect.adjusted(1, 1, -2, -2));
        const int thumb = TSkinData::kScrollArrowWidth;
        QRect area(rect.right() - kEdge + 1 - thumb, rect.top() + kEdge, thumb, rect.height() - 2 * kEdge);
        if (rtl)
            area.moveLeft(rect.left() + kEdge);
        p.fillRect(area, skinData_->FaceColour());
        DrawMagentaFree(p, area, *plainButton, kFrames, frame);
        break;
    }
    case 2: {
        // The prepared strip over the whole control; its magenta middle
        // leaves the edit area alone.
        const TDataSkinObject* strip = rtl && sunk ? sunk : plainButton;
        DrawMagentaFree(p, rect, *strip, kFrames, frame);
        break;
    }
    default: {
        if (sunk) {
            p.save();
            p.setClipRegion(QRegion(rect) - QRegion(editArea));
            DrawElement(p, rect, sunk, kFrames, frame);
            p.restore();
        }
        if (rtl && button && !button->Bitmap2.isNull()) {
            TDataSkinObject mirrored = *plainButton;
            mirrored.Bitmap = button->Bitmap2;
            DrawElement(p, buttonArea, &mirrored, kFrames, kFrames + 1 - frame);
        } else {
            DrawElement(p, buttonArea, plainButton, kFrames, frame);
        }
        if (arrow && !arrow->Bitmap.isNull()) {
            const QRect src = SkinFrameRect(*arrow, arrow->Frame, frame);
            if (!src.isEmpty()) {
                const QImage glyph = MagentaToTransparent(arrow->Bitmap.copy(src));
                p.save();
                p.setClipRect(buttonArea);
                p.drawImage(buttonArea.center() - QPoint(glyph.width() / 2, glyph.height() / 2) + QPoint(1, 1), glyph);
                p.restore();
            }
        }
        break;
    }
    }
}
