#pragma once
// TSkinButton: push buttons drawn with the Buttons element.

#include "SkinControl.h"

class TSkinButton : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
};
