#include "shell/TrayIcon.h"
#include "base/GbkCodec.h"
#include "shell/HandlerWiring.h"
#include "shell/SimpleTimer.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QStyleHints>
#include <QSystemTrayIcon>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace {

TTrayIconHandler* sharedHandler = nullptr;

// The tip holds at most 127 bytes in GBK.
constexpr qsizetype kTipBytes = 127;

// Length of the longest prefix of GBK bytes that holds whole characters only.
qsizetype wholeGbkCharacters(const QByteArray& bytes)
{
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const qsizetype n = (b >= 0x81 && b <= 0xFE) ? 2 : 1;
        if (i + n > bytes.size())
            break;
        i += n;
    }
    return i;
}

// The platform draws its icon in a small top-level window of this name when
// the notification area is an embedding tray; its mouse events are ours.
bool isTrayIconWindow(const QWidget* w)
{
    return w->isWindow() && w->objectName() == QLatin1String("QSystemTrayIconSys");
}

} // namespace

// ---------------------------------------------------------------- handler

TTrayIconHandler* TTrayIconHandler::Instance() { return sharedHandler; }

TTrayIconHandler::TTrayIconHandler()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

TTrayIconHandler::~TTrayIconHandler()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

void TTrayIconHandler::Acquire(TTrayIcon* icon)
{
    if (!sharedHandler)
        sharedHandler = new TTrayIconHandler;
    ++sharedHandler->userCount_;
    sharedHandler->icons_.insert(icon->IconId(), icon);
}

void TTrayIconHandler::Release(TTrayIcon* icon)
{
    if (!sharedHandler)
        return;
    sharedHandler->icons_.remove(icon->IconId());
    if (sharedHandler->userCount_ > 0)
        --sharedHandler->userCount_;
    if (sharedHandler->userCount_ == 0) {
        delete sharedHandler;
        sharedHandler = nullptr;
    }
}

void TTrayIconHandler::CallbackWindowProc(quintptr iconId, TTrayMessage message)
{
    if (TTrayIcon* icon = icons_.value(iconId))
        RunGuarded([icon, message] { icon->Callback(message); });
}

TTrayIcon* TTrayIconHandler::iconForTrayWidget(QWidget* widget)
{
    TTrayIcon* candidate = nullptr;
    for (TTrayIcon* icon : std::as_const(icons_)) {
        if (icon->trayWidget_ == widget)
            return icon;
        // The platform makes a new window for an icon whenever the tray host
        // changes; it goes to a shown icon without one, by its tip if several.
        if (!icon->trayWidget_ && icon->tray_->isVisible()) {
            if (!candidate || icon->tray_->toolTip() == widget->toolTip())
                candidate = icon;
        }
    }
    if (candidate)
        candidate->trayWidget_ = widget;
    return candidate;
}

bool TTrayIconHandler::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease
        && type != QEvent::MouseButtonDblClick)
        return false;
    if (!watched->isWidgetType() || !isTrayIconWindow(static_cast<QWidget*>(watched)))
        return false;
    TTrayIcon* icon = iconForTrayWidget(static_cast<QWidget*>(watched));
    if (!icon)
        return false;
    if (type == QEvent::MouseMove) {
        CallbackWindowProc(icon->IconId(), TTrayMessage::MouseMove);
        return false;
    }
    const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
    const bool press = type == QEvent::MouseButtonPress;
    const bool release = type == QEvent::MouseButtonRelease;
    std::optional<TTrayMessage> message;
    if (button == Qt::LeftButton)
        message = press ? TTrayMessage::LButtonDown : release ? TTrayMessage::LButtonUp : TTrayMessage::LButtonDblClk;
    else if (button == Qt::RightButton && !(type == QEvent::MouseButtonDblClick))
        message = press ? TTrayMessage::RButtonDown : TTrayMessage::RButtonUp;
    else if (button == Qt::MiddleButton && !(type == QEvent::MouseButtonDblClick))
        message = press ? TTrayMessage::MButtonDown : TTrayMessage::MButtonUp;
    if (message)
        CallbackWindowProc(icon->IconId(), *message);
    // Consumed: the platform's own click handling would report it a second time.
    return true;
}

// ---------------------------------------------------------------- icon

TTrayIcon::TTrayIcon(QObject* owner) : QObject(owner)
{
    TTrayIconHandler::Acquire(this);
    tray_ = new QSystemTrayIcon(this);
    animTimer_ = std::make_unique<TSimpleTimer>(1000, [this](TSimpleTimer*) { RunGuarded([this] { AnimTick(); }); });
    singleClickTimer_ =
        std::make_unique<TSimpleTimer>(1000, [this](TSimpleTimer*) { RunGuarded([this] { SingleClickTick(); }); });
    leaveTimer_ = std::make_unique<TSimpleTimer>(20, [this](TSimpleTimer*) { RunGuarded([this] { LeaveTick(); }); });

    // Where the platform reports only whole clicks, they stand for press and release.
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        TTrayIconHandler* handler = TTrayIconHandler::Instance();
        if (trayWidget_ || !handler)
            return;
        const quintptr id = IconId();
        switch (reason) {
        case QSystemTrayIcon::Trigger:
            handler->CallbackWindowProc(id, TTrayMessage::LButtonDown);
            handler->CallbackWindowProc(id, TTrayMessage::LButtonUp);
            break;
        case QSystemTrayIcon::DoubleClick:
            handler->CallbackWindowProc(id, TTrayMessage::LButtonDblClk);
            handler->CallbackWindowProc(id, TTrayMessage::LButtonUp);
            break;
        case QSystemTrayIcon::Context:
            handler->CallbackWindowProc(id, TTrayMessage::RButtonDown);
            handler->CallbackWindowProc(id, TTrayMessage::RButtonUp);
            break;
        case QSystemTrayIcon::MiddleClick:
            handler->CallbackWindowProc(id, TTrayMessage::MButtonDown);
            handler->CallbackWindowProc(id, TTrayMessage::MButtonUp);
            break;
        case QSystemTrayIcon::Unknown: break;
        }
    });
    connect(tray_, &QSystemTrayIcon::messageClicked, this, [this] {
        if (TTrayIconHandler* handler = TTrayIconHandler::Instance())
            handler->CallbackWindowProc(IconId(), TTrayMessage::BalloonUserClick);
    });

    if (auto* window = qobject_cast<QWidget*>(owner)) {
        ownerWindow_ = window;
        window->installEventFilter(this);
    }
    FillIconRecord();
}

TTrayIcon::~TTrayIcon()
{
    if (popupMenu_)
        popupMenu_->removeEventFilter(this);
    tray_->setContextMenu(nullptr);
    RemoveIcon();
    animTimer_.reset();
    singleClickTimer_.reset();
    leaveTimer_.reset();
    if (ownerWindow_)
        ownerWindow_->removeEventFilter(this);
    TTrayIconHandler::Release(this);
}

void TTrayIcon::SetIconList(TIconList* list)
{
    if (iconList_)
        disconnect(iconList_, nullptr, this, nullptr);
    iconList_ = list;
    if (list)
        connect(list, &QObject::destroyed, this, [this] { SetIconList(nullptr); });
    SetIconIndex(0);
}

QMenu* TTrayIcon::PopupMenu() const { return popupMenu_; }

void TTrayIcon::SetPopupMenu(QMenu* menu)
{
    if (popupMenu_)
        popupMenu_->removeEventFilter(this);
    popupMenu_ = menu;
    if (menu)
        menu->installEventFilter(this);
    ExportMenu();
}

void TTrayIcon::ExportMenu()
{
    // The very actions of the popup menu, so each item runs its own handler.
    if (!popupMenu_) {
        tray_->setContextMenu(nullptr);
        exportedMenu_.reset();
        return;
    }
    if (!exportedMenu_)
        exportedMenu_ = std::make_unique<QMenu>();
    exportedMenu_->clear();
    exportedMenu_->addActions(popupMenu_->actions());
    tray_->setContextMenu(exportedMenu_.get());
}

void TTrayIcon::SetCycleIcons(bool on)
{
    cycleIcons_ = on;
    if (on) {
        SetIconIndex(0);
        animTimer_->SetPeriod(cycleInterval_);
        animTimer_->SetActive(true);
    } else {
        animTimer_->SetActive(false);
    }
}

void TTrayIcon::SetCycleInterval(unsigned ms)
{
    if (ms == cycleInterval_)
        return;
    cycleInterval_ = ms;
    SetCycleIcons(cycleIcons_);
}

void TTrayIcon::SetHint(const QString& hint)
{
    hint_ = hint;
    UpdateIcon();
}

void TTrayIcon::SetShowHint(bool on)
{
    showHint_ = on;
    UpdateIcon();
}

void TTrayIcon::SetIcon(const QIcon& icon)
{
    icon_ = icon;
    UpdateIcon();
}

void TTrayIcon::SetIconVisible(bool on)
{
    if (on)
        AddIcon();
    else
        RemoveIcon();
}

void TTrayIcon::SetIconIndex(int index)
{
    const TIconList* list = iconList_;
    if (list) {
        index = std::max(0, std::min(index, static_cast<int>(list->Icons.size()) - 1));
        if (index < list->Icons.size())
            icon_ = list->Icons.at(index);
    } else {
        index = 0;
    }
    iconIndex_ = index;
    UpdateIcon();
}

void TTrayIcon::SetWantEnterExitEvents(bool on)
{
    wantEnterExit_ = on;
    leaveTimer_->SetActive(on);
}

void TTrayIcon::Loaded()
{
    UpdateIcon();
    SetIconVisible(iconVisible_);
    SetCycleIcons(cycleIcons_);
    SetWantEnterExitEvents(wantEnterExit_);
}

void TTrayIcon::FillIconRecord()
{
    if (!hint_.isEmpty() && showHint_) {
        tipBytes_ = ToGbk(hint_).left(kTipBytes);
        tipText_ = FromGbk(tipBytes_.left(wholeGbkCharacters(tipBytes_)));
    } else {
        tipBytes_.clear();
        tipText_.clear();
    }
    tray_->setIcon(icon_);
    tray_->setToolTip(tipText_);
}

bool TTrayIcon::AddIcon()
{
    iconVisible_ = true;
    FillIconRecord();
    // A second add of an icon that is there already is refused.
    if (tray_->isVisible())
        return false;
    tray_->show();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool TTrayIcon::RemoveIcon()
{
    iconVisible_ = false;
    FillIconRecord();
    if (!tray_->isVisible())
        return false;
    tray_->hide();
    trayWidget_ = nullptr;
    return true;
}

bool TTrayIcon::UpdateIcon()
{
    FillIconRecord();
    return tray_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void TTrayIcon::Callback(TTrayMessage message)
{
    if (message == TTrayMessage::BalloonUserClick) {
        if (OnBalloonHintClick)
            OnBalloonHintClick();
        return;
    }
    if (!enabled_)
        return;
    const QPoint pos = QCursor::pos();
    const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
    const QPointer<TTrayIcon> alive(this);
    switch (message) {
    case TTrayMessage::MouseMove:
        if (wantEnterExit_ && pointerOutside_) {
            FireMouseEnter();
            pointerOutside_ = false;
        }
        FireMouseMove({keys, Qt::NoButton}, pos.x(), pos.y());
        lastPointerX_ = pos.x();
        lastPointerY_ = pos.y();
        break;
    case TTrayMessage::LButtonDown:
        if (OnDblClick) {
            singleClickTimer_->SetPeriod(
                static_cast<unsigned>(QGuiApplication::styleHints()->mouseDoubleClickInterval()));
            singleClickTimer_->SetActive(true);
        }
        FireMouseDown(TMouseButton::mbLeft, {keys, Qt::LeftButton}, pos.x(), pos.y());
        if (!alive)
            return;
        leftDownSeen_ = true;
        if (leftPopup_ && popupMenu_)
            PopupMenuAtCursor();
        break;
    case TTrayMessage::LButtonUp:
        if (leftDownSeen_)
            leftUpPending_ = true;
        if (leftDownSeen_ && !singleClickTimer_->Active()) {
            leftDownSeen_ = false;
            leftUpPending_ = false;
            FireClick();
            if (!alive)
                return;
        }
        leftDownSeen_ = false;
        FireMouseUp(TMouseButton::mbLeft, {keys, Qt::LeftButton}, pos.x(), pos.y());
        break;
    case TTrayMessage::LButtonDblClk:
        leftUpPending_ = false;
        doubleClickSeen_ = true;
        FireDblClick();
        if (alive && popupMenu_ && !leftPopup_)
            ClickDefaultItem();
        break;
    case TTrayMessage::RButtonDown:
        FireMouseDown(TMouseButton::mbRight, {keys, Qt::RightButton}, pos.x(), pos.y());
        if (alive && popupMenu_)
            PopupMenuAtCursor();
        break;
    case TTrayMessage::RButtonUp: FireMouseUp(TMouseButton::mbRight, {keys, Qt::RightButton}, pos.x(), pos.y()); break;
    case TTrayMessage::MButtonDown:
        FireMouseDown(TMouseButton::mbMiddle, {keys, Qt::MiddleButton}, pos.x(), pos.y());
        break;
    case TTrayMessage::MButtonUp:
        FireMouseUp(TMouseButton::mbMiddle, {keys, Qt::MiddleButton}, pos.x(), pos.y());
        break;
    case TTrayMessage::BalloonUserClick: break;
    }
}

void TTrayIcon::PopupMenuAtCursor()
{
    if (!popupMenu_)
        return;
    const QPoint pos = QCursor::pos();
    popupMenu_->setProperty("popupComponent", QVariant::fromValue<QObject*>(this));
    popupMenu_->popup(pos);
}

void TTrayIcon::ClickDefaultItem()
{
    if (QAction* item = popupMenu_->defaultAction(); item && item->isEnabled())
        item->trigger();
}

void TTrayIcon::SingleClickTick()
{
    singleClickTimer_->SetActive(false);
    if (!doubleClickSeen_ && leftUpPending_) {
        leftUpPending_ = false;
        FireClick();
    }
    doubleClickSeen_ = false;
}

void TTrayIcon::AnimTick()
{
    const TIconList* list = iconList_;
    if (!list || list->Icons.isEmpty())
        return;
    const int count = static_cast<int>(list->Icons.size());
    const int index = std::clamp(iconIndex_, 0, count - 1);
    icon_ = list->Icons.at(index);
    UpdateIcon();
    const int next = index + 1 >= count ? 0 : index + 1;
    FireCycle(next);
    iconIndex_ = next;
}

void TTrayIcon::LeaveTick()
{
    if (pointerOutside_)
        return;
    const QPoint pos = QCursor::pos();
    if (pos.x() != lastPointerX_ || pos.y() != lastPointerY_) {
        pointerOutside_ = true;
        FireMouseExit();
    }
}

bool TTrayIcon::eventFilter(QObject* watched, QEvent* event)
{
    // The event type is checked first: while a menu is being destroyed it is
    // no longer a QMenu, and comparing it with popupMenu_ would cast it to one.
    const bool actionsChanged = event->type() == QEvent::ActionAdded || event->type() == QEvent::ActionRemoved;
    if (actionsChanged && watched == popupMenu_)
        QMetaObject::invokeMethod(
            this, [this] { ExportMenu(); }, Qt::QueuedConnection);
    // The owner window comes to the front whenever it is shown.
    if (watched == ownerWindow_ && event->type() == QEvent::Show) {
        ownerWindow_->raise();
        ownerWindow_->activateWindow();
    }
    return QObject::eventFilter(watched, event);
}

void TTrayIcon::FireClick()
{
    if (OnClick)
        OnClick();
}
void TTrayIcon::FireDblClick()
{
    if (OnDblClick)
        OnDblClick();
}
void TTrayIcon::FireCycle(int nextIndex)
{
    if (OnCycle)
        OnCycle(nextIndex);
}
void TTrayIcon::FireMouseDown(TMouseButton b, TShiftState s, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(b, s, x, y);
}
void TTrayIcon::FireMouseUp(TMouseButton b, TShiftState s, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(b, s, x, y);
}
void TTrayIcon::FireMouseMove(TShiftState s, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(s, x, y);
}
void TTrayIcon::FireMouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter();
}
void TTrayIcon::FireMouseExit()
{
    if (OnMouseExit)
        OnMouseExit();
}
