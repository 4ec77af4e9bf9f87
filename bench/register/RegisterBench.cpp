// vostrel-bench [--rows N]... [--csv FILE] [--seed S] [--runs R] [--cache DIR]
//
// Measures the register's operations with the program's own classes and the
// main window's handlers (offscreen), for each N on a generated register,
// beside two baselines run in the same process:
//   naive - a static cursor reading every column of every row of the listing
//           query into memory;
//   floor - reading the bare list of 编号 of all rows.
// Each operation's time is the median of several runs. Every N runs in a
// child process of its own, so that peak memory belongs to that N alone; an
// empty register is measured too, as the memory reference.
//
// CSV columns: operation,rows,median_ms,ratio_to_naive,ratio_to_floor,peak_rss_mb.
// The rows file_size and file_size_compacted carry in ratio_to_naive the size
// relative to the same rows in a plain SQLite file without indexes, and in
// peak_rss_mb the size of the file in MB.
//
// Searches run twice: "scan:<probe>" with the engine reading the register,
// then "search:<probe>" answered by the in-memory search copy, side by side
// in a table at the end. "index_build" loads that copy; "index_memory" (its
// size) and "index_rss_growth" (what the process grew by) are MB in
// peak_rss_mb. A write ending in ":indexed" includes bringing the copy in step.
#include "BenchCache.h"
#include "BenchNumber.h"
#include "VisitorGenerator.h"
#include "app/AuditTrailDialog.h"
#include "app/ListExport.h"
#include "app/ReturningVisitorOffers.h"
#include "app/TVostrelApplication.h"
#include "app/Unit1.h"
#include "app/VisitorSuggestionList.h"
#include "app/WatchListCheck.h"
#include "audit/AuditStore.h"
#include "audit/AuditTrail.h"
#include "db/AtomicFileCopy.h"
#include "db/DayIndex.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/RegisterQuery.h"
#include "db/SearchIndex.h"
#include "db/Sqlite.h"
#include "db/SqliteTransaction.h"
#include "login/Unit_Login.h"
#include "records/OldRecords.h"
#include "reports/DateRange.h"
#include "reports/VisitStatistics.h"
#include "reports/VisitTime.h"
#include "shell/ExecutableFolder.h"
#include "shell/MessageBoxes.h"
#include "visitors/RecordDate.h"
#include "watchlist/WatchList.h"

#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Options {
    std::vector<long long> rows;
    QString csv;
    std::uint64_t seed = 1;
    int runs = 5;
    QString cache = QStringLiteral("/tmp/vostrel-bench");
    long long childRows = -1; // set in the child process of one N
    int childFd = -1;
};

struct Result {
    std::string operation;
    long long rows = 0;
    double medianMs = NAN;
    double ratioNaive = NAN;
    double ratioFloor = NAN;
    double peakRssMb = NAN;
    double cpuMs = NAN; // processor time of this process, shown beside the wall time
};

// Peak resident memory of this process in MB (VmHWM), and its reset.
double peakRssMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return NAN;
}

// Resident memory of this process now, in MB (VmRSS).
double currentRssMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return NAN;
}

void resetPeakRss()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? NAN : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double cpuNowMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Timing {
    double wallMs;
    double cpuMs;
};

// Runs `prepare` (untimed) and `body` (timed) `runs` times; the medians in ms.
Timing measure(int runs, const std::function<void()>& prepare, const std::function<void()>& body)
{
    std::vector<double> times, cpu;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer clock;
        const double cpuStart = cpuNowMs();
        clock.start();
        body();
        times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        cpu.push_back(cpuNowMs() - cpuStart);
    }
    return {median(times), median(cpu)};
}

// Lets pending events run, then paints the grid's visible rows at once.
void repaintGrid(TForm1* form)
{
    QCoreApplication::processEvents();
    form->DBGrid1->viewport()->repaint();
}

class Child {
public:
    Child(const Options& options, long long rows, const TCachedRegister& cached)
        : options_(options), rows_(rows), cached_(cached)
    {}

    std::vector<Result> run();

private:
    void add(const std::string& operation, Timing t, double rss = NAN)
    {
        results_.push_back({operation, rows_, t.wallMs, NAN, NAN, rss, t.cpuMs});
    }
    // Times an operation with its peak memory.
    void op(const std::string& operation, int runs, const std::function<void()>& prepare,
            const std::function<void()>& body)
    {
        resetPeakRss();
        const Timing t = measure(runs, prepare, body);
        add(operation, t, peakRssMb());
    }
    void measureOldRecordsDeletion();
    void measureAuditTrail();
    void measureReports(int runs, int slowRuns);
    void startForms();
    void fillForm(const QString& name);
    void measureRecordListFeatures(int runs, const std::function<int()>& farRow);
    void measureSearches(int runs, int slowRuns, const std::function<int()>& farRow);
    void measureWatchListCheck(int runs);

    const Options& options_;
    long long rows_;
    TCachedRegister cached_;
    QString work_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::vector<Result> results_;
};

void Child::startForms()
{
    form2_.reset();
    form1_.reset();
    form1_ = std::make_unique<TForm1>();
    form2_ = std::make_unique<TForm2>(form1_.get());
    form1_->LoginForm = form2_.get();
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
}

void Child::fillForm(const QString& name)
{
    TForm1* f = form1_.get();
    f->Edit_FenLei->setEditText(QStringLiteral("QQ帐号"));
    f->Edit_XingMing->setText(name);
    f->Edit_IDNumber->setText(QStringLiteral("110101199003071234"));
    f->Edit_ShouJi->setText(QStringLiteral("13800138000"));
    f->Edit_LaiYou->setText(QStringLiteral("送货"));
    f->Edit_DiZhi->setText(QStringLiteral("北京市朝阳区建设路1号"));
    f->Memo_BeiZhu->setPlainText(QStringLiteral("第一行\n第二行"));
}

// A search of the record list; without a column, the category filter.
struct SearchProbe {
    std::string name;
    QString column;
    QString keyword;
};

std::vector<SearchProbe> searchProbes(const QString& farIdentity, const QString& farMobile)
{
    std::vector<SearchProbe> probes;
    for (const TRareKeyword& rare : RareKeywords())
        probes.push_back({"column:" + rare.column.toStdString(), rare.column, rare.keyword});
    const auto add = [&](const char* name, const char* column, const QString& keyword) {
        probes.push_back({name, QString::fromUtf8(column), keyword});
    };
    add("zh1", "姓名", QStringLiteral("张"));
    add("zh2", "姓名", QStringLiteral("张伟"));
    add("zh3", "姓名", QStringLiteral("欧阳娜"));
    add("zh4", "地址", QStringLiteral("建设路1"));
    add("digits1", "身份证", QStringLiteral("7"));
    add("digits3", "手机", QStringLiteral("138"));
    add("digits7", "电话", QStringLiteral("0571-88"));
    add("digits11", "手机", farMobile);
    add("digits14", "身份证", farIdentity.left(14));
    add("digits18", "身份证", farIdentity);
    add("ascii", "分类", QStringLiteral("qq"));
    add("underscore", "姓名", QStringLiteral("张_伟"));
    add("percent", "地址", QStringLiteral("北京%人民路"));
    add("nearly_all", "地址", QStringLiteral("市"));
    add("none:姓名", "姓名", MissingKeyword());
    add("none:地址", "地址", MissingKeyword());
    probes.push_back({"filter", QString(), FilterCategory()});
    return probes;
}

// Each search and the filter, from the click to the first screen painted
// with the count in the status panel (a search without a match includes the
// listing that follows it): first with the engine's scan, then with the
// in-memory copy, whose load is measured in between.
void Child::measureSearches(int runs, int slowRuns, const std::function<int()>& farRow)
{
    TForm1* f = form1_.get();
    TRegisterConnection* connection = f->ADOConnection1;
    QString farIdentity = QStringLiteral("110101199003071234"), farMobile = QStringLiteral("13800138000");
    if (rows_ > 0) {
        f->ADOQuery1->SetRecNo(farRow());
        farIdentity = f->ADOQuery1->Fields(DataColumn::IdentityNumber);
        farMobile = f->ADOQuery1->Fields(DataColumn::Mobile);
    }
    const std::vector<SearchProbe> probes = searchProbes(farIdentity, farMobile);
    const auto measureProbes = [&](const std::string& prefix) {
        for (const SearchProbe& probe : probes)
            op(
                prefix + probe.name, runs,
                [&] {
                    if (probe.column.isEmpty()) {
                        f->ComboBoxClass->setEditText(probe.keyword);
                    } else {
                        f->ComboBoxSeachClass->setCurrentText(probe.column);
                        f->searchkeyword->setText(probe.keyword);
                    }
                },
                [&] {
                    if (probe.column.isEmpty())
                        f->ComboBoxClassChange();
                    else
                        f->Button_SearchClick();
                    repaintGrid(f);
                });
    };
    connection->EnableSearchIndex(false);
    measureProbes("scan:");

    const double rssBefore = currentRssMb();
    op(
        "index_build", slowRuns, [&] { connection->EnableSearchIndex(false); },
        [&] {
            connection->EnableSearchIndex(true);
            connection->searchIndex()->waitUntilReady();
        });
    results_.push_back({"index_memory", rows_, NAN, NAN, NAN,
                        static_cast<double>(connection->searchIndex()->memoryBytes()) / 1048576.0, NAN});
    results_.push_back({"index_rss_growth", rows_, NAN, NAN, NAN, currentRssMb() - rssBefore, NAN});
    measureProbes("search:");
    f->ComboBoxSeachClass->setCurrentText(QStringLiteral("姓名"));
}

// The record list's additions: the on-site view, a departure with the
// listing that follows it, and the returning-visitor look-up that runs on
// each keystroke in 身份证 (from the 6th character) and 手机 (from the 7th).
void Child::measureRecordListFeatures(int runs, const std::function<int()>& farRow)
{
    TForm1* f = form1_.get();
    op("on_site_view", runs, nullptr, [&] {
        f->OnSiteOnlyItemClick();
        repaintGrid(f);
    });
    op(
        "departure", runs,
        [&] {
            f->Button_RefreshClick();
            do
                f->ADOQuery1->SetRecNo(farRow());
            while (!f->ADOQuery1->Fields(DataColumn::Departure).isEmpty());
            repaintGrid(f);
        },
        [&] {
            f->RecordDepartureItemClick();
            repaintGrid(f);
        });

    // The numbers of a visitor far back in the register, typed further and further.
    f->Button_RefreshClick();
    f->ADOQuery1->SetRecNo(farRow());
    const QString id = f->ADOQuery1->Fields(DataColumn::IdentityNumber);
    const QString mobile = f->ADOQuery1->Fields(DataColumn::Mobile);
    struct Probe {
        std::string name;
        QLineEdit* edit;
        QString typed;
    };
    const std::vector<Probe> probes = {
        {"suggest_id:6", f->Edit_IDNumber, id.left(6)},
        {"suggest_id:10", f->Edit_IDNumber, id.left(10)},
        {"suggest_id:14", f->Edit_IDNumber, id.left(14)},
        {"suggest_id:18", f->Edit_IDNumber, id},
        {"suggest_id:rare6", f->Edit_IDNumber, RareKeywords()[1].keyword.left(6)},
        {"suggest_id:none6", f->Edit_IDNumber, QStringLiteral("999999")},
        {"suggest_mobile:7", f->Edit_ShouJi, mobile.left(7)},
        {"suggest_mobile:11", f->Edit_ShouJi, mobile},
        {"suggest_mobile:rare7", f->Edit_ShouJi, (RareKeywords()[2].keyword + QStringLiteral("00")).left(7)},
    };
    for (const Probe& probe : probes)
        op(
            probe.name, runs * 4, [&] { probe.edit->setText(probe.typed); },
            [&] {
                if (probe.edit == f->Edit_IDNumber)
                    f->ReturningVisitorOffers->Edit_IDNumberChange();
                else
                    f->ReturningVisitorOffers->Edit_ShouJiChange();
            });
    f->ReturningVisitorOffers->IDNumberSuggestions->Close();
    f->ReturningVisitorOffers->MobileNumberSuggestions->Close();
}

// The watch list's check of the record form on each keystroke, at 10,000
// entries: the program's hash maps beside a scan of every entry that
// normalises and compares the same three fields. The entries go again
// afterwards, so the file sizes measured later are the register's own.
void Child::measureWatchListCheck(int runs)
{
    constexpr int kEntries = 10000;
    TForm1* f = form1_.get();
    sqlite3* db = f->ADOConnection1->handle();
    ExecuteStatements(db, "BEGIN; INSERT INTO watch_list (姓名, 身份证, 手机, 原因, 添加时间) "
                          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
                          "SELECT '访客' || i, printf('110105%012d', i), printf('139%08d', i), '测试', '' FROM n; "
                          "COMMIT;");
    f->WatchListCheck->Reload();
    std::uint64_t state = 777;
    auto typeVisitor = [&] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        const int i = 1 + static_cast<int>((state >> 33) % (2 * kEntries)); // half of them on the list
        f->Edit_XingMing->setText(QStringLiteral("访客%1").arg(i));
        f->Edit_IDNumber->setText(QStringLiteral("110105%1").arg(i, 12, 10, QLatin1Char('0')));
        f->Edit_ShouJi->setText(QStringLiteral("+86 139%1").arg(i, 8, 10, QLatin1Char('0')));
    };
    op("watch_check:10000", runs * 4, typeVisitor, [&] { f->WatchListCheck->CheckForm(); });
    int sink = 0;
    op("watch_scan:10000", runs * 4, typeVisitor, [&] {
        const QString number = NormalisedIdentityNumber(f->Edit_IDNumber->text());
        const QString mobile = NormalisedMobile(f->Edit_ShouJi->text());
        const QString name = f->Edit_XingMing->text();
        for (const TWatchEntry& e : f->WatchList->Entries())
            sink += (NormalisedIdentityNumber(e.identityNumber) == number) + (NormalisedMobile(e.mobile) == mobile)
                    + (e.name == name);
    });
    if (sink < 0)
        std::fprintf(stderr, " ");
    ExecuteStatements(db, "DELETE FROM watch_list;");
    f->WatchListCheck->Reload();
    f->Button_ClearAllEditClick();
}

std::vector<Result> Child::run()
{
    const int runs = options_.runs;
    const int slowRuns = std::max(1, std::min(runs, 3));
    work_ = options_.cache + QStringLiteral("/work-%1").arg(getpid());
    QDir(work_).removeRecursively();
    QDir().mkpath(work_);
    const QString registerPath = work_ + QStringLiteral("/_.udb");
    QFile::copy(cached_.folder + QStringLiteral("/_.udb"), registerPath);
    SetExecutableFolderForTesting(work_ + QLatin1Char('/'));
    MessageBoxes::SetScript([](const MessageBoxes::Request&) { return true; }); // Yes to every question

    // Start-up: both windows built, until the event loop runs.
    op("startup", slowRuns, nullptr, [&] { startForms(); });
    TForm1* f = form1_.get();
    f->Timer_CheckLogin->stop();

    // The login check: open with the key, read Pass (the login window shows).
    op(
        "login_check", runs, [&] { f->ADOConnection1->Close(); }, [&] { f->Button_CheckLoginClick(); });
    form2_->hide();
    form2_->Edit_LoginPass_Temp->setText(QStringLiteral("admin1"));
    f->ShowAfterLogin();
    repaintGrid(f);

    // The listing, and the peak memory of the process after it.
    f->Button_RefreshClick();
    repaintGrid(f);
    const double rssAfterListing = peakRssMb();
    const Timing listing = measure(runs, nullptr, [&] {
        f->Button_RefreshClick();
        repaintGrid(f);
    });
    add("listing", listing, rssAfterListing);

    // Rows far apart, so that no click finds its row read already.
    f->Button_RefreshClick();
    repaintGrid(f);
    std::uint64_t pickState = 12345;
    auto farRow = [&] {
        pickState = pickState * 6364136223846793005ull + 1442695040888963407ull;
        const int count = f->ADOQuery1->RecordCount();
        return count == 0 ? 1 : 1 + static_cast<int>((pickState >> 33) % static_cast<std::uint64_t>(count));
    };
    measureSearches(runs, slowRuns, farRow);

    f->Button_RefreshClick();
    repaintGrid(f);
    if (rows_ > 0) {
        op("cell_click", runs * 4, nullptr, [&] {
            f->ADOQuery1->SetRecNo(farRow());
            f->DBGrid1CellClick();
        });
        op(
            "jump_last", runs,
            [&] {
                f->Button_FirstClick();
                repaintGrid(f);
            },
            [&] {
                f->Button_LastClick();
                repaintGrid(f);
            });
    }

    // The writes, without the search copy and with it, each followed by
    // what it costs the copy to take them in.
    int added = 0;
    for (const bool indexed : {false, true}) {
        f->ADOConnection1->EnableSearchIndex(indexed);
        if (indexed)
            f->ADOConnection1->searchIndex()->waitUntilReady();
        const std::string suffix = indexed ? ":indexed" : "";
        auto catchUp = [&] {
            if (indexed)
                f->ADOConnection1->searchIndex()->ready();
        };
        op(
            "add" + suffix, runs, [&] { fillForm(QStringLiteral("测试%1").arg(++added)); },
            [&] {
                f->Button1Click();
                repaintGrid(f);
                catchUp();
            });
        if (rows_ > 0) {
            op(
                "modify" + suffix, runs,
                [&] {
                    f->Button_RefreshClick();
                    f->ADOQuery1->SetRecNo(farRow());
                    f->DBGrid1CellClick();
                    f->Edit_XingMing->setText(QStringLiteral("改名"));
                },
                [&] {
                    f->Button2Click();
                    repaintGrid(f);
                    catchUp();
                });
            op(
                "delete" + suffix, runs,
                [&] {
                    f->Button_RefreshClick();
                    f->ADOQuery1->SetRecNo(farRow());
                    repaintGrid(f);
                },
                [&] {
                    f->Button3Click();
                    repaintGrid(f);
                    catchUp();
                });
        }
    }

    if (rows_ > 0) {
        measureRecordListFeatures(runs, farRow);
        measureReports(runs, slowRuns);
    }
    measureWatchListCheck(runs);

    // Export of the whole list, with the peak memory while it runs.
    for (const char* extension : {"xlsx", "csv"}) {
        const QString file = work_ + QStringLiteral("/export.") + QString::fromLatin1(extension);
        op(
            std::string("export_") + extension, slowRuns,
            [&] {
                f->Button_RefreshClick();
                QFile::remove(file);
            },
            [&] { f->ListExport->ExportRowsToFile(file); });
        QFile::remove(file);
    }

    // The pre-change backup copy and the compaction; the search copy would
    // load again behind the baselines.
    f->ADOConnection1->EnableSearchIndex(false);
    const QString backup = work_ + QStringLiteral("/bak_bench_.udb");
    op(
        "backup", slowRuns, [&] { QFile::remove(backup); }, [&] { CopyFileAtomically(registerPath, backup); });
    QFile::remove(backup);
    op("compact", slowRuns, nullptr, [&] { f->Button11Click(); });

    // Baselines on a handle of their own, single-threaded like the program's.
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(registerPath).constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                    nullptr);
    KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword));
    std::size_t sink = 0;
    op("floor", runs, nullptr, [&] {
        SqliteStatement s(db, QStringLiteral("SELECT 编号 FROM data"));
        std::vector<std::int64_t> ids;
        while (s.step())
            ids.push_back(s.columnInt64(0));
        sink += ids.size();
    });
    op("naive", slowRuns, nullptr, [&] {
        SqliteStatement s(db,
                          QStringLiteral("Select 编号,分类,姓名,身份证,手机,电话,来由,地址,来访,离开,备注 from data"));
        std::vector<QStringList> all;
        while (s.step()) {
            QStringList row;
            for (int i = 0; i < 11; ++i)
                row << s.columnText(i);
            all.push_back(std::move(row));
        }
        sink += all.size();
    });
    sqlite3_close(db);
    if (sink == 1)
        std::fprintf(stderr, " ");
    measureOldRecordsDeletion();
    measureAuditTrail();

    const auto naive =
        std::find_if(results_.begin(), results_.end(), [](const Result& r) { return r.operation == "naive"; });
    const auto floor =
        std::find_if(results_.begin(), results_.end(), [](const Result& r) { return r.operation == "floor"; });
    for (Result& r : results_) {
        r.ratioNaive = r.medianMs / naive->medianMs;
        r.ratioFloor = r.medianMs / floor->medianMs;
    }
    const double plain = static_cast<double>(FileBytes(cached_.plainPath));
    results_.push_back({"file_size", rows_, NAN,
                        static_cast<double>(FileBytes(cached_.folder + QStringLiteral("/_.udb"))) / plain, NAN,
                        static_cast<double>(FileBytes(cached_.folder + QStringLiteral("/_.udb"))) / 1048576.0});
    results_.push_back({"file_size_compacted", rows_, NAN, static_cast<double>(FileBytes(registerPath)) / plain, NAN,
                        static_cast<double>(FileBytes(registerPath)) / 1048576.0});
    results_.push_back({"file_size_plain", rows_, NAN, 1.0, NAN, plain / 1048576.0});

    form2_.reset();
    form1_.reset();
    QDir(work_).removeRecursively();
    return results_;
}

// Visits by date through the day index: ranges of the last day, month and
// year of the generated visits listed as 按日期查看 lists them, beside finding the
// same records by reading every record's dates; the statistics of the last
// year beside the same counts from every record; and building the day index
// of an older register beside reading every record's dates.
void Child::measureReports(int runs, int slowRuns)
{
    TForm1* f = form1_.get();
    sqlite3* db = f->ADOConnection1->handle();
    QDate last;
    {
        // The last day of the generated visits: the writes measured before
        // added a few visits of today.
        SqliteStatement latest(db, QStringLiteral("SELECT max(day) FROM visit_days WHERE 编号 <= ?"));
        latest.bindInt64(1, rows_);
        if (!latest.step())
            return;
        last = QDate::fromJulianDay(latest.columnInt64(0));
    }
    const TRecordDateReader reader(QLocale(QStringLiteral("zh_CN")));
    const struct {
        const char* name;
        TDateRange range;
    } ranges[] = {
        {"today", {last, last}},
        {"month", {last.addMonths(-1).addDays(1), last}},
        {"year", {last.addYears(-1).addDays(1), last}},
    };
    for (const auto& r : ranges) {
        op(std::string("date_range:") + r.name, runs, nullptr, [&] {
            f->ListDateRange(r.range);
            repaintGrid(f);
        });
        op(std::string("date_range_scan_baseline:") + r.name, slowRuns, nullptr, [&] {
            std::vector<std::int64_t> ids;
            SqliteStatement all(db, QStringLiteral("SELECT 编号, 来访, 日期 FROM data"));
            while (all.step()) {
                const std::optional<QDate> day = ArrivalDay(reader, all.columnText(1), all.columnText(2));
                if (day && *day >= r.range.from && *day <= r.range.to)
                    ids.push_back(all.columnInt64(0));
            }
            if (ids.size() == static_cast<std::size_t>(rows_) + 1)
                std::fprintf(stderr, " ");
        });
    }
    const TDateRange year = ranges[2].range;
    std::int64_t counted = 0;
    op("statistics:year", slowRuns, nullptr,
       [&] { counted = CollectStatistics(db, year, QLocale(QStringLiteral("zh_CN"))).visits; });
    op("statistics_scan_baseline:year", slowRuns, nullptr, [&] {
        QHash<QString, std::int64_t> perCategory;
        SqliteStatement all(db, QStringLiteral("SELECT 分类, 来访, 离开, 日期 FROM data"));
        while (all.step()) {
            const std::optional<QDate> day = ArrivalDay(reader, all.columnText(1), all.columnText(3));
            if (day && *day >= year.from && *day <= year.to) {
                ++perCategory[all.columnText(0)];
                TimeOf(all.columnText(1));
                MomentOf(reader, all.columnText(2), *day);
            }
        }
    });
    std::fprintf(stderr, "statistics of %s to %s: %lld visits\n",
                 year.from.toString(Qt::ISODate).toLocal8Bit().constData(),
                 year.to.toString(Qt::ISODate).toLocal8Bit().constData(), static_cast<long long>(counted));
    op("day_index_build", 1, nullptr, [&] {
        SqliteTransaction build(db, "BEGIN IMMEDIATE;");
        CreateDayIndex(db);
        build.Commit();
    });
    op("day_index_read_baseline", 1, nullptr, [&] {
        std::int64_t readable = 0;
        SqliteStatement all(db, QStringLiteral("SELECT 编号, 来访, 日期 FROM data"));
        while (all.step())
            readable += ArrivalDay(reader, all.columnText(1), all.columnText(2)) ? 1 : 0;
        if (readable == rows_ + 1)
            std::fprintf(stderr, " ");
    });
    f->ADOConnection1->noteWrite();
}

// Deleting the older half of the register, on fresh copies of the generated
// file, beside the baseline of one delete per record with the engine's
// default cache in one transaction.
void Child::measureOldRecordsDeletion()
{
    const QString copy = work_ + QStringLiteral("/delete/_.udb");
    const auto freshCopy = [&] {
        QDir(work_ + QStringLiteral("/delete")).removeRecursively();
        QDir().mkpath(work_ + QStringLiteral("/delete"));
        QFile::copy(cached_.folder + QStringLiteral("/_.udb"), copy);
    };
    freshCopy();
    TRegisterConnection connection;
    connection.SetConnectionString(RegisterConnectionString(work_ + QStringLiteral("/delete/")));
    const TRecordDateReader reader(QLocale(QStringLiteral("zh_CN")));
    QDate day;
    {
        SqliteStatement middle(connection.handle(), QStringLiteral("SELECT 日期 FROM data WHERE 编号 >= ? LIMIT 1"));
        middle.bindInt64(1, rows_ / 2);
        if (middle.step())
            day = reader.dateOf(middle.columnText(0)).value_or(QDate());
    }
    TOldRecords old;
    op("find_old_half", 1, nullptr, [&] { old = FindRecordsBefore(connection, day, reader); });
    std::int64_t deleted = 0;
    op("delete_old_half", 1, nullptr, [&] { deleted = DeleteRecords(connection, old.ids, day, reader).deleted; });
    connection.Close();
    freshCopy();
    op("delete_old_half_per_row_baseline", 1, nullptr, [&] {
        sqlite3* db = connection.handle();
        ExecuteStatements(db, "BEGIN IMMEDIATE;");
        SqliteStatement remove(db, QStringLiteral("DELETE FROM data WHERE 编号 = ?"));
        for (const std::int64_t id : old.ids) {
            remove.bindInt64(1, id);
            remove.step();
            remove.reset();
        }
        ExecuteStatements(db, "COMMIT;");
    });
    connection.Close();
    std::fprintf(stderr, "deleted %lld of %lld records dated before %s\n", static_cast<long long>(deleted), rows_,
                 day.toString(Qt::ISODate).toLocal8Bit().constData());
    QDir(work_ + QStringLiteral("/delete")).removeRecursively();
}

// The audit trail: an add with its row beside the same add without, on a
// copy of the register; then the trail filled to as many rows as the register
// has records, its window opened on the first page, and its chain checked.
void Child::measureAuditTrail()
{
    const QString folder = work_ + QStringLiteral("/audit/");
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    QFile::copy(cached_.folder + QStringLiteral("/_.udb"), folder + QStringLiteral("_.udb"));
    TRegisterConnection connection;
    connection.SetConnectionString(RegisterConnectionString(folder));
    TAuditTrail trail(&connection);
    int added = 0;
    const auto insert = [&] {
        SqlLine line("Insert into data (分类,姓名,身份证,手机,电话,来由,地址,来访,离开,备注,日期) values ('");
        const QStringList values = {QStringLiteral("QQ帐号"),
                                    QStringLiteral("测试%1").arg(++added),
                                    QStringLiteral("110101199003071234"),
                                    QStringLiteral("13800138000"),
                                    QString(),
                                    QStringLiteral("送货"),
                                    QString(),
                                    QString(),
                                    QString(),
                                    QString(),
                                    QStringLiteral("2026/12/9 10:00:00")};
        for (int i = 0; i < 11; ++i) {
            line += SqlValue{values[i]};
            line += i < 10 ? "','" : "')";
        }
        TSqlStrings sql;
        sql.Add(line);
        connection.Execute(sql.compile());
    };
    const int runs = options_.runs * 4;
    op("add_without_audit_row", runs, nullptr, insert);
    op("add_with_audit_row", runs, nullptr, [&] {
        trail.RecordChange([&] {
            insert();
            return TAuditEntry{QStringLiteral("添加记录"), QString::number(added), {}};
        });
    });

    // The trail filled as a gate of many years fills it, row after row.
    {
        sqlite3* db = connection.handle();
        ExecuteStatements(db, "BEGIN IMMEDIATE; DELETE FROM audit_trail; DELETE FROM audit_head;");
        SqliteStatement row(db, QStringLiteral("INSERT INTO audit_trail VALUES (?, ?, ?, ?, ?, ?)"));
        QString previous;
        const QDateTime start(QDate(2016, 1, 1), QTime(8, 0));
        for (long long seq = 1; seq <= std::max(rows_, 1LL); ++seq) {
            const QString at = AuditTimeText(start.addSecs(seq * 300));
            const TAuditEntry entry{QStringLiteral("添加记录"), QString::number(seq), QString()};
            previous = AuditRowHash(previous, seq, at, entry);
            row.bindTexts({QString(), at, entry.event, entry.subject, entry.detail, previous});
            row.bindInt64(1, seq);
            row.step();
            row.reset();
        }
        SqliteStatement head(db, QStringLiteral("INSERT INTO audit_head VALUES (1, ?, ?)"));
        head.bindTexts({QString(), previous});
        head.bindInt64(1, std::max(rows_, 1LL));
        head.step();
        ExecuteStatements(db, "COMMIT;");
    }
    op("audit_window_open", options_.runs, nullptr, [&] {
        TAuditTrailDialog window(nullptr, &connection);
        window.show();
        QCoreApplication::processEvents();
    });
    bool intact = false;
    op("audit_verify", 1, nullptr, [&] { intact = VerifyAuditTrail(connection.handle()).intact; });
    if (!intact)
        std::fprintf(stderr, "the filled trail did not check out\n");
    connection.Close();
    QDir(folder).removeRecursively();
}

std::string number(double v, int decimals) { return FormattedNumber(v, decimals, ""); }

std::string serialise(const std::vector<Result>& results)
{
    std::ostringstream out;
    for (const Result& r : results)
        out << r.operation << '\t' << r.rows << '\t' << number(r.medianMs, 4) << '\t' << number(r.ratioNaive, 5) << '\t'
            << number(r.ratioFloor, 5) << '\t' << number(r.peakRssMb, 2) << '\t' << number(r.cpuMs, 4) << '\n';
    return out.str();
}

double field(const std::string& s) { return s.empty() ? NAN : std::stod(s); }

std::vector<Result> parse(const std::string& text)
{
    std::vector<Result> results;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::string::size_type start = 0, tab;
        while ((tab = line.find('\t', start)) != std::string::npos) {
            f.push_back(line.substr(start, tab - start));
            start = tab + 1;
        }
        f.push_back(line.substr(start));
        if (f.size() != 7)
            continue;
        results.push_back({f[0], std::stoll(f[1]), field(f[2]), field(f[3]), field(f[4]), field(f[5]), field(f[6])});
    }
    return results;
}

// One N in a child process; its results come back through a pipe.
std::vector<Result> measureInChild(const Options& options, long long rows)
{
    const TCachedRegister cached = CachedRegister(options.cache, rows, options.seed);
    if (!cached.error.isEmpty()) {
        std::fprintf(stderr, "vostrel-bench: %s\n", cached.error.toLocal8Bit().constData());
        return {};
    }
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        ::close(fds[0]);
        // A fresh image, so that no memory of the generation counts for this N.
        std::vector<std::string> args = {"vostrel-bench",
                                         "--child-rows",
                                         std::to_string(rows),
                                         "--child-fd",
                                         std::to_string(fds[1]),
                                         "--seed",
                                         std::to_string(options.seed),
                                         "--runs",
                                         std::to_string(options.runs),
                                         "--cache",
                                         options.cache.toStdString()};
        std::vector<char*> argvChild;
        argvChild.reserve(args.size() + 1);
        for (std::string& a : args)
            argvChild.push_back(a.data());
        argvChild.push_back(nullptr);
        execv("/proc/self/exe", argvChild.data());
        _exit(127);
    }
    ::close(fds[1]);
    std::string text;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(fds[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(got));
    ::close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "vostrel-bench: the measurement of %lld rows failed\n", rows);
    return parse(text);
}

// The child's side: measures one N and writes the results to `fd`.
int runChild(const Options& options, long long rows, int fd, int argc, char** argv)
{
    const TCachedRegister cached = CachedRegister(options.cache, rows, options.seed);
    if (!cached.error.isEmpty())
        return 1;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The start-up writes a desktop entry: it goes to a folder of the bench.
    const QString home = options.cache + QStringLiteral("/home");
    QDir().mkpath(home);
    QFile::setPermissions(home, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home));
    // The offscreen platform cannot raise windows, and says so each time.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg && !message.contains(QLatin1String("does not support raise"))
            && !message.contains(QLatin1String("No such signal")))
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    });
    int code = 0;
    {
        TVostrelApplication app(argc, argv);
        Child child(options, rows, cached);
        const std::string text = serialise(child.run());
        code = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 1;
    }
    ::close(fd);
    return code;
}

std::string loadText()
{
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    return a + " " + b + " " + c;
}

// Pads to `width` terminal columns; a CJK character takes two.
std::string padded(const std::string& s, int width)
{
    int columns = 0;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        columns += n >= 3 ? 2 : 1;
        i += n;
    }
    return s + std::string(static_cast<std::size_t>(std::max(0, width - columns)), ' ');
}

void printTable(const std::vector<Result>& all)
{
    std::printf("%-22s %9s %12s %10s %10s %10s %10s\n", "operation", "rows", "median_ms", "/naive", "/floor", "rss_mb",
                "cpu_ms");
    for (const Result& r : all)
        std::printf("%s %9lld %12s %10s %10s %10s %10s\n", padded(r.operation, 22).c_str(), r.rows,
                    number(r.medianMs, 2).c_str(), number(r.ratioNaive, 3).c_str(), number(r.ratioFloor, 2).c_str(),
                    number(r.peakRssMb, 1).c_str(), number(r.cpuMs, 2).c_str());
}

// Each search beside the same run's scan of it.
void printSearchTable(const std::vector<Result>& all)
{
    std::printf("\n%-22s %9s %10s %10s %8s\n", "search", "rows", "scan_ms", "index_ms", "ratio");
    for (const Result& r : all) {
        if (r.operation.rfind("search:", 0) != 0)
            continue;
        const std::string probe = r.operation.substr(7);
        const auto scan = std::find_if(all.begin(), all.end(), [&](const Result& s) {
            return s.rows == r.rows && s.operation == "scan:" + probe;
        });
        const double scanMs = scan == all.end() ? NAN : scan->medianMs;
        std::printf("%s %9lld %10s %10s %8s\n", padded(probe, 22).c_str(), r.rows, number(scanMs, 2).c_str(),
                    number(r.medianMs, 2).c_str(), number(r.medianMs / scanMs, 3).c_str());
    }
}

enum class ParseResult { Run, Help, Error };

ParseResult parseOptions(int argc, char** argv, Options& o, QString& helpText)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Measures the register's operations at scale, beside a naive and a floor baseline."));
    // No application object exists yet: the help option is plain, and the
    // program's name is put in by hand.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Displays this help."));
    const QCommandLineOption rows(QStringLiteral("rows"),
                                  QStringLiteral("A register size to measure (repeatable; "
                                                 "default 10000, 100000 and 1000000)."),
                                  QStringLiteral("N"));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("Also write the results to FILE."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the generated registers."),
                                  QStringLiteral("S"));
    const QCommandLineOption runs(QStringLiteral("runs"), QStringLiteral("Runs per operation (at least 1)."),
                                  QStringLiteral("R"));
    const QCommandLineOption cache(QStringLiteral("cache"), QStringLiteral("Folder of the generated registers."),
                                   QStringLiteral("DIR"));
    // Used by the bench itself to measure one size in a fresh process.
    QCommandLineOption childRows(QStringLiteral("child-rows"), QString(), QStringLiteral("N"));
    QCommandLineOption childFd(QStringLiteral("child-fd"), QString(), QStringLiteral("FD"));
    childRows.setFlags(QCommandLineOption::HiddenFromHelp);
    childFd.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({help, rows, csv, seed, runs, cache, childRows, childFd});
    helpText = parser.helpText().replace(QLatin1String("<executable_name>"), QLatin1String("vostrel-bench"));
    if (!parser.parse(arguments)) {
        helpText = QStringLiteral("vostrel-bench: ") + parser.errorText() + QLatin1Char('\n') + helpText;
        return ParseResult::Error;
    }
    if (!parser.positionalArguments().isEmpty())
        return ParseResult::Error;
    if (parser.isSet(help))
        return ParseResult::Help;

    bool ok = true;
    const auto whole = [&ok](const QString& text) {
        bool good = false;
        const long long value = text.toLongLong(&good);
        ok = ok && good;
        return value;
    };
    for (const QString& n : parser.values(rows))
        o.rows.push_back(whole(n));
    if (parser.isSet(csv))
        o.csv = parser.value(csv);
    if (parser.isSet(seed)) {
        bool good = false;
        o.seed = parser.value(seed).toULongLong(&good);
        ok = ok && good;
    }
    if (parser.isSet(runs))
        o.runs = static_cast<int>(std::clamp(whole(parser.value(runs)), 1LL, 1000000LL));
    if (parser.isSet(cache))
        o.cache = parser.value(cache);
    if (parser.isSet(childRows))
        o.childRows = whole(parser.value(childRows));
    if (parser.isSet(childFd))
        o.childFd = static_cast<int>(whole(parser.value(childFd)));
    if (o.rows.empty())
        o.rows = {10000, 100000, 1000000};
    return ok ? ParseResult::Run : ParseResult::Error;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    QString helpText;
    switch (parseOptions(argc, argv, options, helpText)) {
    case ParseResult::Run: break;
    case ParseResult::Help: std::printf("%s", helpText.toLocal8Bit().constData()); return 0;
    case ParseResult::Error: std::fprintf(stderr, "%s", helpText.toLocal8Bit().constData()); return 2;
    }
    if (options.childRows >= 0)
        return runChild(options, options.childRows, options.childFd, argc, argv);
    std::printf("load before: %s; cores: %ld\n", loadText().c_str(), sysconf(_SC_NPROCESSORS_ONLN));
    std::vector<Result> all = measureInChild(options, 0);
    std::map<std::string, double> emptyRss;
    for (const Result& r : all)
        emptyRss[r.operation] = r.peakRssMb;
    for (long long rows : options.rows) {
        const std::vector<Result> part = measureInChild(options, rows);
        all.insert(all.end(), part.begin(), part.end());
        for (const Result& r : part)
            if (r.operation == "listing")
                std::printf(
                    "N=%lld: listing %.1f ms, peak memory after listing %.1f MB (%.1f MB above the empty register)\n",
                    rows, r.medianMs, r.peakRssMb, r.peakRssMb - emptyRss["listing"]);
    }
    printTable(all);
    printSearchTable(all);
    std::printf("load after: %s\n", loadText().c_str());
    if (!options.csv.isEmpty()) {
        std::ofstream csv(QFile::encodeName(options.csv).constData());
        csv << "operation,rows,median_ms,ratio_to_naive,ratio_to_floor,peak_rss_mb\n";
        for (const Result& r : all)
            csv << r.operation << ',' << r.rows << ',' << number(r.medianMs, 3) << ',' << number(r.ratioNaive, 4) << ','
                << number(r.ratioFloor, 3) << ',' << number(r.peakRssMb, 1) << '\n';
    }
    return 0;
}
