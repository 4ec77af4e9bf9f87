#pragma once
#include <QString>

// Special-folder number of the desktop; -1 selects no special folder.
inline constexpr int CSIDL_DESKTOP = 0;

// Writes a desktop entry "<name>.desktop" that starts `target` in its own
// folder, into the special folder `csidl` (the desktop) or into `folder`.
// An empty folder with csidl -1 means the desktop. An empty name takes the
// target's file name without extension. Returns true when the entry was saved.
bool CreateShellLink(const QString& target, const QString& name, const QString& folder, int csidl,
                     const QString& iconPath = QString());
