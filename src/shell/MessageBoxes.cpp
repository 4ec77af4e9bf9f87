#include "MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace MessageBoxes {
namespace {

Script& script()
{
    static Script current;
    return current;
}

bool show(const Request& request)
{
    if (script())
        return script()(request);
    QMessageBox box;
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
    return box.exec() == QMessageBox::Yes;
}

} // namespace

void ShowMessage(const QString& text) { show({Kind::Plain, QApplication::applicationName(), text}); }

bool AskWarningYesNo(const QString& text) { return show({Kind::WarningYesNo, QStringLiteral("警告"), text}); }

void ShowError(const QString& text) { show({Kind::Error, QApplication::applicationName(), text}); }

void SetScript(Script s) { script() = std::move(s); }

} // namespace MessageBoxes
