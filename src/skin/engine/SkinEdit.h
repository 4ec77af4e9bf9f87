#pragma once
// TSkinEdit: the border of line edits.

#include "SkinControl.h"

class TSkinEdit : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
};
