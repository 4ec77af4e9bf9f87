#pragma once
// TSkinForm: the skinned frame of one top-level window. The window is made
// frameless while skinned; the frame reserves its borders and caption around
// the client area (the client keeps its size), paints them from the skin,
// runs the caption buttons, does the hit testing, replaces the system menu
// and cuts the window's shape. It owns the skinners of the window's controls.

#include "skin/SkinElements.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

class QMenu;
class QPainter;
class QWidget;
class TCaptionButton;
class TNCObject;
class TSkinControl;
class TSkinData;
class TSkinManager;

class TSkinForm : public QObject {
    Q_OBJECT
public:
    enum class SetupState { New = 0, Ready = 1, Refreshing = 3, Closing = 4, Sizing = 5, Released = 6 };
    enum class BorderType { Sizable = 0, Single = 1, None = 2, Dialog = 3 };
    enum class BorderIcon { Maximize = 1, Minimize = 2, ContextHelp = 4, SystemMenu = 8 };
    Q_DECLARE_FLAGS(BorderIcons, BorderIcon)
    enum class ShowState { Normal = 0, Maximized = 1, Minimized = 2 };

    // Bound to a window; the manager posts the finish-set-up event after
    // making it. manager may be null in tests.
    TSkinForm(QWidget* window, TSkinData* data, TSkinManager* manager);
    // Release, then free the skinners, menus and bitmaps.
    ~TSkinForm() override;

    QWidget* Window() const { return window_; }
    TSkinData* SkinData() const { return skinData_; }
    SetupState State() const { return state_; }
    bool IsReady() const { return state_ == SetupState::Ready; }

    // The finish-set-up step: controls skinned, the frame applied, ready.
    void Setup();
    // Switch-off: the frame is undone (flags, size, children, mask), every
    // skinner is detached and freed, the window redraws in its own look.
    void Release();
    // Takes up a reloaded skin: sizes re-read, controls re-skinned, repaint.
    void Reapply();

    // Skinners register on Attach and leave on destruction.
    void RegisterControl(TSkinControl* skinner);
    void UnregisterControl(TSkinControl* skinner);
    // The skinner of a control, or null.
    TSkinControl* SkinnerOf(const QWidget* control) const;
    // Matches the window's controls to skinners and attaches them.
    void SkinControls();

    // --- classification, fixed at set-up
    BorderType BorderKind() const { return borderKind_; }
    bool RightToLeft() const { return rightToLeft_; }
    ShowState WindowState() const { return windowState_; }

    // --- frame sizes (0 each for a window without caption)
    int LeftWidth() const { return leftWidth_; }
    int TopHeight() const { return topHeight_; }
    int RightWidth() const { return rightWidth_; }
    int BottomHeight() const { return bottomHeight_; }

    // --- caption objects and the system menu
    const std::vector<std::unique_ptr<TCaptionButton>>& CaptionButtons() const { return captionButtons_; }
    TNCObject* HotObject() const { return hot_; }
    void SetHotObject(TNCObject* object) { hot_ = object; }
    // Rebuilds the replacement system menu and opens it at point (global).
    void OpenSystemMenu(const QPoint& globalPos);
    QMenu* SystemMenu() const { return systemMenu_; }
    // Rebuilds the system menu without opening it (also used by tests).
    void BuildSystemMenu();

    // Client area in window coordinates (the window less the frame).
    QRect ClientRect() const;
    // The caption button at a point (window coordinates), or null.
    TCaptionButton* ButtonAt(const QPoint& pos) const;
    // Runs a caption button's action (close, maximise, ...).
    void RunAction(TCaptionButton* button);
    // Maximise fills the screen's work area, the frame included; restore
    // brings back the size and place the window had before. The window
    // manager takes no part, so it works the same with or without one.
    void Maximize();
    void Restore();
    // Lays out the caption text and buttons for the window's current size.
    void LayoutCaption();
    // The caption text's box, text back included (window coordinates), and
    // the font the caption is measured and painted with.
    QRect CaptionTextRect() const { return captionTextRect_; }
    QFont CaptionFont() const;
    // The shape made for the current size (empty when none is used).
    QRegion Shape() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TCaptionButton;
    // Members the frame's implementation files share.
    QPointer<QWidget> window_;
    TSkinData* skinData_ = nullptr;
    TSkinManager* manager_ = nullptr;
    QString className_;
    SetupState state_ = SetupState::New;
    QList<TSkinControl*> controls_;

    BorderType borderKind_ = BorderType::Single;
    BorderIcons borderIcons_;
    bool messageBox_ = false;
    bool rightToLeft_ = false;
    ShowState windowState_ = ShowState::Normal;
    bool active_ = true;
    int leftWidth_ = 0, topHeight_ = 0, rightWidth_ = 0, bottomHeight_ = 0, menuBarHeight_ = 0;

    std::vector<std::unique_ptr<TCaptionButton>> captionButtons_;
    TNCObject* hot_ = nullptr;
    QMenu* systemMenu_ = nullptr;
    QRect captionTextRect_;
    QImage captionBitmap_;

    void Classify();
    void ComputeFrameSizes();
    void MakeCaptionButtons();
    void ApplyFrame();
    void UndoFrame();
    void MakeShape(bool force);
    void PaintFrame(QPainter& painter);
    void PaintCaption(QPainter& painter);
    void PaintButton(QPainter& painter, const TCaptionButton& button);
    bool ButtonVisible(const TDataSkinSysButton& e, bool& enabled) const;
    bool Condition(CaptionCondition code, bool second) const;
    bool MouseEvent(QEvent* event);
    void HoverTick();
    void ReadWindowState();
    void KeepFrameless();
    void MakeKeys();

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TSkinForm::BorderIcons)
