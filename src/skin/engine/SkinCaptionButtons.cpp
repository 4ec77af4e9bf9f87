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

QString CaptionButtonHint(CaptionAction action, bool maximized)
{
    switch (action) {
    case CaptionAction::Close:
    case CaptionAction::MdiClose:
    case CaptionAction::MdiClose2: return QStringLiteral("关闭");
    case CaptionAction::Maximize:
    case CaptionAction::Maximize2: return maximized ? QStringLiteral("还原") : QStringLiteral("最大化");
    case CaptionAction::Minimize:
    case CaptionAction::MdiMinimize:
    case CaptionAction::Minimize2:
    case CaptionAction::MdiMinimize2: return QStringLiteral("最小化");
    case CaptionAction::MdiRestore:
    case CaptionAction::MdiRestore2: return QStringLiteral("还原");
    default: return {};
    }
}
