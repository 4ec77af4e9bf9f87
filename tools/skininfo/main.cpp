// vostrel-skininfo FILE [--extract DIR]: prints a skin file's version code,
// name-list length and entries, and can write every entry into a folder.

#include "skin/SkinMessage.h"
#include "skin/SkinReader.h"

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
        QStringLiteral("Prints a skin file's version code, name-list length and entries."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Skin file to read."));
    const QCommandLineOption extractOption(QStringLiteral("extract"), QStringLiteral("Write every entry into DIR."),
                                           QStringLiteral("DIR"));
    parser.addOption(extractOption);
    const QStringList args = ParseToolArguments(parser, 1);
    const QString extractDir = parser.value(extractOption);
    QFile file(args[0]);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "vostrel-skininfo: cannot read %s\n", qPrintable(args[0]));
        return 1;
    }
    const QByteArray skin = file.readAll();
    SetSkinMessageHandler([](const QString& text) {
        std::fprintf(stderr, "vostrel-skininfo: %s\n",
                     qPrintable(QString(text).replace(QLatin1Char('\r'), QLatin1Char(' '))));
    });

    TSkinReader reader;
    if (!reader.Load(skin))
        return 1;
    std::printf("skin file: %lld bytes\n", static_cast<long long>(skin.size()));
    std::printf("version code: %u\n", reader.Version());
    std::printf("name-list length: %d\n", reader.NameListLength());
    std::printf("entries: %d, bodies from offset %lld, %lld bytes of bodies\n", reader.EntryCount(),
                static_cast<long long>(reader.BodiesOffset()), static_cast<long long>(reader.EntryDataStream().size()));
    int bad = 0;
    for (int i = 0; i < reader.EntryCount(); ++i) {
        const QString& name = reader.Names()[i];
        const QByteArray body = reader.EntryData(i);
        QString note;
        if (name.endsWith(QLatin1String(".bmp"))) {
            const bool bm = body.startsWith("BM");
            note = bm ? QStringLiteral("BM") : QStringLiteral("NOT BM");
            bad += bm ? 0 : 1;
        }
        if (body.size() != reader.EntrySize(i))
            note += QStringLiteral(" (clipped to %1)").arg(body.size());
        std::printf("%4d  %8d  %-28s %s\n", i, reader.EntrySize(i), qPrintable(name), qPrintable(note));
    }
    if (!extractDir.isEmpty()) {
        QDir().mkpath(extractDir);
        for (int i = 0; i < reader.EntryCount(); ++i) {
            // Names may hold anything; keep only the file-name part.
            QString name = reader.Names()[i].section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1);
            if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
                name = QStringLiteral("entry%1").arg(i);
            QFile out(QDir(extractDir).filePath(name));
            if (!out.open(QIODevice::WriteOnly) || out.write(reader.EntryData(i)) < 0) {
                std::fprintf(stderr, "vostrel-skininfo: cannot write %s\n", qPrintable(out.fileName()));
                return 1;
            }
        }
        std::printf("extracted %d entries into %s\n", reader.EntryCount(), qPrintable(extractDir));
    }
    return bad == 0 ? 0 : 3;
}
