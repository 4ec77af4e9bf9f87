#include "skin/engine/SkinCaptionButtons.h"

#include "skin/engine/SkinForm.h"

void TNCObject::MouseDown()
{
    if (!Enabled)
        return;
    if (frame_->HotObject() && frame_->HotObject() != this)
        frame_->HotObject()->MouseLeave();
    frame_->SetHotObject(this);
    state_ = MouseState::Pressed;
    Paint();
}

void TNCObject::MouseUp()
{
    state_ = MouseState::Hot;
    Paint();
}

void TNCObject::MouseEnter()
{
    if (frame_->HotObject() && frame_->HotObject() != this)
        frame_->HotObject()->MouseLeave();
    frame_->SetHotObject(this);
    state_ = MouseState::Hot;
    Paint();
}

void TNCObject::MouseLeave()
{
    if (frame_->HotObject() == this)
        frame_->SetHotObject(nullptr);
    state_ = MouseState::Normal;
    Paint();
}
