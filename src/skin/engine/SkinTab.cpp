#include "skin/engine/SkinTab.h"

#include "skin/SkinData.h"
#include "skin/SkinDraw.h"

#include <QEvent>
#include <QPainter>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabWidget>
#include <QTransform>

namespace {
constexpr int kTabFrames = 5;
constexpr int kMaxTabText = 80;

bool Vertical(QTabBar::Shape s)
{
    return s == QTabBar::RoundedWest || s == QTabBar::RoundedEast || s == QTabBar::TriangularWest
           || s == QTabBar::TriangularEast;
}
bool West(QTabBar::Shape s) { return s == QTabBar::RoundedWest || s == QTabBar::TriangularWest; }
bool South(QTabBar::Shape s) { return s == QTabBar::RoundedSouth || s == QTabBar::TriangularSouth; }
} // namespace

TSkinTab::~TSkinTab()
{
    if (bar_ && barFiltered_)
        bar_->removeEventFilter(this);
}

QTabWidget* TSkinTab::TabWidget() const { return qobject_cast<QTabWidget*>(control_.data()); }

QTabBar* TSkinTab::Bar() const
{
    if (QTabWidget* tabs = TabWidget())
        return tabs->tabBar();
    return qobject_cast<QTabBar*>(control_.data());
}

QTabBar::Shape TSkinTab::Shape() const
{
    const QTabBar* bar = Bar();
    return bar ? bar->shape() : QTabBar::RoundedNorth;
}

void TSkinTab::Attach(TSkinForm* form, TSkinData* data, bool ownColour)
{
    if (IsAttached() || !control_)
        return;
    TSkinControl::Attach(form, data, ownColour);
    if (TabWidget()) {
        bar_ = Bar();
        barObject_ = bar_.data();
        if (bar_) {
            bar_->installEventFilter(this);
            barFiltered_ = true;
            bar_->update();
        }
    }
}

void TSkinTab::Detach()
{
    if (!IsActive())
        return;
    if (bar_ && barFiltered_) {
        bar_->removeEventFilter(this);
        bar_->update();
    }
    barFiltered_ = false;
    TSkinControl::Detach();
}

bool TSkinTab::eventFilter(QObject* watched, QEvent* event)
{
    if (bar_ && watched == barObject_) {
        if (event->type() == QEvent::Paint && IsActive() && State() != ControlState::Destroyed && control_) {
            PaintBar(bar_);
            return true;
        }
        return false;
    }
    return TSkinControl::eventFilter(watched, event);
}

bool TSkinTab::BeforeMessage(QEvent* event)
{
    if (event->type() == QEvent::Paint) {
        if (TabWidget())
            PaintWidget();
        else if (QTabBar* bar = Bar())
            PaintBar(bar);
        return false;
    }
    return TSkinControl::BeforeMessage(event);
}

QRect TSkinTab::PaneRect() const
{
    QTabWidget* tabs = TabWidget();
    if (!tabs)
        return {};
    // Qt's pane frame takes the place of the display area grown by the
    // border; the pane runs from the tab band to the far edge.
    QStyleOptionTabWidgetFrame opt;
    opt.initFrom(tabs);
    opt.shape = Shape();
    if (const QTabBar* bar = Bar(); bar && bar->isVisibleTo(tabs)) {
        opt.tabBarSize = bar->sizeHint();
        opt.tabBarRect = bar->geometry();
        opt.selectedTabRect = bar->tabRect(bar->currentIndex()).translated(bar->pos());
    }
    opt.lineWidth = tabs->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, tabs);
    QRect pane = tabs->style()->subElementRect(QStyle::SE_TabWidgetTabPane, &opt, tabs);
    return pane.intersected(tabs->rect());
}

void TSkinTab::DrawTurned(QPainter& p, const QRect& rect, const TDataSkinObject& element, int frames, int frame,
                          int left, int top, int right, int bottom) const
{
    const QTabBar::Shape shape = Shape();
    const QRect src = SkinFrameRect(element, frames, frame);
    if (src.isEmpty() || rect.isEmpty())
        return;
    const bool vertical = Vertical(shape);
    const QSize size = vertical ? rect.size().transposed() : rect.size();
    QImage img(size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    {
        QPainter ip(&img);
        ip.setCompositionMode(QPainter::CompositionMode_Source);
        DrawNineSlice(ip, img.rect(), element.Bitmap, src, left, top, right, bottom, element.TilesMiddle());
    }
    if (element.Trans == 1)
        img = MagentaToTransparent(img);
    if (South(shape))
        img = img.mirrored(false, true);
    else if (vertical)
        img = img.transformed(QTransform().rotate(West(shape) ? -90 : 90));
    p.drawImage(rect.topLeft(), img);
}

void TSkinTab::PaintWidget()
{
    QTabWidget* tabs = TabWidget();
    const TDataSkinObject* tabsElement = skinData_ ? skinData_->Element(QStringLiteral("Tabs")) : nullptr;
    if (!tabs || !tabsElement)
        return;
    QPainter p(tabs);
    const QRect pane = PaneRect();
    // The band beside the tabs takes the control's colour.
    const QRegion band = QRegion(tabs->rect()) - QRegion(pane);
    for (const QRect& r : band)
        p.fillRect(r, tabs->palette().color(tabs->backgroundRole()));

    // Style 0: the Tabs element's second image with fixed margins; else Tab.Pane.
    if (tabsElement->Style == 0) {
        const auto* border = dynamic_cast<const TDataSkinBorder*>(tabsElement);
        if (border && !border->Bitmap2.isNull()) {
            TDataSkinObject image;
            image.Bitmap = border->Bitmap2;
            DrawTurned(p, pane, image, 1, 1, 4, 5, 4, 4);
        }
    } else if (const TDataSkinObject* paneElement = skinData_->Element(QStringLiteral("Tab.Pane"))) {
        DrawTurned(p, pane, *paneElement, paneElement->Frame, 1, paneElement->LeftWidth, paneElement->TopHeight,
                   paneElement->RightWidth, paneElement->BottomHeight);
    }
}

void TSkinTab::PaintBar(QTabBar* bar)
{
    const TDataSkinObject* tabsElement = skinData_ ? skinData_->Element(QStringLiteral("Tabs")) : nullptr;
    if (!bar || !tabsElement || tabsElement->Bitmap.isNull())
        return;
    QPainter p(bar);
    p.fillRect(bar->rect(), control_->palette().color(control_->backgroundRole()));
    p.setFont(bar->font());
    const QTabBar::Shape shape = bar->shape();
    const int current = bar->currentIndex();
    for (int i = 0; i < bar->count(); ++i) {
        const QRect r = bar->tabRect(i);
        if (r.isEmpty() || !r.intersects(bar->rect()))
            continue;
        const int frame = i == current ? 2 : 1;
        DrawTurned(p, r, *tabsElement, kTabFrames, frame, tabsElement->LeftWidth, tabsElement->TopHeight,
                   tabsElement->RightWidth, tabsElement->BottomHeight);
        QColor colour = frame == 2 ? tabsElement->MouseOverColour2 : tabsElement->NormalColour2;
        if (!colour.isValid())
            colour = bar->palette().color(QPalette::WindowText);
        if (!bar->isTabEnabled(i))
            colour = bar->palette().color(QPalette::Disabled, QPalette::WindowText);
        p.setPen(colour);
        const QString text = bar->tabText(i).left(kMaxTabText);
        p.save();
        QRect textRect = r;
        if (Vertical(shape)) {
            // Side tabs read along the side, as the tab bar draws them.
            p.translate(r.center());
            p.rotate(West(shape) ? -90 : 90);
            textRect = QRect(-r.height() / 2, -r.width() / 2, r.height(), r.width());
        }
        const QIcon icon = bar->tabIcon(i);
        if (!icon.isNull()) {
            const QSize is = bar->iconSize();
            const int y = textRect.top() + (textRect.height() - is.height()) / 2;
            icon.paint(&p, QRect(QPoint(textRect.left() + 6, y), is));
            textRect.setLeft(textRect.left() + 8 + is.width());
        }
        p.drawText(textRect.adjusted(4, 0, -4, 0), Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextSingleLine, text);
        p.restore();
    }
}
