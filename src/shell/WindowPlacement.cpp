#include "shell/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

#include <xcb/xcb.h>

namespace {

// A window manager maps a window in the state its WM_HINTS ask for, and Qt
// leaves "iconic" there after a minimise even once the window came back:
// the next show would go straight to the icon again. Asks for normal.
void askNormalInitialState(QWidget* window)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c || !window->testAttribute(Qt::WA_WState_Created))
        return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    constexpr uint32_t kStateHint = 2, kNormalState = 1, kLongs = 9;
    uint32_t hints[kLongs] = {};
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, kLongs), nullptr);
    if (reply && reply->format == 32) {
        const auto n = std::min<uint32_t>(kLongs, static_cast<uint32_t>(xcb_get_property_value_length(reply) / 4));
        const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        std::copy(data, data + n, hints);
    }
    free(reply);
    hints[0] |= kStateHint;
    hints[2] = kNormalState;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, kLongs, hints);
    xcb_flush(c);
}

} // namespace

void CentreOnDesktop(QWidget* window)
{
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect desktop = screen->availableGeometry();
    const QSize size = window->frameGeometry().size();
    window->move(desktop.center() - QPoint(size.width() / 2, size.height() / 2));
}

void ShowInFront(QWidget* window)
{
    // Cleared while hidden, so the window is mapped in the normal state
    // instead of going straight back to the icon it left.
    if (window->windowState().testFlag(Qt::WindowMinimized))
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    if (!window->isVisible())
        askNormalInitialState(window);
    window->show();
    window->raise();
    window->activateWindow();
}
