#include "SiteFolder.h"

#include "site/SiteError.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryDir>

namespace {

constexpr int kCaDays = 3650;
constexpr int kServerDays = 825;

// The CA's configuration for "openssl ca": every certificate it issues is
// recorded in index.txt, so that it can be revoked by name.
constexpr const char* kCaConfig = R"(# The site's CA, used by vostrel-site.
[ ca ]
default_ca = site_ca

[ site_ca ]
dir = .
database = $dir/index.txt
new_certs_dir = $dir/issued
certificate = $dir/ca.crt
private_key = $dir/ca.key
serial = $dir/serial
crlnumber = $dir/crlnumber
default_md = sha256
default_crl_days = 3650
policy = any_name
unique_subject = no
copy_extensions = none

[ any_name ]
commonName = supplied

[ gate ]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature, keyEncipherment
extendedKeyUsage = clientAuth
)";

QByteArray readWhole(const QString& path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        throw ESiteError(path + QStringLiteral(": ") + in.errorString());
    return in.readAll();
}

void writeWhole(const QString& path, const QByteArray& content, QFileDevice::Permissions permissions)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || !out.setPermissions(permissions) || out.write(content) != content.size()
        || !out.commit())
        throw ESiteError(path + QStringLiteral(": ") + out.errorString());
}

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions kReadable = kOwnerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther;

} // namespace

SiteFolder::SiteFolder(QString path) : path_(std::move(path)) {}

QString SiteFolder::file(const char* name) const { return path_ + QLatin1Char('/') + QLatin1String(name); }

void SiteFolder::runOpenssl(const QStringList& arguments) const
{
    QProcess openssl;
    openssl.setWorkingDirectory(path_);
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"), arguments);
    if (!openssl.waitForFinished(120000) || openssl.exitStatus() != QProcess::NormalExit || openssl.exitCode() != 0)
        throw ESiteError(QStringLiteral("openssl ") + arguments.value(0) + QStringLiteral(" failed: ")
                         + QString::fromLocal8Bit(openssl.readAll()).trimmed() + openssl.errorString());
}

void SiteFolder::writeCaBooks() const
{
    writeWhole(file("ca.cnf"), kCaConfig, kReadable);
    if (!QFile::exists(file("index.txt")))
        writeWhole(file("index.txt"), {}, kReadable);
    if (!QFile::exists(file("serial"))) {
        // A random start keeps serials of two sites, or of a CA made again, apart.
        const QByteArray serial =
            QByteArray::number(QRandomGenerator::system()->generate64() >> 2, 16).rightJustified(16, '0');
        writeWhole(file("serial"), serial.toUpper() + '\n', kReadable);
    }
    if (!QFile::exists(file("crlnumber")))
        writeWhole(file("crlnumber"), "01\n", kReadable);
    QDir().mkpath(file("issued"));
}

void SiteFolder::prepare(const QString& serverHost) const
{
    if (!QDir().mkpath(path_))
        throw ESiteError(path_ + QStringLiteral(": cannot make the folder"));
    const bool hasKey = QFile::exists(file("ca.key"));
    if (hasKey != QFile::exists(file("ca.crt")))
        throw ESiteError(path_ + QStringLiteral(": ca.key and ca.crt go together; one of them is missing"));
    if (!hasKey) {
        runOpenssl({QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                    QStringLiteral("rsa:3072"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                    QString::number(kCaDays), QStringLiteral("-subj"), QStringLiteral("/CN=Vostrel site CA"),
                    QStringLiteral("-addext"), QStringLiteral("basicConstraints=critical,CA:TRUE"),
                    QStringLiteral("-keyout"), QStringLiteral("ca.key"), QStringLiteral("-out"),
                    QStringLiteral("ca.crt")});
    }
    QFile::setPermissions(file("ca.key"), kOwnerOnly);
    writeCaBooks();
    if (!QFile::exists(file("crl.pem")))
        runOpenssl({QStringLiteral("ca"), QStringLiteral("-config"), QStringLiteral("ca.cnf"),
                    QStringLiteral("-gencrl"), QStringLiteral("-out"), QStringLiteral("crl.pem")});

    if (!QFile::exists(file("server.crt"))) {
        static const QRegularExpression ipv4(QStringLiteral("\\A[0-9.]+\\z"));
        const bool isAddress = serverHost.contains(QLatin1Char(':')) || ipv4.match(serverHost).hasMatch();
        const QString san = (isAddress ? QStringLiteral("IP:") : QStringLiteral("DNS:")) + serverHost;
        writeWhole(file("server.ext"),
                   "basicConstraints = critical, CA:FALSE\nextendedKeyUsage = serverAuth\nsubjectAltName = "
                       + san.toUtf8() + '\n',
                   kReadable);
        runOpenssl({QStringLiteral("req"), QStringLiteral("-new"), QStringLiteral("-newkey"),
                    QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-subj"),
                    QStringLiteral("/CN=") + serverHost, QStringLiteral("-keyout"), QStringLiteral("server.key"),
                    QStringLiteral("-out"), QStringLiteral("server.csr")});
        runOpenssl({QStringLiteral("ca"), QStringLiteral("-batch"), QStringLiteral("-config"), QStringLiteral("ca.cnf"),
                    QStringLiteral("-notext"), QStringLiteral("-days"), QString::number(kServerDays),
                    QStringLiteral("-extfile"), QStringLiteral("server.ext"), QStringLiteral("-in"),
                    QStringLiteral("server.csr"), QStringLiteral("-out"), QStringLiteral("server.crt")});
        QFile::setPermissions(file("server.key"), kOwnerOnly);
        QFile::remove(file("server.csr"));
        QFile::remove(file("server.ext"));
    }
}

void SiteFolder::writeConfig(const Config& config) const
{
    QByteArray text = "# vostrel-site: the site's server\n";
    text += "admin=" + config.adminConnection + '\n';
    text += "host=" + config.host.toUtf8() + '\n';
    text += "port=" + QByteArray::number(config.port) + '\n';
    text += "database=" + config.database.toUtf8() + '\n';
    writeWhole(file("site.conf"), text, kOwnerOnly);
}

SiteFolder::Config SiteFolder::readConfig() const
{
    if (!QFile::exists(file("site.conf")) || !QFile::exists(file("ca.key")))
        throw ESiteError(path_ + QStringLiteral(": no site here; run vostrel-site init first"));
    Config config;
    for (const QByteArray& line : readWhole(file("site.conf")).split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (line.startsWith('#') || equals < 0)
            continue;
        const QByteArray key = line.left(equals);
        const QByteArray value = line.mid(equals + 1);
        if (key == "admin")
            config.adminConnection = value;
        else if (key == "host")
            config.host = QString::fromUtf8(value);
        else if (key == "port")
            config.port = value.toInt();
        else if (key == "database")
            config.database = QString::fromUtf8(value);
    }
    if (config.host.isEmpty() || config.port <= 0 || config.database.isEmpty())
        throw ESiteError(file("site.conf") + QStringLiteral(": damaged; run vostrel-site init again"));
    return config;
}

SiteFolder::Issued SiteFolder::issueClientCertificate(const QString& commonName, int days) const
{
    QTemporaryDir work(path_ + QStringLiteral("/.issue-XXXXXX"));
    if (!work.isValid())
        throw ESiteError(path_ + QStringLiteral(": cannot make a working folder"));
    const QString key = work.filePath(QStringLiteral("key.pem"));
    const QString request = work.filePath(QStringLiteral("request.pem"));
    const QString certificate = work.filePath(QStringLiteral("certificate.pem"));
    runOpenssl({QStringLiteral("req"), QStringLiteral("-new"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                QStringLiteral("-nodes"), QStringLiteral("-subj"), QStringLiteral("/CN=") + commonName,
                QStringLiteral("-keyout"), key, QStringLiteral("-out"), request});
    runOpenssl({QStringLiteral("ca"), QStringLiteral("-batch"), QStringLiteral("-config"), QStringLiteral("ca.cnf"),
                QStringLiteral("-notext"), QStringLiteral("-extensions"), QStringLiteral("gate"),
                QStringLiteral("-days"), QString::number(days), QStringLiteral("-in"), request, QStringLiteral("-out"),
                certificate});
    return {readWhole(certificate), readWhole(key)};
}

void SiteFolder::revoke(const QString& commonName) const
{
    // index.txt: status, expiry, [revocation], serial, file, subject, by tabs.
    const QByteArray subject = "/CN=" + commonName.toUtf8();
    for (const QByteArray& line : readWhole(file("index.txt")).split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() < 6 || fields[0] != "V" || fields[5] != subject)
            continue;
        runOpenssl({QStringLiteral("ca"), QStringLiteral("-config"), QStringLiteral("ca.cnf"),
                    QStringLiteral("-revoke"),
                    QStringLiteral("issued/") + QString::fromLatin1(fields[3]) + QStringLiteral(".pem")});
    }
    runOpenssl({QStringLiteral("ca"), QStringLiteral("-config"), QStringLiteral("ca.cnf"), QStringLiteral("-gencrl"),
                QStringLiteral("-out"), QStringLiteral("crl.pem")});
    QFile::setPermissions(file("crl.pem"), kReadable);
}
