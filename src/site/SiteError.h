#pragma once
#include "base/VostrelError.h"

// A failure talking to the site's server or handling the site's files; the
// message says what failed (the server's own text where it gave one).
class ESiteError : public EVostrelError {
public:
    using EVostrelError::EVostrelError;
};
