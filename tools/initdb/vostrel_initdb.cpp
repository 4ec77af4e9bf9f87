// vostrel-initdb FOLDER PASSWORD [--force]
// Makes a fresh register "_.udb" in FOLDER whose administrator password is PASSWORD.
#include "db/DatabaseError.h"
#include "db/RegisterFile.h"

#include "ToolArguments.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Makes FOLDER/_.udb; PASSWORD is one or more ASCII letters and digits."));
    parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("Folder of the new register."));
    parser.addPositionalArgument(QStringLiteral("PASSWORD"), QStringLiteral("Administrator password."));
    const QCommandLineOption force(QStringLiteral("force"), QStringLiteral("Replace an existing register."));
    parser.addOption(force);
    const QStringList args = ParseToolArguments(parser, 2);
    try {
        CreateRegisterFile(args[0], args[1], parser.isSet(force));
    } catch (const EDatabaseError& e) {
        std::fprintf(stderr, "vostrel-initdb: %s\n", e.message().toLocal8Bit().constData());
        return 1;
    }
    std::printf("made %s/_.udb\n", args[0].toLocal8Bit().constData());
    return 0;
}
