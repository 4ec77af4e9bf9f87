#pragma once
#include <stdexcept>

// The system clipboard, reached through one shared object.
class TClipboard {
public:
    // Empties the clipboard and the selection; raises std::runtime_error
    // "Cannot open clipboard" when there is no clipboard to empty.
    void ClearClipboard();
};

TClipboard& SharedClipboard();
