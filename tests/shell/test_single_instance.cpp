// The single-instance lock lives only in a folder this user alone controls;
// whatever another user planted in the temporary folder is passed over.
#include "TempDir.h"
#include "shell/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR", "XDG_CACHE_HOME"})
            saved_.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qunsetenv("XDG_RUNTIME_DIR");
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("tmp")));
        qputenv("TMPDIR", QFile::encodeName(dir.file(QStringLiteral("tmp"))));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.file(QStringLiteral("cache"))));
    }
    void TearDown() override
    {
        for (const auto& [name, value, set] : saved_)
            set ? qputenv(name, value) : qunsetenv(name);
    }
    QString fallBack() const { return dir.file(QStringLiteral("tmp/vostrel-")) + QString::number(::getuid()); }
    QString cacheFolder() const { return dir.file(QStringLiteral("cache/vostrel")); }

    TempDir dir;

private:
    struct Saved {
        const char* name;
        QByteArray value;
        bool set;
    };
    QList<Saved> saved_;
};

struct Planting {
    const char* name;
    void (*plant)(const QByteArray& path, const QByteArray& elsewhere);
    bool fallBackUsed;
};

const Planting kPlantings[] = {
    {"Nothing", [](const QByteArray&, const QByteArray&) {}, true},
    {"FolderOthersMayWrite",
     [](const QByteArray& path, const QByteArray&) {
         ::mkdir(path.constData(), 0777), ::chmod(path.constData(), 0777);
     },
     false},
    {"PlainFile",
     [](const QByteArray& path, const QByteArray&) {
         QFile file(QFile::decodeName(path));
         file.open(QIODevice::WriteOnly);
     },
     false},
    {"LinkToAFolderOfItsOwn",
     [](const QByteArray& path, const QByteArray& elsewhere) {
         ::mkdir(elsewhere.constData(), 0700);
         ::symlink(elsewhere.constData(), path.constData());
     },
     false},
    {"FolderOfAnotherUser",
     [](const QByteArray& path, const QByteArray&) {
         ::mkdir(path.constData(), 0700);
         if (::chown(path.constData(), 65534, 65534) != 0)
             ::chmod(path.constData(), 0777); // not root: stand in with a folder anyone may write
     },
     false},
};

class PlantedFolderTest : public SingleInstanceTest, public ::testing::WithParamInterface<Planting> {};

TEST_P(PlantedFolderTest, TheLockFolderIsPrivate)
{
    GetParam().plant(QFile::encodeName(fallBack()), QFile::encodeName(dir.file(QStringLiteral("elsewhere"))));
    const QString folder = SingleInstanceLockFolder();
    EXPECT_EQ(folder, GetParam().fallBackUsed ? fallBack() : cacheFolder());
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(folder).constData(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_uid, ::getuid());
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

INSTANTIATE_TEST_SUITE_P(Plantings, PlantedFolderTest, ::testing::ValuesIn(kPlantings),
                         [](const auto& planting) { return std::string(planting.param.name); });

// Without any private folder there is no lock, which the caller reports;
// once a folder is had, the lock is held and a second taker is told so.
TEST_F(SingleInstanceTest, LockIsUnavailableHeldOrTaken)
{
    QFile plain(fallBack());
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    QFile cache(dir.file(QStringLiteral("cache")));
    ASSERT_TRUE(cache.open(QIODevice::WriteOnly)); // the cache folder cannot be made
    EXPECT_EQ(AcquireSingleInstanceLock(), SingleInstanceLock::Unavailable);

    ASSERT_TRUE(plain.remove());
    EXPECT_EQ(AcquireSingleInstanceLock(), SingleInstanceLock::Acquired);
    EXPECT_TRUE(QFile::exists(fallBack() + QStringLiteral("/通讯录")));
    EXPECT_EQ(AcquireSingleInstanceLock(), SingleInstanceLock::HeldByOther);
}

} // namespace
