// Kills the driver with SIGKILL at random moments while it works the
// register's handlers, and after every kill checks the files against the
// driver's journal: the register opens and is sound, every record whose
// success was shown is there with its values, none twice, Pass holds the old
// or the new password, class.dat the old or the new list, files are the
// owner's alone; the search copy of the next start answers as the scan does.
//
//   test_crash_safety DRIVER [KILLS]
#include "db/CategoryFile.h"
#include "db/DatabaseError.h"
#include "db/LikeMatch.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/SearchIndex.h"
#include "db/SqlStatement.h"
#include "db/Sqlite.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <optional>
#include <poll.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Keys a handle on a register; false when the key does not read it.
bool keys(sqlite3* db)
{
    try {
        KeyRegisterHandle(db, QString::fromLatin1(kRegisterPassword));
        return true;
    } catch (const EDatabaseError&) {
        return false;
    }
}

struct State {
    QMap<QString, QStringList> records; // by identity-card tag: the ten fields 分类..备注
    QString pass;
    QStringList categories;
    bool operator==(const State&) const = default;
};

struct Entry {
    QByteArray kind; // try, ok, fail
    QByteArray op;
    QStringList args;
};

void apply(State& s, const Entry& e)
{
    if (e.op == "add" || e.op == "modify")
        s.records[e.args.value(2)] = e.args;
    else if (e.op == "delete")
        s.records.remove(e.args.value(0));
    else if (e.op == "clear-all")
        s.records.clear();
    else if (e.op == "password")
        s.pass = e.args.value(0);
    else if (e.op.startsWith("category"))
        s.categories = e.args;
}

// Whole lines only: a line cut by the kill never reached the disk whole.
QList<Entry> readJournal(const QString& path)
{
    QFile file(path);
    QList<Entry> entries;
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    const QByteArray content = file.readAll();
    const QList<QByteArray> lines = content.left(content.lastIndexOf('\n') + 1).split('\n');
    for (const QByteArray& line : lines) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() < 2)
            continue;
        Entry e{words[0], words[1], {}};
        for (qsizetype i = 2; i < words.size(); ++i)
            e.args << (words[i] == "-" ? QString() : QString::fromUtf8(QByteArray::fromPercentEncoding(words[i])));
        entries << e;
    }
    return entries;
}

class Checker {
public:
    explicit Checker(QString folder) : folder_(std::move(folder)) {}

    int held = 0;
    int lost = 0;

    void check(bool ok, const QString& what)
    {
        if (ok) {
            ++held;
        } else {
            ++lost;
            std::printf("  LOST: %s\n", qPrintable(what));
        }
    }

    // Reads the files as the program would find them at its next start.
    std::optional<State> read()
    {
        const QString path = folder_ + QStringLiteral("_.udb");
        check(ownerOnly(path), QStringLiteral("_.udb is not owner-only"));
        sqlite3* db = nullptr;
        std::optional<State> state;
        // Read-write, so that a transaction cut by the kill is rolled back.
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK
            || !keys(db)) {
            check(false, QStringLiteral("_.udb does not open with its key: ") + QString::fromUtf8(sqlite3_errmsg(db)));
            sqlite3_close(db);
            return state;
        }
        try {
            InstallLikeFunction(db); // for the search's scan below
            State s;
            SqliteStatement integrity(db, QStringLiteral("PRAGMA integrity_check"));
            check(integrity.step() && integrity.columnText(0) == QLatin1String("ok"),
                  QStringLiteral("integrity_check: ") + integrity.columnText(0));
            SqliteStatement rows(
                db, QStringLiteral("SELECT 分类,姓名,身份证,手机,电话,来由,地址,来访,离开,备注 FROM data"));
            bool unique = true;
            while (rows.step()) {
                QStringList fields;
                for (int i = 0; i < 10; ++i)
                    fields << rows.columnText(i);
                if (s.records.contains(fields[2])) {
                    unique = false;
                    std::printf("  record twice: %s\n", qPrintable(fields[2]));
                }
                s.records[fields[2]] = fields;
            }
            check(unique, QStringLiteral("a record appears twice"));
            SqliteStatement pass(db, QStringLiteral("SELECT 密码 FROM Pass"));
            check(pass.step(), QStringLiteral("Pass has no row"));
            s.pass = pass.columnText(0);
            check(!pass.step(), QStringLiteral("Pass has more than one row"));
            s.categories = ReadCategoryFile(folder_ + QStringLiteral("class.dat"));
            state = s;
            checkSearchCopy(db, path);
        } catch (const std::exception& e) {
            check(false, QStringLiteral("reading failed: ") + QString::fromUtf8(e.what()));
        }
        sqlite3_close(db);
        checkBackups();
        return state;
    }

private:
    // The copy the next start loads for its searches gives the record
    // numbers the engine's scan gives, for the listing and a search.
    void checkSearchCopy(sqlite3* db, const QString& path)
    {
        TSearchIndex index(path, QString::fromLatin1(kRegisterPassword));
        index.attach(db);
        const bool loaded = index.waitUntilReady();
        check(loaded, QStringLiteral("the search copy does not load"));
        for (const QString& keyword : {QString(), QStringLiteral("1")}) {
            TSqlStrings sql;
            if (keyword.isEmpty())
                sql.Add(SqlLine(SqlSelect{"Select ", kListedColumns, " from ", "data"}));
            else
                sql.Add(SqlLine(SqlSelect{"Select ", kListedColumns, "  from ", "data"}) + SqlWhere{" where "}
                        + SqlColumn{QStringLiteral("身份证")} + " like '%" + SqlValue{keyword} + "%' ");
            const CompiledSql compiled = sql.compile();
            const auto fromCopy = loaded ? index.select(*compiled.plainSelect, compiled.parameters) : std::nullopt;
            SqliteStatement scan(db, QStringLiteral("SELECT 编号 FROM data") + compiled.plainSelect->rest
                                         + QStringLiteral(" ORDER BY 编号"));
            scan.bindTexts(compiled.parameters);
            std::vector<std::int64_t> scanned;
            while (scan.step())
                scanned.push_back(scan.columnInt64(0));
            check(!loaded || fromCopy == scanned,
                  QStringLiteral("the search copy differs from the scan for '") + keyword + QStringLiteral("'"));
        }
        index.detach();
    }

    static bool ownerOnly(const QString& path)
    {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 && (st.st_mode & 077) == 0;
    }

    // Each finished backup, once: owner-only, and a sound register.
    void checkBackups()
    {
        const QStringList names = QDir(folder_).entryList({QStringLiteral("bak_*_.udb")}, QDir::Files);
        for (const QString& name : names) {
            const QString path = folder_ + name;
            const QString key = name + QString::number(QFileInfo(path).lastModified().toMSecsSinceEpoch());
            if (seenBackups_.contains(key))
                continue;
            seenBackups_.insert(key);
            check(ownerOnly(path), name + QStringLiteral(" is not owner-only"));
            sqlite3* db = nullptr;
            bool sound =
                sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
                && keys(db);
            if (sound) {
                try {
                    SqliteStatement integrity(db, QStringLiteral("PRAGMA quick_check"));
                    sound = integrity.step() && integrity.columnText(0) == QLatin1String("ok");
                } catch (const std::exception&) {
                    sound = false;
                }
            }
            sqlite3_close(db);
            check(sound, name + QStringLiteral(" is not a sound register"));
        }
    }

    QString folder_;
    QSet<QString> seenBackups_;
};

QString describe(const State& s)
{
    QStringList tags = s.records.keys();
    return QStringLiteral("%1 records, pass %2, categories %3")
        .arg(tags.size())
        .arg(s.pass, s.categories.join(QLatin1Char('|')));
}

struct Driver {
    pid_t pid = -1;
    int out = -1;
};

Driver start(const char* program, const QString& folder, const QString& journal, unsigned seed)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    const QByteArray f = QFile::encodeName(folder), j = QFile::encodeName(journal), s = QByteArray::number(seed);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        // The driver's diagnostics go to a log beside the journal.
        const int log = ::open((j + ".log").constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (log >= 0)
            ::dup2(log, STDERR_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        ::execl(program, program, f.constData(), j.constData(), s.constData(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    ::close(pipeFds[1]);
    return {pid, pipeFds[0]};
}

bool waitReady(const Driver& d)
{
    pollfd p{d.out, POLLIN, 0};
    if (::poll(&p, 1, 30000) <= 0)
        return false;
    char buffer[16] = {};
    return ::read(d.out, buffer, sizeof buffer - 1) > 0 && QByteArray(buffer).startsWith("ready");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DRIVER [KILLS]\n", argv[0]);
        return 2;
    }
    const int kills = argc > 2 ? std::atoi(argv[2]) : 220;
    QTemporaryDir root;
    const QString folder = root.path() + QStringLiteral("/register/");
    QDir().mkpath(folder);
    QDir().mkpath(root.path() + QStringLiteral("/home"));
    QDir().mkpath(root.path() + QStringLiteral("/tmp"));
    // The driver's desktop entry and its compaction's temporary files stay here.
    ::setenv("HOME", QFile::encodeName(root.path() + QStringLiteral("/home")).constData(), 1);
    ::setenv("TMPDIR", QFile::encodeName(root.path() + QStringLiteral("/tmp")).constData(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QDir().mkpath(root.path() + QStringLiteral("/run"));
    QFile::setPermissions(root.path() + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ::setenv("XDG_RUNTIME_DIR", QFile::encodeName(root.path() + QStringLiteral("/run")).constData(), 1);

    try {
        CreateRegisterFile(folder, QStringLiteral("abc123"), false);
    } catch (const EDatabaseError&) {
        std::fprintf(stderr, "cannot make the register\n");
        return 1;
    }
    WriteCategoryFile(folder + QStringLiteral("class.dat"), DefaultCategories());

    Checker checker(folder);
    std::optional<State> model = checker.read();
    if (!model)
        return 1;

    const unsigned seed = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::printf("seed %u, %d kills\n", seed, kills);
    std::mt19937 rng(seed);
    std::map<QByteArray, int> killsAt;
    int made = 0, okOps = 0, failedOps = 0;
    for (int k = 0; k < kills; ++k) {
        const QString journal = root.path() + QStringLiteral("/journal");
        QFile::remove(journal);
        QFile::remove(journal + QStringLiteral(".log"));
        const Driver d = start(argv[1], folder, journal, static_cast<unsigned>(rng()));
        if (d.pid < 0 || !waitReady(d)) {
            std::printf("driver did not get ready (kill %d)\n", k);
            checker.check(false, QStringLiteral("driver start"));
            if (d.pid > 0) {
                ::kill(d.pid, SIGKILL);
                ::waitpid(d.pid, nullptr, 0);
            }
            break;
        }
        ::usleep(std::uniform_int_distribution<unsigned>(20000, 200000)(rng));
        ::kill(d.pid, SIGKILL);
        int status = 0;
        ::waitpid(d.pid, &status, 0);
        ::close(d.out);
        if (!(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)) {
            std::printf("driver ended by itself (status %d) before the kill\n", status);
            checker.check(false, QStringLiteral("driver ran until killed"));
        }
        ++made;

        // What the journal promises, and what the last operation could have done.
        const QList<Entry> entries = readJournal(journal);
        State expected = *model;
        std::optional<Entry> inFlight;
        for (const Entry& e : entries) {
            if (e.kind == "try") {
                inFlight = e;
            } else {
                inFlight.reset();
                if (e.kind == "ok") {
                    apply(expected, e);
                    ++okOps;
                } else {
                    ++failedOps;
                    std::printf("  operation failed: [%s] %s %s\n", e.kind.toHex().constData(), e.op.constData(),
                                qPrintable(e.args.join(QLatin1Char(' '))));
                }
            }
        }
        ++killsAt[inFlight ? inFlight->op : QByteArray("(between operations)")];
        State alternative = expected;
        if (inFlight)
            apply(alternative, *inFlight);

        const std::optional<State> actual = checker.read();
        if (!actual)
            break;
        const bool records = actual->records == expected.records || actual->records == alternative.records;
        const bool pass = actual->pass == expected.pass || actual->pass == alternative.pass;
        const bool categories =
            actual->categories == expected.categories || actual->categories == alternative.categories;
        checker.check(records, QStringLiteral("records after kill %1").arg(k));
        checker.check(pass, QStringLiteral("Pass after kill %1").arg(k));
        checker.check(categories, QStringLiteral("class.dat after kill %1").arg(k));
        if (!records || !pass || !categories)
            std::printf("  expected %s; found %s\n", qPrintable(describe(expected)), qPrintable(describe(*actual)));
        if (!records || !pass || !categories) {
            QFile log(journal + QStringLiteral(".log")), j(journal);
            if (log.open(QIODevice::ReadOnly))
                std::printf("  driver said: %s\n", log.readAll().constData());
            if (j.open(QIODevice::ReadOnly))
                std::printf("  journal:\n%s\n", j.readAll().constData());
        }
        model = actual;
    }

    std::printf("operations journalled as done: %d, failed: %d\n", okOps, failedOps);
    std::printf("kills at:\n");
    for (const auto& [op, n] : killsAt)
        std::printf("  %-22s %d\n", op.constData(), n);
    std::printf("kills: %d, checks held: %d, lost: %d\n", made, checker.held, checker.lost);
    return checker.lost == 0 && made == kills && failedOps == 0 ? 0 : 1;
}
