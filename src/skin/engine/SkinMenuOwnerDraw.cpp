#include "SkinMenuOwnerDraw.h"

#include "SkinData.h"
#include "SkinEvents.h"

#include <QMenu>
#include <QVariant>
#include <QWidget>

void SetMenuOwnerDrawn(QMenu* menu, bool on)
{
    if (menu)
        menu->setProperty(kOwnerDrawnProperty, on);
}

bool IsMenuOwnerDrawn(const QMenu* menu) { return menu && menu->property(kOwnerDrawnProperty).toBool(); }

void SetFormMenusOwnerDrawn(QWidget* form, TSkinData* data, bool on)
{
    if (!form || !data)
        return;
    if (on && !data->HasControl(TSkinData::xcPopupMenu))
        return;
    for (QMenu* menu : form->findChildren<QMenu*>()) {
        if (SkinEvents::TagOf(menu) == data->DisableTag())
            continue;
        SetMenuOwnerDrawn(menu, on);
    }
}
