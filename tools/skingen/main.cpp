// vostrel-skingen OUTDIR: draws the shipped skin's bitmaps and writes them
// with its INI into OUTDIR, ready for vostrel-skinpack.

#include "SkinArt.h"
#include "SkinIniText.h"

#include "ToolArguments.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Draws the shipped skin's bitmaps and writes them with its INI into OUTDIR."));
    parser.addPositionalArgument(QStringLiteral("OUTDIR"), QStringLiteral("Folder to write into (made if missing)."));
    const QStringList args = ParseToolArguments(parser, 1);
    const QDir dir(args[0]);
    if (!QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "vostrel-skingen: cannot create %s\n", qPrintable(dir.path()));
        return 1;
    }
    int count = 0;
    for (const SkinBitmap& b : DrawShippedSkinBitmaps()) {
        if (!b.image.convertToFormat(QImage::Format_RGB32).save(dir.filePath(b.name), "BMP")) {
            std::fprintf(stderr, "vostrel-skingen: cannot write %s\n", qPrintable(b.name));
            return 1;
        }
        ++count;
    }
    QFile ini(dir.filePath(kShippedSkinIniName));
    if (!ini.open(QIODevice::WriteOnly) || ini.write(ShippedSkinIniText()) < 0) {
        std::fprintf(stderr, "vostrel-skingen: cannot write the INI\n");
        return 1;
    }
    std::printf("%d bitmaps and %s written to %s\n", count, qPrintable(kShippedSkinIniName), qPrintable(dir.path()));
    return 0;
}
