#include "shell/Unit_Clipbrd.h"

#include <QClipboard>
#include <QGuiApplication>

void TClipboard::ClearClipboard()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        throw std::runtime_error("Cannot open clipboard");
    clipboard->clear(QClipboard::Clipboard);
    if (clipboard->supportsSelection())
        clipboard->clear(QClipboard::Selection);
}

TClipboard& SharedClipboard()
{
    static TClipboard clipboard;
    return clipboard;
}
