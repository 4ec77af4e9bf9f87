#include "site/SiteSync.h"
#include "db/DatabaseError.h"
#include "db/RegisterConnection.h"
#include "db/SiteTables.h"
#include "db/Sqlite.h"
#include "db/SqliteHandle.h"
#include "site/PgConnection.h"
#include "site/SiteError.h"
#include "site/SiteExchange.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <libpq-fe.h>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

constexpr int kFirstRetrySeconds = 1;
constexpr int kLastRetrySeconds = 30;
constexpr int kConnectSeconds = 10;
// Without a notice the worker still looks at the site now and then.
constexpr int kQuietPullMs = 30000;
// The site's watch list is looked at this often.
constexpr qint64 kWatchListPullMs = 60000;
constexpr int kGatherNoticesMs = 50;
// The register was busy (the desk writing): try again soon.
constexpr int kBusyRetryMs = 500;
// Records from before site mode get their ids this many to a transaction:
// a few tens of milliseconds the desk may wait for.
constexpr int kAddBatch = 500;

// A dead link shows within seconds rather than at the system's TCP timeout.
const QByteArray kLinkSettings = " keepalives=1 keepalives_idle=5 keepalives_interval=2 keepalives_count=3 "
                                 "tcp_user_timeout=10000 application_name=vostrel";

} // namespace

class SiteWorker {
public:
    SiteWorker(TSiteSync* owner, const GateFile& gate, const QString& registerPath, const QString& password)
        : owner_(owner), gate_(gate), registerPath_(registerPath), password_(password),
          wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
    {}

    ~SiteWorker()
    {
        stopping_ = true;
        wake();
        {
            // A statement waiting on a dead link returns at once.
            const std::lock_guard lock(mutex_);
            if (socket_ >= 0)
                ::shutdown(socket_, SHUT_RDWR);
        }
        if (thread_.joinable())
            thread_.join();
        if (wakeFd_ >= 0)
            ::close(wakeFd_);
    }

    void start()
    {
        if (!thread_.joinable())
            thread_ = std::thread([this] { run(); });
    }

    void wake()
    {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(wakeFd_, &one, sizeof one);
    }

    SiteStatus status() const
    {
        const std::lock_guard lock(mutex_);
        return status_;
    }

    QString gateName() const { return gate_.gate; }

private:
    void run();
    void serve(sqlite3* db);
    // One push of the outbox and pull of the site's changes.
    void exchange(PgConnection& server, sqlite3* db);
    std::unique_ptr<PgConnection> connect();
    // Waits for the socket (-1: none), a wake or the timeout; true when the
    // socket is readable.
    bool waitFor(int socket, short events, int timeoutMs);
    void drainWake()
    {
        std::uint64_t count = 0;
        [[maybe_unused]] const auto read = ::read(wakeFd_, &count, sizeof count);
    }
    void changeStatus(const std::function<void(SiteStatus&)>& change);
    void report(const SiteExchangeResult& result);
    void setSocket(int socket)
    {
        const std::lock_guard lock(mutex_);
        socket_ = socket;
    }

    TSiteSync* owner_;
    const GateFile gate_;
    const QString registerPath_;
    const QString password_;
    const int wakeFd_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    SiteStatus status_;
    int socket_ = -1;
    QElapsedTimer watchListPulled_; // the worker's own
    // The file the handle was opened on: a compaction or a restore puts
    // another in its place, which the worker then opens.
    std::pair<dev_t, ino_t> openedFile_{};
    static std::pair<dev_t, ino_t> fileIdentity(const QString& path)
    {
        struct stat info {};
        if (::stat(QFile::encodeName(path).constData(), &info) != 0)
            return {};
        return {info.st_dev, info.st_ino};
    }
    bool registerReplaced() const
    {
        const auto now = fileIdentity(registerPath_);
        return now != std::pair<dev_t, ino_t>{} && now != openedFile_;
    }
};

bool SiteWorker::waitFor(int socket, short events, int timeoutMs)
{
    pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {socket, events, 0}};
    const int ready = ::poll(fds, socket >= 0 ? 2 : 1, timeoutMs);
    if (ready > 0 && (fds[0].revents & POLLIN))
        drainWake();
    return ready > 0 && socket >= 0 && fds[1].revents != 0;
}

void SiteWorker::changeStatus(const std::function<void(SiteStatus&)>& change)
{
    SiteStatus now;
    bool changed = false;
    {
        const std::lock_guard lock(mutex_);
        SiteStatus before = status_;
        change(status_);
        changed = before.online != status_.online || before.offlineSince != status_.offlineSince
                  || before.waiting != status_.waiting || before.watchListUpdated != status_.watchListUpdated;
        now = status_;
    }
    if (changed)
        emit owner_->statusChanged(now);
}

void SiteWorker::report(const SiteExchangeResult& result)
{
    if (!result.applied.isEmpty())
        emit owner_->recordsApplied(result.applied);
    for (const SiteNotice& notice : result.notices)
        emit owner_->noticeRaised(notice);
}

std::unique_ptr<PgConnection> SiteWorker::connect()
{
    // Made step by step, so that a stop never waits for a server that does
    // not answer.
    pg_conn* conn = PQconnectStart((gate_.connectionString() + kLinkSettings).constData());
    if (!conn || PQstatus(conn) == CONNECTION_BAD) {
        const QString message = QString::fromUtf8(conn ? PQerrorMessage(conn) : "out of memory").trimmed();
        PQfinish(conn);
        throw ESiteError(message);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kConnectSeconds);
    PostgresPollingStatusType polling = PGRES_POLLING_WRITING;
    while (polling != PGRES_POLLING_OK) {
        if (polling == PGRES_POLLING_FAILED)
            return std::make_unique<PgConnection>(conn); // raises with libpq's message
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (stopping_ || left.count() <= 0) {
            PQfinish(conn);
            throw ESiteError(QStringLiteral("the site's server did not answer"));
        }
        if (waitFor(PQsocket(conn), polling == PGRES_POLLING_READING ? POLLIN : POLLOUT,
                    static_cast<int>(left.count())))
            polling = PQconnectPoll(conn);
    }
    return std::make_unique<PgConnection>(conn);
}

void SiteWorker::exchange(PgConnection& server, sqlite3* db)
{
    // The watch list first: a new gate's first fill takes a while.
    if (!watchListPulled_.isValid() || watchListPulled_.hasExpired(kWatchListPullMs)) {
        if (PullSiteWatchList(server, db) >= 0) {
            const QDateTime now = QDateTime::currentDateTime();
            changeStatus([now](SiteStatus& s) { s.watchListUpdated = now; });
        }
        watchListPulled_.start();
    }
    SiteExchangeResult result;
    // What was done before a failure is told as well.
    const auto tell = qScopeGuard([&] { report(result); });
    PushSiteOutbox(server, db, gate_.gate, result, stopping_);
    FillSiteRegister(server, db, stopping_, [this](const QList<qint64>& filled) {
        SiteExchangeResult slice;
        slice.applied = filled;
        report(slice);
    });
    PullSiteChanges(server, db, gate_.gate, result, stopping_);
    const int waiting = SiteOutboxSize(db);
    changeStatus([waiting](SiteStatus& s) { s.waiting = waiting; });
}

namespace {

// Reads what the server sent and takes its notices; true when there was one.
bool takeNotices(pg_conn* conn)
{
    if (PQconsumeInput(conn) == 0)
        throw ESiteError(QString::fromUtf8(PQerrorMessage(conn)).trimmed());
    bool any = false;
    while (PGnotify* notice = PQnotifies(conn)) {
        PQfreemem(notice);
        any = true;
    }
    return any;
}

} // namespace

void SiteWorker::serve(sqlite3* db)
{
    int retrySeconds = kFirstRetrySeconds;
    while (!stopping_) {
        try {
            std::unique_ptr<PgConnection> server = connect();
            setSocket(PQsocket(server->get()));
            const auto closeLink = qScopeGuard([&] {
                setSocket(-1);
                server.reset();
            });
            server->exec("LISTEN vostrel_site");
            changeStatus([](SiteStatus& s) {
                s.online = true;
                s.offlineSince = QDateTime();
            });
            retrySeconds = kFirstRetrySeconds;
            while (!stopping_) {
                if (registerReplaced())
                    return;
                try {
                    exchange(*server, db);
                } catch (const EDatabaseError& e) {
                    qWarning() << "site sync: the register:" << e.message();
                    waitFor(-1, 0, kBusyRetryMs);
                    continue;
                }
                // A notice may have come with the exchange's answers, read
                // already: only without one does the worker wait.
                if (takeNotices(server->get())
                    || (waitFor(PQsocket(server->get()), POLLIN, kQuietPullMs) && takeNotices(server->get()))) {
                    // A gate pushing many changes sends a notice for each:
                    // one pull takes those of a short while together.
                    std::this_thread::sleep_for(std::chrono::milliseconds(kGatherNoticesMs));
                }
            }
        } catch (const ESiteError& e) {
            if (stopping_)
                return;
            qWarning() << "site sync: the link to the site:" << e.message();
        }
        changeStatus([](SiteStatus& s) {
            s.online = false;
            if (s.offlineSince.isNull())
                s.offlineSince = QDateTime::currentDateTime();
        });
        // Offline the desk keeps writing into the outbox: the count follows.
        const auto retryAt = std::chrono::steady_clock::now() + std::chrono::seconds(retrySeconds);
        while (!stopping_ && std::chrono::steady_clock::now() < retryAt) {
            if (registerReplaced())
                return;
            try {
                const int waiting = SiteOutboxSize(db);
                changeStatus([waiting](SiteStatus& s) { s.waiting = waiting; });
            } catch (const EDatabaseError&) {}
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(retryAt - std::chrono::steady_clock::now());
            waitFor(-1, 0, static_cast<int>(std::max<long long>(left.count(), 0)));
        }
        retrySeconds = std::min(retrySeconds * 2, kLastRetrySeconds);
    }
}

void SiteWorker::run()
{
    int retrySeconds = kFirstRetrySeconds;
    while (!stopping_) {
        try {
            SqliteHandle db(registerPath_.toUtf8(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
            KeyRegisterHandle(db.get(), password_);
            // A pull writes every index of data at places of its own: with the
            // engine's small default cache it reads and deciphers the same
            // pages again and again, and spilling them takes the file's lock
            // for the rest of the transaction, so the desk cannot read.
            ExecuteStatements(db.get(), "PRAGMA cache_size = -65536;");
            if (!HoldsSiteTables(db.get()))
                CreateSiteTables(db.get(), gate_.gate);
            // Before the first link, with or without the server: a large
            // register takes a while, the desk writing in between.
            while (!stopping_ && AddRecordsBeforeSiteMode(db.get(), kAddBatch)) {}
            openedFile_ = fileIdentity(registerPath_);
            serve(db.get());
            retrySeconds = kFirstRetrySeconds;
            continue; // stopped, or the register was replaced: open it again
        } catch (const EDatabaseError& e) {
            qWarning() << "site sync: the register cannot be opened:" << e.message();
        }
        waitFor(-1, 0, retrySeconds * 1000);
        retrySeconds = std::min(retrySeconds * 2, kLastRetrySeconds);
    }
}

TSiteSync::TSiteSync(const GateFile& gate, const QString& registerPath, const QString& password, QObject* parent)
    : QObject(parent), worker_(std::make_unique<SiteWorker>(this, gate, registerPath, password))
{
    qRegisterMetaType<SiteStatus>();
    qRegisterMetaType<SiteNotice>();
    qRegisterMetaType<QList<qint64>>();
}

TSiteSync::~TSiteSync() { worker_.reset(); }

void TSiteSync::start() { worker_->start(); }

void TSiteSync::wake() { worker_->wake(); }

SiteStatus TSiteSync::status() const { return worker_->status(); }

QString TSiteSync::gateName() const { return worker_->gateName(); }
