#pragma once
#include "watchlist/WatchEntry.h"
#include "watchlist/WatchListImport.h"
#include "watchlist/WatchMatcher.h"

#include <QObject>

struct sqlite3;

// The watch list: its entries, read from the register and written back
// through it, and the matcher over them. Every change is written first and
// then made in memory, so the list shown is the list stored. The signals tell
// what was done, for a record of the desk's work; they carry names and
// reasons, never numbers.
class TWatchList : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Reads every entry of the register open on `db`; a register without
    // the table (one not yet upgraded) gives an empty list. Raises
    // EDatabaseError.
    void Load(sqlite3* db);
    const QList<TWatchEntry>& Entries() const { return entries_; }
    const TWatchMatcher& Matcher() const { return matcher_; }

    // Adds the entry, stamped with the time now; returns it as stored.
    // Raises EDatabaseError and then changes nothing.
    TWatchEntry Add(sqlite3* db, TWatchEntry entry);
    // Writes the entry's texts over the stored entry of its id.
    void Change(sqlite3* db, const TWatchEntry& entry);
    void Remove(sqlite3* db, qint64 id);
    // Adds the entries a file brings, all or none; returns what was skipped.
    // Raises EVostrelError for a file that cannot be read.
    TWatchImportPlan Import(sqlite3* db, const QString& fileName);

    // The guard's answer to a visitor found on the list.
    void ReportTurnedAway(const TWatchEntry& entry) { emit HitTurnedAway(entry.name, entry.reason); }
    void ReportLetIn(const TWatchEntry& entry) { emit HitLetIn(entry.name, entry.reason); }

signals:
    void Changed(const QString& detail);
    void Imported(int added, int skipped);
    void HitTurnedAway(const QString& name, const QString& reason);
    void HitLetIn(const QString& name, const QString& reason);

private:
    qint64 insert(sqlite3* db, TWatchEntry& entry);

    QList<TWatchEntry> entries_;
    TWatchMatcher matcher_;
};
