#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>

// The gate file beside the program turns site mode on. It is one PEM file,
// mode 0600, made by vostrel-site add-gate:
//   Gate: <name>
//   Site-Host: <server's host name>
//   Site-Port: <port>
//   Site-Database: <database>
// then the gate's certificate, the site CA's certificate and the gate's key.
// libpq reads the certificate, the key and the CA from this one file.
inline constexpr const char* kGateFileName = "vostrel-gate.pem";

enum class GateFileState {
    Absent,  // no file: the desk works alone, as ever
    Present, // whole, its pieces belong together and are valid now
    Damaged, // unreadable, open to other users, or a piece is missing or broken
    Foreign, // whole, but the pieces do not belong together
    Expired, // a certificate is not valid at this time
};

struct GateFile {
    GateFileState state = GateFileState::Absent;
    QString reason; // why the file is not Present, for the log and the tool
    QString path;
    QString gate;
    QString host;
    int port = 0;
    QString database;
    QDateTime expires; // the gate certificate's end, UTC

    // The libpq connection string of this gate: certificate login, TLS
    // verified against the site CA and the server's name.
    QByteArray connectionString() const;
};

// Reads and checks the gate file at `path` at the moment `now`.
GateFile ReadGateFile(const QString& path, const QDateTime& now = QDateTime::currentDateTimeUtc());

// A gate name is 1 to 40 of a-z, 0-9 and "_", starting with a letter: it is
// part of the gate's role name on the server and of its certificate.
bool IsValidGateName(const QString& name);
// The server role, and the certificate's common name, of a gate.
QString GateRoleName(const QString& gate);
