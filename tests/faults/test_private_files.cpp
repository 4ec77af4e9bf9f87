// The register, its backups and the compaction's files are the owner's alone,
// and no password reaches the standard output, a log or a temporary file.
#include "FaultFixture.h"

#include <QDirIterator>
#include <QPushButton>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class PrivateFilesTest : public FaultFixture {};

TEST_F(PrivateFilesTest, FilesAreOwnerOnlyAndNoPasswordIsWrittenOut)
{
    const mode_t oldMask = ::umask(0); // the most open default a user may have
    makeRegister();
    const QString temp = dir.file(QStringLiteral("tmp"));
    useTemporaryFolder(temp);

    // Everything the program prints goes to one file for the length of the run.
    const QString output = dir.file(QStringLiteral("output.txt"));
    std::fflush(stdout);
    std::fflush(stderr);
    const int saved1 = ::dup(1), saved2 = ::dup(2);
    const int out = ::open(QFile::encodeName(output).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(out, 0);
    ::dup2(out, 1);
    ::dup2(out, 2);

    createForms();
    logIn();
    fillRecord(QStringLiteral("张三"));
    form1->Button1->click();
    form1->Button11->click();
    form1->Edit_Pass_A->setText(QStringLiteral("Secret77"));
    form1->Edit_Pass_B->setText(QStringLiteral("Secret77"));
    form1->Button7->click();
    form2.reset();
    form1.reset();

    std::fflush(stdout);
    std::fflush(stderr);
    ::dup2(saved1, 1);
    ::dup2(saved2, 2);
    ::close(out);
    ::close(saved1);
    ::close(saved2);
    ::umask(oldMask);

    ASSERT_TRUE(boxTexts().contains(QStringLiteral("数据库压缩完成.")));
    ASSERT_TRUE(boxTexts().contains(QStringLiteral("密码设置成功,请重新登录.")));
    const QStringList backups = QDir(dir.path()).entryList({QStringLiteral("bak_*_.udb")}, QDir::Files);
    ASSERT_EQ(backups.size(), 1);

    const auto mode = [](const QString& path) {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 07777u;
    };
    EXPECT_EQ(mode(dir.file(QStringLiteral("_.udb"))), 0600u);
    EXPECT_EQ(mode(dir.file(backups[0])), 0600u);
    // The compaction leaves nothing behind in the temporary folder.
    EXPECT_TRUE(QDir(temp).isEmpty())
        << QDir(temp).entryList(QDir::Files | QDir::Hidden).join(QLatin1Char(' ')).toStdString();

    // No password in plain text in any file the run wrote, the output included.
    const QList<QByteArray> secrets = {kAdminPassword, "Secret77", kRegisterPassword};
    QDirIterator files(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    int looked = 0;
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        ++looked;
        for (const QByteArray& secret : secrets)
            EXPECT_FALSE(content.contains(secret)) << secret.constData() << " in " << file.fileName().toStdString();
    }
    EXPECT_GE(looked, 4); // register, backup, class.dat, output
}

} // namespace
