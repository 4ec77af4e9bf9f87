#pragma once
#include "site/GateFile.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class QLabel;
class QStatusBar;
class TRegisterConnection;
class TSiteSync;
struct SiteStatus;

// The desk of a gate of a site (a usable gate file beside the program):
// the sync with the site's server, started after each login and stopped
// when the register closes, and the status panel that shows the link.
// The window wires what a pull brings (Unit1_Site.cpp).
class TSiteDesk : public QObject {
    Q_OBJECT
public:
    // Adds the site panel to `statusBar`.
    TSiteDesk(const GateFile& gate, TRegisterConnection* connection, QStatusBar* statusBar, QObject* parent);
    ~TSiteDesk() override;

    // Makes the register's site tables if absent and starts the sync; after
    // the register closed, it starts again once the register is back. Raises
    // EDatabaseError when the tables cannot be made.
    void Start();
    // The program ends: the sync stops for good.
    void End();

    // The worker, while it runs; nullptr otherwise.
    TSiteSync* Sync() const { return sync_.get(); }
    QLabel* Panel() const { return panel_; }

    // The record's id on the site, empty when it has none yet.
    QString SiteIdOf(qint64 recordNumber) const;
    // The local record of a site id, or nothing.
    std::optional<qint64> RecordOfSiteId(const QString& siteId) const;

signals:
    // A sync was started: the window connects to its signals.
    void Started(TSiteSync* sync);

private:
    void showStatus(const SiteStatus& status);
    void stop();

    GateFile gate_;
    TRegisterConnection* connection_;
    QLabel* panel_;
    std::unique_ptr<TSiteSync> sync_;
    bool wanted_ = false; // started after a login and not ended
};
