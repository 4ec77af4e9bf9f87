#pragma once
#include "audit/AuditStore.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <functional>
#include <optional>

class TRegisterConnection;

// The program's audit trail on the register connection. An event is written
// as it happens when the register is open and holds the trail; before that
// (the start, a failed login before an older register got its tables at the
// login) or while the file cannot be written, it is kept with its time and
// written ahead of the next event that can be.
class TAuditTrail : public QObject {
    Q_OBJECT
public:
    explicit TAuditTrail(TRegisterConnection* connection, QObject* parent = nullptr);

    // Records an event that writes nothing else. Never raises.
    void RecordEvent(const QString& event, const QString& detail = {});
    void RecordEvent(const TAuditEntry& entry);

    // Runs `change` and appends the entry it returns, if any, in the same
    // transaction: the change and its row are written both or neither.
    // Raises what `change` or the engine raise, and nothing is written then.
    void RecordChange(const std::function<std::optional<TAuditEntry>()>& change);

    // Appends the entry in the transaction the caller has open on the
    // connection, after the events kept; kept itself when the register holds
    // no trail yet. Raises EDatabaseError, and the caller's transaction
    // should then roll back.
    void AppendWithin(const TAuditEntry& entry);

    // Writes the events kept, when the register is open and holds the
    // trail. Never raises.
    void WritePending();
    qsizetype PendingCount() const { return pending_.size(); }

private:
    struct Pending {
        QDateTime at;
        TAuditEntry entry;
    };
    void keep(const QDateTime& at, const TAuditEntry& entry);

    TRegisterConnection* connection_;
    QList<Pending> pending_;
};
