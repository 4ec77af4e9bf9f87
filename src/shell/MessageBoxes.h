#pragma once
#include <QString>
#include <functional>

// Every message box of the program goes through here, so that tests can
// answer boxes from a script instead of a person.
namespace MessageBoxes {

enum class Kind {
    Plain,        // application title, no icon, OK
    WarningYesNo, // "警告", warning icon, Yes and No, No the default, on top
    Error         // the application's default error box: the message and OK
};

struct Request {
    Kind kind;
    QString caption;
    QString text;
};

// Answers with true for Yes (ignored for boxes without a choice).
using Script = std::function<bool(const Request&)>;

void ShowMessage(const QString& text);
bool AskWarningYesNo(const QString& text);
void ShowError(const QString& text);

// While a script is set, no real box appears and the script answers.
void SetScript(Script script);

} // namespace MessageBoxes
