#pragma once
// The site's server for a test executable (with-site-server.sh starts it),
// set up as an administrator does: init, the server's lines, gates a and b.
#include "site/GateFile.h"
#include "site/PgConnection.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

inline QString env(const char* name) { return qEnvironmentVariable(name); }

struct ToolRun {
    int exitCode = -1;
    QString output;
};

inline ToolRun run(const QString& program, const QStringList& arguments, const QString& workingFolder = {})
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(program, arguments);
    process.waitForFinished(300000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

// The site as the administrator sets it up: a site folder holding the CA
// that signed the test server's certificate, init, the server's lines from
// init's output, and gates a and b.
class SiteServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_FALSE(env("VOSTREL_TEST_PG_ADMIN").isEmpty()) << "run through with-site-server.sh";
        scratch_ = env("VOSTREL_TEST_PG_SCRATCH");
        QDir().mkpath(siteFolder());
        QFile::copy(env("VOSTREL_TEST_PG_CA_CERT"), siteFolder() + QStringLiteral("/ca.crt"));
        QFile::copy(env("VOSTREL_TEST_PG_CA_KEY"), siteFolder() + QStringLiteral("/ca.key"));
        initOutput_ = site({QStringLiteral("init"), env("VOSTREL_TEST_PG_ADMIN"), QStringLiteral("--address"),
                            QStringLiteral("localhost:") + env("VOSTREL_TEST_PG_PORT")});
        ASSERT_EQ(initOutput_.exitCode, 0) << initOutput_.output.toStdString();

        // The server's own certificate stays the one the test made; the CA
        // is the same, and the revocation list is the site folder's.
        QByteArray hba, conf;
        for (const QString& line : initOutput_.output.split(QLatin1Char('\n'))) {
            const QString trimmed = line.trimmed();
            if (trimmed.startsWith(QLatin1String("hostssl")) || trimmed.startsWith(QLatin1String("hostnossl")))
                hba += trimmed.toUtf8() + '\n';
            if (trimmed.startsWith(QLatin1String("ssl_crl_file")))
                conf += trimmed.toUtf8() + '\n';
        }
        ASSERT_EQ(hba.count('\n'), 2) << initOutput_.output.toStdString();
        ASSERT_EQ(conf.count('\n'), 1);
        appendTo(env("VOSTREL_TEST_PG_DATA") + QStringLiteral("/pg_hba.conf"), hba);
        appendTo(env("VOSTREL_TEST_PG_DATA") + QStringLiteral("/postgresql.conf"), conf);
        admin().exec("SELECT pg_reload_conf()");
        for (const char* gate : {"a", "b"})
            ASSERT_EQ(addGate(QString::fromLatin1(gate)).exitCode, 0);
    }

    static void appendTo(const QString& path, const QByteArray& lines)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(lines);
    }

    static QString siteFolder() { return scratch_ + QStringLiteral("/site"); }
    static QString gateFile(const QString& gate)
    {
        return scratch_ + QLatin1Char('/') + gate + QStringLiteral("/vostrel-gate.pem");
    }
    static ToolRun site(QStringList arguments)
    {
        arguments.prepend(siteFolder());
        arguments.prepend(QStringLiteral("--site"));
        return run(QStringLiteral(VOSTREL_SITE_TOOL), arguments, scratch_);
    }
    static ToolRun addGate(const QString& gate) { return site({QStringLiteral("add-gate"), gate}); }
    static PgConnection& admin()
    {
        std::unique_ptr<PgConnection>& connection = adminConnection();
        if (!connection)
            connection = std::make_unique<PgConnection>(env("VOSTREL_TEST_PG_ADMIN").toUtf8());
        return *connection;
    }
    // Made again by the next admin(), after the server was restarted.
    static std::unique_ptr<PgConnection>& adminConnection()
    {
        static std::unique_ptr<PgConnection> connection;
        return connection;
    }
    static QByteArray asUser(const QString& user, const QString& certificateFile, const QString& keyFile,
                             const char* sslmode = "verify-full")
    {
        return QStringLiteral("host=localhost port=%1 dbname=vostrel user=%2 sslmode=%3 sslcert=%4 sslkey=%5 "
                              "sslrootcert=%6 connect_timeout=10")
            .arg(env("VOSTREL_TEST_PG_PORT"), user, QString::fromLatin1(sslmode), certificateFile, keyFile,
                 siteFolder() + QStringLiteral("/ca.crt"))
            .toUtf8();
    }
    static QByteArray asGate(const QString& gate) { return ReadGateFile(gateFile(gate)).connectionString(); }

    static inline QString scratch_;
    static inline ToolRun initOutput_;
};
