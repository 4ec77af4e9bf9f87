#include "audit/AuditTrail.h"
#include "db/AuditTables.h"
#include "db/RegisterConnection.h"
#include "db/Sqlite.h"
#include "db/SqliteTransaction.h"

#include <exception>

namespace {

// Events kept while nothing can be written, at most; the oldest go first.
constexpr qsizetype kMostPending = 1000;

} // namespace

TAuditTrail::TAuditTrail(TRegisterConnection* connection, QObject* parent) : QObject(parent), connection_(connection) {}

void TAuditTrail::RecordEvent(const QString& event, const QString& detail)
{
    RecordEvent(TAuditEntry{event, {}, detail});
}

void TAuditTrail::RecordEvent(const TAuditEntry& entry)
{
    keep(QDateTime::currentDateTime(), entry);
    WritePending();
}

void TAuditTrail::RecordChange(const std::function<std::optional<TAuditEntry>()>& change)
{
    SqliteTransaction transaction(connection_->handle(), "BEGIN IMMEDIATE;");
    if (const std::optional<TAuditEntry> entry = change())
        AppendWithin(*entry);
    transaction.Commit();
}

void TAuditTrail::AppendWithin(const TAuditEntry& entry)
{
    sqlite3* db = connection_->handle();
    if (!HasAuditTables(db)) {
        keep(QDateTime::currentDateTime(), entry);
        return;
    }
    for (const Pending& event : pending_)
        AppendAuditRow(db, event.at, event.entry);
    AppendAuditRow(db, QDateTime::currentDateTime(), entry);
    // Gone from memory once in the transaction: a commit that fails after
    // this loses them, which only a failing disk makes happen.
    pending_.clear();
}

void TAuditTrail::WritePending()
{
    if (pending_.isEmpty() || !connection_->Connected())
        return;
    try {
        sqlite3* db = connection_->handle();
        if (!HasAuditTables(db))
            return;
        SqliteTransaction transaction(db, "BEGIN IMMEDIATE;");
        for (const Pending& event : pending_)
            AppendAuditRow(db, event.at, event.entry);
        transaction.Commit();
        pending_.clear();
    } catch (const std::exception&) {
        // Kept for the next try: a busy or read-only file must not stop the
        // guard's work.
    }
}

void TAuditTrail::keep(const QDateTime& at, const TAuditEntry& entry)
{
    if (pending_.size() >= kMostPending)
        pending_.removeFirst();
    pending_.append({at, entry});
}
