#include "TestCertificates.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

void openssl(const QString& folder, const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("openssl"), arguments);
    const bool finished = process.waitForFinished(60000);
    const QByteArray output = process.readAll();
    ASSERT_TRUE(finished && process.exitCode() == 0) << output.constData();
}

QByteArray readAll(const QString& path)
{
    QFile in(path);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

} // namespace

TestKeyPair makeTestCa(const QString& folder, const QString& name)
{
    openssl(folder,
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
             QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("30"), QStringLiteral("-subj"),
             QStringLiteral("/CN=") + name, QStringLiteral("-keyout"), name + QStringLiteral(".key"),
             QStringLiteral("-out"), name + QStringLiteral(".crt")});
    return {readAll(folder + QLatin1Char('/') + name + QStringLiteral(".crt")),
            readAll(folder + QLatin1Char('/') + name + QStringLiteral(".key"))};
}

TestKeyPair issueTestCertificate(const QString& folder, const QString& caName, const QString& commonName, int days)
{
    const QString base = commonName + QStringLiteral("-by-") + caName;
    openssl(folder, {QStringLiteral("req"), QStringLiteral("-new"), QStringLiteral("-newkey"),
                     QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-subj"),
                     QStringLiteral("/CN=") + commonName, QStringLiteral("-keyout"), base + QStringLiteral(".key"),
                     QStringLiteral("-out"), base + QStringLiteral(".csr")});
    openssl(folder,
            {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), base + QStringLiteral(".csr"),
             QStringLiteral("-CA"), caName + QStringLiteral(".crt"), QStringLiteral("-CAkey"),
             caName + QStringLiteral(".key"), QStringLiteral("-CAcreateserial"), QStringLiteral("-days"),
             QString::number(days), QStringLiteral("-out"), base + QStringLiteral(".crt")});
    return {readAll(folder + QLatin1Char('/') + base + QStringLiteral(".crt")),
            readAll(folder + QLatin1Char('/') + base + QStringLiteral(".key"))};
}

QString writeTestFile(const QString& path, const QByteArray& content, int mode)
{
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(content);
    out.close();
    ::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode));
    return path;
}
