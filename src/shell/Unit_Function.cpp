#include "shell/Unit_Function.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>

namespace {

bool hiddenFromTaskbar = false;

xcb_connection_t* x11Connection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t internAtom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

QList<xcb_atom_t> readStates(xcb_connection_t* c, xcb_window_t w, xcb_atom_t netWmState)
{
    QList<xcb_atom_t> atoms;
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, netWmState, XCB_ATOM_ATOM, 0, 1024), nullptr);
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        atoms = QList<xcb_atom_t>(data, data + xcb_get_property_value_length(reply) / 4);
    }
    free(reply);
    return atoms;
}

// The program's own windows that a taskbar lists: not menus, tips or the
// notification-area icon.
bool isTaskbarWindow(const QWidget* w)
{
    const Qt::WindowType type = w->windowType();
    return w->isWindow() && (type == Qt::Window || type == Qt::Dialog)
           && !w->windowFlags().testFlag(Qt::BypassWindowManagerHint);
}

// Adds or removes _NET_WM_STATE_SKIP_TASKBAR and nothing else. A mapped
// window is changed through the window manager; the property is written as
// well, for an unmapped window (read when it is mapped) and for a display
// without a window manager.
void applySkipTaskbar(QWidget* widget, bool skip)
{
    xcb_connection_t* c = x11Connection();
    if (!c || !isTaskbarWindow(widget) || !widget->testAttribute(Qt::WA_WState_Created))
        return;
    const auto window = static_cast<xcb_window_t>(widget->winId());
    const xcb_atom_t netWmState = internAtom(c, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = internAtom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    if (netWmState == XCB_ATOM_NONE || skipTaskbar == XCB_ATOM_NONE)
        return;

    QList<xcb_atom_t> states = readStates(c, window, netWmState);
    const bool has = states.contains(skipTaskbar);
    if (skip && !has)
        states.append(skipTaskbar);
    else if (!skip && has)
        states.removeAll(skipTaskbar);
    if (skip != has) {
        if (states.isEmpty())
            xcb_delete_property(c, window, netWmState);
        else
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, netWmState, XCB_ATOM_ATOM, 32,
                                static_cast<uint32_t>(states.size()), states.constData());
    }

    if (widget->isVisible()) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = netWmState;
        message.data.data32[0] = skip ? 1 : 0; // _NET_WM_STATE_ADD / _REMOVE
        message.data.data32[1] = skipTaskbar;
        message.data.data32[3] = 1; // from an application
        xcb_send_event(c, 0, screen->root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
    }
    xcb_flush(c);
}

void applyToAllWindows(bool skip)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        applySkipTaskbar(w, skip);
}

// A window shown while the program is hidden from the taskbar gets the
// state before it is mapped.
class ShowWatcher : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && hiddenFromTaskbar && watched->isWidgetType())
            applySkipTaskbar(static_cast<QWidget*>(watched), true);
        return false;
    }
};

void watchShownWindows()
{
    static ShowWatcher* watcher = nullptr;
    if (!watcher && QCoreApplication::instance()) {
        watcher = new ShowWatcher;
        watcher->setParent(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(watcher);
    }
}

} // namespace

void HideAppFromTaskbar()
{
    hiddenFromTaskbar = true;
    watchShownWindows();
    applyToAllWindows(true);
}

void ShowAppInTaskbar()
{
    hiddenFromTaskbar = false;
    applyToAllWindows(false);
}

bool AppHiddenFromTaskbar() { return hiddenFromTaskbar; }

bool WindowSkipsTaskbar(QWidget* window)
{
    xcb_connection_t* c = x11Connection();
    if (!c || !window->testAttribute(Qt::WA_WState_Created))
        return hiddenFromTaskbar && isTaskbarWindow(window);
    const xcb_atom_t netWmState = internAtom(c, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = internAtom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    return readStates(c, static_cast<xcb_window_t>(window->winId()), netWmState).contains(skipTaskbar);
}
