#include "shell/HandlerWiring.h"
#include "shell/MessageBoxes.h"

#include <QAbstractButton>
#include <QAction>
#include <QTimer>
#include <QWidget>

namespace {

// The handler travels with its control as a child object.
class ClickBinding : public QObject {
public:
    ClickBinding(QObject* control, std::function<void()> handler) : QObject(control), handler_(std::move(handler))
    {
        setObjectName(QStringLiteral("clickBinding"));
    }
    void run() const { handler_(); }

private:
    std::function<void()> handler_;
};

ClickBinding* bindingOf(QObject* control)
{
    return control->findChild<ClickBinding*>(QStringLiteral("clickBinding"), Qt::FindDirectChildrenOnly);
}

void attach(QObject* control, std::function<void()> handler)
{
    delete bindingOf(control);
    new ClickBinding(control, std::move(handler));
}

} // namespace

void RunGuarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        MessageBoxes::ShowError(QString::fromUtf8(e.what()));
    }
}

void BindClick(QAbstractButton* button, std::function<void()> handler)
{
    attach(button, std::move(handler));
    QObject::connect(button, &QAbstractButton::clicked, button, [button] {
        if (ClickBinding* b = bindingOf(button))
            RunGuarded([b] { b->run(); });
    });
}

void BindClick(QAction* action, std::function<void()> handler)
{
    attach(action, std::move(handler));
    QObject::connect(action, &QAction::triggered, action, [action] {
        if (ClickBinding* b = bindingOf(action))
            RunGuarded([b] { b->run(); });
    });
}

void PerformClick(QObject* control)
{
    if (auto* widget = qobject_cast<QWidget*>(control); widget && !widget->isEnabled())
        return;
    if (auto* action = qobject_cast<QAction*>(control); action && !action->isEnabled())
        return;
    if (ClickBinding* b = bindingOf(control))
        b->run();
}

void BindTimer(QTimer* timer, std::function<void()> handler)
{
    QObject::connect(timer, &QTimer::timeout, timer, [h = std::move(handler)] { RunGuarded(h); });
}
