#pragma once
#include <QHash>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;
class QWidget;
class TSimpleTimer;
class TTrayIcon;

// An ordered list of images for a tray icon's IconIndex and its animation.
class TIconList : public QObject {
public:
    using QObject::QObject;
    QList<QIcon> Icons;
};

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Keyboard modifiers held and the buttons of the notification.
struct TShiftState {
    Qt::KeyboardModifiers keys;
    Qt::MouseButtons buttons;
};

// The mouse notifications the notification area reports for an icon.
enum class TTrayMessage {
    MouseMove,
    LButtonDown,
    LButtonUp,
    LButtonDblClk,
    RButtonDown,
    RButtonUp,
    MButtonDown,
    MButtonUp,
    BalloonUserClick,
};

// One per process, shared by every TTrayIcon: it receives the notifications
// of all icons and hands each to its icon. It exists while an icon exists.
class TTrayIconHandler : public QObject {
public:
    static TTrayIconHandler* Instance(); // nullptr while no icon exists
    int UserCount() const { return userCount_; }

    // Dispatches one notification to the icon with that identifier.
    void CallbackWindowProc(quintptr iconId, TTrayMessage message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TTrayIcon;
    TTrayIconHandler();
    ~TTrayIconHandler() override;
    static void Acquire(TTrayIcon* icon);
    static void Release(TTrayIcon* icon);
    TTrayIcon* iconForTrayWidget(QWidget* widget);

    int userCount_ = 0;
    QHash<quintptr, TTrayIcon*> icons_;
};

// An icon in the notification area with a tip and a popup menu. Mouse
// notifications become the events below: OnClick on the release of the left
// button, the popup menu at the cursor on the press of the right one.
class TTrayIcon : public QObject {
public:
    explicit TTrayIcon(QObject* owner);
    ~TTrayIcon() override;

    // Unique per instance; selects the instance for its notifications.
    quintptr IconId() const { return reinterpret_cast<quintptr>(this); }

    TIconList* IconList() const { return iconList_; }
    void SetIconList(TIconList* list);
    bool CycleIcons() const { return cycleIcons_; }
    void SetCycleIcons(bool on);
    unsigned CycleInterval() const { return cycleInterval_; }
    void SetCycleInterval(unsigned ms);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on) { enabled_ = on; }
    QString Hint() const { return hint_; }
    void SetHint(const QString& hint);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool on);
    QIcon Icon() const { return icon_; }
    void SetIcon(const QIcon& icon);
    bool IconVisible() const { return iconVisible_; }
    void SetIconVisible(bool on);
    int IconIndex() const { return iconIndex_; }
    void SetIconIndex(int index);
    QMenu* PopupMenu() const;
    // On an embedding notification area the program opens this menu at the
    // cursor; a notification area that draws menus itself is given its items.
    void SetPopupMenu(QMenu* menu);
    // The menu handed to such a notification area.
    QMenu* ExportedMenu() const { return exportedMenu_.get(); }
    bool LeftPopup() const { return leftPopup_; }
    void SetLeftPopup(bool on) { leftPopup_ = on; }
    bool WantEnterExitEvents() const { return wantEnterExit_; }
    void SetWantEnterExitEvents(bool on);

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void(TMouseButton, TShiftState, int x, int y)> OnMouseDown;
    std::function<void(TMouseButton, TShiftState, int x, int y)> OnMouseUp;
    std::function<void(TShiftState, int x, int y)> OnMouseMove;
    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseExit;
    std::function<void(int nextIndex)> OnCycle;
    std::function<void()> OnBalloonHintClick;

    // Each returns true when the notification area took the request.
    virtual bool AddIcon();
    virtual bool RemoveIcon();
    virtual bool UpdateIcon();

    // Applies the settings once they are all made: the icon, its visibility,
    // the animation and the enter/exit watch.
    void Loaded();

    // The tip as the notification area holds it (at most 127 GBK bytes) and
    // as it is shown (the whole characters among those bytes).
    QByteArray TipBytes() const { return tipBytes_; }
    QString TipText() const { return tipText_; }

    // The platform icon underneath.
    QSystemTrayIcon* SystemTrayIcon() const { return tray_; }

protected:
    virtual void FireClick();
    virtual void FireDblClick();
    virtual void FireCycle(int nextIndex);
    virtual void FireMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void FireMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void FireMouseMove(TShiftState shift, int x, int y);
    virtual void FireMouseEnter();
    virtual void FireMouseExit();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TTrayIconHandler;
    void Callback(TTrayMessage message);
    void FillIconRecord();
    void PopupMenuAtCursor();
    void ClickDefaultItem();
    void SingleClickTick();
    void AnimTick();
    void LeaveTick();

    QPointer<QWidget> ownerWindow_;
    QSystemTrayIcon* tray_;
    QPointer<QWidget> trayWidget_; // the platform's icon window, when it has one

    QPointer<TIconList> iconList_;
    bool cycleIcons_ = false;
    unsigned cycleInterval_ = 0;
    bool enabled_ = true;
    QString hint_;
    bool showHint_ = true;
    QIcon icon_;
    bool iconVisible_ = false;
    int iconIndex_ = 0;
    QPointer<QMenu> popupMenu_;
    // The same items for a notification area that draws the menu itself and
    // asks for it over D-Bus; never shown by the program.
    std::unique_ptr<QMenu> exportedMenu_;
    void ExportMenu();
    bool leftPopup_ = false;
    bool wantEnterExit_ = false;

    QByteArray tipBytes_;
    QString tipText_;

    std::unique_ptr<TSimpleTimer> animTimer_;
    std::unique_ptr<TSimpleTimer> singleClickTimer_;
    std::unique_ptr<TSimpleTimer> leaveTimer_;

    bool leftDownSeen_ = false;
    bool leftUpPending_ = false;
    bool doubleClickSeen_ = false;
    bool pointerOutside_ = true;
    int lastPointerX_ = 0;
    int lastPointerY_ = 0;
};
