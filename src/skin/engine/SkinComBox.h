#pragma once
// TSkinComBox: combo boxes drawn with SunkEdge and ComboButton.

#include "SkinControl.h"

class TSkinComBox : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
};
