#include "skin/engine/SkinForm.h"

#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/engine/SkinCaptionButtons.h"
#include "skin/engine/SkinControl.h"
#include "skin/engine/SkinEvents.h"
#include "skin/engine/SkinManager.h"
#include "skin/engine/SkinMenuOwnerDraw.h"
#include "skin/engine/WindowManagerState.h"

#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QIcon>
#include <QLayout>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QStyleHints>
#include <QTimer>
#include <QToolTip>
#include <QWhatsThis>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {
constexpr int kSystemMenuTag = 33333;
constexpr int kHoverInterval = 250;
constexpr int kHintHidePause = 10000;
constexpr int kSmallIconSize = 16; // the window's small icon in the icon button
// Commands of the system menu, kept as the items' Tag.
// The system menu's commands; each item keeps its number in its "Tag".
enum class SystemCommand : int {
    Size = 61440,
    Move = 61456,
    Minimize = 61472,
    Maximize = 61488,
    Close = 61536,
    Restore = 61728,
};

// One 16x16 glyph with its white background left out.
QIcon Glyph(const QImage& glyphs, int index)
{
    if (glyphs.isNull())
        return {};
    QImage piece = glyphs.copy(index * 16, 0, 16, 16).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < piece.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(piece.scanLine(y));
        for (int x = 0; x < piece.width(); ++x)
            if ((line[x] & 0x00FFFFFF) == 0x00FFFFFF)
                line[x] = 0;
    }
    return QIcon(QPixmap::fromImage(piece));
}
} // namespace

struct TSkinForm::Impl {
    bool frameWork = false; // the frame does its own border work
    bool applied = false;   // the frame has been applied to the window
    bool handleFlagsSet = false;
    bool usedMargins = false;
    QMargins oldMargins;
    QMargins added;
    std::vector<std::pair<QPointer<QWidget>, QPoint>> movedChildren; // child, offset applied
    QSize oldMin, oldMax;
    bool wasFixed = false;
    QSize delta;
    QRegion oldMask;
    QPalette oldPalette;
    bool oldMouseTracking = false;

    QFont captionFont;
    QTimer hoverTimer;
    int hoverCount = 0;
    bool hintShown = false;
    TCaptionButton* pressed = nullptr;
    QElapsedTimer lastSystemMenu;

    QRegion shape;
    QSize shapeSize;
    bool dragging = false;
    QPoint dragOffset;
    bool movePending = false; // pressed on the caption, not yet dragged
    QPoint pressGlobal;
    int rightButtonsOffset = 0;

    bool maximized = false; // maximised by the frame itself
    QRect normalGeometry;   // where the window was before
    std::vector<QPointer<QShortcut>> keys;
};

TSkinForm::TSkinForm(QWidget* window, TSkinData* data, TSkinManager* manager)
    : window_(window), skinData_(data), manager_(manager), impl_(std::make_unique<Impl>())
{
    impl_->hoverTimer.setInterval(kHoverInterval);
    QObject::connect(&impl_->hoverTimer, &QTimer::timeout, this, [this] { HoverTick(); });
    if (window) {
        className_ = QString::fromLatin1(window->metaObject()->className()).toLower();
        window->installEventFilter(this);
        // A window destroyed under its frame leaves a released frame that
        // the manager drops.
        connect(window, &QObject::destroyed, this, [this] {
            impl_->hoverTimer.stop();
            hot_ = nullptr;
            impl_->pressed = nullptr;
            state_ = SetupState::Released;
        });
        // Made frameless before it is mapped, so no window manager frames it
        // first and then takes the frame off again.
        impl_->frameWork = data && data->HasControl(TSkinData::xcMainMenu);
        Classify();
        if (impl_->frameWork && borderKind_ != BorderType::None && window->windowHandle())
            KeepFrameless();
    }
}

TSkinForm::~TSkinForm()
{
    Release();
    // Skinners left by a window destroyed under the frame go now, while
    // the list they leave is still whole.
    const QList<TSkinControl*> skinners = controls_;
    for (TSkinControl* skinner : skinners)
        delete skinner;
    controls_.clear();
    delete systemMenu_;
}

// ---------------------------------------------------------------- set-up

void TSkinForm::Classify()
{
    QWidget* w = window_;
    const Qt::WindowFlags flags = w->windowFlags();
    const Qt::WindowType type = static_cast<Qt::WindowType>(int(flags & Qt::WindowType_Mask));
    const bool customize = flags.testFlag(Qt::CustomizeWindowHint);
    messageBox_ = qobject_cast<QMessageBox*>(w) != nullptr;
    const bool dialog = messageBox_ || qobject_cast<QDialog*>(w) || type == Qt::Dialog;
    if (flags.testFlag(Qt::FramelessWindowHint) || (customize && !flags.testFlag(Qt::WindowTitleHint)))
        borderKind_ = BorderType::None;
    else if (dialog)
        borderKind_ = BorderType::Dialog;
    else if (w->minimumSize() != w->maximumSize())
        borderKind_ = BorderType::Sizable;
    else
        borderKind_ = BorderType::Single;

    if (!customize) {
        borderIcons_ = dialog ? BorderIcons(BorderIcon::SystemMenu)
                              : (BorderIcon::SystemMenu | BorderIcon::Minimize | BorderIcon::Maximize);
    } else {
        borderIcons_ = {};
        if (flags.testFlag(Qt::WindowSystemMenuHint))
            borderIcons_ |= BorderIcon::SystemMenu;
        if (flags.testFlag(Qt::WindowMinimizeButtonHint))
            borderIcons_ |= BorderIcon::Minimize;
        if (flags.testFlag(Qt::WindowMaximizeButtonHint))
            borderIcons_ |= BorderIcon::Maximize;
        if (flags.testFlag(Qt::WindowContextHelpButtonHint))
            borderIcons_ |= BorderIcon::ContextHelp;
    }
    rightToLeft_ = w->layoutDirection() == Qt::RightToLeft;
    ReadWindowState();
}

void TSkinForm::ReadWindowState()
{
    if (!window_)
        return;
    const Qt::WindowStates s = window_->windowState();
    windowState_ = s.testFlag(Qt::WindowMinimized) ? ShowState::Minimized
                   : (impl_->maximized || s.testFlag(Qt::WindowMaximized) || s.testFlag(Qt::WindowFullScreen))
                       ? ShowState::Maximized
                       : ShowState::Normal;
}

void TSkinForm::ComputeFrameSizes()
{
    leftWidth_ = topHeight_ = rightWidth_ = bottomHeight_ = 0;
    // No window of this program has a menu bar the frame would host.
    menuBarHeight_ = 0;
    if (!impl_->frameWork || borderKind_ == BorderType::None || !skinData_)
        return;
    auto across = [](const TDataSkinBorder* e) {
        return e && !e->Bitmap.isNull() ? e->Bitmap.width() / std::max(e->Frame, 1) : 0;
    };
    auto down = [](const TDataSkinBorder* e) {
        return e && !e->Bitmap.isNull() ? e->Bitmap.height() / std::max(e->Frame, 1) : 0;
    };
    topHeight_ = down(skinData_->Top());
    bottomHeight_ = down(skinData_->Bottom());
    leftWidth_ = across(skinData_->Left());
    rightWidth_ = across(skinData_->Right());
}

void TSkinForm::MakeCaptionButtons()
{
    captionButtons_.clear();
    hot_ = nullptr;
    impl_->pressed = nullptr;
    if (!impl_->frameWork || borderKind_ == BorderType::None || !skinData_)
        return;
    for (const auto& e : skinData_->SysButtons())
        captionButtons_.push_back(std::make_unique<TCaptionButton>(this, e.get()));
}

void TSkinForm::Setup()
{
    if (state_ != SetupState::New || !window_)
        return;
    impl_->frameWork = skinData_ && skinData_->HasControl(TSkinData::xcMainMenu);
    Classify();
    ComputeFrameSizes();
    impl_->captionFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    impl_->captionFont.setBold(true);
    // The caption is painted into an off-screen image, whose resolution is
    // not the screen's: sized in pixels, the text paints as wide as measured.
    impl_->captionFont.setPixelSize(QFontInfo(impl_->captionFont).pixelSize());
    SkinControls();
    SetFormMenusOwnerDrawn(window_, skinData_, true);
    MakeCaptionButtons();
    ApplyFrame();
    MakeKeys();
    if (skinData_ && skinData_->OnAfterSkinForm)
        skinData_->OnAfterSkinForm(window_, quintptr(window_->winId()), className_);
    state_ = SetupState::Ready;
    if (impl_->applied && active_ && skinData_ && skinData_->HasOption(TSkinData::xoCaptionButtonHint))
        impl_->hoverTimer.start();
    window_->update();
}

void TSkinForm::ApplyFrame()
{
    QWidget* w = window_;
    if (!w || !impl_->frameWork || borderKind_ == BorderType::None)
        return;
    Impl& d = *impl_;
    const QPoint topLeft = w->pos();
    if (!w->windowHandle())
        w->winId(); // a native window, so the flags change without hiding it
    KeepFrameless();
    d.added = QMargins(leftWidth_, topHeight_ + menuBarHeight_, rightWidth_, bottomHeight_);
    d.delta = QSize(leftWidth_ + rightWidth_, topHeight_ + menuBarHeight_ + bottomHeight_);
    const QSize oldSize = w->size();
    d.oldMin = w->minimumSize();
    d.oldMax = w->maximumSize();
    d.wasFixed = d.oldMin == d.oldMax;
    d.movedChildren.clear();
    if (w->layout()) {
        d.usedMargins = true;
        d.oldMargins = w->contentsMargins();
        w->setContentsMargins(d.oldMargins + d.added);
    } else {
        d.usedMargins = false;
        const QPoint offset(d.added.left(), d.added.top());
        for (QObject* child : w->children()) {
            auto* cw = qobject_cast<QWidget*>(child);
            if (!cw || cw->isWindow())
                continue;
            cw->move(cw->pos() + offset);
            d.movedChildren.emplace_back(cw, offset);
        }
    }
    QSize newSize = oldSize + d.delta;
    // A message box whose caption does not fit grows; its children move
    // right by half the growth.
    if (messageBox_ && skinData_) {
        const QFontMetrics fm(d.captionFont);
        const TDataSkinTitle* t = skinData_->Title();
        const int need = fm.horizontalAdvance(QLatin1Char(' ') + w->windowTitle() + QLatin1String("  "))
                         + t->TxtBackLeft + t->TxtBackRight + t->TextShift + t->TextRightClip;
        if (need > newSize.width()) {
            const int grow = need - newSize.width();
            newSize.rwidth() += grow;
            d.delta.rwidth() += grow;
            if (d.usedMargins) {
                d.added.setLeft(d.added.left() + grow / 2);
                d.added.setRight(d.added.right() + grow - grow / 2);
                w->setContentsMargins(d.oldMargins + d.added);
            } else {
                for (auto& [child, offset] : d.movedChildren) {
                    child->move(child->pos() + QPoint(grow / 2, 0));
                    offset.rx() += grow / 2;
                }
            }
        }
    }
    if (d.wasFixed) {
        w->setFixedSize(newSize);
    } else {
        if (d.oldMax.width() < QWIDGETSIZE_MAX || d.oldMax.height() < QWIDGETSIZE_MAX)
            w->setMaximumSize(std::min(d.oldMax.width() + d.delta.width(), QWIDGETSIZE_MAX),
                              std::min(d.oldMax.height() + d.delta.height(), QWIDGETSIZE_MAX));
        if (!d.oldMin.isNull())
            w->setMinimumSize(d.oldMin + d.delta);
        w->resize(newSize);
    }
    // The frame grows the window around its middle: a window centred without
    // the frame stays centred with it.
    w->move(topLeft - QPoint(d.delta.width() / 2, d.delta.height() / 2));

    d.oldPalette = w->palette();
    QPalette pal = w->palette();
    if (skinData_)
        pal.setColor(QPalette::Window, skinData_->FaceColour());
    w->setPalette(pal);
    d.oldMouseTracking = w->hasMouseTracking();
    w->setMouseTracking(true);
    d.oldMask = w->mask();
    d.applied = true;
    LayoutCaption();
    MakeShape(true);
}

void TSkinForm::KeepFrameless()
{
    QWindow* handle = window_ ? window_->windowHandle() : nullptr;
    if (!handle)
        return;
    impl_->handleFlagsSet = true;
    if (!handle->flags().testFlag(Qt::FramelessWindowHint))
        handle->setFlags(handle->flags() | Qt::FramelessWindowHint);
}

void TSkinForm::MakeKeys()
{
    if (!impl_->applied || !impl_->keys.empty())
        return;
    QWidget* w = window_;
    // Alt+Space opens the system menu at the client origin, Alt+F4 closes:
    // the keys a window manager may claim first, and that work without one.
    auto* menuKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), w);
    connect(menuKey, &QShortcut::activated, this, [this] {
        if (window_ && borderIcons_.testFlag(BorderIcon::SystemMenu))
            OpenSystemMenu(window_->mapToGlobal(ClientRect().topLeft()));
    });
    auto* closeKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), w);
    connect(closeKey, &QShortcut::activated, this, [this] {
        if (window_ && (borderIcons_.testFlag(BorderIcon::SystemMenu) || borderKind_ != BorderType::None))
            window_->close();
    });
    impl_->keys = {menuKey, closeKey};
}

void TSkinForm::Maximize()
{
    QWidget* w = window_;
    if (!w || impl_->maximized)
        return;
    QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    Impl& d = *impl_;
    d.normalGeometry = w->geometry();
    d.maximized = true;
    const QRect area = screen->availableGeometry();
    w->setMinimumSize(0, 0);
    w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // Told while the window still has its normal place and may grow: the
    // window manager keeps that place for the restore and sizes the window
    // to its work area to the device pixel. The window stays resizable
    // while maximised: a window manager drops the state of a fixed window.
    if (!TellWindowManagerMaximized(w, true))
        w->setGeometry(area);
    ReadWindowState();
    LayoutCaption();
    MakeShape(false);
    w->update();
}

void TSkinForm::Restore()
{
    QWidget* w = window_;
    Impl& d = *impl_;
    if (!w || !d.maximized)
        return;
    d.maximized = false;
    const QRect normal = d.normalGeometry;
    w->setMinimumSize(0, 0);
    w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    TellWindowManagerMaximized(w, false);
    w->setGeometry(normal);
    if (d.wasFixed) {
        w->setFixedSize(normal.size());
    } else {
        w->setMinimumSize(d.oldMin.isNull() ? QSize() : d.oldMin + d.delta);
        if (d.oldMax.width() < QWIDGETSIZE_MAX || d.oldMax.height() < QWIDGETSIZE_MAX)
            w->setMaximumSize(std::min(d.oldMax.width() + d.delta.width(), QWIDGETSIZE_MAX),
                              std::min(d.oldMax.height() + d.delta.height(), QWIDGETSIZE_MAX));
    }
    ReadWindowState();
    LayoutCaption();
    MakeShape(false);
    w->update();
}

void TSkinForm::UndoFrame()
{
    Impl& d = *impl_;
    if (!d.applied)
        return;
    d.applied = false;
    QWidget* w = window_;
    if (!w)
        return;
    if (d.oldMask.isEmpty())
        w->clearMask();
    else
        w->setMask(d.oldMask);
    d.shape = QRegion();
    d.shapeSize = QSize();
    if (d.maximized)
        Restore();
    const QPoint topLeft = w->pos() + QPoint(d.delta.width() / 2, d.delta.height() / 2);
    if (d.handleFlagsSet && w->windowHandle())
        w->windowHandle()->setFlags(w->windowFlags());
    d.handleFlagsSet = false;
    if (d.usedMargins) {
        w->setContentsMargins(d.oldMargins);
    } else {
        for (auto& [child, offset] : d.movedChildren)
            if (child)
                child->move(child->pos() - offset);
    }
    d.movedChildren.clear();
    const QSize size = w->size() - d.delta;
    w->setMinimumSize(d.oldMin);
    w->setMaximumSize(d.oldMax);
    if (!d.wasFixed)
        w->resize(size);
    w->move(topLeft);
    w->setPalette(d.oldPalette);
    w->setMouseTracking(d.oldMouseTracking);
}

void TSkinForm::Release()
{
    if (state_ == SetupState::Released)
        return;
    state_ = SetupState::Closing;
    impl_->hoverTimer.stop();
    if (impl_->hintShown)
        QToolTip::hideText();
    impl_->hintShown = false;
    impl_->dragging = false;
    impl_->movePending = false;
    hot_ = nullptr;
    impl_->pressed = nullptr;
    if (systemMenu_)
        systemMenu_->hide();
    for (const QPointer<QShortcut>& key : impl_->keys)
        delete key.data();
    impl_->keys.clear();
    if (window_) {
        window_->removeEventFilter(this);
        UndoFrame();
        SetFormMenusOwnerDrawn(window_, skinData_, false);
    }
    captionButtons_.clear();
    const QList<TSkinControl*> skinners = controls_;
    for (TSkinControl* skinner : skinners) {
        skinner->Detach();
        delete skinner; // unregisters itself
    }
    controls_.clear();
    if (window_)
        window_->update();
    state_ = SetupState::Released;
}

void TSkinForm::Reapply()
{
    if (state_ != SetupState::Ready)
        return;
    state_ = SetupState::Refreshing;
    if (window_ && impl_->applied) {
        // Sizes may differ in the new skin: put the window back, then frame it again.
        UndoFrame();
        ComputeFrameSizes();
        MakeCaptionButtons();
        ApplyFrame();
    }
    for (TSkinControl* skinner : controls_)
        skinner->RefreshColours();
    SkinControls();
    state_ = SetupState::Ready;
    if (window_)
        window_->update();
}

void TSkinForm::RegisterControl(TSkinControl* skinner)
{
    if (skinner && !controls_.contains(skinner))
        controls_.append(skinner);
}

void TSkinForm::UnregisterControl(TSkinControl* skinner) { controls_.removeAll(skinner); }

TSkinControl* TSkinForm::SkinnerOf(const QWidget* control) const
{
    for (TSkinControl* skinner : controls_)
        if (skinner->Control() == control)
            return skinner;
    return nullptr;
}

QRect TSkinForm::ClientRect() const
{
    if (!window_)
        return {};
    return window_->rect().adjusted(leftWidth_, topHeight_ + menuBarHeight_, -rightWidth_, -bottomHeight_);
}

QRegion TSkinForm::Shape() const { return impl_->shape; }

// ---------------------------------------------------------------- caption layout

bool TSkinForm::Condition(CaptionCondition code, bool second) const
{
    const bool maxBox = borderIcons_.testFlag(BorderIcon::Maximize),
               minBox = borderIcons_.testFlag(BorderIcon::Minimize);
    const bool sysMenu = borderIcons_.testFlag(BorderIcon::SystemMenu),
               help = borderIcons_.testFlag(BorderIcon::ContextHelp);
    const bool maximized = windowState_ == ShowState::Maximized;
    switch (code) {
    case CaptionCondition::Always: return true;
    case CaptionCondition::Maximized: return maximized;
    case CaptionCondition::NotMaximized: return !maximized;
    case CaptionCondition::Active: return active_;
    case CaptionCondition::Inactive: return !active_;
    case CaptionCondition::HasMinOrMaxBox: return second ? (minBox || maxBox) : ((minBox || maxBox) && sysMenu);
    case CaptionCondition::NoMaximizeBox: return !maxBox;
    case CaptionCondition::MinOrMaxBoxMenu: return second ? (minBox || maxBox) : ((minBox || maxBox) ? sysMenu : false);
    case CaptionCondition::NoMinimizeBox: return !minBox;
    case CaptionCondition::ContextHelp: return second ? help : (help && !minBox && !maxBox);
    case CaptionCondition::MdiChildButtons: return false; // no skinned menu bar, so no MDI child buttons
    case CaptionCondition::Unset: return true;
    case CaptionCondition::PlainDialog: return borderKind_ == BorderType::Dialog && !messageBox_;
    }
    // kFirstWindowCondition ... kLastWindowCondition ask the window, which has
    // no answer here: hidden, like every other code.
    const int number = static_cast<int>(code);
    return number >= kFirstAlwaysCondition && number < kFirstWindowCondition;
}

bool TSkinForm::ButtonVisible(const TDataSkinSysButton& e, bool& enabled) const
{
    enabled = true;
    if (e.Bitmap.isNull() || !Condition(e.Visibility, false) || !Condition(e.Visibility1, true))
        return false;
    const bool sysMenu = borderIcons_.testFlag(BorderIcon::SystemMenu);
    switch (e.Action) {
    case CaptionAction::Close: return sysMenu;
    case CaptionAction::Maximize: enabled = borderIcons_.testFlag(BorderIcon::Maximize) && sysMenu; return true;
    case CaptionAction::Minimize: enabled = borderIcons_.testFlag(BorderIcon::Minimize) && sysMenu; return true;
    case CaptionAction::WindowIcon:
    case CaptionAction::WindowIcon2:
    case CaptionAction::SystemMenu: return borderKind_ != BorderType::Dialog && sysMenu; // the system menu's button
    default: return true;
    }
}

void TSkinForm::LayoutCaption()
{
    if (!window_ || !skinData_ || topHeight_ <= 0) {
        for (auto& b : captionButtons_)
            b->Visible = false;
        return;
    }
    const int width = window_->width();
    const TDataSkinTitle* t = skinData_->Title();
    // The right-aligned buttons' widest offset first: right-to-left text uses it.
    impl_->rightButtonsOffset = 0;
    for (auto& b : captionButtons_) {
        bool enabled = true;
        b->Visible = ButtonVisible(*b->Element, enabled);
        b->Enabled = enabled;
        if (b->Visible && b->Element->Align == CaptionAlign::Right)
            impl_->rightButtonsOffset = std::max(impl_->rightButtonsOffset, b->Element->Xcoord);
    }

    const QFontMetrics fm(impl_->captionFont);
    const QString text = QLatin1Char(' ') + window_->windowTitle() + QLatin1String("  ");
    const int w = fm.horizontalAdvance(text) + t->TxtBackLeft + t->TxtBackRight;
    int x = 0;
    if (!rightToLeft_) {
        switch (t->TextAlignment) {
        case 0: x = t->TextShift - (borderKind_ == BorderType::Dialog ? 16 : 0); break;
        case 1: x = (width - w) / 2; break;
        case 2: x = width - t->TextRightClip - w; break;
        default: x = 0;
        }
    } else {
        switch (t->TextAlignment) {
        case 0: x = width - impl_->rightButtonsOffset - w; break;
        case 1: x = (width - impl_->rightButtonsOffset - w) / 2; break;
        case 2: x = t->TextShift; break;
        default: x = 0;
        }
        x += 10;
    }
    int right = x + w;
    if (!rightToLeft_)
        right = std::min(right, width - t->TextRightClip);
    const int shift = t->TextShiftVert / 2;
    captionTextRect_ = QRect(QPoint(x, shift), QPoint(std::max(right, x) - 1, topHeight_ - 1 + shift));

    for (auto& b : captionButtons_) {
        if (!b->Visible)
            continue;
        const TDataSkinSysButton& e = *b->Element;
        const int bw = e.Bitmap.width() / std::max(e.Frame, 1), bh = e.Bitmap.height();
        int bx = 0;
        switch (e.Align) {
        case CaptionAlign::Left: bx = e.Xcoord; break;
        case CaptionAlign::Right: bx = width - e.Xcoord; break;
        case CaptionAlign::BeforeText:
        case CaptionAlign::BeforeText2: bx = captionTextRect_.left() - bw - e.Xcoord; break;
        case CaptionAlign::AfterText:
        case CaptionAlign::AfterText2: bx = captionTextRect_.right() + 1 + e.Xcoord; break;
        default: b->Visible = false; continue; // menu-bar buttons, none here
        }
        b->Rect = QRect(bx, e.Ycoord, bw, bh);
    }
}

QFont TSkinForm::CaptionFont() const { return impl_->captionFont; }

TCaptionButton* TSkinForm::ButtonAt(const QPoint& pos) const
{
    for (const auto& b : captionButtons_)
        if (b->Visible && b->Rect.contains(pos))
            return b.get();
    return nullptr;
}

// ---------------------------------------------------------------- painting

void TSkinForm::PaintButton(QPainter& p, const TCaptionButton& b)
{
    const TDataSkinSysButton& e = *b.Element;
    const int frames = std::max(e.Frame, 1);
    int frame = 1;
    if (!b.Enabled)
        frame = frames >= 4 ? 4 : 1;
    else if (b.State() != TNCObject::MouseState::Normal)
        frame = static_cast<int>(b.State());
    else
        frame = (frames < 4 || active_) ? 1 : 4;
    frame = std::min(frame, frames);
    const int bw = e.Bitmap.width() / frames;
    const QImage piece = MagentaToTransparent(e.Bitmap.copy((frame - 1) * bw, 0, bw, e.Bitmap.height()));
    p.drawImage(b.Rect.topLeft(), piece);
    if (!e.ShowsWindowIcon())
        return;
    // The window's small icon, centred on the button; the skin's own icon
    // stands in for a window without one.
    const QIcon windowIcon = window_ ? window_->windowIcon() : QIcon();
    const int side = std::min({kSmallIconSize, b.Rect.width(), b.Rect.height()});
    QImage icon;
    if (!windowIcon.isNull())
        icon = windowIcon.pixmap(QSize(side, side), 1.0).toImage();
    else if (skinData_ && !skinData_->IconBitmap().isNull())
        icon = MagentaToTransparent(skinData_->IconBitmap());
    if (icon.isNull())
        return;
    QRect r(QPoint(), icon.size().scaled(b.Rect.size(), Qt::KeepAspectRatio).boundedTo(icon.size()));
    r.moveCenter(b.Rect.center());
    p.drawImage(r, icon);
}

void TSkinForm::PaintCaption(QPainter& p)
{
    const TDataSkinTitle* t = skinData_->Title();
    const int frame = active_ ? 1 : 2;
    QRect textRect = captionTextRect_;
    if (!t->Bitmap.isNull()) {
        const QRect src = SkinFrameRect(*t, 2, frame);
        QRect back(textRect.left(), 0, textRect.width(), src.height());
        back.moveTop((topHeight_ - src.height()) / 2 + t->TextShiftVert / 2);
        QImage img(back.size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        {
            QPainter ip(&img);
            DrawNineSlice(ip, img.rect(), t->Bitmap, src, t->TxtBackLeft, 0, t->TxtBackRight, 0, false);
        }
        p.drawImage(back.topLeft(), MagentaToTransparent(img));
        textRect.adjust(t->TxtBackLeft, 0, -t->TxtBackRight, 0);
    }
    const QColor colour = skinData_->Colour(active_ ? TSkinData::csTitleTextActive : TSkinData::csTitleTextNoActive);
    p.setPen(colour);
    p.setFont(impl_->captionFont);
    const QString text = QLatin1Char(' ') + window_->windowTitle() + QLatin1String("  ");
    const QFontMetrics fm(impl_->captionFont);
    // Measured advances are rounded; a text that was laid out to fit is not cut.
    const int room = std::max(textRect.width(), 0);
    const QString shown = fm.horizontalAdvance(text) <= room + 2 ? text : fm.elidedText(text, Qt::ElideRight, room);
    const int align = Qt::AlignVCenter | Qt::TextSingleLine | (rightToLeft_ ? Qt::AlignRight : Qt::AlignLeft);
    p.drawText(textRect.adjusted(0, 0, 4, 0), align, shown);
}

void TSkinForm::PaintFrame(QPainter& p)
{
    if (!impl_->applied || !window_ || !skinData_)
        return;
    const int W = window_->width(), H = window_->height();
    auto frameOf = [this](const TDataSkinBorder* e) { return (active_ || e->Frame <= 1) ? 1 : 2; };
    auto edge = [&](const QRect& r, const TDataSkinBorder* e) {
        if (e && !r.isEmpty())
            DrawElement(p, r, e, std::max(e->Frame, 1), frameOf(e));
    };
    edge(QRect(0, 0, leftWidth_, H), skinData_->Left());
    edge(QRect(W - rightWidth_, 0, rightWidth_, H), skinData_->Right());
    edge(QRect(leftWidth_, H - bottomHeight_, W - leftWidth_ - rightWidth_, bottomHeight_), skinData_->Bottom());
    if (topHeight_ <= 0)
        return;
    // The caption is made off-screen, then copied.
    captionBitmap_ = QImage(W, topHeight_, QImage::Format_ARGB32_Premultiplied);
    captionBitmap_.fill(Qt::transparent);
    {
        QPainter cp(&captionBitmap_);
        if (windowState_ == ShowState::Minimized) {
            cp.fillRect(captionBitmap_.rect(), skinData_->FaceColour());
            DrawElement(cp, QRect(0, 0, W, topHeight_), skinData_->Top(), std::max(skinData_->Top()->Frame, 1),
                        frameOf(skinData_->Top()));
        } else {
            DrawElement(cp, QRect(leftWidth_, 0, W - leftWidth_ - rightWidth_, topHeight_), skinData_->Top(),
                        std::max(skinData_->Top()->Frame, 1), frameOf(skinData_->Top()));
        }
        PaintCaption(cp);
        for (const auto& b : captionButtons_)
            if (b->Visible)
                PaintButton(cp, *b);
    }
    p.drawImage(0, 0, captionBitmap_);
}

// ---------------------------------------------------------------- shape

void TSkinForm::MakeShape(bool force)
{
    if (!impl_->applied || !window_ || !skinData_)
        return;
    const QSize size = window_->size();
    if (!force && size == impl_->shapeSize)
        return;
    impl_->shapeSize = size;
    const TDataSkinBorder* edges[4] = {skinData_->Left(), skinData_->Top(), skinData_->Right(), skinData_->Bottom()};
    if (edges[0]->Trans != 1 && edges[1]->Trans != 1 && edges[2]->Trans != 1)
        return;
    const int W = size.width(), H = size.height();
    const QRect rects[4] = {QRect(0, 0, leftWidth_, H), QRect(leftWidth_, 0, W - leftWidth_ - rightWidth_, topHeight_),
                            QRect(W - rightWidth_, 0, rightWidth_, H),
                            QRect(leftWidth_, H - bottomHeight_, W - leftWidth_ - rightWidth_, bottomHeight_)};
    QRegion region(ClientRect());
    for (int i = 0; i < 4; ++i) {
        const QRect& r = rects[i];
        if (r.isEmpty())
            continue;
        const TDataSkinBorder* e = edges[i];
        if (e->Trans == 1 && !e->Bitmap.isNull()) {
            const QImage img = RenderElement(r.size(), *e, std::max(e->Frame, 1), 1);
            region += QRegion(QBitmap::fromImage(img.createAlphaMask())).translated(r.topLeft());
        } else {
            region += r;
        }
    }
    impl_->shape = region;
    window_->setMask(region);
}

// ---------------------------------------------------------------- system menu

void TSkinForm::BuildSystemMenu()
{
    if (!systemMenu_) {
        systemMenu_ = new QMenu();
        systemMenu_->setProperty("Tag", kSystemMenuTag);
    }
    systemMenu_->clear();
    ReadWindowState();
    const QImage glyphs = skinData_ ? skinData_->MenuGlyphs() : QImage();
    const bool maximized = windowState_ == ShowState::Maximized, minimized = windowState_ == ShowState::Minimized;
    // The window's own system menu has no Qt counterpart: these are its usual items.
    auto add = [&](const QString& caption, SystemCommand command, int glyph, bool enabled) {
        QAction* a = systemMenu_->addAction(caption);
        if (glyph >= 0)
            a->setIcon(Glyph(glyphs, glyph));
        a->setProperty("Tag", static_cast<int>(command));
        a->setEnabled(enabled);
        QPointer<QWidget> w = window_;
        connect(a, &QAction::triggered, this, [this, command, w] {
            if (!w)
                return;
            switch (command) {
            case SystemCommand::Restore:
                if (windowState_ == ShowState::Maximized && impl_->maximized)
                    Restore();
                else
                    w->showNormal();
                break;
            case SystemCommand::Minimize: w->showMinimized(); break;
            case SystemCommand::Maximize: Maximize(); break;
            case SystemCommand::Close: w->close(); break;
            case SystemCommand::Move:
                if (w->windowHandle())
                    w->windowHandle()->startSystemMove();
                break;
            case SystemCommand::Size:
                if (w->windowHandle())
                    w->windowHandle()->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
                break;
            default: break;
            }
        });
        return a;
    };
    add(QStringLiteral(" Restore "), SystemCommand::Restore, 0, windowState_ != ShowState::Normal);
    add(QStringLiteral(" Move "), SystemCommand::Move, -1, !maximized);
    add(QStringLiteral(" Size "), SystemCommand::Size, -1, !maximized && borderKind_ == BorderType::Sizable);
    add(QStringLiteral(" Minimize "), SystemCommand::Minimize, 2,
        !minimized && borderIcons_.testFlag(BorderIcon::Minimize));
    add(QStringLiteral(" Maximize "), SystemCommand::Maximize, 1,
        !maximized && borderIcons_.testFlag(BorderIcon::Maximize));
    systemMenu_->addSeparator();
    add(QStringLiteral(" Close \tAlt+F4"), SystemCommand::Close, 3,
        borderIcons_.testFlag(BorderIcon::SystemMenu) || borderKind_ != BorderType::None);
    SetMenuOwnerDrawn(systemMenu_, true);
}

void TSkinForm::OpenSystemMenu(const QPoint& globalPos)
{
    // A window without a system menu (the login window) opens none.
    if (!window_ || !borderIcons_.testFlag(BorderIcon::SystemMenu))
        return;
    // A second opening right after the first while a caption button is held closes the window.
    if (impl_->pressed && impl_->lastSystemMenu.isValid()
        && impl_->lastSystemMenu.elapsed() < QApplication::doubleClickInterval()) {
        impl_->lastSystemMenu.invalidate();
        impl_->pressed = nullptr;
        window_->close();
        return;
    }
    impl_->lastSystemMenu.start();
    if (manager_)
        manager_->SetPendingPopupKind(TSkinManager::PopupKind::SystemMenu);
    BuildSystemMenu();
    systemMenu_->popup(globalPos);
}

// ---------------------------------------------------------------- actions, mouse, hints

void TSkinForm::RunAction(TCaptionButton* button)
{
    if (!button || !window_)
        return;
    QPointer<QWidget> w = window_;
    switch (button->Element->Action) {
    case CaptionAction::Close:
        if (borderIcons_.testFlag(BorderIcon::SystemMenu))
            w->close();
        break;
    case CaptionAction::Maximize:
    case CaptionAction::Maximize2:
        if (button->Enabled)
            windowState_ == ShowState::Maximized ? Restore() : Maximize();
        break;
    case CaptionAction::Minimize:
    case CaptionAction::Minimize2:
        if (button->Enabled)
            windowState_ == ShowState::Minimized ? w->showNormal() : w->showMinimized();
        break;
    case CaptionAction::WindowIcon:
    case CaptionAction::WindowIcon2:
    case CaptionAction::SystemMenu: OpenSystemMenu(w->mapToGlobal(button->Rect.bottomLeft() + QPoint(1, 1))); break;
    case CaptionAction::ContextHelp: QWhatsThis::enterWhatsThisMode(); break;
    default: break; // MDI child buttons and window-defined actions have no use here
    }
}

void TSkinForm::HoverTick()
{
    auto* b = dynamic_cast<TCaptionButton*>(hot_);
    if (!b || !window_ || !skinData_ || !skinData_->HasOption(TSkinData::xoCaptionButtonHint)) {
        impl_->hoverCount = 0;
        return;
    }
    impl_->hoverCount += kHoverInterval;
    const int pause = 2 * QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay);
    if (impl_->hoverCount >= pause && impl_->hoverCount < pause + kHintHidePause) {
        if (impl_->hintShown)
            return;
        const QString text = CaptionButtonHint(b->Element->Action, windowState_ == ShowState::Maximized);
        if (text.isEmpty())
            return;
        const QPoint at(window_->mapToGlobal(b->Rect.topLeft()).x(), QCursor::pos().y() + 24);
        QToolTip::showText(at, text, window_);
        impl_->hintShown = true;
    } else if (impl_->hintShown && impl_->hoverCount >= pause + kHintHidePause) {
        QToolTip::hideText();
        impl_->hintShown = false;
    }
}

void TCaptionButton::Paint()
{
    if (frame_->Window())
        frame_->Window()->update(Rect);
}

void TCaptionButton::MouseLeave()
{
    TNCObject::MouseLeave();
    frame_->impl_->hoverCount = 0;
    if (frame_->impl_->hintShown)
        QToolTip::hideText();
    frame_->impl_->hintShown = false;
}

bool TSkinForm::MouseEvent(QEvent* event)
{
    QWidget* w = window_;
    Impl& d = *impl_;
    if (event->type() == QEvent::Leave) {
        if (hot_)
            hot_->MouseLeave();
        return false;
    }
    auto* me = static_cast<QMouseEvent*>(event);
    const QPoint pos = me->position().toPoint();
    const QPoint global = me->globalPosition().toPoint();
    const bool inFrame = !ClientRect().contains(pos);
    TCaptionButton* button = inFrame ? ButtonAt(pos) : nullptr;
    switch (event->type()) {
    case QEvent::MouseMove:
        if (d.dragging) {
            w->move(global - d.dragOffset);
            return true;
        }
        // The move starts once the pointer leaves the drag distance, so a
        // window manager's move does not swallow a double click.
        if (d.movePending && (global - d.pressGlobal).manhattanLength() >= QApplication::startDragDistance()) {
            d.movePending = false;
            if (!(w->windowHandle() && w->windowHandle()->startSystemMove())) {
                d.dragging = true;
                d.dragOffset = d.pressGlobal - w->pos();
                w->move(global - d.dragOffset);
            }
            return true;
        }
        if (button) {
            if (hot_ != button && !d.pressed)
                button->MouseEnter();
        } else if (hot_ && hot_ != d.pressed) {
            hot_->MouseLeave();
        }
        return inFrame;
    case QEvent::MouseButtonPress:
        if (!inFrame)
            return false;
        if (me->button() == Qt::LeftButton) {
            if (button) {
                button->MouseDown();
                d.pressed = button;
                return true;
            }
            const int edgeGrip = 4;
            if (borderKind_ == BorderType::Sizable && windowState_ == ShowState::Normal && w->windowHandle()) {
                Qt::Edges edges;
                if (pos.x() < std::min(leftWidth_, edgeGrip))
                    edges |= Qt::LeftEdge;
                if (pos.x() >= w->width() - std::min(rightWidth_, edgeGrip))
                    edges |= Qt::RightEdge;
                if (pos.y() < std::min(topHeight_, edgeGrip))
                    edges |= Qt::TopEdge;
                if (pos.y() >= w->height() - std::min(bottomHeight_, edgeGrip))
                    edges |= Qt::BottomEdge;
                if (edges && w->windowHandle()->startSystemResize(edges))
                    return true;
            }
            if (pos.y() < topHeight_ && windowState_ != ShowState::Maximized) {
                d.movePending = true;
                d.pressGlobal = global;
            }
            return true;
        }
        if (me->button() == Qt::RightButton && pos.y() < topHeight_) {
            OpenSystemMenu(global);
            return true;
        }
        return true;
    case QEvent::MouseButtonRelease:
        d.movePending = false;
        if (d.dragging) {
            d.dragging = false;
            return true;
        }
        if (me->button() == Qt::LeftButton && d.pressed) {
            TCaptionButton* pressed = d.pressed;
            d.pressed = nullptr;
            if (button == pressed) {
                pressed->MouseUp();
                RunAction(pressed);
                return true;
            }
            pressed->MouseLeave();
            return true;
        }
        return inFrame;
    case QEvent::MouseButtonDblClick:
        if (!inFrame || me->button() != Qt::LeftButton)
            return false;
        if (button && button->Element->ShowsWindowIcon()) {
            d.hoverTimer.stop();
            d.pressed = nullptr;
            w->close();
            return true;
        }
        if (pos.y() < topHeight_ && !button) {
            if (windowState_ == ShowState::Maximized)
                Restore();
            else if (windowState_ != ShowState::Normal)
                w->showNormal();
            else if (borderIcons_.testFlag(BorderIcon::Maximize))
                Maximize();
        }
        return true;
    default: return false;
    }
}

bool TSkinForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != window_)
        return false;
    if (event->type() == SkinEvents::kFinishSetup) {
        Setup();
        return true;
    }
    if (event->type() == SkinEvents::kQuery) {
        static_cast<SkinEvents::TSkinQueryEvent*>(event)->Answer = 1;
        return true;
    }
    if (state_ != SetupState::Ready && state_ != SetupState::Refreshing)
        return false;
    if (!impl_->applied)
        return false;
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::WinIdChange:
        // A native window made again (or shown again) takes the frameless
        // setting from the widget's flags; it is put back before it is mapped.
        KeepFrameless();
        return false;
    case QEvent::Paint: {
        static_cast<QObject*>(window_.data())->event(event);
        try {
            QPainter p(window_);
            PaintFrame(p);
        } catch (...) {}
        return true;
    }
    case QEvent::Resize:
        LayoutCaption();
        MakeShape(false);
        return false;
    case QEvent::WindowStateChange:
        ReadWindowState();
        LayoutCaption();
        window_->update();
        return false;
    case QEvent::Hide:
        // No leave comes when the window hides under the mouse: a caption
        // button would come back hot or pressed.
        impl_->pressed = nullptr;
        impl_->dragging = false;
        if (hot_)
            hot_->MouseLeave();
        return false;
    case QEvent::WindowIconChange: window_->update(QRect(0, 0, window_->width(), topHeight_)); return false;
    case QEvent::WindowTitleChange:
        LayoutCaption();
        window_->update(QRect(0, 0, window_->width(), topHeight_));
        return false;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        active_ = event->type() == QEvent::WindowActivate;
        if (active_ && skinData_ && skinData_->HasOption(TSkinData::xoCaptionButtonHint))
            impl_->hoverTimer.start();
        else
            impl_->hoverTimer.stop();
        LayoutCaption();
        window_->update();
        return false;
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Leave: return MouseEvent(event);
    default: return false;
    }
}
