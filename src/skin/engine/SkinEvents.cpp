#include "skin/engine/SkinEvents.h"

#include <QCoreApplication>
#include <QVariant>

namespace SkinEvents {

bool AnswersSkinned(QObject* target)
{
    if (!target)
        return false;
    TSkinQueryEvent query;
    QCoreApplication::sendEvent(target, &query);
    return query.Answer == 1;
}

int TagOf(const QObject* object)
{
    if (!object)
        return 0;
    const QVariant tag = object->property("Tag");
    return tag.isValid() ? tag.toInt() : 0;
}

} // namespace SkinEvents
