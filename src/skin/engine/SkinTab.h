#pragma once
// TSkinTab: the tabs and the pane of tab widgets drawn with the Tabs element.

#include "SkinControl.h"

class TSkinTab : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
};
