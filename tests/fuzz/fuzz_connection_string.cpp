// Any connection string is read without a fault.
#include "db/ConnectionString.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const ConnectionParts parts = ParseConnectionString(text);
    if (parts.dataSource.size() > text.size() || parts.password.size() > text.size())
        __builtin_trap();
    return 0;
}
