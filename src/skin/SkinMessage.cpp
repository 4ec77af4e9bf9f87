#include "skin/SkinMessage.h"

#include <QtDebug>

namespace {
TSkinMessageHandler& handlerSlot()
{
    static TSkinMessageHandler handler;
    return handler;
}
} // namespace

TSkinMessageHandler SetSkinMessageHandler(TSkinMessageHandler handler)
{
    TSkinMessageHandler previous = std::move(handlerSlot());
    handlerSlot() = std::move(handler);
    return previous;
}

void ShowSkinMessage(const QString& text)
{
    if (handlerSlot())
        handlerSlot()(text);
    else
        qWarning().noquote() << text;
}
