#include "skin/engine/WindowManagerState.h"

#include <QGuiApplication>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>

namespace {

xcb_atom_t internAtom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

// A window manager runs (_NET_SUPPORTING_WM_CHECK) and lists the atom
// among the states it supports (_NET_SUPPORTED).
bool windowManagerSupports(xcb_connection_t* c, xcb_window_t root, xcb_atom_t state)
{
    const xcb_atom_t check = internAtom(c, "_NET_SUPPORTING_WM_CHECK");
    const xcb_atom_t supported = internAtom(c, "_NET_SUPPORTED");
    xcb_get_property_reply_t* wm =
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, check, XCB_ATOM_WINDOW, 0, 1), nullptr);
    const bool running = wm && xcb_get_property_value_length(wm) >= 4;
    free(wm);
    if (!running)
        return false;
    xcb_get_property_reply_t* list =
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, supported, XCB_ATOM_ATOM, 0, 4096), nullptr);
    bool found = false;
    if (list && list->format == 32) {
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(list));
        const int count = xcb_get_property_value_length(list) / 4;
        found = std::find(atoms, atoms + count, state) != atoms + count;
    }
    free(list);
    return found;
}

} // namespace

bool TellWindowManagerMaximized(QWidget* window, bool maximized)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c || !window->isVisible() || !window->testAttribute(Qt::WA_WState_Created))
        return false;
    const xcb_atom_t netWmState = internAtom(c, "_NET_WM_STATE");
    const xcb_atom_t vertical = internAtom(c, "_NET_WM_STATE_MAXIMIZED_VERT");
    const xcb_atom_t horizontal = internAtom(c, "_NET_WM_STATE_MAXIMIZED_HORZ");
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (netWmState == XCB_ATOM_NONE || vertical == XCB_ATOM_NONE || horizontal == XCB_ATOM_NONE
        || !windowManagerSupports(c, screen->root, vertical))
        return false;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window->winId());
    message.type = netWmState;
    message.data.data32[0] = maximized ? 1 : 0; // _NET_WM_STATE_ADD / _REMOVE
    message.data.data32[1] = vertical;
    message.data.data32[2] = horizontal;
    message.data.data32[3] = 1; // from an application
    xcb_send_event(c, 0, screen->root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);
    return true;
}
