#pragma once
// TSkinScrollbar: the scroll bars of memos, grids and lists drawn with the Scrollbar elements.

#include "SkinControl.h"

class TSkinScrollbar : public TSkinControl {
    Q_OBJECT
public:
    using TSkinControl::TSkinControl;
};
