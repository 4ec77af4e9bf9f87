#pragma once
// TSkinStatusBar: status bars and their panels drawn with StatusBarEdges.

#include "SkinControl.h"

class TSkinStatusBar : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
};
