// vostrel-site-bench [--rows N] [--cache DIR] [--seed S] [--runs R]
//
// Run under tests/site/with-site-server.sh, which starts the server. Sets up
// a site as its administrator does and measures, each beside a baseline of
// the same run:
//   site_add_to_other_gate  an add at gate c until the row is in gate d's data
//                           (both small and syncing); baseline: the same add
//                           at a desk without a site
//   site_import:N           the import of the cached N-row register as gate a;
//                           baseline: a plain copy of the file
//   site_join:N             a new gate b with an empty register, from the start
//                           of its sync until data holds the N records and its
//                           outbox is empty; baseline: the import
//   site_join_file_mb       b's file beside a's
//   desk_with_sync:*        listing, search and add on b's register with b's
//                           worker running (idle, listening) beside stopped,
//                           runs interleaved
#include "BenchCache.h"
#include "BenchNumber.h"
#include "db/DatabaseError.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/RegisterQuery.h"
#include "db/SiteTables.h"
#include "db/SqlStatement.h"
#include "db/Sqlite.h"
#include "site/GateFile.h"
#include "site/PgConnection.h"
#include "site/SiteSync.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Options {
    long long rows = 1000000;
    QString cache = QStringLiteral("/tmp/vostrel-bench");
    std::uint64_t seed = 1;
    int runs = 21;
};

// One row of the table: a measured value beside its baseline.
struct Row {
    std::string operation;
    std::vector<double> values; // ms, or MB for sizes
    std::string baseline;
    std::vector<double> baselineValues;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? NAN : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string number(double v, int decimals = 2) { return FormattedNumber(v, decimals, "-"); }

std::string spread(const std::vector<double>& v)
{
    if (v.size() < 2)
        return "-";
    const auto [low, high] = std::minmax_element(v.begin(), v.end());
    return number(*low) + "-" + number(*high);
}

std::string loadText()
{
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    return a + " " + b + " " + c;
}

double elapsedMs(const QElapsedTimer& clock) { return static_cast<double>(clock.nsecsElapsed()) / 1e6; }

[[noreturn]] void fail(const QString& what) { throw std::runtime_error(what.toStdString()); }

QString env(const char* name) { return qEnvironmentVariable(name); }

QString runTool(const QString& workingFolder, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(workingFolder);
    process.start(QStringLiteral(VOSTREL_SITE_TOOL), arguments);
    process.waitForFinished(-1);
    const QString output = QString::fromUtf8(process.readAll());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        fail(QStringLiteral("vostrel-site %1 failed:\n%2").arg(arguments.join(QLatin1Char(' ')), output));
    return output;
}

void appendTo(const QString& path, const QByteArray& lines)
{
    QFile file(path);
    if (!file.open(QIODevice::Append) || file.write(lines) != lines.size())
        fail(QStringLiteral("cannot append to ") + path);
}

// The site as its administrator sets it up on the server of
// with-site-server.sh: init, the server's lines from init's output, gates.
class Site {
public:
    explicit Site(const QString& scratch) : scratch_(scratch), folder_(scratch + QStringLiteral("/site"))
    {
        QDir().mkpath(folder_);
        QFile::copy(env("VOSTREL_TEST_PG_CA_CERT"), folder_ + QStringLiteral("/ca.crt"));
        QFile::copy(env("VOSTREL_TEST_PG_CA_KEY"), folder_ + QStringLiteral("/ca.key"));
        const QString init = tool({QStringLiteral("init"), env("VOSTREL_TEST_PG_ADMIN"), QStringLiteral("--address"),
                                   QStringLiteral("localhost:") + env("VOSTREL_TEST_PG_PORT")});
        QByteArray hba, conf;
        for (const QString& line : init.split(QLatin1Char('\n'))) {
            const QString trimmed = line.trimmed();
            if (trimmed.startsWith(QLatin1String("hostssl")) || trimmed.startsWith(QLatin1String("hostnossl")))
                hba += trimmed.toUtf8() + '\n';
            if (trimmed.startsWith(QLatin1String("ssl_crl_file")))
                conf += trimmed.toUtf8() + '\n';
        }
        appendTo(env("VOSTREL_TEST_PG_DATA") + QStringLiteral("/pg_hba.conf"), hba);
        appendTo(env("VOSTREL_TEST_PG_DATA") + QStringLiteral("/postgresql.conf"), conf);
        PgConnection(env("VOSTREL_TEST_PG_ADMIN").toUtf8()).exec("SELECT pg_reload_conf()");
    }

    QString tool(QStringList arguments) const
    {
        arguments.prepend(folder_);
        arguments.prepend(QStringLiteral("--site"));
        return runTool(scratch_, arguments);
    }
    // A gate added to the site: the path of its gate file.
    QString addGate(const QString& name) const
    {
        const QString out = scratch_ + QStringLiteral("/gate-") + name;
        tool({QStringLiteral("add-gate"), name, QStringLiteral("--out"), out});
        return out + QLatin1Char('/') + QString::fromLatin1(kGateFileName);
    }

private:
    QString scratch_;
    QString folder_;
};

// One gate: its register, the desk's connection and, while it runs, its sync.
struct Gate {
    Gate(const QString& folderPath, const QString& gateFilePath) : folder(folderPath), gateFile(gateFilePath)
    {
        QDir().mkpath(folder);
        if (!QFileInfo::exists(registerPath()))
            CreateRegisterFile(folder, QStringLiteral("abc123"), false);
        connection.SetConnectionString(RegisterConnectionString(folder + QLatin1Char('/')));
    }
    QString registerPath() const { return folder + QLatin1Char('/') + QString::fromLatin1(kRegisterFileName); }

    void start()
    {
        sync =
            std::make_unique<TSiteSync>(ReadGateFile(gateFile), registerPath(), QString::fromLatin1(kRegisterPassword));
        sync->start();
    }
    void stop() { sync.reset(); }
    bool synced() const { return sync && sync->status().online && sync->status().waiting == 0; }
    // Waits until the sync is online with nothing waiting.
    void waitUntilSynced(int timeoutMs = 120000) const
    {
        QElapsedTimer clock;
        clock.start();
        while (!synced()) {
            if (clock.elapsed() > timeoutMs)
                fail(QStringLiteral("a gate's sync did not settle in %1 s").arg(timeoutMs / 1000));
            QThread::msleep(5);
        }
    }
    // Waits until the worker is idle, listening: its first exchange and the
    // watch list's pull done, the outbox empty in the register itself (the
    // status counts it only after an exchange), and a moment more for the
    // exchange's last statements.
    void waitUntilIdle()
    {
        QElapsedTimer clock;
        clock.start();
        while (!synced() || sync->status().watchListUpdated.isNull() || SiteOutboxSize(connection.handle()) > 0) {
            if (clock.elapsed() > 120000)
                fail(QStringLiteral("a gate's sync did not become idle in 120 s"));
            QThread::msleep(5);
        }
        QThread::msleep(200);
    }
    // An add as the desk writes it; wakes the sync when it runs.
    void add(const QString& visitor)
    {
        connection.Execute(
            {QStringLiteral("INSERT INTO data (分类,姓名,身份证,手机,电话,来由,地址,来访,离开,备注,日期) "
                            "VALUES ('QQ帐号', ?, '110101199003071234', '13800138000', NULL, '送货', "
                            "'', '10:00', '', '', '2026/12/9 10:00:00')"),
             {visitor},
             std::nullopt});
        if (sync)
            sync->wake();
    }
    // The rows of data, or -1 when the worker's write kept the desk's
    // connection out longer than its busy timeout.
    long long count()
    {
        try {
            SqliteStatement s(connection.handle(), QStringLiteral("SELECT count(*) FROM data"));
            return s.step() ? s.columnInt64(0) : -1;
        } catch (const EDatabaseError&) {
            ++lockedReads;
            return -1;
        }
    }
    // Whether a first fill is under way (true when the worker's write kept
    // the desk's connection out).
    bool filling()
    {
        try {
            return SiteFillState(connection.handle()).has_value();
        } catch (const EDatabaseError&) {
            ++lockedReads;
            return true;
        }
    }
    double fileMb() const
    {
        return static_cast<double>(FileBytes(registerPath()) + FileBytes(registerPath() + QStringLiteral("-wal")))
               / 1048576.0;
    }

    QString folder;
    QString gateFile;
    TRegisterConnection connection;
    std::unique_ptr<TSiteSync> sync;
    int lockedReads = 0;
};

class SiteBench {
public:
    SiteBench(const Options& options, const TCachedRegister& cached)
        : options_(options), cached_(cached), scratch_(env("VOSTREL_TEST_PG_SCRATCH")), site_(scratch_)
    {}

    std::vector<Row> run()
    {
        for (const char* name : {"a", "b", "c", "d"})
            gateFiles_.push_back(site_.addGate(QString::fromLatin1(name)));
        // Before the import: c and d stay small, so that neither pulls the N records.
        measureAddToOtherGate();
        measureImportAndJoin();
        measureDeskWithSync();
        return rows_;
    }

private:
    QString gateFolder(const char* name) const { return scratch_ + QStringLiteral("/register-") + QLatin1String(name); }

    void measureAddToOtherGate()
    {
        Gate c(gateFolder("c"), gateFiles_[2]);
        Gate d(gateFolder("d"), gateFiles_[3]);
        Gate desk(gateFolder("desk"), QString()); // a desk without a site
        c.start();
        d.start();
        c.waitUntilSynced();
        d.waitUntilSynced();
        std::vector<double> site, alone;
        SqliteStatement arrived(d.connection.handle(), QStringLiteral("SELECT count(*) FROM data WHERE 姓名 = ?"));
        for (int i = 0; i < options_.runs; ++i) {
            QElapsedTimer clock;
            clock.start();
            desk.add(QStringLiteral("本地%1").arg(i));
            alone.push_back(elapsedMs(clock));

            const QString visitor = QStringLiteral("传递%1").arg(i);
            clock.start();
            c.add(visitor);
            for (;;) {
                try {
                    arrived.reset();
                    arrived.bindTexts({visitor});
                    if (arrived.step() && arrived.columnInt64(0) == 1)
                        break;
                } catch (const EDatabaseError&) {
                    ++d.lockedReads;
                }
                if (clock.elapsed() > 60000)
                    fail(QStringLiteral("an add at c did not reach d in 60 s"));
                QThread::usleep(3000);
            }
            site.push_back(elapsedMs(clock));
            c.waitUntilSynced();
            d.waitUntilSynced();
        }
        if (d.lockedReads > 0)
            std::fprintf(stderr, "d's reads met the register locked %d times\n", d.lockedReads);
        addedAtC_ = static_cast<long long>(site.size());
        rows_.push_back({"site_add_to_other_gate", site, "desk_add_without_site", alone});
    }

    void measureImportAndJoin()
    {
        const long long n = options_.rows;
        const QString aFolder = gateFolder("a");
        QDir().mkpath(aFolder);
        const QString aFile = aFolder + QLatin1Char('/') + QString::fromLatin1(kRegisterFileName);
        QElapsedTimer clock;
        clock.start();
        if (!QFile::copy(cached_.folder + QLatin1Char('/') + QString::fromLatin1(kRegisterFileName), aFile))
            fail(QStringLiteral("cannot copy the cached register to ") + aFile);
        const double copyMs = elapsedMs(clock);

        clock.start();
        const QString imported =
            site_.tool({QStringLiteral("import"), aFolder, QStringLiteral("--gate"), QStringLiteral("a")});
        const double importMs = elapsedMs(clock);
        std::fprintf(stderr, "%s", imported.toLocal8Bit().constData());
        rows_.push_back({"site_import:" + std::to_string(n), {importMs}, "file_copy", {copyMs}});

        const long long onSite = n + addedAtC_; // the import and c's adds
        b_ = std::make_unique<Gate>(gateFolder("b"), gateFiles_[1]);
        clock.start();
        b_->start();
        QElapsedTimer progress;
        progress.start();
        for (;;) {
            QThread::msleep(100);
            // Held, and the fill's indexes made again.
            if (b_->synced() && b_->count() == onSite && !b_->filling())
                break;
            if (progress.elapsed() >= 10000) {
                std::fprintf(stderr, "join: %.0f s, %lld of %lld records, %d waiting\n", elapsedMs(clock) / 1000,
                             b_->count(), onSite, b_->sync->status().waiting);
                progress.restart();
            }
            if (clock.elapsed() > 3600000)
                fail(QStringLiteral("gate b did not hold the site's records within an hour"));
        }
        rows_.push_back({"site_join:" + std::to_string(n), {elapsedMs(clock)}, "site_import", {importMs}});
        if (b_->lockedReads > 0)
            std::fprintf(stderr, "during the join the desk's reads met the register locked %d times\n",
                         b_->lockedReads);
        Gate a(aFolder, gateFiles_[0]);
        rows_.push_back({"site_join_file_mb", {b_->fileMb()}, "a_file_mb", {a.fileMb()}});
    }

    // The listing, a search and an add on b's register, each with b's worker
    // stopped and running, in turns.
    void measureDeskWithSync()
    {
        Gate& b = *b_;
        TRegisterQuery query(&b.connection);
        int found = 0;
        const auto listing = [&] {
            query.Close();
            query.SQL.Clear();
            query.SQL.Add(SqlSelect{"Select ", kListedColumns, " from ", "data"});
            query.Open();
            for (int row = 0; row < 30 && !query.Eof(); ++row, query.Next())
                (void)query.Fields(2);
        };
        const auto search = [&] {
            query.Close();
            query.SQL.Clear();
            query.SQL.Add(SqlLine(SqlSelect{"Select ", kListedColumns, "  from ", "data"}) + SqlWhere{" where "}
                          + SqlColumn{QStringLiteral("姓名")} + " like '%" + SqlValue{QStringLiteral("张伟")} + "%' ");
            query.Open();
            found = query.RecordCount();
        };
        int added = 0;
        const auto add = [&] { b.add(QStringLiteral("桌面%1").arg(++added)); };
        struct Operation {
            const char* name;
            std::function<void()> body;
            std::vector<double> stopped, running;
        };
        std::vector<Operation> operations = {
            {"listing", listing, {}, {}}, {"search", search, {}, {}}, {"add", add, {}, {}}};
        const auto timed = [](const std::function<void()>& body) {
            QElapsedTimer clock;
            clock.start();
            body();
            return elapsedMs(clock);
        };
        b.stop();
        for (int i = 0; i < options_.runs; ++i) {
            for (Operation& o : operations)
                o.stopped.push_back(timed(o.body));
            b.start();
            b.waitUntilIdle();
            for (Operation& o : operations) {
                o.running.push_back(timed(o.body));
                b.waitUntilIdle(); // the add's push done
            }
            b.stop();
        }
        query.Close();
        std::fprintf(stderr, "the search of 张伟 found %d records\n", found);
        for (Operation& o : operations)
            rows_.push_back({std::string("desk_with_sync:") + o.name, o.running, "worker_stopped", o.stopped});
    }

    const Options& options_;
    TCachedRegister cached_;
    QString scratch_;
    Site site_;
    QStringList gateFiles_;
    std::unique_ptr<Gate> b_;
    long long addedAtC_ = 0;
    std::vector<Row> rows_;
};

void printTable(const std::vector<Row>& rows)
{
    std::printf("%-26s %5s %12s %21s %-22s %12s %21s %8s\n", "operation", "runs", "median", "min-max", "baseline",
                "median", "min-max", "ratio");
    for (const Row& r : rows) {
        const double value = median(r.values);
        const double base = median(r.baselineValues);
        std::printf("%-26s %5zu %12s %21s %-22s %12s %21s %8s\n", r.operation.c_str(), r.values.size(),
                    number(value).c_str(), spread(r.values).c_str(), r.baseline.c_str(), number(base).c_str(),
                    spread(r.baselineValues).c_str(), number(value / base, 3).c_str());
    }
    std::printf("(times in ms; site_join_file_mb and a_file_mb in MB)\n");
}

bool parseOptions(const QCoreApplication& app, Options& o)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Measures the site on the server of tests/site/with-site-server.sh, each row beside a baseline."));
    parser.addHelpOption();
    const QCommandLineOption rows(QStringLiteral("rows"), QStringLiteral("Records of the imported register."),
                                  QStringLiteral("N"));
    const QCommandLineOption cache(QStringLiteral("cache"), QStringLiteral("Folder of the generated registers."),
                                   QStringLiteral("DIR"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the generated register."),
                                  QStringLiteral("S"));
    const QCommandLineOption runs(QStringLiteral("runs"), QStringLiteral("Runs of the repeated rows (default 21)."),
                                  QStringLiteral("R"));
    parser.addOptions({rows, cache, seed, runs});
    parser.process(app);
    bool ok = true;
    const auto whole = [&](const QCommandLineOption& option, long long fallback) {
        if (!parser.isSet(option))
            return fallback;
        bool good = false;
        const long long value = parser.value(option).toLongLong(&good);
        ok = ok && good && value >= 1;
        return value;
    };
    o.rows = whole(rows, o.rows);
    o.seed = static_cast<std::uint64_t>(whole(seed, static_cast<long long>(o.seed)));
    o.runs = static_cast<int>(std::min(whole(runs, o.runs), 100000LL));
    if (parser.isSet(cache))
        o.cache = parser.value(cache);
    return ok && parser.positionalArguments().isEmpty();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Options options;
    if (!parseOptions(app, options)) {
        std::fprintf(stderr, "vostrel-site-bench: --rows, --seed and --runs take a whole number of at least 1\n");
        return 2;
    }
    if (env("VOSTREL_TEST_PG_ADMIN").isEmpty()) {
        std::fprintf(stderr, "vostrel-site-bench: run it through tests/site/with-site-server.sh\n");
        return 2;
    }
    const TCachedRegister cached = CachedRegister(options.cache, options.rows, options.seed);
    if (!cached.error.isEmpty()) {
        std::fprintf(stderr, "vostrel-site-bench: %s\n", cached.error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("load before: %s; cores: %ld\n", loadText().c_str(), sysconf(_SC_NPROCESSORS_ONLN));
    std::fflush(stdout);
    std::vector<Row> rows;
    try {
        SiteBench bench(options, cached);
        rows = bench.run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vostrel-site-bench: %s\n", e.what());
        return 1;
    }
    printTable(rows);
    std::printf("load after: %s\n", loadText().c_str());
    return 0;
}
