// vostrel-skinpack DIR OUT [--payload FILE]: packs a folder of bitmaps and
// one INI into a skin file; optionally also writes the SkinStream payload.

#include "SkinPacker.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <cstdio>

static bool writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString payload;
    const qsizetype at = args.indexOf(QStringLiteral("--payload"));
    if (at >= 0 && at + 1 < args.size()) {
        payload = args[at + 1];
        args.remove(at, 2);
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: vostrel-skinpack DIR OUT [--payload FILE]\n");
        return 2;
    }
    QList<SkinEntry> entries;
    QString error;
    if (!ReadSkinFolder(args[0], entries, error)) {
        std::fprintf(stderr, "vostrel-skinpack: %s\n", qPrintable(error));
        return 1;
    }
    const QByteArray skin = CompressSkinFile(BuildSkinContainer(entries));
    if (!writeFile(args[1], skin) || (!payload.isEmpty() && !writeFile(payload, SkinStreamPayload(skin)))) {
        std::fprintf(stderr, "vostrel-skinpack: cannot write output\n");
        return 1;
    }
    std::printf("%lld entries, %lld bytes\n", static_cast<long long>(entries.size()),
                static_cast<long long>(skin.size()));
    return 0;
}
