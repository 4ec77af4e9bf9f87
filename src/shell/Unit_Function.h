#pragma once

class QWidget;

// The program's taskbar presence. While hidden, every top-level window of
// the program (also one shown later, such as the login window) asks the
// window manager to keep it off the taskbar; every other state of the
// windows stays as it was.
void HideAppFromTaskbar();
void ShowAppInTaskbar();

// True from HideAppFromTaskbar until ShowAppInTaskbar.
bool AppHiddenFromTaskbar();

// Whether a window carries the skip-taskbar state now: on X11 read from the
// window itself, elsewhere the program's own setting for its windows.
bool WindowSkipsTaskbar(QWidget* window);
