#include "BenchCache.h"
#include "VisitorGenerator.h"
#include "db/DatabaseError.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/Sqlite.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

// A short fingerprint of the schema and page size a fresh register gets: a
// change of the set-up tool's tables, indexes or pages makes new registers.
QString schemaTag(const QString& cacheRoot)
{
    const QString probe = cacheRoot + QStringLiteral("/schema-probe");
    QDir(probe).removeRecursively();
    QDir().mkpath(probe);
    QByteArray schema = "pages " + QByteArray::number(kRegisterPageSize) + ";";
    sqlite3* db = nullptr;
    try {
        CreateRegisterFile(probe, QStringLiteral("admin1"), true);
        const QByteArray path = QFile::encodeName(probe + QStringLiteral("/_.udb"));
        if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword));
            SqliteStatement s(db, QStringLiteral("SELECT group_concat(sql, ';') FROM sqlite_master"));
            if (s.step())
                schema += s.columnText(0).toUtf8();
        }
    } catch (const EDatabaseError&) {
        // The tag then stands for an unreadable schema.
    }
    sqlite3_close(db);
    QDir(probe).removeRecursively();
    return QString::fromLatin1(QCryptographicHash::hash(schema, QCryptographicHash::Sha1).toHex().left(10));
}

} // namespace

std::int64_t FileBytes(const QString& path) { return QFileInfo(path).size(); }

TCachedRegister CachedRegister(const QString& cacheRoot, std::int64_t rows, std::uint64_t seed)
{
    TCachedRegister r;
    QDir().mkpath(cacheRoot);
    r.folder = QStringLiteral("%1/r%2-s%3-%4").arg(cacheRoot).arg(rows).arg(seed).arg(schemaTag(cacheRoot));
    r.plainPath = r.folder + QStringLiteral("/plain.sqlite");
    const QString done = r.folder + QStringLiteral("/complete");
    if (QFileInfo::exists(done))
        return r;
    std::fprintf(stderr, "generating %lld visitors into %s ...\n", static_cast<long long>(rows),
                 r.folder.toLocal8Bit().constData());
    QDir(r.folder).removeRecursively();
    r.error = GenerateRegister(r.folder, rows, seed);
    if (r.error.isEmpty())
        r.error = WritePlainCopy(r.folder, r.plainPath);
    if (r.error.isEmpty()) {
        QFile mark(done);
        mark.open(QIODevice::WriteOnly);
    }
    return r;
}
