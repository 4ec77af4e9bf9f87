#include "skin/ShippedSkin.h"

#include "skin/SkinData.h"

#include <QtCore/qglobal.h>

static void registerShippedSkin() { Q_INIT_RESOURCE(vostrel_skin); }

void InitShippedSkinResource()
{
    static const bool once = [] {
        registerShippedSkin();
        return true;
    }();
    (void)once;
}

bool LoadShippedSkin(TSkinData& skinData)
{
    InitShippedSkinResource();
    return skinData.ReadSkinStreamFrom(kShippedSkinResource);
}
