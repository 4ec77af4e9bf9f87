#pragma once
// TSkinBox: panels and containers. No event filter: with own colour the
// control gets the face colour and paints with it; Detach gives its colour
// back.

#include "skin/engine/SkinControl.h"

class TSkinBox : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
    void Attach(TSkinForm* form, TSkinData* data, bool ownColour) override;
};
