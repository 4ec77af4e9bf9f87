#pragma once
#include <QIcon>

// The program's 32 x 32 icon, for the windows and the notification area.
QIcon ProgramIcon();

// Writes the icon as "Vostrel.png" beside the program, or into the user's
// icon folder when the program's folder cannot be written; returns the
// file's path, empty when neither could be written.
QString WriteProgramIconFile();
