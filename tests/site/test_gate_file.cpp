// The gate file's reader: every state it tells apart, on files made with openssl.
#include "TempDir.h"
#include "TestCertificates.h"
#include "site/GateFile.h"

#include <gtest/gtest.h>

namespace {

class GateFileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = new TempDir;
        const QString path = folder_->path();
        site_ = makeTestCa(path, QStringLiteral("site"));
        other_ = makeTestCa(path, QStringLiteral("other"));
        gateA_ = issueTestCertificate(path, QStringLiteral("site"), QStringLiteral("gate_a"));
        gateB_ = issueTestCertificate(path, QStringLiteral("site"), QStringLiteral("gate_b"));
        strangerA_ = issueTestCertificate(path, QStringLiteral("other"), QStringLiteral("gate_a"));
    }
    static void TearDownTestSuite() { delete folder_; }

    static QByteArray header(const char* gate = "a")
    {
        return QByteArray("# gate file\nGate: ") + gate
               + "\nSite-Host: db.example\nSite-Port: 5433\nSite-Database: site\n";
    }
    static QByteArray file(const TestKeyPair& gate, const QByteArray& ca, const QByteArray& key)
    {
        return header() + gate.certificate + ca + key;
    }
    QString write(const QByteArray& content, int mode = 0600)
    {
        return writeTestFile(dir_.file(QString::fromLatin1(kGateFileName)), content, mode);
    }

    static TempDir* folder_;
    static TestKeyPair site_, other_, gateA_, gateB_, strangerA_;
    TempDir dir_;
};
TempDir* GateFileTest::folder_ = nullptr;
TestKeyPair GateFileTest::site_, GateFileTest::other_, GateFileTest::gateA_, GateFileTest::gateB_,
    GateFileTest::strangerA_;

TEST_F(GateFileTest, AWholeFileIsPresentAndGivesAVerifiedCertificateLogin)
{
    const GateFile gate = ReadGateFile(write(file(gateA_, site_.certificate, gateA_.key)));
    ASSERT_EQ(gate.state, GateFileState::Present) << gate.reason.toStdString();
    EXPECT_EQ(gate.gate, QStringLiteral("a"));
    EXPECT_EQ(gate.host, QStringLiteral("db.example"));
    EXPECT_EQ(gate.port, 5433);
    EXPECT_EQ(gate.database, QStringLiteral("site"));
    EXPECT_GT(gate.expires, QDateTime::currentDateTimeUtc().addDays(29));
    const QByteArray info = gate.connectionString();
    for (const char* piece :
         {"host='db.example'", "port=5433", "dbname='site'", "user='gate_a'", "sslmode=verify-full"})
        EXPECT_TRUE(info.contains(piece)) << piece << " in " << info.constData();
}

TEST_F(GateFileTest, NoFileIsAbsent)
{
    EXPECT_EQ(ReadGateFile(dir_.file(QStringLiteral("none.pem"))).state, GateFileState::Absent);
}

TEST_F(GateFileTest, EachFaultHasItsState)
{
    const QByteArray whole = file(gateA_, site_.certificate, gateA_.key);
    struct Case {
        const char* what;
        QByteArray content;
        int mode;
        GateFileState state;
    };
    const Case cases[] = {
        {"readable by others", whole, 0644, GateFileState::Damaged},
        {"no key", header() + gateA_.certificate + site_.certificate, 0600, GateFileState::Damaged},
        {"cut short", whole.left(whole.size() / 2), 0600, GateFileState::Damaged},
        {"no address", gateA_.certificate + site_.certificate + gateA_.key, 0600, GateFileState::Damaged},
        {"bad gate name", header("A b") + gateA_.certificate + site_.certificate + gateA_.key, 0600,
         GateFileState::Damaged},
        {"another site's certificate", file(strangerA_, site_.certificate, strangerA_.key), 0600,
         GateFileState::Foreign},
        {"another site's CA", file(gateA_, other_.certificate, gateA_.key), 0600, GateFileState::Foreign},
        {"gate b's certificate", file(gateB_, site_.certificate, gateB_.key), 0600, GateFileState::Foreign},
        {"gate b's key", file(gateA_, site_.certificate, gateB_.key), 0600, GateFileState::Foreign},
    };
    for (const Case& c : cases) {
        const GateFile gate = ReadGateFile(write(c.content, c.mode));
        EXPECT_EQ(gate.state, c.state) << c.what << ": " << gate.reason.toStdString();
        EXPECT_FALSE(gate.reason.isEmpty()) << c.what;
    }
}

TEST_F(GateFileTest, ACertificateOutsideItsDatesIsExpired)
{
    const QString path = write(file(gateA_, site_.certificate, gateA_.key));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    EXPECT_EQ(ReadGateFile(path, now.addDays(31)).state, GateFileState::Expired);
    EXPECT_EQ(ReadGateFile(path, now.addDays(-1)).state, GateFileState::Expired);
    EXPECT_EQ(ReadGateFile(path, now.addDays(29)).state, GateFileState::Present);
}

} // namespace
