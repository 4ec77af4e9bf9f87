#include "db/AtomicFileCopy.h"
#include "db/DatabaseError.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

bool writeAll(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

bool syncFolderOf(const QString& path)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Gives the copy open on `fd` the access of the file `target` replaces. The
// group's permissions are kept only when the copy could join that group, so
// the copy never opens wider to another group.
void keepAccessOf(const QString& target, int fd)
{
    struct stat replaced {};
    if (::stat(QFile::encodeName(target).constData(), &replaced) != 0)
        return;
    mode_t mode = replaced.st_mode & 0777;
    if (::fchown(fd, replaced.st_uid, replaced.st_gid) != 0) {
        if (::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid) != 0)
            mode &= ~static_cast<mode_t>(S_IRWXG);
    }
    ::fchmod(fd, mode);
}

} // namespace

QString ReplacementTarget(const QString& path)
{
    QFileInfo file(path);
    // A loop of links is left to fail where the file is opened.
    for (int depth = 0; depth < 40 && file.isSymLink(); ++depth)
        file.setFile(file.symLinkTarget());
    return file.isSymLink() ? path : file.filePath();
}

void CopyFileAtomically(const QString& from, const QString& toPath, CopyAccess access)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw EDatabaseError(QStringLiteral("cannot read %1: %2").arg(from, source.errorString()));
    // Renaming over a link would put a plain file in its place.
    const QString to = ReplacementTarget(toPath);
    const QByteArray temporary = QFile::encodeName(to + QLatin1String(kCopyTemporaryInfix) + QStringLiteral("XXXXXX"));
    QByteArray name = temporary;
    const int fd = ::mkstemp(name.data()); // made with mode 0600
    if (fd < 0)
        throw EDatabaseError(QStringLiteral("cannot write beside %1: %2").arg(to, systemError(errno)));
    bool ok = true;
    char buffer[1 << 16];
    while (ok) {
        const qint64 n = source.read(buffer, sizeof buffer);
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        ok = writeAll(fd, buffer, n);
    }
    if (ok && access == CopyAccess::KeepTargetAccess)
        keepAccessOf(to, fd);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(name.constData(), QFile::encodeName(to).constData()) == 0;
    if (!ok) {
        const int error = errno;
        ::unlink(name.constData());
        throw EDatabaseError(QStringLiteral("cannot copy %1 to %2: %3").arg(from, to, systemError(error)));
    }
    syncFolderOf(to);
}
