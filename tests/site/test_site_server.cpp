// vostrel-site against a real PostgreSQL 15 server (with-site-server.sh starts
// it): set-up, the gates' certificate login and what the server refuses, row
// security, the push functions and the import of a register.
#include "SiteServerFixture.h"
#include "TempDir.h"
#include "TestCertificates.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/Sqlite.h"
#include "site/GateFile.h"
#include "site/PgConnection.h"
#include "site/SiteError.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// What the site holds, as text: the schema's definitions, the roles, the
// rows of the administrator's tables.
QString siteState()
{
    const ToolRun dump = run(QStringLiteral(PG_DUMP), {QStringLiteral("--schema-only"), QStringLiteral("--schema=site"),
                                                       QStringLiteral("-d"), env("VOSTREL_TEST_PG_ADMIN")});
    EXPECT_EQ(dump.exitCode, 0) << dump.output.toStdString();
    PgConnection admin(env("VOSTREL_TEST_PG_ADMIN").toUtf8());
    const PgResult roles =
        admin.exec("SELECT string_agg(rolname || ':' || rolcanlogin, ',' ORDER BY rolname) FROM pg_roles "
                   "WHERE rolname LIKE 'vostrel%' OR rolname LIKE 'gate\\_%'");
    const PgResult rows = admin.exec("SELECT (SELECT string_agg(key || value, ',') FROM site.meta) || "
                                     "(SELECT string_agg(name || role, ',') FROM site.gates)");
    // The dump's \restrict lines carry a new random key each time.
    static const QRegularExpression restrictKey(QStringLiteral("^\\\\(un)?restrict .*$"),
                                                QRegularExpression::MultilineOption);
    return QString(dump.output).remove(restrictKey) + roles.text(0, 0) + rows.text(0, 0);
}

TEST_F(SiteServerTest, InitAgainChangesNothing)
{
    const QString before = siteState();
    QFile ca(siteFolder() + QStringLiteral("/ca.crt"));
    ASSERT_TRUE(ca.open(QIODevice::ReadOnly));
    const QByteArray caBefore = ca.readAll();
    const ToolRun again = site({QStringLiteral("init"), env("VOSTREL_TEST_PG_ADMIN"), QStringLiteral("--address"),
                                QStringLiteral("localhost:") + env("VOSTREL_TEST_PG_PORT")});
    ASSERT_EQ(again.exitCode, 0) << again.output.toStdString();
    EXPECT_EQ(again.output, initOutput_.output);
    EXPECT_EQ(siteState(), before);
    ca.seek(0);
    EXPECT_EQ(ca.readAll(), caBefore);
}

TEST_F(SiteServerTest, AGateFileLogsInWithVerifiedTls)
{
    const GateFile gate = ReadGateFile(gateFile(QStringLiteral("a")));
    ASSERT_EQ(gate.state, GateFileState::Present) << gate.reason.toStdString();
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(gate.path).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600U);
    PgConnection connection(gate.connectionString());
    const PgResult who =
        connection.exec("SELECT site.current_gate(), ssl FROM pg_stat_ssl WHERE pid = pg_backend_pid()");
    EXPECT_EQ(who.text(0, 0), QStringLiteral("a"));
    EXPECT_EQ(who.text(0, 1), QStringLiteral("t"));
}

TEST_F(SiteServerTest, TheServerRefusesWhatIsNotTheGate)
{
    TempDir dir;
    makeTestCa(dir.path(), QStringLiteral("stranger"));
    const TestKeyPair stranger = issueTestCertificate(dir.path(), QStringLiteral("stranger"), QStringLiteral("gate_a"));
    const QString strangerCert = writeTestFile(dir.file(QStringLiteral("s.crt")), stranger.certificate);
    const QString strangerKey = writeTestFile(dir.file(QStringLiteral("s.key")), stranger.key);
    const QString b = gateFile(QStringLiteral("b"));
    const struct {
        const char* what;
        QByteArray connection;
    } cases[] = {
        {"a certificate from another CA", asUser(QStringLiteral("gate_a"), strangerCert, strangerKey)},
        {"gate b's certificate as gate a", asUser(QStringLiteral("gate_a"), b, b)},
        {"no TLS", asUser(QStringLiteral("gate_a"), b, b, "disable")},
        {"the administrator from the network", asUser(QStringLiteral("postgres"), b, b)},
    };
    for (const auto& c : cases)
        EXPECT_THROW(PgConnection{c.connection}, ESiteError) << c.what;
}

TEST_F(SiteServerTest, AGateActsOnlyInItsOwnName)
{
    PgConnection a(asGate(QStringLiteral("a")));
    const char* refused[] = {
        "INSERT INTO site.records (id, in_gate, changed_by) VALUES (gen_random_uuid(), 'b', 'b')",
        "INSERT INTO site.records (id, in_gate, changed_by) VALUES (gen_random_uuid(), 'a', 'b')",
        "INSERT INTO site.changes (change_id, gate, kind) VALUES (gen_random_uuid(), 'b', 'clear')",
        "INSERT INTO site.audit (gate, action) VALUES ('b', 'x')",
        "UPDATE site.records SET departure = '10:00'",
        "DELETE FROM site.records",
        "SELECT count(*) FROM site.audit",
        "SELECT count(*) FROM site.imports",
        "CREATE TABLE site.mine (x int)",
        "CREATE TABLE public.mine (x int)",
        "CREATE TEMPORARY TABLE mine (x int)",
        "ALTER TABLE site.records DISABLE ROW LEVEL SECURITY",
        "UPDATE site.gates SET removed_at = now()",
    };
    a.exec("INSERT INTO site.records (id, in_gate, changed_by) VALUES (gen_random_uuid(), 'a', 'a')");
    for (const char* statement : refused) {
        EXPECT_THROW(a.exec(statement), ESiteError) << statement;
    }
}

TEST_F(SiteServerTest, PushesAreIdempotentDeparturesFirstWinsChangesCompareAndSet)
{
    PgConnection a(asGate(QStringLiteral("a")));
    PgConnection b(asGate(QStringLiteral("b")));
    const QByteArray record = admin().exec("SELECT gen_random_uuid()").bytes(0, 0);
    const QByteArray change = admin().exec("SELECT gen_random_uuid()").bytes(0, 0);
    const QByteArray texts = "{访客,张三,110101199003077777,\"\",\"\",送货,\"\",9:00,\"\",\"\",2026/12/9 9:00:00}";
    const char* add = "SELECT site.push_add($1, $2, $3)";
    const QByteArray seq = a.exec(add, {change, record, texts}).bytes(0, 0);
    EXPECT_EQ(a.exec(add, {change, record, texts}).bytes(0, 0), seq);
    EXPECT_EQ(admin().exec("SELECT count(*) FROM site.records WHERE id = $1", {record}).bytes(0, 0), "1");
    EXPECT_EQ(admin().exec("SELECT count(*) FROM site.changes WHERE record_id = $1", {record}).bytes(0, 0), "1");

    const char* depart = "SELECT site.push_depart(gen_random_uuid(), $1, $2)";
    EXPECT_EQ(b.exec(depart, {record, "10:00"}).bytes(0, 0), "10:00");
    EXPECT_EQ(a.exec(depart, {record, "10:05"}).bytes(0, 0), "10:00");
    const PgResult audit = admin().exec("SELECT string_agg(gate || ' ' || action, ',' ORDER BY id) FROM site.audit "
                                        "WHERE record_id = $1",
                                        {record});
    EXPECT_EQ(audit.text(0, 0), QStringLiteral("b departure,a departure refused"));
    EXPECT_EQ(admin().exec("SELECT out_gate FROM site.records WHERE id = $1", {record}).bytes(0, 0), "b");

    const char* modify = "SELECT site.push_modify(gen_random_uuid(), $1, $2, $3)";
    const QByteArray version = admin().exec("SELECT version FROM site.records WHERE id = $1", {record}).bytes(0, 0);
    EXPECT_EQ(a.exec(modify, {record, version, texts}).bytes(0, 0), QByteArray::number(version.toInt() + 1));
    EXPECT_TRUE(b.exec(modify, {record, version, texts}).isNull(0, 0));
    EXPECT_EQ(admin()
                  .exec("SELECT count(*) FROM site.audit WHERE record_id = $1 AND action = 'change refused' "
                        "AND gate = 'b'",
                        {record})
                  .bytes(0, 0),
              "1");
}

TEST_F(SiteServerTest, ARemovedGateNoLongerLogsIn)
{
    ASSERT_EQ(addGate(QStringLiteral("c")).exitCode, 0);
    const QByteArray c = asGate(QStringLiteral("c"));
    EXPECT_NO_THROW(PgConnection{c});
    const ToolRun removed = site({QStringLiteral("remove-gate"), QStringLiteral("c")});
    ASSERT_EQ(removed.exitCode, 0) << removed.output.toStdString();
    try {
        PgConnection refused(c);
        ADD_FAILURE() << "gate c still logs in";
    } catch (const ESiteError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("revoked"))) << e.message().toStdString();
    }
    EXPECT_EQ(admin().exec("SELECT rolcanlogin FROM pg_roles WHERE rolname = 'gate_c'").bytes(0, 0), "f");
    EXPECT_NE(site({QStringLiteral("remove-gate"), QStringLiteral("c")}).exitCode, 0);

    // Added again, the gate logs in with its new file; the old one stays out.
    TempDir old;
    const QString oldFile = old.file(QStringLiteral("vostrel-gate.pem"));
    ASSERT_TRUE(QFile::copy(gateFile(QStringLiteral("c")), oldFile));
    ASSERT_EQ(addGate(QStringLiteral("c")).exitCode, 0);
    EXPECT_NO_THROW(PgConnection{asGate(QStringLiteral("c"))});
    EXPECT_THROW(PgConnection{ReadGateFile(oldFile).connectionString()}, ESiteError);
}

// Rows of a register, written straight with the engine: every text as bytes.
void addRawRecord(sqlite3* db, const QList<QByteArray>& texts)
{
    sqlite3_stmt* insert = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db,
                                 "insert into data (分类,姓名,身份证,手机,电话,来由,地址,来访,离开,备注,日期) "
                                 "values (?,?,?,?,?,?,?,?,?,?,?)",
                                 -1, &insert, nullptr),
              SQLITE_OK);
    for (int i = 0; i < 11; ++i) {
        const QByteArray& t = texts.value(i);
        if (t.isNull())
            sqlite3_bind_null(insert, i + 1);
        else
            sqlite3_bind_text(insert, i + 1, t.constData(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
    }
    EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
    sqlite3_finalize(insert);
}

TEST_F(SiteServerTest, AnImportKeepsEveryTextAndAddsOnlyOnce)
{
    TempDir gate;
    ASSERT_NO_THROW(CreateRegisterFile(gate.path(), QStringLiteral("abc123"), false));
    const QList<QList<QByteArray>> records = {
        {"访客", "O'Brien \"李\"", "11010119900307777X", "", QByteArray(), "送货\t两箱", " 北京\\东 ",
         "2026/12/9 9:00:00", "", "第一行\r\n第二行\n", "2026/12/9 9:00:01"},
        {"QQ帐号", "王五", "", "13800138000", "010-1234", "面试", "", "", "2026/12/9 10:00:00", "", ""},
    };
    {
        TRegisterConnection connection;
        connection.SetConnectionString(RegisterConnectionString(gate.folder()));
        for (const auto& r : records)
            addRawRecord(connection.handle(), r);
    }
    const QStringList import{QStringLiteral("import"), gate.path(), QStringLiteral("--gate"), QStringLiteral("b")};
    const ToolRun first = site(import);
    ASSERT_EQ(first.exitCode, 0) << first.output.toStdString();
    EXPECT_TRUE(first.output.contains(QStringLiteral("2 records read, 2 added"))) << first.output.toStdString();

    const PgResult rows = admin().exec(
        "SELECT category, name, identity_number, mobile, telephone, reason, address, arrival, departure, remarks, "
        "written, in_gate, coalesce(out_gate, '-') FROM site.records WHERE in_gate = 'b' AND source_number IS NOT NULL "
        "ORDER BY source_number");
    ASSERT_EQ(rows.rows(), 2);
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 11; ++c) {
            EXPECT_EQ(rows.isNull(r, c), records[r][c].isNull()) << r << "," << c;
            EXPECT_EQ(rows.bytes(r, c), records[r][c]) << r << "," << c;
        }
        EXPECT_EQ(rows.bytes(r, 11), "b");
    }
    EXPECT_EQ(rows.bytes(0, 12), "-");
    EXPECT_EQ(rows.bytes(1, 12), "b");

    const ToolRun second = site(import);
    EXPECT_TRUE(
        second.output.contains(QStringLiteral("2 records read, 0 added to the site (this file was imported before)")))
        << second.output.toStdString();
    {
        TRegisterConnection connection;
        connection.SetConnectionString(RegisterConnectionString(gate.folder()));
        addRawRecord(connection.handle(), {"访客", "赵六", "", "", "", "取件", "", "", "", "", ""});
    }
    const ToolRun grown = site(import);
    EXPECT_TRUE(grown.output.contains(QStringLiteral("3 records read, 1 added"))) << grown.output.toStdString();
    EXPECT_EQ(
        admin().exec("SELECT count(*) FROM site.records WHERE in_gate = 'b' AND source_number IS NOT NULL").bytes(0, 0),
        "3");
    EXPECT_EQ(admin().exec("SELECT count(*) FROM site.changes WHERE kind = 'import'").bytes(0, 0), "3");
}

TEST_F(SiteServerTest, AnImportThatCannotKeepATextAddsNothing)
{
    TempDir gate;
    ASSERT_NO_THROW(CreateRegisterFile(gate.path(), QStringLiteral("abc123"), false));
    {
        TRegisterConnection connection;
        connection.SetConnectionString(RegisterConnectionString(gate.folder()));
        addRawRecord(connection.handle(), {"访客", "好", "", "", "", "送货", "", "", "", "", ""});
        addRawRecord(connection.handle(), {"访客", QByteArray("\xba\xc3", 2), "", "", "", "送货", "", "", "", "", ""});
    }
    const QString before = admin().exec("SELECT count(*) FROM site.records").text(0, 0);
    const ToolRun refused =
        site({QStringLiteral("import"), gate.path(), QStringLiteral("--gate"), QStringLiteral("a")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.output.contains(QStringLiteral("record 2"))) << refused.output.toStdString();
    EXPECT_EQ(admin().exec("SELECT count(*) FROM site.records").text(0, 0), before);
    EXPECT_EQ(admin().exec("SELECT count(*) FROM site.imports WHERE gate = 'a'").bytes(0, 0), "0");
}

} // namespace
