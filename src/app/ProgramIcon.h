#pragma once
#include <QIcon>

// The program's 32 x 32 icon, for the windows and the notification area.
QIcon ProgramIcon();
