#pragma once
#include <QObject>
#include <functional>

class QAbstractButton;
class QAction;
class QTimer;

// Event handlers are plain member functions. A handler started by the user or
// a timer runs guarded: an exception leaving it is shown in the default error
// box and the program goes on. A handler started by another handler
// ("perform the click of X") runs unguarded, so its exception stops the
// caller as well.

void RunGuarded(const std::function<void()>& handler);

// Binds a control's click to a handler.
void BindClick(QAbstractButton* button, std::function<void()> handler);
void BindClick(QAction* action, std::function<void()> handler);
// Runs the click handler of a control, as a click would; a disabled control
// does nothing.
void PerformClick(QObject* control);

void BindTimer(QTimer* timer, std::function<void()> handler);
