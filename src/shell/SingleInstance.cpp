#include "shell/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens `folder` (making it with mode 0700 if `make`) when it is a real
// folder owned by this user that no one else may write; returns its
// descriptor or -1. The checks are made on the opened folder, so a folder
// swapped for a link afterwards does not count.
int openPrivateFolder(const QString& folder, bool make)
{
    if (folder.isEmpty())
        return -1;
    const QByteArray path = QFile::encodeName(folder);
    if (make && ::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return -1;
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid()
        || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

struct Place {
    QString folder;
    bool make;
};

QList<Place> candidatePlaces()
{
    const QString uid = QString::number(::getuid());
    QList<Place> places;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        places.append({runtime, false});
    places.append({QDir::tempPath() + QStringLiteral("/vostrel-") + uid, true});
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cache.isEmpty() && QDir().mkpath(cache))
        places.append({cache + QStringLiteral("/vostrel"), true});
    return places;
}

} // namespace

QString SingleInstanceLockFolder()
{
    for (const Place& place : candidatePlaces()) {
        const int fd = openPrivateFolder(place.folder, place.make);
        if (fd >= 0) {
            ::close(fd);
            return place.folder;
        }
    }
    return QString();
}

SingleInstanceLock AcquireSingleInstanceLock()
{
    for (const Place& place : candidatePlaces()) {
        const int folder = openPrivateFolder(place.folder, place.make);
        if (folder < 0)
            continue;
        const int fd = ::openat(folder, "通讯录", O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        ::close(folder);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return SingleInstanceLock::Acquired; // the descriptor stays open, and the lock held, until the process ends
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return SingleInstanceLock::HeldByOther;
    }
    return SingleInstanceLock::Unavailable;
}
