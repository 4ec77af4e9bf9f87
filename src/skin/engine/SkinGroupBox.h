#pragma once
// TSkinGroupBox: group boxes with a rounded frame and their caption.

#include "SkinControl.h"

class TSkinGroupBox : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
};
