#pragma once
#include <QByteArray>
#include <QString>

// Certificates made with the openssl command for the tests, in `folder`.
struct TestKeyPair {
    QByteArray certificate;
    QByteArray key;
};

// A CA named `name`: its files are <folder>/<name>.crt and <name>.key.
TestKeyPair makeTestCa(const QString& folder, const QString& name);
// A client certificate for `commonName` signed by the CA `caName` of `folder`.
TestKeyPair issueTestCertificate(const QString& folder, const QString& caName, const QString& commonName,
                                 int days = 30);

// Writes `content` to `path` with the given mode; returns the path.
QString writeTestFile(const QString& path, const QByteArray& content, int mode = 0600);
