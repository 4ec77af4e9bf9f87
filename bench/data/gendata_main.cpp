// vostrel-gendata FOLDER N [--seed S]
// Makes FOLDER/_.udb holding N generated visitors (administrator password
// "admin1"). The same seed gives the same register.
#include "VisitorGenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    std::uint64_t seed = 1;
    const qsizetype seedAt = args.indexOf(QStringLiteral("--seed"));
    bool ok = true;
    if (seedAt >= 0 && seedAt + 1 < args.size()) {
        seed = args[seedAt + 1].toULongLong(&ok);
        args.remove(seedAt, 2);
    }
    const qint64 rows = args.size() == 2 ? args[1].toLongLong(&ok) : -1;
    if (!ok || rows < 0) {
        std::fprintf(stderr, "usage: vostrel-gendata FOLDER N [--seed S]\n");
        return 2;
    }
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
