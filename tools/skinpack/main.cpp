// vostrel-skinpack DIR OUT [--payload FILE]: packs a folder of bitmaps and
// one INI into a skin file; optionally also writes the SkinStream payload.

#include "SkinPacker.h"

#include "ToolArguments.h"

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
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Packs a folder of bitmaps and one INI into a skin file."));
    parser.addPositionalArgument(QStringLiteral("DIR"), QStringLiteral("Folder holding the bitmaps and the INI."));
    parser.addPositionalArgument(QStringLiteral("OUT"), QStringLiteral("Skin file to write."));
    const QCommandLineOption payloadOption(QStringLiteral("payload"),
                                           QStringLiteral("Also write the SkinStream payload to FILE."),
                                           QStringLiteral("FILE"));
    parser.addOption(payloadOption);
    const QStringList args = ParseToolArguments(parser, 2);
    const QString payload = parser.value(payloadOption);
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
