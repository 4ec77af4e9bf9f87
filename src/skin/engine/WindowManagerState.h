#pragma once

class QWidget;

// Tells the window manager that a mapped window is now maximised, or no
// longer (_NET_WM_STATE_MAXIMIZED_VERT and _HORZ), so that it, its taskbar
// and its pagers treat the window so; such a window manager also sizes the
// window. Returns false, having done nothing, without an X11 display, before
// the window is mapped or without a window manager that knows the state.
bool TellWindowManagerMaximized(QWidget* window, bool maximized);
