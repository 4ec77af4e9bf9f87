#include "shell/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

bool AcquireSingleInstanceLock()
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists()) {
        folder = QDir::tempPath() + QStringLiteral("/vostrel-") + QString::number(::getuid());
        QDir().mkpath(folder);
    }
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/通讯录"));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    return true; // the descriptor stays open, and the lock held, until the process ends
}
