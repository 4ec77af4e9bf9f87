#include "db/RegisterFile.h"
#include "crypto/Unit_DESCrypt.h"
#include "db/AtomicFileCopy.h"
#include "db/DatabaseError.h"
#include "db/RegisterConnection.h"
#include "db/RegisterUpgrade.h"
#include "db/Sqlite.h"
#include "db/SqliteHandle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// 编号 is never reused, also after the newest rows were deleted.
const char* const kSchema = "BEGIN;"
                            "CREATE TABLE data ("
                            " 编号 INTEGER PRIMARY KEY AUTOINCREMENT,"
                            " 分类 TEXT, 姓名 TEXT, 身份证 TEXT, 手机 TEXT, 电话 TEXT, 来由 TEXT,"
                            " 地址 TEXT, 来访 TEXT, 离开 TEXT, 备注 TEXT, 日期 TEXT);"
                            "CREATE TABLE Pass (密码 TEXT);"
                            // Narrow copies of the searched columns: a listing reads the record
                            // numbers from data_ids, and a like '%…%' search or the category filter
                            // scans the one index holding its column instead of the whole table.
                            // Columns share an index where that keeps the file small.
                            "CREATE INDEX data_ids ON data (编号);"
                            "CREATE INDEX data_texts ON data (姓名, 来由, 分类, 备注);"
                            "CREATE INDEX data_numbers ON data (身份证, 手机, 电话);"
                            "CREATE INDEX data_address ON data (地址);"
                            "COMMIT;";

bool syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

void fillRegister(sqlite3* db, const QString& adminPassword)
{
    KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword));
    ExecuteStatements(db, kSchema);
    UpgradeRegister(db);
    SqliteStatement insert(db, QStringLiteral("INSERT INTO Pass (密码) VALUES (?)"));
    const std::string hex = EncryptToHex(adminPassword.toStdString(), kPasswordCipherKey);
    insert.bindTexts({QString::fromStdString(hex)});
    insert.step();
}

// Makes the file `path`, and the engine's files beside it, readable by the
// owner only, and fills it as a fresh register.
void buildRegister(const QString& path, const QString& adminPassword)
{
    const mode_t oldMask = ::umask(077);
    const auto restoreMask = qScopeGuard([oldMask] { ::umask(oldMask); });
    const SqliteHandle db(QFile::encodeName(path), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    fillRegister(db.get(), adminPassword);
}

} // namespace

QString RegisterConnectionString(const QString& folder)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + folder
           + QStringLiteral("_.udb;Persist Security Info=False;Jet OLEDB:Database Password=")
           + QString::fromLatin1(kRegisterPassword);
}

bool IsValidAdminPassword(const QString& password)
{
    static const QRegularExpression lettersAndDigits(QStringLiteral("\\A[A-Za-z0-9]+\\z"));
    return lettersAndDigits.match(password).hasMatch();
}

void CreateRegisterFile(const QString& folder, const QString& adminPassword, bool replaceExisting)
{
    if (!IsValidAdminPassword(adminPassword))
        throw EDatabaseError(QStringLiteral("the administrator password must be one or more ASCII letters and digits"));
    if (!QFileInfo(folder).isDir())
        throw EDatabaseError(QStringLiteral("no such folder: ") + folder);
    const QString target = QDir(folder).filePath(QString::fromLatin1(kRegisterFileName));
    if (QFileInfo::exists(target) && !replaceExisting)
        throw EDatabaseError(target + QStringLiteral(" exists already (use --force to replace it)"));

    // Built under a temporary name beside the target, then renamed over it
    // (over the file a symbolic link "_.udb" leads to, so the link stays).
    const QString destination = ReplacementTarget(target);
    const QString building = destination + QStringLiteral(".new");
    QFile::remove(building);
    QFile::remove(building + QStringLiteral("-journal"));
    try {
        buildRegister(building, adminPassword);
        if (::chmod(QFile::encodeName(building).constData(), 0600) != 0)
            throw EDatabaseError(QStringLiteral("cannot set the permissions of ") + building);
        if (std::rename(QFile::encodeName(building).constData(), QFile::encodeName(destination).constData()) != 0)
            throw EDatabaseError(QStringLiteral("cannot rename ") + building + QStringLiteral(" to ") + destination);
    } catch (...) {
        QFile::remove(building);
        throw;
    }
    syncFolder(QFileInfo(destination).absolutePath());
}
