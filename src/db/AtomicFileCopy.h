#pragma once
#include <QString>

// Copies a file so that `to` is either left as it was or replaced whole by a
// complete copy: the bytes go to a temporary file beside `to`, reach the disk,
// and only then take its name. The copy is readable by its owner only.
// Returns false (and leaves no temporary file) on any failure.
bool CopyFileAtomically(const QString& from, const QString& to);
