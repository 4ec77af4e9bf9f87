#include "SkinPopupMenu.h"

#include "SkinEvents.h"

#include <QEvent>
#include <QMenu>

TSkinPopupMenu::TSkinPopupMenu(QMenu* menu, TSkinData* data) : menu_(menu), skinData_(data) {}

TSkinPopupMenu::~TSkinPopupMenu() { Detach(); }

void TSkinPopupMenu::Attach()
{
    if (attached_ || !menu_)
        return;
    menu_->installEventFilter(this);
    attached_ = true;
    menu_->update();
}

void TSkinPopupMenu::Detach()
{
    if (!attached_)
        return;
    attached_ = false;
    if (menu_) {
        menu_->removeEventFilter(this);
        menu_->update();
    }
    background_ = QImage();
}

bool TSkinPopupMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != menu_)
        return false;
    if (event->type() == SkinEvents::kQuery) {
        static_cast<SkinEvents::TSkinQueryEvent*>(event)->Answer = 1;
        return true;
    }
    return false;
}
