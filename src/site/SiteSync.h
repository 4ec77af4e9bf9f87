#pragma once
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <memory>

#include "site/GateFile.h"

// What the status panel shows of the link to the site's server.
struct SiteStatus {
    bool online = false;
    QDateTime offlineSince;     // when the link went down; null while online or before the first try
    int waiting = 0;            // outbox entries not yet acknowledged
    QDateTime watchListUpdated; // last pull of the site's watch list; null if never
};

// A change of this gate that the site did not take, told in one line.
struct SiteNotice {
    enum class Kind { DepartureTaken, ChangeRefused };
    Kind kind = Kind::ChangeRefused;
    qint64 recordNumber = 0; // the local 编号
    QString name;            // 姓名 of the record
    QString standing;        // DepartureTaken: the departure that stands; ChangeRefused: empty
    QString gate;            // the gate whose value stands
};

Q_DECLARE_METATYPE(SiteStatus)
Q_DECLARE_METATYPE(SiteNotice)

class SiteWorker;

// The gate's sync with the site: lives in the GUI thread and owns a worker
// thread with its own handle on the register and its own server connection.
// The worker pushes the outbox (db/SiteTables.h) and pulls the site's changes
// into data; a link that is down never blocks the caller.
class TSiteSync : public QObject {
    Q_OBJECT
public:
    TSiteSync(const GateFile& gate, const QString& registerPath, const QString& password, QObject* parent = nullptr);
    // Stops and joins the worker promptly, also on a dead link.
    ~TSiteSync() override;

    void start();
    // The desk wrote: push soon.
    void wake();
    SiteStatus status() const;
    QString gateName() const;

signals:
    void statusChanged(const SiteStatus& status);
    // Rows of data a pull added, changed or deleted (local 编号).
    void recordsApplied(const QList<qint64>& recordNumbers);
    void noticeRaised(const SiteNotice& notice);

private:
    friend class SiteWorker;
    std::unique_ptr<SiteWorker> worker_;
};
