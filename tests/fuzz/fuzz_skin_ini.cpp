// libFuzzer target: an INI text through TQuickIni and the whole skin parse,
// with a fixed set of small bitmaps the INI may name.

#include "skin/SkinData.h"
#include "skin/SkinIni.h"
#include "skin/SkinReader.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>
#include <cstddef>
#include <cstdint>

namespace {
QByteArray bmp(int w, int h, QRgb fill)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    for (int x = 0; x < w; x += 3)
        img.setPixel(x, h / 2, 0xFFFF00FF);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "BMP");
    return bytes;
}

void put32(QByteArray& out, uint32_t v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

// A version-20000 container: a.bmp ... f.bmp of assorted shapes, then the INI.
QByteArray container(const QByteArray& ini)
{
    static const QList<QByteArray> bodies = {bmp(1, 1, 0xFF000000),  bmp(60, 20, 0xFF808080),  bmp(120, 21, 0xFF2040A0),
                                             bmp(3, 40, 0xFFFF00FF), bmp(200, 17, 0xFF10A010), bmp(13, 13, 0xFFFFFFFF)};
    static const QByteArray names = "a.bmp\r\nb.bmp\r\nc.bmp\r\nd.bmp\r\ne.bmp\r\nf.bmp\r\nskin.ini\r\n";
    QByteArray out;
    put32(out, 20000);
    put32(out, static_cast<uint32_t>(names.size()));
    put32(out, 0);
    put32(out, 0);
    out += names;
    for (const QByteArray& b : bodies)
        put32(out, static_cast<uint32_t>(b.size()));
    put32(out, static_cast<uint32_t>(ini.size()));
    for (const QByteArray& b : bodies)
        out += b;
    return out + ini;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray ini(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    TQuickIni quick;
    quick.LoadFromStream(ini);
    QStringList sections;
    quick.ReadSections(&sections);
    for (const QString& s : sections.mid(0, 8)) {
        (void)quick.ReadString(s, QStringLiteral("Image"), QString());
        (void)quick.ReadInteger(s, QStringLiteral("Frame"), 0);
    }

    TSkinReader reader;
    if (!reader.LoadContainer(container(ini)))
        return 0;
    TSkinData skin;
    skin.ParseSkin(reader);
    return 0;
}
