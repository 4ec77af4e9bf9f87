#include "skin/engine/SkinStatusBar.h"

#include "skin/SkinData.h"
#include "skin/SkinDraw.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QSizeGrip>
#include <QStatusBar>
#include <QStyle>
#include <QTextDocument>
#include <algorithm>

namespace {
constexpr int kFrames = 3;
constexpr int kSunken = 1, kRaised = 2, kFlat = 3;
constexpr int kGripFrame = 5, kExtraFrames = 5;

// Labels that show plain text; the skinner draws their text itself.
bool PlainTextLabel(const QLabel* label)
{
    if (!label->pixmap().isNull() || label->movie())
        return false;
    const Qt::TextFormat format = label->textFormat();
    return format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(label->text()));
}

const TDataSkinObject* Edges(const TSkinData* data)
{
    return data ? data->Element(QStringLiteral("StatusBarEdges")) : nullptr;
}
} // namespace

void TSkinStatusBar::Attach(TSkinForm* form, TSkinData* data, bool ownColour)
{
    if (IsAttached() || !control_)
        return;
    TSkinControl::Attach(form, data, ownColour);
    HookChildren();
}

void TSkinStatusBar::Detach()
{
    const bool wasActive = IsActive();
    TSkinControl::Detach();
    if (!wasActive)
        return;
    for (const QPointer<QWidget>& child : std::as_const(hooked_)) {
        if (child) {
            child->removeEventFilter(this);
            child->update();
        }
    }
    hooked_.clear();
}

bool TSkinStatusBar::IsHooked(const QObject* child) const
{
    return std::any_of(hooked_.begin(), hooked_.end(), [child](const QPointer<QWidget>& p) { return p == child; });
}

void TSkinStatusBar::HookChildren()
{
    if (!control_)
        return;
    hooked_.removeAll(QPointer<QWidget>());
    for (QWidget* child : control_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if ((qobject_cast<QLabel*>(child) || qobject_cast<QSizeGrip*>(child)) && !IsHooked(child)) {
            child->installEventFilter(this);
            hooked_ << child;
            child->update();
        }
    }
}

QList<TSkinStatusBar::Panel> TSkinStatusBar::Panels() const
{
    QList<Panel> panels;
    if (!control_)
        return panels;
    if (auto* bar = qobject_cast<QStatusBar*>(control_.data()); bar && !bar->currentMessage().isEmpty())
        return panels; // a message hides the panels
    for (QLabel* label : control_->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->isHidden() || label->geometry().isEmpty())
            continue;
        int frame = kSunken;
        if (label->frameShape() == QFrame::NoFrame)
            frame = kFlat;
        else if (label->frameShadow() == QFrame::Raised)
            frame = kRaised;
        panels.append({label->geometry(), frame, label});
    }
    std::sort(panels.begin(), panels.end(), [](const Panel& a, const Panel& b) { return a.Rect.x() < b.Rect.x(); });
    for (qsizetype i = 0; i < panels.size(); ++i) {
        QRect& r = panels[i].Rect;
        if (i + 1 == panels.size())
            r.setRight(control_->rect().right());
        else
            r.setRight(r.right() + 2);
    }
    return panels;
}

QFont TSkinStatusBar::BarFont() const
{
    QFont font = control_->font();
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

QColor TSkinStatusBar::TextColour() const
{
    const TDataSkinObject* edges = Edges(skinData_);
    return edges ? edges->NormalColour2 : control_->palette().color(QPalette::WindowText);
}

bool TSkinStatusBar::BeforeMessage(QEvent* event)
{
    if (event->type() == QEvent::Paint && skinData_) {
        HookChildren();
        PaintFrame();
        return false;
    }
    return TSkinControl::BeforeMessage(event);
}

void TSkinStatusBar::AfterMessage(QEvent* event)
{
    if (event->type() == QEvent::ChildPolished)
        HookChildren();
    TSkinControl::AfterMessage(event);
}

void TSkinStatusBar::Draw(QPainter& painter, const QRect& rect)
{
    if (!skinData_ || !control_)
        return;
    painter.save();
    painter.fillRect(rect, skinData_->FaceColour());
    painter.setFont(BarFont());
    painter.setPen(TextColour());
    const TDataSkinObject* edges = Edges(skinData_);
    const QList<Panel> panels = Panels();
    if (panels.isEmpty()) {
        DrawElement(painter, rect, edges, kFrames, kSunken);
        QString text;
        if (auto* bar = qobject_cast<QStatusBar*>(control_.data()))
            text = bar->currentMessage();
        if (text.isEmpty())
            text = QStringLiteral(" ");
        const Qt::Alignment align = QStyle::visualAlignment(control_->layoutDirection(), Qt::AlignLeft);
        painter.drawText(rect.adjusted(2, 0, -2, 0), int(align | Qt::AlignVCenter | Qt::TextSingleLine), text);
    } else {
        for (const Panel& panel : panels)
            DrawElement(painter, panel.Rect, edges, kFrames, panel.Frame);
    }

    auto* bar = qobject_cast<QStatusBar*>(control_.data());
    const TDataSkinObject* extra = skinData_->Element(QStringLiteral("ExtraImages"));
    if (bar && bar->isSizeGripEnabled() && extra) {
        const QRect src = SkinFrameRect(*extra, kExtraFrames, kGripFrame);
        if (!src.isEmpty()) {
            const QImage grip = MagentaToTransparent(extra->Bitmap.copy(src));
            painter.drawImage(QPoint(rect.right() + 1 - grip.width(), rect.bottom() + 1 - grip.height()), grip);
        }
    }
    painter.restore();
}

void TSkinStatusBar::PaintLabel(QLabel* label) const
{
    QPainter p(label);
    p.setFont(BarFont());
    p.setPen(TextColour());
    p.setLayoutDirection(label->layoutDirection());
    const Qt::Alignment horizontal =
        QStyle::visualAlignment(label->layoutDirection(), label->alignment() & Qt::AlignHorizontal_Mask);
    const int flags = int(horizontal | Qt::AlignVCenter) | (label->wordWrap() ? Qt::TextWordWrap : Qt::TextSingleLine);
    p.drawText(label->rect().adjusted(2, 0, -2, 0), flags, label->text());
}

bool TSkinStatusBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == control_.data() || !IsHooked(watched))
        return TSkinControl::eventFilter(watched, event);
    if (event->type() != QEvent::Paint || !IsActive() || State() == ControlState::Destroyed || !control_)
        return false;
    // The bar has drawn the edges and the grip under its children.
    if (qobject_cast<QSizeGrip*>(watched))
        return true;
    auto* label = qobject_cast<QLabel*>(watched);
    if (!label || !PlainTextLabel(label))
        return false;
    PaintLabel(label);
    return true;
}
