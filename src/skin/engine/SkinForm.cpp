#include "SkinForm.h"

#include "SkinCaptionButtons.h"
#include "SkinControl.h"
#include "SkinData.h"
#include "SkinEvents.h"
#include "SkinManager.h"
#include "SkinMenuOwnerDraw.h"

#include <QEvent>
#include <QMenu>
#include <QWidget>

struct TSkinForm::Impl {};

TSkinForm::TSkinForm(QWidget* window, TSkinData* data, TSkinManager* manager)
    : window_(window), skinData_(data), manager_(manager), impl_(std::make_unique<Impl>())
{
    if (window) {
        className_ = QString::fromLatin1(window->metaObject()->className()).toLower();
        window->installEventFilter(this);
        // A window destroyed under its frame leaves a released frame that
        // the manager drops.
        connect(window, &QObject::destroyed, this, [this] { state_ = fsReleased; });
    }
}

TSkinForm::~TSkinForm()
{
    Release();
}

void TSkinForm::Setup()
{
    if (state_ != fsNew || !window_)
        return;
    SkinControls();
    SetFormMenusOwnerDrawn(window_, skinData_, true);
    state_ = fsReady;
}

void TSkinForm::Release()
{
    if (state_ == fsReleased)
        return;
    state_ = fsClosing;
    if (window_) {
        window_->removeEventFilter(this);
        SetFormMenusOwnerDrawn(window_, skinData_, false);
    }
    const QList<TSkinControl*> skinners = controls_;
    for (TSkinControl* skinner : skinners) {
        skinner->Detach();
        delete skinner; // unregisters itself
    }
    controls_.clear();
    if (window_)
        window_->update();
    state_ = fsReleased;
}

void TSkinForm::Reapply()
{
    if (state_ != fsReady)
        return;
    state_ = fsRefreshing;
    for (TSkinControl* skinner : controls_)
        skinner->RefreshColours();
    SkinControls();
    state_ = fsReady;
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

void TSkinForm::OpenSystemMenu(const QPoint&) {}

void TSkinForm::BuildSystemMenu() {}

bool TSkinForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != window_)
        return false;
    if (event->type() == SkinEvents::kQuery) {
        static_cast<SkinEvents::TSkinQueryEvent*>(event)->Answer = 1;
        return true;
    }
    if (event->type() == SkinEvents::kFinishSetup) {
        Setup();
        return true;
    }
    return false;
}
