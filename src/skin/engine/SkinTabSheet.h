#pragma once
// TSkinTabSheet: the pages of a tab widget take the face colour.

#include "skin/engine/SkinBox.h"

class TSkinTabSheet : public TSkinBox {
    Q_OBJECT
public:
    using TSkinBox::TSkinBox;
};
