// vostrel-site: sets up and keeps the site's server, for its administrator.
//   init CONNINFO --address HOST[:PORT]   schema, roles, policies; prints the server's lines
//   add-gate NAME [--out FOLDER] [--days N]   the gate's role and its gate file
//   remove-gate NAME                      the gate's role disabled, its certificate revoked
//   import FOLDER --gate NAME             an existing register uploaded once
#include "RegisterImport.h"
#include "SiteFolder.h"
#include "SiteSchema.h"

#include "db/DatabaseError.h"
#include "site/GateFile.h"
#include "site/PgConnection.h"
#include "site/SiteError.h"

#include "ToolArguments.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>
#include <cstdio>
#include <libpq-fe.h>

namespace {

void print(const QString& text) { std::fputs(text.toLocal8Bit().constData(), stdout); }

void requireGateName(const QString& name)
{
    if (!IsValidGateName(name))
        throw ESiteError(QStringLiteral("a gate's name is 1 to 40 of a-z, 0-9 and _, starting with a letter: ") + name);
}

int init(const SiteFolder& site, const QByteArray& adminConnection, const QString& address)
{
    QString host = address;
    QString portText;
    if (address.startsWith(QLatin1Char('['))) { // [IPv6] or [IPv6]:PORT
        const qsizetype close = address.indexOf(QLatin1Char(']'));
        host = address.mid(1, close - 1);
        if (close > 0 && address.mid(close + 1).startsWith(QLatin1Char(':')))
            portText = address.mid(close + 2);
    } else if (address.count(QLatin1Char(':')) == 1) {
        host = address.section(QLatin1Char(':'), 0, 0);
        portText = address.section(QLatin1Char(':'), 1);
    }
    PgConnection admin(adminConnection);
    const int port = portText.isEmpty() ? QByteArray(PQport(admin.get())).toInt() : portText.toInt();
    if (host.isEmpty() || port <= 0 || port > 65535)
        throw ESiteError(QStringLiteral("--address must be HOST or HOST:PORT, as the gates reach the server: ")
                         + address);
    CreateSiteSchema(admin);
    const QString database = admin.exec("SELECT current_database()").text(0, 0);
    site.prepare(host);
    site.writeConfig({adminConnection, host, port, database});

    print(QStringLiteral("The site's schema is ready in database %1.\n\n").arg(database));
    print(QStringLiteral("pg_hba.conf of the server (gates log in with their certificate, over TLS only):\n"));
    print(QStringLiteral("  hostssl   %1 +%2 all cert\n  hostnossl %1 +%2 all reject\n\n")
              .arg(database, QLatin1String(kGatesRole)));
    print(QStringLiteral("postgresql.conf of the server, then reload it:\n"));
    print(
        QStringLiteral(
            "  ssl = on\n  ssl_cert_file = '%1'\n  ssl_key_file = '%2'\n  ssl_ca_file = '%3'\n  ssl_crl_file = '%4'\n")
            .arg(site.file("server.crt"), site.file("server.key"), site.file("ca.crt"), site.file("crl.pem")));
    print(
        QStringLiteral("(copy server.key and server.crt where the server's user may read them, if it cannot here)\n"));
    return 0;
}

int addGate(const SiteFolder& site, const QString& gate, const QString& outFolder, int days)
{
    requireGateName(gate);
    const SiteFolder::Config config = site.readConfig();
    const QString role = GateRoleName(gate);
    PgConnection admin(config.adminConnection);
    PgTransaction transaction(admin);
    const PgResult existing = admin.exec("SELECT removed_at IS NULL FROM site.gates WHERE name = $1", {gate.toUtf8()});
    if (existing.rows() == 1 && existing.bytes(0, 0) == "t")
        throw ESiteError(QStringLiteral("gate ") + gate
                         + QStringLiteral(" exists; remove-gate it first to issue a new file"));
    const QByteArray roleName = admin.identifier(role);
    if (admin.exec("SELECT FROM pg_roles WHERE rolname = $1", {role.toUtf8()}).rows() == 0)
        admin.exec(("CREATE ROLE " + roleName + " LOGIN IN ROLE " + kGatesRole).constData());
    else
        admin.exec(("ALTER ROLE " + roleName + " LOGIN").constData());
    admin.exec("INSERT INTO site.gates (name, role) VALUES ($1, $2) "
               "ON CONFLICT (name) DO UPDATE SET removed_at = NULL, added_at = now()",
               {gate.toUtf8(), role.toUtf8()});

    const SiteFolder::Issued issued = site.issueClientCertificate(role, days);
    QByteArray text =
        "# Vostrel gate file: copy it, as it is, beside the program of gate " + gate.toUtf8() + " (mode 0600).\n";
    text += "Gate: " + gate.toUtf8() + '\n';
    text += "Site-Host: " + config.host.toUtf8() + '\n';
    text += "Site-Port: " + QByteArray::number(config.port) + '\n';
    text += "Site-Database: " + config.database.toUtf8() + '\n';
    QFile ca(site.file("ca.crt"));
    if (!ca.open(QIODevice::ReadOnly))
        throw ESiteError(ca.fileName() + QStringLiteral(": ") + ca.errorString());
    // The gate's certificate first: libpq takes the first one in the file as its own.
    text += issued.certificate + ca.readAll() + issued.key;

    if (!QDir().mkpath(outFolder))
        throw ESiteError(outFolder + QStringLiteral(": cannot make the folder"));
    const QString path = outFolder + QLatin1Char('/') + QLatin1String(kGateFileName);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || !out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || out.write(text) != text.size() || !out.commit())
        throw ESiteError(path + QStringLiteral(": ") + out.errorString());
    transaction.commit();
    print(QStringLiteral("made %1: copy it beside the program of gate %2\n").arg(path, gate));
    return 0;
}

int removeGate(const SiteFolder& site, const QString& gate)
{
    requireGateName(gate);
    const SiteFolder::Config config = site.readConfig();
    PgConnection admin(config.adminConnection);
    PgTransaction transaction(admin);
    if (admin
            .exec("UPDATE site.gates SET removed_at = now() WHERE name = $1 AND removed_at IS NULL RETURNING name",
                  {gate.toUtf8()})
            .rows()
        != 1)
        throw ESiteError(QStringLiteral("no gate ") + gate + QStringLiteral(" in the site"));
    const QString role = GateRoleName(gate);
    admin.exec(("ALTER ROLE " + admin.identifier(role) + " NOLOGIN").constData());
    site.revoke(role);
    transaction.commit();
    admin.exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE usename = $1", {role.toUtf8()});
    try {
        admin.exec("SELECT pg_reload_conf()");
        print(QStringLiteral("gate %1 removed; the server reloaded crl.pem\n").arg(gate));
    } catch (const ESiteError&) {
        print(QStringLiteral("gate %1 removed; copy %2 to the server's ssl_crl_file and reload it\n")
                  .arg(gate, site.file("crl.pem")));
    }
    return 0;
}

int import(const SiteFolder& site, const QString& folder, const QString& gate)
{
    requireGateName(gate);
    PgConnection admin(site.readConfig().adminConnection);
    const ImportResult result = ImportRegister(admin, folder, gate);
    print(QStringLiteral("%1 records read, %2 added to the site%3\n")
              .arg(result.records)
              .arg(result.added)
              .arg(result.fileSeenBefore ? QStringLiteral(" (this file was imported before)") : QString()));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vostrel-site"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Sets up the site's server for several gates.\n"
        "  init CONNINFO --address HOST[:PORT]  creates the schema, roles and policies (again: no change)\n"
        "  add-gate NAME [--out FOLDER]         creates the gate's role and its gate file\n"
        "  remove-gate NAME                     disables the gate and revokes its certificate\n"
        "  import FOLDER --gate NAME            uploads the register FOLDER/_.udb once"));
    parser.addPositionalArgument(QStringLiteral("COMMAND"), QStringLiteral("init, add-gate, remove-gate or import."));
    parser.addPositionalArgument(QStringLiteral("ARGUMENT"), QStringLiteral("The command's argument."));
    const QCommandLineOption siteOption(
        QStringLiteral("site"),
        QStringLiteral("The site folder (default: %1).").arg(QStringLiteral("~/.local/share/vostrel-site")),
        QStringLiteral("FOLDER"),
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/vostrel-site"));
    const QCommandLineOption addressOption(QStringLiteral("address"),
                                           QStringLiteral("init: the server's address as the gates reach it."),
                                           QStringLiteral("HOST[:PORT]"));
    const QCommandLineOption outOption(QStringLiteral("out"),
                                       QStringLiteral("add-gate: where the gate file goes (default: ./NAME)."),
                                       QStringLiteral("FOLDER"));
    const QCommandLineOption daysOption(QStringLiteral("days"),
                                        QStringLiteral("add-gate: how long the certificate is valid."),
                                        QStringLiteral("DAYS"), QStringLiteral("825"));
    const QCommandLineOption gateOption(
        QStringLiteral("gate"), QStringLiteral("import: the gate the register belongs to."), QStringLiteral("NAME"));
    parser.addOptions({siteOption, addressOption, outOption, daysOption, gateOption});
    const QStringList args = ParseToolArguments(parser, 2);
    const SiteFolder site(QDir(parser.value(siteOption)).absolutePath());
    const QString& command = args[0];
    try {
        if (command == QLatin1String("init")) {
            if (!parser.isSet(addressOption))
                ExitWithUsage(parser, QStringLiteral("init needs --address"));
            return init(site, args[1].toUtf8(), parser.value(addressOption));
        }
        if (command == QLatin1String("add-gate")) {
            const int days = parser.value(daysOption).toInt();
            if (days <= 0)
                ExitWithUsage(parser, QStringLiteral("--days must be a number of days"));
            return addGate(site, args[1],
                           parser.isSet(outOption) ? parser.value(outOption)
                                                   : QDir::currentPath() + QLatin1Char('/') + args[1],
                           days);
        }
        if (command == QLatin1String("remove-gate"))
            return removeGate(site, args[1]);
        if (command == QLatin1String("import")) {
            if (!parser.isSet(gateOption))
                ExitWithUsage(parser, QStringLiteral("import needs --gate"));
            return import(site, args[1], parser.value(gateOption));
        }
        ExitWithUsage(parser, QStringLiteral("unknown command ") + command);
    } catch (const EVostrelError& e) {
        std::fprintf(stderr, "vostrel-site: %s\n", e.message().toLocal8Bit().constData());
        return 1;
    }
}
