// vostrel-gendata FOLDER N [--seed S]
// Makes FOLDER/_.udb holding N generated visitors (administrator password
// "admin1"). The same seed gives the same register.
#include "ToolArguments.h"
#include "VisitorGenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Makes FOLDER/_.udb holding N generated visitors (administrator password \"admin1\")."));
    parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("Folder of the new register."));
    parser.addPositionalArgument(QStringLiteral("N"), QStringLiteral("Number of visitors."));
    const QCommandLineOption seedOption(QStringLiteral("seed"),
                                        QStringLiteral("Seed of the generator (default 1); the same seed gives "
                                                       "the same register."),
                                        QStringLiteral("S"), QStringLiteral("1"));
    parser.addOption(seedOption);
    const QStringList args = ParseToolArguments(parser, 2);
    bool ok = false;
    const std::uint64_t seed = parser.value(seedOption).toULongLong(&ok);
    const qint64 rows = ok ? args[1].toLongLong(&ok) : -1;
    if (!ok || rows < 0)
        ExitWithUsage(parser);
    QElapsedTimer clock;
    clock.start();
    const QString error = GenerateRegister(args[0], rows, seed);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "vostrel-gendata: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("made %s/_.udb with %lld visitors in %.1f s\n", args[0].toLocal8Bit().constData(),
                static_cast<long long>(rows), static_cast<double>(clock.elapsed()) / 1000.0);
    return 0;
}
