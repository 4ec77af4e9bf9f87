#include "site/GateFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <memory>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

namespace {

using Bio = std::unique_ptr<BIO, decltype(&BIO_free)>;
using Certificate = std::unique_ptr<X509, decltype(&X509_free)>;
using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;

// Files above this are no gate file; reading them whole would only waste memory.
constexpr qint64 kLargestGateFile = 65536;

GateFile notPresent(GateFile file, GateFileState state, const QString& reason)
{
    file.state = state;
    file.reason = reason;
    return file;
}

// A key that asks for a pass phrase is no key of a gate file: answering none
// keeps OpenSSL from asking on the terminal.
int noPassPhrase(char* /*buffer*/, int /*size*/, int /*writing*/, void* /*data*/) { return 0; }

Certificate readCertificate(BIO* bio)
{
    return Certificate(PEM_read_bio_X509(bio, nullptr, noPassPhrase, nullptr), X509_free);
}

QString commonName(X509* cert)
{
    char buffer[256] = {};
    const int length = X509_NAME_get_text_by_NID(X509_get_subject_name(cert), NID_commonName, buffer, sizeof buffer);
    return length > 0 ? QString::fromUtf8(buffer, length) : QString();
}

QDateTime asUtc(const ASN1_TIME* time)
{
    std::tm tm{};
    if (ASN1_TIME_to_tm(time, &tm) != 1)
        return {};
    return QDateTime(QDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday), QTime(tm.tm_hour, tm.tm_min, tm.tm_sec),
                     Qt::UTC);
}

// Why `cert` is not valid at `now`, or an empty text.
QString validityProblem(X509* cert, const QString& what, const QDateTime& now)
{
    const QDateTime from = asUtc(X509_get0_notBefore(cert));
    const QDateTime until = asUtc(X509_get0_notAfter(cert));
    if (!from.isValid() || !until.isValid())
        return what + QStringLiteral(" has unreadable dates");
    if (now < from)
        return what + QStringLiteral(" is valid only from ") + from.toString(Qt::ISODate);
    if (now > until)
        return what + QStringLiteral(" expired on ") + until.toString(Qt::ISODate);
    return {};
}

} // namespace

bool IsValidGateName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("\\A[a-z][a-z0-9_]{0,39}\\z"));
    return pattern.match(name).hasMatch();
}

QString GateRoleName(const QString& gate) { return QStringLiteral("gate_") + gate; }

QByteArray GateFile::connectionString() const
{
    const auto quoted = [](const QString& value) {
        QString v = value;
        v.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
        return (QLatin1Char('\'') + v + QLatin1Char('\'')).toUtf8();
    };
    return "host=" + quoted(host) + " port=" + QByteArray::number(port) + " dbname=" + quoted(database)
           + " user=" + quoted(GateRoleName(gate)) + " sslmode=verify-full sslcert=" + quoted(path)
           + " sslkey=" + quoted(path) + " sslrootcert=" + quoted(path) + " connect_timeout=10";
}

GateFile ReadGateFile(const QString& path, const QDateTime& now)
{
    // What failed here is told by the result; OpenSSL's queue of errors is
    // left empty for the next user of the library on this thread (libpq).
    struct ClearOpensslErrors {
        ~ClearOpensslErrors() { ERR_clear_error(); }
    } clearErrors;
    GateFile file;
    file.path = path;
    const QFileInfo info(path);
    if (!info.exists())
        return file;
    if (!info.isFile() || info.size() > kLargestGateFile)
        return notPresent(file, GateFileState::Damaged, QStringLiteral("not a gate file"));
    if (info.permissions()
        & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther))
        return notPresent(file, GateFileState::Damaged,
                          QStringLiteral("other users may read it; it must have mode 0600"));
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return notPresent(file, GateFileState::Damaged, in.errorString());
    const QByteArray content = in.readAll();

    for (const QByteArray& rawLine : content.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (line.startsWith(QLatin1String("-----")) || colon < 0)
            continue;
        const QString key = line.left(colon).trimmed();
        const QString value = line.mid(colon + 1).trimmed();
        if (key == QLatin1String("Gate"))
            file.gate = value;
        else if (key == QLatin1String("Site-Host"))
            file.host = value;
        else if (key == QLatin1String("Site-Port"))
            file.port = value.toInt();
        else if (key == QLatin1String("Site-Database"))
            file.database = value;
    }
    if (!IsValidGateName(file.gate) || file.host.isEmpty() || file.port <= 0 || file.port > 65535
        || file.database.isEmpty())
        return notPresent(file, GateFileState::Damaged,
                          QStringLiteral("the gate's name or the server's address is missing"));

    Bio certs(BIO_new_mem_buf(content.constData(), static_cast<int>(content.size())), BIO_free);
    Certificate gateCert = readCertificate(certs.get());
    Certificate caCert = readCertificate(certs.get());
    Bio keys(BIO_new_mem_buf(content.constData(), static_cast<int>(content.size())), BIO_free);
    Key key(PEM_read_bio_PrivateKey(keys.get(), nullptr, noPassPhrase, nullptr), EVP_PKEY_free);
    if (!gateCert || !caCert || !key)
        return notPresent(file, GateFileState::Damaged,
                          QStringLiteral("the gate certificate, the site certificate or the key is missing or broken"));
    file.expires = asUtc(X509_get0_notAfter(gateCert.get()));

    if (X509_check_private_key(gateCert.get(), key.get()) != 1)
        return notPresent(file, GateFileState::Foreign, QStringLiteral("the key is not the gate certificate's"));
    EVP_PKEY* caKey = X509_get0_pubkey(caCert.get());
    if (!caKey || X509_check_issued(caCert.get(), gateCert.get()) != X509_V_OK
        || X509_verify(gateCert.get(), caKey) != 1)
        return notPresent(file, GateFileState::Foreign,
                          QStringLiteral("the gate certificate was not issued by the site in the file"));
    if (commonName(gateCert.get()) != GateRoleName(file.gate))
        return notPresent(file, GateFileState::Foreign,
                          QStringLiteral("the certificate belongs to ") + commonName(gateCert.get())
                              + QStringLiteral(", not to gate ") + file.gate);

    QString problem = validityProblem(gateCert.get(), QStringLiteral("the gate certificate"), now);
    if (problem.isEmpty())
        problem = validityProblem(caCert.get(), QStringLiteral("the site certificate"), now);
    if (!problem.isEmpty())
        return notPresent(file, GateFileState::Expired, problem);
    file.state = GateFileState::Present;
    return file;
}
