#pragma once
#include <QByteArray>
#include <QString>

// The administrator's site folder: the site's CA and what it issued, and how
// the tool reaches the server. It stays on the administrator's machine (best
// the server itself, so that the server reads the revocation list from it);
// only ca.key signs, and it never leaves the folder.
//   ca.key (0600), ca.crt       the site's CA
//   server.key (0600), server.crt  the server's TLS certificate for its address
//   crl.pem                     revoked gate certificates, for ssl_crl_file
//   ca.cnf, index.txt, serial, crlnumber, issued/   the CA's books
//   site.conf (0600)            the administrator's connection string, the
//                               address and database the gates are given
class SiteFolder {
public:
    explicit SiteFolder(QString path);
    QString file(const char* name) const;

    // Makes the folder and, when they are missing, the CA, its books, the
    // revocation list and a server certificate for `serverHost`. An existing
    // CA is kept. Raises ESiteError.
    void prepare(const QString& serverHost) const;

    struct Config {
        QByteArray adminConnection;
        QString host;
        int port = 0;
        QString database;
    };
    void writeConfig(const Config& config) const;
    // Raises ESiteError when the folder has not been through init.
    Config readConfig() const;

    // Issues a client certificate for `commonName`, valid `days` days; returns
    // the certificate and its new key, both PEM. Raises ESiteError.
    struct Issued {
        QByteArray certificate;
        QByteArray key;
    };
    Issued issueClientCertificate(const QString& commonName, int days) const;
    // Revokes the certificates issued for `commonName` and writes crl.pem anew.
    void revoke(const QString& commonName) const;

private:
    void runOpenssl(const QStringList& arguments) const;
    void writeCaBooks() const;

    QString path_;
};
