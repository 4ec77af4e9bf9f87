#include "skin/engine/SkinBox.h"

void TSkinBox::Attach(TSkinForm* form, TSkinData* data, bool ownColour) { AttachWithoutFilter(form, data, ownColour); }
