#pragma once
#include "base/VostrelError.h"

// An error of the register store. The message is the engine's own text where
// the engine raised it; handlers let it reach the application's error box.
class EDatabaseError : public EVostrelError {
public:
    using EVostrelError::EVostrelError;
};
