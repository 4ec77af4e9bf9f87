#include "db/AtomicFileCopy.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

} // namespace

QString ReplacementTarget(const QString& path)
{
    QFileInfo file(path);
    // A loop of links is left to fail where the file is opened.
    for (int depth = 0; depth < 40 && file.isSymLink(); ++depth)
        file.setFile(file.symLinkTarget());
    return file.isSymLink() ? path : file.filePath();
}

bool CopyFileAtomically(const QString& from, const QString& toPath)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    // Renaming over a link would put a plain file in its place.
    const QString to = ReplacementTarget(toPath);
    const QByteArray temporary = QFile::encodeName(to + QLatin1String(kCopyTemporaryInfix) + QStringLiteral("XXXXXX"));
    QByteArray name = temporary;
    const int fd = ::mkstemp(name.data()); // made with mode 0600
    if (fd < 0)
        return false;
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
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(name.constData(), QFile::encodeName(to).constData()) == 0;
    if (!ok) {
        ::unlink(name.constData());
        return false;
    }
    syncFolderOf(to);
    return true;
}
