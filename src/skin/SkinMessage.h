#pragma once
// The skin data code shows its few messages through this hook, so that the
// library stays free of widgets; the application installs its message box.

#include <QString>
#include <functional>

using TSkinMessageHandler = std::function<void(const QString& text)>;

// Installs the handler and returns the previous one. An empty handler
// restores the default, which writes the text to the Qt warning log.
TSkinMessageHandler SetSkinMessageHandler(TSkinMessageHandler handler);
void ShowSkinMessage(const QString& text);
