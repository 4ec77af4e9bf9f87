#pragma once
#include <QFile>
#include <QString>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

// Makes a folder refuse writes for the life of the object. Permission bits do
// not stop root, so as root the folder is bind-mounted read-only over itself.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path) : path_(QFile::encodeName(path))
    {
        if (::geteuid() == 0) {
            mounted_ = ::mount(path_.constData(), path_.constData(), nullptr, MS_BIND, nullptr) == 0;
            if (mounted_)
                ::mount(nullptr, path_.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr);
        } else {
            ::chmod(path_.constData(), 0555);
        }
        const QByteArray probe = path_ + "/.probe";
        const int fd = ::open(probe.constData(), O_CREAT | O_EXCL | O_WRONLY, 0600);
        refusesWrites_ = fd < 0;
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.constData());
        }
    }
    ~ReadOnlyFolder()
    {
        if (mounted_)
            ::umount2(path_.constData(), MNT_DETACH);
        else
            ::chmod(path_.constData(), 0700);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool refusesWrites() const { return refusesWrites_; }

private:
    QByteArray path_;
    bool mounted_ = false;
    bool refusesWrites_ = false;
};

#define REQUIRE_READ_ONLY(folder)                                                                                      \
    if (!(folder).refusesWrites())                                                                                     \
    GTEST_SKIP() << "cannot make a folder read-only here (neither permission bits nor a read-only bind mount work)"
