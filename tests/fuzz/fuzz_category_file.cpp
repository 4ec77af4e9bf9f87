// Any "class.dat" content splits into items; writing them and reading back is stable.
#include "db/CategoryFile.h"

#include <QByteArray>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList items = ParseCategoryLines(content);
    for (const QString& item : items)
        if (item.contains(QLatin1Char('\r')) || item.contains(QLatin1Char('\n')))
            __builtin_trap();
    return 0;
}
