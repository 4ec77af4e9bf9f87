#include "app/SiteDesk.h"
#include "app/SiteStatusText.h"
#include "db/ConnectionString.h"
#include "db/RegisterConnection.h"
#include "db/RegisterFile.h"
#include "db/SiteTables.h"
#include "db/Sqlite.h"
#include "shell/ExecutableFolder.h"
#include "site/SiteSync.h"

#include <QLabel>
#include <QStatusBar>
#include <QTimer>

TSiteDesk::TSiteDesk(const GateFile& gate, TRegisterConnection* connection, QStatusBar* statusBar, QObject* parent)
    : QObject(parent), gate_(gate), connection_(connection), panel_(new QLabel(statusBar))
{
    panel_->setObjectName(QStringLiteral("SitePanel"));
    panel_->setFrameShape(QFrame::Panel);
    panel_->setFrameShadow(QFrame::Sunken);
    statusBar->addWidget(panel_, 1);
    showStatus(SiteStatus{});

    // Compaction and a damaged page close the register; the worker's handle
    // must not outlive the file it was opened on.
    connect(connection_, &TRegisterConnection::closing, this, [this] {
        stop();
        if (wanted_)
            QTimer::singleShot(0, this, [this] {
                if (!wanted_ || sync_)
                    return;
                // A register that cannot be opened now is told by the desk's
                // next statement; the sync waits for the next login.
                try {
                    Start();
                } catch (const std::exception&) {}
            });
    });
    // Every write of the desk wakes the worker, once the write's handler
    // has committed it.
    connect(
        connection_, &TRegisterConnection::wrote, this,
        [this] {
            if (sync_)
                sync_->wake();
        },
        Qt::QueuedConnection);
}

TSiteDesk::~TSiteDesk() { End(); }

void TSiteDesk::Start()
{
    wanted_ = true;
    if (sync_)
        return;
    sqlite3* db = connection_->handle();
    if (!HoldsSiteTables(db)) {
        CreateSiteTables(db, gate_.gate);
        connection_->noteWrite();
    }
    const ConnectionParts parts = ParseConnectionString(RegisterConnectionString(ExecutableFolder()));
    sync_ = std::make_unique<TSiteSync>(gate_, parts.dataSource, parts.password);
    connect(sync_.get(), &TSiteSync::statusChanged, this, &TSiteDesk::showStatus);
    emit Started(sync_.get());
    sync_->start();
    showStatus(sync_->status());
}

void TSiteDesk::End()
{
    wanted_ = false;
    stop();
}

void TSiteDesk::stop() { sync_.reset(); }

void TSiteDesk::showStatus(const SiteStatus& status)
{
    const QString text = SiteStatusText(status, QDateTime::currentDateTime());
    panel_->setText(text);
    panel_->setToolTip(text); // the whole line, should the panel cut it off
}

QString TSiteDesk::SiteIdOf(qint64 recordNumber) const
{
    SqliteStatement read(connection_->handle(),
                         QStringLiteral("SELECT site_id FROM site_records WHERE record_number = ?1"));
    read.bindInt64(1, recordNumber);
    return read.step() ? read.columnText(0) : QString();
}

std::optional<qint64> TSiteDesk::RecordOfSiteId(const QString& siteId) const
{
    const std::int64_t number = LocalRecordOf(connection_->handle(), siteId);
    if (number <= 0)
        return std::nullopt;
    return number;
}
