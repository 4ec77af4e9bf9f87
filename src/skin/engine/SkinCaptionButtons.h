#pragma once
// The frame's caption objects: caption buttons and menu-bar buttons share
// the mouse states of TNCObject.

#include "skin/SkinElements.h"

#include <QRect>
#include <QString>

class TDataSkinSysButton;
class TSkinForm;

class TNCObject {
public:
    // The state number is also the frame a caption button shows.
    enum class MouseState { Normal = 1, Pressed = 2, Hot = 3 };
    explicit TNCObject(TSkinForm* frame) : frame_(frame) {}
    virtual ~TNCObject() = default;
    virtual void MouseDown();
    virtual void MouseUp();
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void Paint() {}
    MouseState State() const { return state_; }
    bool Enabled = true;

protected:
    TSkinForm* frame_;
    MouseState state_ = MouseState::Normal;
};

class TCaptionButton : public TNCObject {
public:
    TCaptionButton(TSkinForm* frame, TDataSkinSysButton* element) : TNCObject(frame), Element(element) {}
    // Repaints its rectangle of the window; leaving also hides the hint.
    void Paint() override;
    void MouseLeave() override;
    TDataSkinSysButton* Element;
    QRect Rect;
    bool Visible = false;
};

class TMenuBtn : public TNCObject {
public:
    using TNCObject::TNCObject;
    QRect Rect;
};

// The tool tip of a caption button: 最小化, 最大化 or 还原 as the window now
// is, 关闭; empty for a button without one.
QString CaptionButtonHint(CaptionAction action, bool maximized);
