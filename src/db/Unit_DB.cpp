#include "db/Unit_DB.h"
#include "db/AtomicFileCopy.h"
#include "db/DatabaseError.h"
#include "db/RegisterConnection.h"
#include "db/RegisterSchema.h"
#include "db/Sqlite.h"
#include "db/SqliteHandle.h"
#include "db/SqliteTransaction.h"
#include "db/StoreMessages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QUrl>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray nativePath(const QString& path) { return QFile::encodeName(path); }

constexpr const char* kTemporaryPrefix = "~ACP";
constexpr const char* kTemporarySuffix = ".tmp";

// Holds an advisory lock on the compacted copy while a compaction uses it, so
// that the clean-up of another compaction never takes it for a leftover.
class CopyInUse {
public:
    CopyInUse() = default;
    ~CopyInUse() { release(); }
    CopyInUse(const CopyInUse&) = delete;
    CopyInUse& operator=(const CopyInUse&) = delete;
    void hold(int fd)
    {
        release();
        fd_ = fd;
        ::flock(fd_, LOCK_EX | LOCK_NB);
    }
    void release()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

// Removes `path` when it is a plain file of this user that no running
// compaction holds.
void removeLeftover(const QString& path)
{
    const QByteArray name = nativePath(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat opened {};
    struct stat named {};
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == ::getuid()
        && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(name.constData(), &named) == 0
        && named.st_ino == opened.st_ino && named.st_dev == opened.st_dev)
        ::unlink(name.constData());
    ::close(fd);
}

void removeLeftoversIn(const QString& folder, const QRegularExpression& names)
{
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries)
        if (names.match(entry).hasMatch())
            removeLeftover(QDir(folder).filePath(entry));
}

// What a compaction that was killed can leave: its compacted copy (with the
// engine's journal) in the temporary folder, and the copy being put in the
// register's place beside it. Only names made here are touched.
void removeCompactionLeftovers(const QString& registerPath)
{
    const QString unique = QStringLiteral("[A-Za-z0-9]{6}");
    const QString copy = QRegularExpression::escape(QLatin1String(kTemporaryPrefix)) + unique
                         + QRegularExpression::escape(QLatin1String(kTemporarySuffix));
    const QString temp = GetTempDirectory();
    removeLeftoversIn(temp, QRegularExpression(QStringLiteral("^") + copy + QStringLiteral("$")));
    // A journal goes only once its copy is gone, so a running compaction keeps it.
    const QStringList journals =
        QDir(temp).entryList(QStringList{QLatin1String(kTemporaryPrefix) + QStringLiteral("*-journal")},
                             QDir::Files | QDir::Hidden | QDir::System);
    const QRegularExpression journal(QStringLiteral("^(") + copy + QStringLiteral(")-journal$"));
    for (const QString& entry : journals) {
        const QRegularExpressionMatch match = journal.match(entry);
        if (match.hasMatch() && !QFileInfo::exists(temp + match.captured(1)))
            removeLeftover(temp + entry);
    }
    QStringList registers{registerPath};
    const QString target = ReplacementTarget(registerPath);
    if (target != registerPath)
        registers << target;
    for (const QString& file : std::as_const(registers)) {
        const QFileInfo info(file);
        removeLeftoversIn(info.absolutePath(),
                          QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(info.fileName())
                                             + QRegularExpression::escape(QLatin1String(kCopyTemporaryInfix)) + unique
                                             + QStringLiteral("$")));
    }
}

// Raises EDatabaseError for a failed system call: what failed, with the
// system's reason.
[[noreturn]] void raiseSystemError(int error, const QString& what)
{
    throw EDatabaseError(what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error)));
}

// Lets the system make a uniquely named empty file from `prefix`
// (path and name start); returns its name.
QString makeTemporaryFile(const QString& prefix, const char* suffix)
{
    QByteArray name = nativePath(prefix) + "XXXXXX" + suffix;
    const int fd = ::mkstemps(name.data(), static_cast<int>(std::strlen(suffix)));
    if (fd < 0) {
        const int error = errno;
        raiseSystemError(error, QStringLiteral("cannot make a temporary file in ") + GetTempDirectory());
    }
    ::close(fd);
    return QFile::decodeName(name);
}

// A handle on a register keyed with `password`, closed with the object.
// Raises EDatabaseError with the engine's message.
SqliteHandle openKeyed(const QByteArray& name, const QString& password, int flags)
{
    SqliteHandle handle(name, flags);
    KeyRegisterHandle(handle.get(), password);
    return handle;
}

// Writes a compacted copy of the register open on `source` to the new file
// `target`. The source takes an exclusive lock first and keeps it until its
// handle closes, so nobody writes to it before the copy has replaced it.
void exportCompacted(sqlite3* source, const QString& target, const QString& password, CopyInUse& inUse)
{
    // Fails with SQLITE_BUSY, after the busy timeout, while another
    // connection holds the register inside a transaction. In exclusive
    // locking mode the lock outlives the (empty) transaction.
    ExecuteStatements(source, "PRAGMA main.locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; COMMIT;");
    // A write-ahead log beside the register belongs to the file being
    // replaced: its pages are moved into the file and the log and its index
    // go, or the engine would lay them over the compacted copy.
    ExecuteStatements(source, "PRAGMA main.journal_mode = DELETE;");
    // The copy is made empty and owner-only before the engine opens it, so it
    // never exists with a wider mode.
    const int fd = ::open(nativePath(target).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        const int error = errno;
        raiseSystemError(error, QStringLiteral("cannot make ") + target);
    }
    inUse.hold(fd);
    {
        SqliteStatement attach(source, QStringLiteral("ATTACH DATABASE ? AS compacted KEY ?"));
        attach.bindTexts({target, password});
        attach.step();
    }
    ExecuteStatements(source, CipherSettingsPragma(kRegisterPageSize, "compacted").constData());
    // Only the copy is written, so the commit needs no journal beside the register.
    SqliteTransaction copy(source);
    ExecuteStatements(source, "SELECT sqlcipher_export('compacted');");
    // The export leaves the copy's user_version at 0; the copy holds every
    // step of the upgrade path the register holds.
    SqliteStatement version(source, QStringLiteral("PRAGMA main.user_version"));
    const long long steps = version.step() ? version.columnInt64(0) : 0;
    version = SqliteStatement();
    ExecuteStatements(source, ("PRAGMA compacted.user_version = " + QByteArray::number(steps) + ";").constData());
    copy.Commit();
    ExecuteStatements(source, "DETACH DATABASE compacted;");
}

// The copy opens with the key and its pages are sound.
void checkSoundRegister(const QString& path, const QString& password)
{
    const SqliteHandle copy = openKeyed(nativePath(path), password, SQLITE_OPEN_READONLY);
    SqliteStatement check(copy.get(), QStringLiteral("PRAGMA quick_check"));
    if (!check.step() || check.columnText(0) != QLatin1String("ok") || check.step())
        throw EDatabaseError(QStringLiteral("the compacted copy of the register is damaged"));
}

void compactInto(const QString& path, const QString& temporary, const QString& password, CopyInUse& inUse)
{
    // The register's handle, with its exclusive lock, stays open until the
    // compacted copy has replaced the file. Databases attached to it may be
    // created; the register itself must exist ("mode=rw").
    const QByteArray uri = QUrl::fromLocalFile(path).toEncoded() + "?mode=rw";
    const SqliteHandle source = openKeyed(uri, password, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI);
    CheckRegisterSchema(source.get());
    try {
        exportCompacted(source.get(), temporary, password, inUse);
    } catch (const EDatabaseError& e) {
        // The export function passes on the engine's text of the failure.
        const bool damaged = TakeDamageMark(source.get())
                             || e.message() == QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT))
                             || e.message() == QString::fromUtf8(sqlite3_errstr(SQLITE_NOMEM));
        if (damaged)
            throw EDatabaseError(StoreMessages::DamagedRegisterNotCompacted());
        throw;
    }
    checkSoundRegister(temporary, password);
    CopyFileAtomically(temporary, path, CopyAccess::KeepTargetAccess);
}

} // namespace

QString GetTempDirectory()
{
    QString folder = QDir::tempPath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

void CompactDatabaseFile(const QString& path, const QString& password)
{
    removeCompactionLeftovers(path);
    const QString temporary = makeTemporaryFile(GetTempDirectory() + QLatin1String(kTemporaryPrefix), kTemporarySuffix);
    // The engine writes the copy into a file of its own making.
    if (::unlink(nativePath(temporary).constData()) != 0) {
        const int error = errno;
        raiseSystemError(error, QStringLiteral("cannot remove ") + temporary);
    }
    CopyInUse inUse;
    const auto removeCopy = qScopeGuard([&] {
        ::unlink(nativePath(temporary).constData());
        ::unlink(nativePath(temporary + QStringLiteral("-journal")).constData());
        inUse.release();
    });
    compactInto(path, temporary, password, inUse);
}
