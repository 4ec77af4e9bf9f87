#include "skin/engine/SkinControl.h"

#include "skin/SkinData.h"
#include "skin/engine/SkinEvents.h"
#include "skin/engine/SkinForm.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

TSkinControl::TSkinControl(QWidget* control) : QObject(control), control_(control)
{
    if (control)
        connect(control, &QObject::destroyed, this, &TSkinControl::ControlDestroyed);
}

TSkinControl::~TSkinControl()
{
    if (control_ && filtering_)
        control_->removeEventFilter(this);
    Unregister();
}

void TSkinControl::ControlDestroyed()
{
    // The window is gone: nothing of it may be touched any more.
    state_ = ControlState::Destroyed;
    filtering_ = false;
    if (active_)
        Detach();
    control_ = nullptr;
}

void TSkinControl::Unregister()
{
    if (form_)
        form_->UnregisterControl(this);
    form_ = nullptr;
}

void TSkinControl::AttachWithoutFilter(TSkinForm* form, TSkinData* data, bool ownColour)
{
    if (attached_ || !control_)
        return;
    form_ = form;
    skinData_ = data;
    ownColour_ = ownColour;
    if (form)
        form->RegisterControl(this);
    if (ownColour)
        SetFaceColour();
    attached_ = true;
    state_ = ControlState::Attached;
    Repaint();
}

void TSkinControl::Attach(TSkinForm* form, TSkinData* data, bool ownColour)
{
    if (attached_ || !control_)
        return;
    control_->installEventFilter(this);
    filtering_ = true;
    AttachWithoutFilter(form, data, ownColour);
}

void TSkinControl::SetFaceColour()
{
    if (!control_ || !skinData_)
        return;
    if (!colourSaved_) {
        hadOwnPalette_ = control_->testAttribute(Qt::WA_SetPalette);
        savedPalette_ = control_->palette();
        savedAutoFill_ = control_->autoFillBackground();
        colourSaved_ = true;
    }
    QPalette p = control_->palette();
    p.setColor(QPalette::Window, skinData_->FaceColour());
    control_->setPalette(p);
    // A control that shows its parent's background paints its own face now.
    if (!skinData_->HasOption(TSkinData::xoParentBackGround) && !control_->autoFillBackground()) {
        control_->setAutoFillBackground(true);
        parentBackgroundChanged_ = true;
    }
}

void TSkinControl::RestoreColour()
{
    if (!colourSaved_ || !control_)
        return;
    if (hadOwnPalette_)
        control_->setPalette(savedPalette_);
    else
        control_->setPalette(QPalette());
    if (parentBackgroundChanged_)
        control_->setAutoFillBackground(savedAutoFill_);
    colourSaved_ = false;
    parentBackgroundChanged_ = false;
}

void TSkinControl::Detach()
{
    if (!active_)
        return;
    active_ = false;
    if (state_ != ControlState::Destroyed && control_) {
        if (ownColour_)
            RestoreColour();
        control_->update();
    }
}

bool TSkinControl::BeforeMessage(QEvent* event)
{
    if (event->type() == SkinEvents::kQuery) {
        static_cast<SkinEvents::TSkinQueryEvent*>(event)->Answer = 1;
        return false;
    }
    return true;
}

void TSkinControl::AfterMessage(QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::EnabledChange: Repaint(); break;
    case QEvent::Paint: PaintFrame(); break;
    default: break;
    }
}

void TSkinControl::PaintFrame(QPainter* painter)
{
    if (!control_)
        return;
    windowRect_ = control_->rect();
    try {
        if (painter) {
            Draw(*painter, windowRect_);
        } else {
            QPainter own(control_);
            Draw(own, windowRect_);
        }
    } catch (...) {
        // A failure while drawing leaves the control usable.
    }
}

void TSkinControl::Draw(QPainter&, const QRect&) {}

void TSkinControl::RefreshColours()
{
    if (ownColour_)
        SetFaceColour();
    Repaint();
}

void TSkinControl::Repaint()
{
    if (control_)
        control_->update();
}

bool TSkinControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != control_ || state_ == ControlState::Destroyed)
        return false;
    if (event->type() == SkinEvents::kSwitch) {
        active_ = static_cast<SkinEvents::TSkinSwitchEvent*>(event)->On;
        if (active_)
            Repaint();
        return true;
    }
    if (!active_)
        return false;
    if (!BeforeMessage(event))
        return true;
    if (event->type() == QEvent::Paint) {
        // The control paints itself first; the skinner draws over it.
        static_cast<QObject*>(control_.data())->event(event);
        if (control_ && active_)
            AfterMessage(event);
        return true;
    }
    AfterMessage(event);
    return false;
}
