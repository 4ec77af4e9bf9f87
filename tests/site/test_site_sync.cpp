// Two gates syncing through a real PostgreSQL 15 server (with-site-server.sh):
// each gate a register file of its own written as the desk writes, and the
// sync worker between it and the site.
#include "SiteServerFixture.h"
#include "TempDir.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/SiteTables.h"
#include "db/SqlStatement.h"
#include "db/Sqlite.h"
#include "db/Unit_DB.h"
#include "db/VisitorPresence.h"
#include "db/WatchListTable.h"
#include "site/SiteExchange.h"
#include "site/SiteSync.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace {

// Waits until `done`, for a generous time; false if it never was.
bool eventually(const std::function<bool()>& done, int ms = 30000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QThread::msleep(20);
    }
    return true;
}

// One gate: its register, its desk's connection and its sync.
struct Gate {
    explicit Gate(const QString& gateName, const QString& gateFilePath) : name(gateName), gateFile(gateFilePath)
    {
        CreateRegisterFile(dir.path(), QStringLiteral("abc123"), false);
        connection.SetConnectionString(RegisterConnectionString(dir.folder()));
    }

    void start()
    {
        sync = std::make_unique<TSiteSync>(ReadGateFile(gateFile), dir.file(QString::fromLatin1(kRegisterFileName)),
                                           QString::fromLatin1(kRegisterPassword));
        QObject::connect(
            sync.get(), &TSiteSync::noticeRaised, sync.get(),
            [this](const SiteNotice& notice) {
                const std::lock_guard lock(mutex);
                notices << notice;
            },
            Qt::DirectConnection);
        sync->start();
    }
    bool synced() const { return sync && sync->status().online && sync->status().waiting == 0; }
    QList<SiteNotice> noticesSoFar()
    {
        const std::lock_guard lock(mutex);
        return notices;
    }

    void write(const QString& sql, const QStringList& parameters = {})
    {
        connection.Execute({sql, parameters, std::nullopt});
        if (sync)
            sync->wake();
    }
    qint64 add(const QString& visitor)
    {
        write(QStringLiteral("INSERT INTO data (分类,姓名,身份证,手机,电话,来由,地址,来访,离开,备注,日期) "
                             "VALUES ('访客', ?, '110101199003077777', '', NULL, '送货 \"B\\\\2\"', '', '9:00', '', "
                             "'', '2026/12/9 9:00:00')"),
              {visitor});
        return sqlite3_last_insert_rowid(connection.handle());
    }
    // The record of a visitor as stored, every column quoted (null stays
    // apart from an empty text), or "" when there is none.
    QString record(const QString& visitor)
    {
        SqliteStatement s(connection.handle(),
                          QStringLiteral("SELECT quote(分类)||quote(姓名)||quote(身份证)||quote(手机)||quote(电话)||"
                                         "quote(来由)||quote(地址)||quote(来访)||quote(离开)||quote(备注)||"
                                         "quote(日期) FROM data WHERE 姓名 = ?"));
        s.bindTexts({visitor});
        return s.step() ? s.columnText(0) : QString();
    }
    qint64 count(const QString& condition = QStringLiteral("1"))
    {
        SqliteStatement s(connection.handle(), QStringLiteral("SELECT count(*) FROM data WHERE ") + condition);
        return s.step() ? s.columnInt64(0) : -1;
    }
    qint64 numberOf(const QString& visitor)
    {
        SqliteStatement s(connection.handle(), QStringLiteral("SELECT 编号 FROM data WHERE 姓名 = ?"));
        s.bindTexts({visitor});
        return s.step() ? s.columnInt64(0) : 0;
    }

    QString name;
    QString gateFile;
    TempDir dir;
    TRegisterConnection connection;
    std::mutex mutex;
    QList<SiteNotice> notices;
    std::unique_ptr<TSiteSync> sync; // gone first: it tells the notices
};

class SiteSyncTest : public SiteServerTest {
protected:
    void SetUp() override
    {
        // Each test starts from an empty site; the gates and their roles stay.
        admin().exec("TRUNCATE site.records, site.changes, site.audit");
        a = std::make_unique<Gate>(QStringLiteral("a"), gateFile(QStringLiteral("a")));
        b = std::make_unique<Gate>(QStringLiteral("b"), gateFile(QStringLiteral("b")));
    }
    static void server(const char* action)
    {
        adminConnection().reset();
        ASSERT_EQ(run(env("VOSTREL_TEST_PG_CTL"), {QString::fromLatin1(action)}).exitCode, 0) << action;
    }
    static QString siteValue(const char* sql) { return admin().exec(sql).text(0, 0); }

    std::unique_ptr<Gate> a;
    std::unique_ptr<Gate> b;
};

TEST_F(SiteSyncTest, AnArrivalReachesTheOtherGateAndItsDepartureComesBack)
{
    a->start();
    b->start();
    const QString visitor = QStringLiteral("O'Brien 张三");
    const qint64 atA = a->add(visitor);
    ASSERT_TRUE(eventually([&] { return !b->record(visitor).isEmpty(); }));
    EXPECT_EQ(b->record(visitor), a->record(visitor));
    const qint64 atB = b->numberOf(visitor);
    EXPECT_EQ(SiteInGates(b->connection.handle(), {atB}).value(atB), QStringLiteral("a"));

    ASSERT_EQ(RecordDeparture(b->connection, atB, QStringLiteral("2026/12/9 10:00:00")).kind,
              DepartureOutcome::Recorded);
    b->sync->wake();
    const QString onSiteAtA = QStringLiteral("编号 = %1 AND ").arg(atA) + QString::fromUtf8(NoDepartureCondition());
    ASSERT_TRUE(eventually([&] { return a->count(onSiteAtA) == 0; }));
    EXPECT_EQ(a->record(visitor), b->record(visitor));
    EXPECT_EQ(siteValue("SELECT out_gate FROM site.records"), QStringLiteral("b"));
    EXPECT_TRUE(a->synced() && b->synced());
    EXPECT_EQ(a->count(), 1);
}

TEST_F(SiteSyncTest, AGateKeepsRegisteringWhileTheServerIsDownAndCatchesUp)
{
    a->start();
    b->start();
    ASSERT_TRUE(eventually([&] { return a->synced() && b->synced(); }));
    server("stop");
    for (int i = 0; i < 5; ++i)
        a->add(QStringLiteral("访客%1").arg(i));
    ASSERT_TRUE(eventually([&] { return !a->sync->status().online && a->sync->status().waiting == 5; }));
    EXPECT_TRUE(a->sync->status().offlineSince.isValid());
    EXPECT_FALSE(b->sync->status().online);

    server("start");
    ASSERT_TRUE(eventually([&] { return a->synced() && b->count() == 5; }, 90000));
    EXPECT_TRUE(a->sync->status().offlineSince.isNull());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(b->record(QStringLiteral("访客%1").arg(i)), a->record(QStringLiteral("访客%1").arg(i)));
    EXPECT_EQ(siteValue("SELECT count(*) FROM site.records"), QStringLiteral("5"));
    EXPECT_TRUE(eventually([&] { return b->synced(); }));
    EXPECT_EQ(a->count(), 5);
}

// Both gates write the same record while neither is connected; a's write
// reaches the site first.
TEST_F(SiteSyncTest, TheFirstWriteStandsAndTheLaterGateIsTold)
{
    struct Case {
        const char* what;
        std::function<void(Gate&, qint64 number, const QString& value)> write;
        SiteNotice::Kind told;
        bool toldStanding; // the notice carries the value that stands
        const char* refusedAction;
    };
    const Case cases[] = {
        {"the same departure",
         [](Gate& gate, qint64 number, const QString& value) { RecordDeparture(gate.connection, number, value); },
         SiteNotice::Kind::DepartureTaken, true, "departure refused"},
        {"a change of the same record",
         [](Gate& gate, qint64 number, const QString& value) {
             gate.write(QStringLiteral("UPDATE data SET 备注 = ? WHERE 编号 = ?"), {value, QString::number(number)});
         },
         SiteNotice::Kind::ChangeRefused, false, "change refused"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        const QString visitor = QStringLiteral("李四");
        a->start();
        b->start();
        const qint64 atA = a->add(visitor);
        ASSERT_TRUE(eventually([&] { return a->synced() && !b->record(visitor).isEmpty(); }));
        a->sync.reset();
        b->sync.reset();

        c.write(*a, atA, QStringLiteral("10:00"));
        c.write(*b, b->numberOf(visitor), QStringLiteral("10:05"));
        a->start();
        ASSERT_TRUE(eventually([&] { return a->synced(); }));
        b->start();
        ASSERT_TRUE(eventually([&] { return b->synced() && !b->noticesSoFar().isEmpty(); }));

        const SiteNotice notice = b->noticesSoFar().value(0);
        EXPECT_EQ(notice.kind, c.told);
        EXPECT_EQ(notice.recordNumber, b->numberOf(visitor));
        EXPECT_EQ(notice.name, visitor);
        EXPECT_EQ(notice.standing, c.toldStanding ? QStringLiteral("10:00") : QString());
        EXPECT_EQ(notice.gate, QStringLiteral("a"));
        EXPECT_TRUE(a->noticesSoFar().isEmpty());
        EXPECT_TRUE(eventually([&] { return a->record(visitor) == b->record(visitor); }));
        EXPECT_TRUE(b->record(visitor).contains(QStringLiteral("'10:00'")));
        EXPECT_EQ(
            admin()
                .exec("SELECT count(*) FROM site.audit WHERE gate = 'b' AND action = $1", {QByteArray(c.refusedAction)})
                .text(0, 0),
            QStringLiteral("1"));
        a.reset();
        b.reset();
    }
}

// Pushed twice (a gate killed after the server answered, before the entry
// left the outbox), an entry changes nothing at the site.
TEST_F(SiteSyncTest, AnOutboxEntryPushedTwiceChangesNothing)
{
    sqlite3* db = a->connection.handle();
    CreateSiteTables(db, QStringLiteral("a"));
    PgConnection server(asGate(QStringLiteral("a")));
    const std::atomic<bool> running{false};
    const QString siteState = QStringLiteral(
        "SELECT (SELECT string_agg(id || ':' || version || ':' || coalesce(departure, '') || ':' || "
        "coalesce(remarks, ''), ',' ORDER BY id) FROM site.records) || '/' || (SELECT count(*) FROM site.changes) "
        "|| '/' || (SELECT count(*) FROM site.audit)");
    struct Step {
        const char* what;
        std::function<void()> write;
    };
    const Step steps[] = {
        {"add", [&] { a->add(QStringLiteral("张三")); }},
        {"modify", [&] { a->write(QStringLiteral("UPDATE data SET 备注 = '夜班'")); }},
        {"depart", [&] { RecordDeparture(a->connection, 1, QStringLiteral("18:00")); }},
        {"delete", [&] { a->write(QStringLiteral("DELETE FROM data")); }},
    };
    for (const Step& step : steps) {
        step.write();
        // The entries as they are now, to put back after the push.
        std::vector<std::vector<sqlite3_value*>> saved;
        {
            SqliteStatement read(db, QStringLiteral("SELECT * FROM site_outbox"));
            while (read.step()) {
                saved.emplace_back();
                for (int i = 0; i < read.columnCount(); ++i)
                    saved.back().push_back(sqlite3_value_dup(sqlite3_column_value(read.get(), i)));
            }
        }
        ASSERT_FALSE(saved.empty()) << step.what;
        SiteExchangeResult result;
        PushSiteOutbox(server, db, QStringLiteral("a"), result, running);
        const QString once = admin().exec(siteState.toUtf8().constData()).text(0, 0);
        for (const auto& row : saved) {
            SqliteStatement put(db, QStringLiteral("INSERT INTO site_outbox VALUES (?, ?, ?, ?, ?, ?, ?)"));
            for (std::size_t i = 0; i < row.size(); ++i) {
                sqlite3_bind_value(put.get(), static_cast<int>(i + 1), row[i]);
                sqlite3_value_free(row[i]);
            }
            put.step();
        }
        PushSiteOutbox(server, db, QStringLiteral("a"), result, running);
        EXPECT_EQ(admin().exec(siteState.toUtf8().constData()).text(0, 0), once) << step.what;
        EXPECT_EQ(SiteOutboxSize(db), 0) << step.what;
        EXPECT_TRUE(result.notices.isEmpty()) << step.what;
    }
}

// A register the site imported, then synced by its own gate: its records are
// matched to the imported ones, nothing is added twice.
TEST_F(SiteSyncTest, AGateSyncingItsImportedRegisterAddsNothingTwice)
{
    a->add(QStringLiteral("张三"));
    a->add(QStringLiteral("李四"));
    a->connection.Close();
    const ToolRun imported =
        site({QStringLiteral("import"), a->dir.path(), QStringLiteral("--gate"), QStringLiteral("a")});
    ASSERT_EQ(imported.exitCode, 0) << imported.output.toStdString();
    a->start();
    b->start();
    ASSERT_TRUE(eventually([&] { return a->synced() && b->synced() && b->count() == 2; }));
    EXPECT_EQ(siteValue("SELECT count(*) FROM site.records"), QStringLiteral("2"));
    EXPECT_EQ(a->count(), 2);
    EXPECT_EQ(b->record(QStringLiteral("李四")), a->record(QStringLiteral("李四")));
    // The gate's ids are the site's now: a departure at a reaches b.
    RecordDeparture(a->connection, a->numberOf(QStringLiteral("张三")), QStringLiteral("18:00"));
    a->sync->wake();
    EXPECT_TRUE(eventually([&] { return b->record(QStringLiteral("张三")).contains(QStringLiteral("'18:00'")); }));
}

TEST_F(SiteSyncTest, AfterACompactionTheGateSyncsOnTheNewFile)
{
    a->start();
    b->start();
    a->add(QStringLiteral("甲"));
    ASSERT_TRUE(eventually([&] { return b->count() == 1; }));
    a->connection.Close();
    CompactDatabaseFile(a->dir.file(QString::fromLatin1(kRegisterFileName)), QString::fromLatin1(kRegisterPassword));
    b->add(QStringLiteral("乙"));
    EXPECT_TRUE(eventually([&] { return !a->record(QStringLiteral("乙")).isEmpty(); }));
    a->add(QStringLiteral("丙"));
    EXPECT_TRUE(eventually([&] { return !b->record(QStringLiteral("丙")).isEmpty(); }));
    EXPECT_EQ(a->count(), 3);
}

// Killed again and again while it pushes (a) and while it pulls (b), a gate
// loses nothing and adds nothing twice: each local step is one transaction
// and each push is keyed by its change.
TEST_F(SiteSyncTest, AGateKilledDuringPushAndPullLosesAndDuplicatesNothing)
{
    constexpr int kRecords = 1000;
    a->write(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                            "INSERT INTO data (姓名, 日期) SELECT '访客' || i, '2026/12/9 9:00:00' FROM n")
                 .arg(kRecords));
    a->connection.Close(); // the gate's program is not running
    // Both run at once, so b pulls while a pushes; both are killed together.
    for (int kill = 0; kill < 8; ++kill) {
        QProcess children[2];
        for (int g = 0; g < 2; ++g) {
            Gate& gate = g == 0 ? *a : *b;
            children[g].start(QStringLiteral(SITE_SYNC_CHILD),
                              {gate.gateFile, gate.dir.file(QString::fromLatin1(kRegisterFileName))});
            ASSERT_TRUE(children[g].waitForStarted());
        }
        QThread::msleep(static_cast<unsigned long>(150 + 40 * kill));
        for (QProcess& child : children) {
            child.kill(); // SIGKILL
            child.waitForFinished();
        }
    }
    // As the program after a crash: the desk opens the register (rolling
    // back what a killed write left) before its sync starts.
    a->connection.Close();
    b->connection.Close();
    ASSERT_EQ(a->count(), kRecords);
    b->count();
    a->start();
    b->start();
    ASSERT_TRUE(eventually([&] { return a->synced() && b->synced() && b->count() == kRecords; }, 120000));
    EXPECT_EQ(siteValue("SELECT count(*) || '/' || count(DISTINCT source_number) FROM site.records"),
              QStringLiteral("%1/%1").arg(kRecords));
    EXPECT_EQ(b->count(QStringLiteral("姓名 IN (SELECT DISTINCT 姓名 FROM data)")), kRecords);
    EXPECT_EQ(b->count(QStringLiteral("编号 IN (SELECT min(编号) FROM data GROUP BY 姓名)")), kRecords);
    EXPECT_EQ(a->count(), kRecords);
}

// A new gate's first fill, stopped after its first slice and taken up again
// while the site changed: every record once, in the site's order, the
// register's indexes back, and the changes made meanwhile applied.
TEST_F(SiteSyncTest, ANewGatesInterruptedFillEndsWithTheSitesRegister)
{
    constexpr int kRecords = 25000; // three slices
    admin().exec("INSERT INTO site.records (id, name, written, in_gate, changed_by, source_number) "
                 "SELECT gen_random_uuid(), '访客' || i, '2026/12/9 9:00:00', 'a', 'a', i "
                 "FROM generate_series(1, 25000) i");
    admin().exec("INSERT INTO site.changes (change_id, gate, kind, record_id) "
                 "SELECT gen_random_uuid(), 'a', 'import', id FROM site.records ORDER BY source_number");
    sqlite3* db = b->connection.handle();
    CreateSiteTables(db, QStringLiteral("b"));
    CreateSiteTables(a->connection.handle(), QStringLiteral("a"));
    PgConnection server(asGate(QStringLiteral("b")));
    std::atomic<bool> stopping{false};
    FillSiteRegister(server, db, stopping, [&](const QList<qint64>&) { stopping = true; });
    ASSERT_EQ(b->count(), 10000);
    ASSERT_TRUE(SiteFillState(db));

    admin().exec("WITH gone AS (DELETE FROM site.records WHERE source_number = 5 RETURNING id) "
                 "INSERT INTO site.changes (change_id, gate, kind, record_id) "
                 "SELECT gen_random_uuid(), 'a', 'delete', id FROM gone");
    admin().exec("WITH added AS (INSERT INTO site.records (id, name, in_gate, changed_by) "
                 "VALUES (gen_random_uuid(), '访客25001', 'a', 'a') RETURNING id) "
                 "INSERT INTO site.changes (change_id, gate, kind, record_id) "
                 "SELECT gen_random_uuid(), 'a', 'add', id FROM added");
    stopping = false;
    FillSiteRegister(server, db, stopping, [](const QList<qint64>&) {});
    SiteExchangeResult result;
    PullSiteChanges(server, db, QStringLiteral("b"), result, stopping);

    EXPECT_FALSE(SiteFillState(db));
    EXPECT_EQ(b->count(), kRecords);
    EXPECT_EQ(b->count(QStringLiteral("编号 IN (SELECT min(编号) FROM data GROUP BY 姓名)")), kRecords);
    EXPECT_EQ(b->count(QStringLiteral("姓名 = '访客5'")), 0);
    const QString outOfOrder =
        QStringLiteral("编号 IN (SELECT 编号 FROM (SELECT 编号, CAST(substr(姓名, 3) AS INT) AS i, "
                       "lag(CAST(substr(姓名, 3) AS INT)) OVER (ORDER BY 编号) AS before "
                       "FROM data) WHERE i < before)");
    EXPECT_EQ(b->count(outOfOrder), 0);
    const auto indexes = [](sqlite3* handle) {
        SqliteStatement s(handle, QStringLiteral("SELECT group_concat(sql, ';') FROM (SELECT sql FROM sqlite_master "
                                                 "WHERE type = 'index' AND sql IS NOT NULL ORDER BY name)"));
        return s.step() ? s.columnText(0) : QString();
    };
    EXPECT_EQ(indexes(db), indexes(a->connection.handle()));
    SqliteStatement days(db, QStringLiteral("SELECT count(*) FROM visit_days"));
    ASSERT_TRUE(days.step());
    EXPECT_EQ(days.columnInt64(0), kRecords);
    EXPECT_NE(LocalRecordOf(db, admin().exec("SELECT id FROM site.records WHERE name = '访客25001'").text(0, 0)), 0);
}

TEST_F(SiteSyncTest, TheSitesWatchListReachesTheGateOnce)
{
    admin().exec("INSERT INTO site.watch_list (id, identity_number, name, reason, added_by) VALUES "
                 "(gen_random_uuid(), '110101199003077777', '王五', '盗窃', 'b')");
    CreateWatchListTable(a->connection.handle());
    a->write(QStringLiteral("INSERT INTO watch_list (姓名, 身份证, 手机, 原因, 添加时间) "
                            "VALUES ('赵六', '', '13800000000', '本门', '2026-12-01 08:00:00')"));
    const auto entries = [&] {
        SqliteStatement s(a->connection.handle(),
                          QStringLiteral("SELECT group_concat(姓名 || 身份证 || 原因, ',') FROM watch_list"));
        return s.step() ? s.columnText(0) : QString();
    };
    for (int start = 0; start < 2; ++start) {
        a->start();
        ASSERT_TRUE(eventually([&] { return a->sync->status().watchListUpdated.isValid(); }));
        EXPECT_EQ(entries(), QStringLiteral("赵六本门,王五110101199003077777盗窃"));
        a->sync.reset();
    }
}

} // namespace
