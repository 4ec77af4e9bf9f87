#pragma once
#include <QString>

// At start-up: when the gate file beside the program is there but cannot be
// used (damaged, of another site or gate, expired), tells the guard so in a
// box; the desk then works alone on its register. Without a gate file, or
// with a good one, nothing is shown.
void ReportUnusableGateFile(const QString& folder);
