// One gate's sync alone in a process, for the test that kills it:
//   site_sync_child GATE_FILE REGISTER
#include "db/RegisterFile.h"
#include "site/GateFile.h"
#include "site/SiteSync.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    TSiteSync sync(ReadGateFile(QString::fromLocal8Bit(argv[1])), QString::fromLocal8Bit(argv[2]),
                   QString::fromLatin1(kRegisterPassword));
    sync.start();
    return QCoreApplication::exec();
}
