// The main window's size: its bands follow the client area, so that a
// maximised window gives the extra room to the record list and the remarks,
// and a work area smaller than the window takes rows from the record list.
#include "app/Unit1.h"
#include "skin/engine/SkinForm.h"
#include "skin/engine/SkinManager.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>

#include <algorithm>
#include <cmath>

namespace {

// The designed client area and the heights of the fixed bands.
constexpr int kClientWidth = 716;
constexpr int kClientHeight = 687;
constexpr int kTitleHeight = 97;
constexpr int kButtonBandHeight = 46;
constexpr int kStatusBarHeight = 23;

const TSkinForm* skinFrameOf(const QWidget* window)
{
    const TSkinManager* manager = TSkinManager::Instance();
    return manager ? manager->FindSkinForm(window) : nullptr;
}

} // namespace

QRect TForm1::clientArea() const
{
    const TSkinForm* frame = skinFrameOf(this);
    return frame ? frame->ClientRect() : rect();
}

bool TForm1::maximizedBySkin() const
{
    const TSkinForm* frame = skinFrameOf(this);
    return frame && frame->WindowState() == TSkinForm::ShowState::Maximized;
}

void TForm1::rememberDesignedPlaces()
{
    // These keep their distance from the right edge of the client area.
    for (QWidget* w : QList<QWidget*>{ButtonWEB, Button4, Button_HIde, Bevel1, Button1, Button2, Button3, Label7,
                                      Edit_BianHao, Button_ClearAllEdit})
        rightAnchored_.append({w, w->x()});
    designedMemoWidth_ = Memo_BeiZhu->width();
    // On a low work area the list shrinks below its own minimum rather than
    // squeezing the record form under it.
    DBGrid1->setMinimumHeight(1);
}

void TForm1::layOutForClientArea()
{
    const QRect client = clientArea();
    if (client.isEmpty())
        return;
    const int x = client.left();
    const int top = client.top();
    const int width = client.width();
    const int height = client.height();
    const int wider = std::max(0, width - kClientWidth);
    GroupBox7->setGeometry(x, top, width, kTitleHeight);
    PageControl1->setGeometry(x, top + kTitleHeight, width,
                              height - kTitleHeight - kButtonBandHeight - kStatusBarHeight);
    Panel1->setGeometry(x, top + height - kStatusBarHeight - kButtonBandHeight, width, kButtonBandHeight);
    StatusBar1->setGeometry(x, top + height - kStatusBarHeight, width, kStatusBarHeight);
    for (const auto& [control, designedX] : rightAnchored_)
        control->move(designedX + wider, control->y());
    Memo_BeiZhu->resize(designedMemoWidth_ + wider, Memo_BeiZhu->height());
}

void TForm1::fitIntoWorkArea()
{
    fitPending_ = false;
    if (!isVisible() || maximizedBySkin() || !screen())
        return;
    // The designed window where it fits; otherwise as high as the work area
    // (the record list gives up rows) and inside it, never above or below.
    QRect area = screen()->availableGeometry();
    // At a fractional scale the logical work area is rounded and may end half
    // a device pixel beyond the real one: a pixel less keeps the window inside.
    const qreal scale = devicePixelRatioF();
    if (scale != std::floor(scale))
        area.adjust(0, 1, 0, -1);
    const QSize frame = size() - clientArea().size();
    const QSize wanted(std::min(kClientWidth + frame.width(), area.width()),
                       std::min(kClientHeight + frame.height(), area.height()));
    if (size() != wanted)
        setFixedSize(wanted);
    const QPoint inside(std::clamp(x(), area.left(), area.right() + 1 - wanted.width()),
                        std::clamp(y(), area.top(), area.bottom() + 1 - wanted.height()));
    if (pos() != inside)
        move(inside);
}

void TForm1::askToFitIntoWorkArea()
{
    if (fitPending_)
        return;
    fitPending_ = true;
    QMetaObject::invokeMethod(
        this, [this] { fitIntoWorkArea(); }, Qt::QueuedConnection);
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOutForClientArea();
    askToFitIntoWorkArea();
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    askToFitIntoWorkArea();
}
