// vostrel-initdb FOLDER PASSWORD [--force]
// Makes a fresh register "_.udb" in FOLDER whose administrator password is PASSWORD.
#include "db/DatabaseError.h"
#include "db/RegisterFile.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool force = args.removeAll(QStringLiteral("--force")) > 0;
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: vostrel-initdb FOLDER PASSWORD [--force]\n"
                             "  makes FOLDER/_.udb; PASSWORD is one or more ASCII letters and digits\n");
        return 2;
    }
    try {
        CreateRegisterFile(args[0], args[1], force);
    } catch (const EDatabaseError& e) {
        std::fprintf(stderr, "vostrel-initdb: %s\n", e.message().toLocal8Bit().constData());
        return 1;
    }
    std::printf("made %s/_.udb\n", args[0].toLocal8Bit().constData());
    return 0;
}
