#include "skin/engine/SkinScrollbar.h"

#include "skin/SkinData.h"
#include "skin/SkinDraw.h"

#include <QAbstractScrollArea>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleOptionSlider>

namespace {
// Frames of the Scrollbar element: arrows up, down, left, right (four states
// each: normal, hot, pressed, disabled), tracks, thumbs, hot thumbs, size box.
constexpr int kBarFrames = 23;
constexpr int kArrowUp = 1, kArrowDown = 5, kArrowLeft = 9, kArrowRight = 13;
constexpr int kTrackHorz = 17, kTrackVert = 18, kThumbHorz = 19, kThumbVert = 20, kThumbHotHorz = 21,
              kThumbHotVert = 22, kSizeBox = 23;

// The application's style with the scroll bars as thick as the skin's arrow
// cells, so that the arrows are drawn at the size they were made.
class TBarThicknessStyle : public QProxyStyle {
public:
    explicit TBarThicknessStyle(int thickness) : thickness_(thickness) {}
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_ScrollBarExtent)
            return thickness_;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    int thickness_;
};

// 0 normal, 1 hot, 2 pressed, 3 disabled.
int StateOf(QStyle::SubControl sc, QStyle::SubControl hot, QStyle::SubControl pressed, bool enabled)
{
    if (!enabled)
        return 3;
    if (pressed == sc)
        return 2;
    if (hot == sc)
        return 1;
    return 0;
}
} // namespace

TSkinScrollbar::~TSkinScrollbar()
{
    ReleaseBars();
    delete barStyle_;
}

int TSkinScrollbar::ArrowCellSize() const
{
    const TDataSkinObject* sheet = skinData_ ? skinData_->Element(QStringLiteral("Scrollbar")) : nullptr;
    if (!sheet || sheet->Bitmap.isNull())
        return 0;
    return SkinFrameRect(*sheet, kBarFrames, kArrowUp).width();
}

void TSkinScrollbar::FillOption(const QScrollBar& bar, QStyleOptionSlider& opt)
{
    opt.initFrom(&bar);
    opt.subControls = QStyle::SC_All;
    opt.activeSubControls = QStyle::SC_None;
    opt.orientation = bar.orientation();
    opt.minimum = bar.minimum();
    opt.maximum = bar.maximum();
    opt.sliderPosition = bar.sliderPosition();
    opt.sliderValue = bar.value();
    opt.singleStep = bar.singleStep();
    opt.pageStep = bar.pageStep();
    opt.upsideDown = bar.orientation() == Qt::Horizontal
                         ? bar.invertedAppearance() != (bar.layoutDirection() == Qt::RightToLeft)
                         : bar.invertedAppearance();
    if (bar.orientation() == Qt::Horizontal)
        opt.state |= QStyle::State_Horizontal;
}

void TSkinScrollbar::AddBar(QScrollBar* bar)
{
    if (!bar || Find(bar))
        return;
    Bar b;
    b.bar = bar;
    b.object = bar;
    b.hadHover = bar->testAttribute(Qt::WA_Hover);
    bar->setAttribute(Qt::WA_Hover, true);
    if (const int cell = ArrowCellSize(); cell > 0) {
        if (!barStyle_)
            barStyle_ = new TBarThicknessStyle(cell);
        b.hadOwnStyle = bar->testAttribute(Qt::WA_SetStyle);
        b.ownStyle = b.hadOwnStyle ? bar->style() : nullptr;
        bar->setStyle(barStyle_);
    }
    // A lone scroll bar is the control itself and already filtered.
    if (bar != control_.data())
        bar->installEventFilter(this);
    bars_.append(b);
    bar->update();
}

void TSkinScrollbar::ReleaseBars()
{
    for (Bar& b : bars_) {
        if (!b.bar)
            continue;
        if (b.bar != control_.data())
            b.bar->removeEventFilter(this);
        b.bar->setAttribute(Qt::WA_Hover, b.hadHover);
        if (b.bar->style() == barStyle_)
            b.bar->setStyle(b.hadOwnStyle ? b.ownStyle.data() : nullptr);
        b.bar->update();
    }
    bars_.clear();
    RelayOutArea();
}

void TSkinScrollbar::RelayOutArea()
{
    // The area places its bars by their size hints when it lays out its
    // children, which setting a bar policy (even the same one) does.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control_.data()))
        area->setVerticalScrollBarPolicy(area->verticalScrollBarPolicy());
}

TSkinScrollbar::Bar* TSkinScrollbar::Find(QObject* watched)
{
    for (Bar& b : bars_)
        if (b.bar && b.object == watched)
            return &b;
    return nullptr;
}

void TSkinScrollbar::Attach(TSkinForm* form, TSkinData* data, bool ownColour)
{
    if (IsAttached() || !control_)
        return;
    TSkinControl::Attach(form, data, ownColour);
    if (auto* single = qobject_cast<QScrollBar*>(control_.data())) {
        AddBar(single);
    } else if (auto* area = qobject_cast<QAbstractScrollArea*>(control_.data())) {
        AddBar(area->horizontalScrollBar());
        AddBar(area->verticalScrollBar());
        RelayOutArea();
    }
}

void TSkinScrollbar::Detach()
{
    if (!IsActive())
        return;
    ReleaseBars();
    TSkinControl::Detach();
}

bool TSkinScrollbar::BeforeMessage(QEvent* event)
{
    // A lone scroll bar is painted here instead of by itself.
    if (event->type() == QEvent::Paint && qobject_cast<QScrollBar*>(control_.data())) {
        if (Bar* b = Find(control_))
            PaintBar(*b);
        return false;
    }
    return TSkinControl::BeforeMessage(event);
}

bool TSkinScrollbar::eventFilter(QObject* watched, QEvent* event)
{
    Bar* b = Find(watched);
    if (!b)
        return TSkinControl::eventFilter(watched, event);
    if (watched == control_.data()) {
        if (IsActive() && State() != ControlState::Destroyed)
            Track(*b, event);
        return TSkinControl::eventFilter(watched, event);
    }
    if (!IsActive() || State() == ControlState::Destroyed)
        return false;
    if (event->type() == QEvent::Paint) {
        PaintBar(*b);
        return true;
    }
    Track(*b, event);
    return false;
}

void TSkinScrollbar::Track(Bar& b, QEvent* event)
{
    QScrollBar* bar = b.bar;
    auto hit = [bar](const QPoint& pos) {
        QStyleOptionSlider opt;
        FillOption(*bar, opt);
        return bar->style()->hitTestComplexControl(QStyle::CC_ScrollBar, &opt, pos, bar);
    };
    switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove: {
        const QStyle::SubControl sc = hit(static_cast<QHoverEvent*>(event)->position().toPoint());
        if (sc != b.hot) {
            b.hot = sc;
            bar->update();
        }
        break;
    }
    case QEvent::HoverLeave:
        b.hot = QStyle::SC_None;
        bar->update();
        break;
    case QEvent::Hide:
        // No leave comes when the window hides under the mouse.
        b.hot = b.pressed = QStyle::SC_None;
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton) {
            b.pressed = hit(me->position().toPoint());
            bar->update();
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        b.pressed = QStyle::SC_None;
        bar->update();
        break;
    default: break;
    }
}

void TSkinScrollbar::PaintBar(Bar& b)
{
    QScrollBar* bar = b.bar;
    if (!bar || !skinData_)
        return;
    const TDataSkinObject* sheet = skinData_->Element(QStringLiteral("Scrollbar"));
    const bool horizontal = bar->orientation() == Qt::Horizontal;
    const TDataSkinObject* track =
        skinData_->Element(horizontal ? QStringLiteral("HorzScroll") : QStringLiteral("VertScroll"));
    const TDataSkinObject* thumb =
        skinData_->Element(horizontal ? QStringLiteral("HorzScrollThumb") : QStringLiteral("VertScrollThumb"));

    QStyleOptionSlider opt;
    FillOption(*bar, opt);
    QStyle* style = bar->style();
    auto rectOf = [&](QStyle::SubControl sc) { return style->subControlRect(QStyle::CC_ScrollBar, &opt, sc, bar); };
    const bool enabled = bar->isEnabled() && bar->maximum() > bar->minimum();
    auto state = [&](QStyle::SubControl sc) { return StateOf(sc, b.hot, b.pressed, enabled); };

    QPainter p(bar);
    p.fillRect(bar->rect(), skinData_->Colour(TSkinData::csScrollbar));

    // The track: one piece for the page before the thumb, one after it.
    for (const QStyle::SubControl page : {QStyle::SC_ScrollBarSubPage, QStyle::SC_ScrollBarAddPage}) {
        const QRect r = rectOf(page);
        if (r.isEmpty())
            continue;
        if (track)
            DrawElement(p, r, track, track->Frame, state(page) + 1);
        else
            DrawElement(p, r, sheet, kBarFrames, horizontal ? kTrackHorz : kTrackVert);
    }
    if (!enabled) {
        // Nothing to scroll: the whole groove, no thumb.
        const QRect groove = rectOf(QStyle::SC_ScrollBarGroove);
        if (track)
            DrawElement(p, groove, track, track->Frame, 4);
        else
            DrawElement(p, groove, sheet, kBarFrames, horizontal ? kTrackHorz : kTrackVert);
    } else {
        const QRect r = rectOf(QStyle::SC_ScrollBarSlider);
        const int s = state(QStyle::SC_ScrollBarSlider);
        if (thumb && !thumb->Bitmap.isNull())
            PaintThumb(p, r, *thumb, std::min(s + 1, std::max(thumb->Frame, 1)), horizontal);
        else
            DrawElement(p, r, sheet, kBarFrames,
                        s == 1 ? (horizontal ? kThumbHotHorz : kThumbHotVert) : (horizontal ? kThumbHorz : kThumbVert));
    }

    // The arrows follow the reading order of the bar.
    const bool reversed = opt.upsideDown;
    const int subArrow = horizontal ? (reversed ? kArrowRight : kArrowLeft) : (reversed ? kArrowDown : kArrowUp);
    const int addArrow = horizontal ? (reversed ? kArrowLeft : kArrowRight) : (reversed ? kArrowUp : kArrowDown);
    DrawElement(p, rectOf(QStyle::SC_ScrollBarSubLine), sheet, kBarFrames,
                subArrow + state(QStyle::SC_ScrollBarSubLine));
    DrawElement(p, rectOf(QStyle::SC_ScrollBarAddLine), sheet, kBarFrames,
                addArrow + state(QStyle::SC_ScrollBarAddLine));
}

void TSkinScrollbar::PaintThumb(QPainter& p, const QRect& r, const TDataSkinObject& thumb, int frame, bool horizontal)
{
    const int frames = std::max(thumb.Frame, 1);
    DrawElement(p, r, &thumb, frames, frame);
    const QRect source = SkinFrameRect(thumb, frames, frame);
    // The middle along the bar, where the grip lies, at its own length and
    // centred on the thumb; across the bar it fills the thumb as before.
    QRect middle = horizontal ? source.adjusted(thumb.LeftWidth, 0, -thumb.RightWidth, 0)
                              : source.adjusted(0, thumb.TopHeight, 0, -thumb.BottomHeight);
    if (middle.isEmpty() || (horizontal ? r.width() < source.width() : r.height() < source.height()))
        return;
    auto part = [&](const QRect& from) {
        const QImage piece = thumb.Bitmap.copy(from);
        return thumb.Trans == 1 ? MagentaToTransparent(piece) : piece;
    };
    // The stretched middle would pull the grip apart: it is covered with its
    // first plain line, stretched, and the grip is drawn over that once.
    const QRect plain = horizontal ? QRect(middle.left(), middle.top(), 1, middle.height())
                                   : QRect(middle.left(), middle.top(), middle.width(), 1);
    const QRect inner = horizontal ? r.adjusted(thumb.LeftWidth, 0, -thumb.RightWidth, 0)
                                   : r.adjusted(0, thumb.TopHeight, 0, -thumb.BottomHeight);
    p.drawImage(inner, part(plain));
    const QImage piece = part(middle);
    QRect target =
        horizontal ? QRect(0, r.top(), middle.width(), r.height()) : QRect(r.left(), 0, r.width(), middle.height());
    target.moveCenter(r.center());
    p.drawImage(target, piece);
}

void TSkinScrollbar::Draw(QPainter& painter, const QRect&)
{
    // The corner between two visible scroll bars gets the size box.
    auto* area = qobject_cast<QAbstractScrollArea*>(control_.data());
    const TDataSkinObject* sheet = skinData_ ? skinData_->Element(QStringLiteral("Scrollbar")) : nullptr;
    if (!area || !sheet)
        return;
    QScrollBar* h = area->horizontalScrollBar();
    QScrollBar* v = area->verticalScrollBar();
    if (!h || !v || !h->isVisible() || !v->isVisible())
        return;
    const QRect hr(h->mapTo(area, QPoint(0, 0)), h->size());
    const QRect vr(v->mapTo(area, QPoint(0, 0)), v->size());
    const QRect corner(QPoint(vr.left(), hr.top()), QPoint(vr.right(), hr.bottom()));
    if (!corner.isEmpty())
        DrawElement(painter, corner, sheet, kBarFrames, kSizeBox);
}
