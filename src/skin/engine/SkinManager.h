#pragma once
// TSkinManager: the one skin manager of the process. An event filter on the
// application sees top-level windows being shown, activated and destroyed
// and popup menus opening and closing; it decides which windows get a frame
// (TSkinForm) and which popups a TSkinPopupMenu, and runs the switch-on,
// switch-off and re-apply actions from its timer.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QMenu;
class QWidget;
class TSkinData;
class TSkinForm;
class TSkinPopupMenu;

class TSkinManager : public QObject {
    Q_OBJECT
public:
    enum class Action { None = 0, SwitchOn = 1, SwitchOff = 2, Reapply = 3, DropReleased = 6, ReskinWindow = 7 };
    enum class PopupKind { PopupMenu = 0, MenuBar = 1, SystemMenu = 2 };
    static constexpr int kDestroyingStartCount = 4;

    // The manager, or null before the first TSkinData was loaded.
    static TSkinManager* Instance();
    // The manager, made when missing.
    static TSkinManager* Ensure();
    // Frees the manager (its frames and popup skinners are released).
    static void DestroyInstance();

    void Register(TSkinData* data);
    void Unregister(TSkinData* data);

    // Puts the event filter on the application (once).
    void InstallHook();

    // Gives window a frame when the rules allow it; true when it got one.
    bool SkinWindow(QWidget* window);
    TSkinForm* FindSkinForm(const QWidget* window) const;
    const QList<TSkinForm*>& Forms() const { return forms_; }

    // Records the action and starts the timer (see the .cpp for the rules).
    void RequestAction(Action action, int delayMs);
    // Runs the pending action now (the timer's work).
    void RunPendingAction();
    void SetCurrent(TSkinData* data) { current_ = data; }
    void SetActionWindow(QWidget* window) { actionWindow_ = window; }
    QTimer& ActionTimer() { return timer_; }

    void SkinPopupMenu(QMenu* menu);
    void ReleasePopupMenu(QMenu* menu);
    TSkinPopupMenu* FindPopupMenu(const QMenu* menu) const;
    const QList<TSkinPopupMenu*>& PopupMenus() const { return popups_; }

    bool SkinningOn() const { return switchOn_; }
    void SetSkinningOn(bool on) { switchOn_ = on; }
    int StartCount() const { return startCount_; }
    void SetStartCount(int count) { startCount_ = count; }
    PopupKind PendingPopupKind() const { return popupKind_; }
    void SetPendingPopupKind(PopupKind kind) { popupKind_ = kind; }
    void SetMenuBarPopups(bool on) { menuBarPopups_ = on; }

    // The may-skin rules for a window of Qt class name className.
    bool MayBeSkinned(QWidget* window, const QString& className) const;

    // Removes and frees the frame of one window (switch-off, action 7).
    void RemoveSkinForm(TSkinForm* form);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TSkinManager();
    ~TSkinManager() override;
    void DropReleasedForms();
    TSkinData* ChooseSkinData(QWidget* window, const QString& lowerClass) const;
    void SwitchOn();
    void SwitchOff();
    void Reapply();
    void ReskinWindow(QWidget* window);

    QTimer timer_;
    QList<TSkinData*> skinDatas_;
    TSkinData* default_ = nullptr;
    QList<TSkinForm*> forms_;
    QList<TSkinPopupMenu*> popups_;
    bool switchOn_ = false;
    bool applyToAll_ = false;
    int startCount_ = 0;
    PopupKind popupKind_ = PopupKind::PopupMenu;
    bool menuBarPopups_ = false;
    Action pendingAction_ = Action::None;
    QPointer<QWidget> actionWindow_;
    TSkinData* current_ = nullptr;
    bool hooked_ = false;
};

// Lets every TSkinData that is loaded register with the manager (made on
// first use). Call once before the first skin is loaded.
void InstallSkinManager();
