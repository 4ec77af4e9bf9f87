// libFuzzer target: a skin file through the LZHUF decoder and the container
// reader, then every lookup the skin data makes.

#include "skin/SkinMessage.h"
#include "skin/SkinReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = [] {
        SetSkinMessageHandler([](const QString&) {});
        return true;
    }();
    (void)quiet;
    TSkinReader reader;
    reader.SetMaxDecodedSize(1 << 16); // keeps each run short; the limit itself is tested
    const QByteArray skin(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!reader.Load(skin))
        return 0;
    QByteArray body;
    QString name;
    reader.ExtractEntryLike(QStringLiteral(".ini"), body, name);
    for (int i = 0; i < reader.EntryCount(); ++i) {
        reader.ExtractEntry(reader.Names()[i], body);
        (void)reader.EntrySize(i);
    }
    reader.ExtractEntry(QStringLiteral("missing.bmp"), body);
    return 0;
}
