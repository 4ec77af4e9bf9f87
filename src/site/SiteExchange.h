#pragma once
#include "site/SiteSync.h"

#include <QList>
#include <atomic>
#include <functional>

struct sqlite3;
class PgConnection;

// What an exchange with the site did to the gate's register.
struct SiteExchangeResult {
    QList<qint64> applied; // rows of data added, changed or deleted
    QList<SiteNotice> notices;
};

// Pushes the gate's outbox (db/SiteTables.h) to the site in order: each entry
// leaves the outbox in a transaction of its own once the server answered, so
// an entry is pushed again at most (which changes nothing at the site). A
// departure or a change the site refused takes the site's record back into
// data at once. Raises ESiteError (link) or EDatabaseError (register).
void PushSiteOutbox(PgConnection& server, sqlite3* db, const QString& gate, SiteExchangeResult& result,
                    const std::atomic<bool>& stopping);

// A new gate's first fill (db/SiteTables.h): when the register holds no
// records and never pulled, or a fill is under way, takes the site's records
// from one snapshot of the site's register, `filled` told of each slice
// applied. The changes after the fill's are then pulled as usual.
// Raises ESiteError or EDatabaseError.
void FillSiteRegister(PgConnection& server, sqlite3* db, const std::atomic<bool>& stopping,
                      const std::function<void(const QList<qint64>&)>& filled);

// Pulls the site's changes after the last one applied, in batches, applied
// to data in short transactions, each together with the last change it
// applied.
// Raises ESiteError or EDatabaseError.
void PullSiteChanges(PgConnection& server, sqlite3* db, const QString& gate, SiteExchangeResult& result,
                     const std::atomic<bool>& stopping);

// Takes the site's watch list into the register's: each entry the register
// does not hold yet (same 姓名 and 身份证) is added; entries of the gate's
// own stay. Returns how many were added, or -1 when the register has no
// watch list. Raises ESiteError or EDatabaseError.
int PullSiteWatchList(PgConnection& server, sqlite3* db);
