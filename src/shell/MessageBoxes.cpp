#include "shell/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace MessageBoxes {
namespace {

Script& script()
{
    static Script current;
    return current;
}

// The program's window a box belongs to: the active one, else one on screen.
// The box is transient for it, so it stays above it, is centred on it and
// gets no taskbar entry of its own.
QWidget* ownerWindow()
{
    auto isForm = [](const QWidget* w) {
        return w && w->isWindow() && w->isVisible() && !w->isMinimized()
               && (w->windowType() == Qt::Window || w->windowType() == Qt::Dialog)
               && !w->windowFlags().testFlag(Qt::BypassWindowManagerHint);
    };
    if (QWidget* active = QApplication::activeWindow(); isForm(active))
        return active;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (isForm(w))
            return w;
    return nullptr;
}

bool show(const Request& request)
{
    if (script())
        return script()(request);
    QWidget* owner = ownerWindow();
    QMessageBox box(owner);
    box.setWindowTitle(request.caption);
    box.setText(request.text);
    switch (request.kind) {
    case Kind::Plain:
        box.setIcon(QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Kind::WarningYesNo:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        break;
    case Kind::Error:
        box.setIcon(QMessageBox::Critical);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    // Centred on its window once it has its final size, the skin's frame
    // included (the box sizes itself, and is framed, while it is shown).
    if (owner)
        QTimer::singleShot(0, &box, [&box, owner = QPointer<QWidget>(owner)] {
            if (owner)
                box.move(owner->frameGeometry().center() - QPoint(box.width() / 2, box.height() / 2));
        });
    return box.exec() == QMessageBox::Yes;
}

} // namespace

void ShowMessage(const QString& text) { show({Kind::Plain, QApplication::applicationName(), text}); }

bool AskWarningYesNo(const QString& text) { return show({Kind::WarningYesNo, QStringLiteral("警告"), text}); }

void ShowError(const QString& text) { show({Kind::Error, QApplication::applicationName(), text}); }

void SetScript(Script s) { script() = std::move(s); }

} // namespace MessageBoxes
