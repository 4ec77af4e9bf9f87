#include "ToolArguments.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

QStringList ParseToolArguments(QCommandLineParser& parser, qsizetype positionals)
{
    parser.addHelpOption();
    if (!parser.parse(QCoreApplication::arguments()))
        ExitWithUsage(parser, parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    QStringList args = parser.positionalArguments();
    if (args.size() != positionals)
        ExitWithUsage(parser);
    return args;
}

void ExitWithUsage(const QCommandLineParser& parser, const QString& error)
{
    if (!error.isEmpty())
        std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(error));
    std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
    std::exit(2);
}
