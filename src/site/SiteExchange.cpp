#include "site/SiteExchange.h"
#include "db/DayIndex.h"
#include "db/SiteTables.h"
#include "db/Sqlite.h"
#include "db/SqliteTransaction.h"
#include "site/PgConnection.h"
#include "site/SiteError.h"

#include <QDateTime>
#include <QHash>
#include <QScopeGuard>
#include <algorithm>
#include <exception>
#include <functional>
#include <optional>
#include <vector>

namespace {

constexpr int kPushesPerCommit = 50;
constexpr int kPullBatch = 2000;
constexpr int kApplyBatch = 200;
// A first fill appends this many records to a transaction: a fraction of a
// second the desk may wait for.
constexpr int kFillBatch = 10000;

// A text[] literal: every element quoted, null as NULL.
QByteArray textArray(const RecordTexts& texts)
{
    QByteArray array = "{";
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i > 0)
            array += ',';
        if (texts[i].isNull()) {
            array += "NULL";
            continue;
        }
        QByteArray text = texts[i];
        text.replace('\\', "\\\\").replace('"', "\\\"");
        array += '"' + text + '"';
    }
    return array + '}';
}

QByteArray uuidArray(const QStringList& ids) { return "{" + ids.join(QLatin1Char(',')).toUtf8() + "}"; }

QByteArray nullable(const PgResult& r, int row, int column)
{
    return r.isNull(row, column) ? QByteArray() : r.bytes(row, column);
}

// Columns 0..: texts (11), in_gate, out_gate, changed_by, version, source_number.
constexpr const char* kRecordColumns = "category, name, identity_number, mobile, telephone, reason, address, "
                                       "arrival, departure, remarks, written, in_gate, out_gate, changed_by, "
                                       "version, source_number";

SiteRecord recordAt(const PgResult& r, int row, int first, const QString& siteId)
{
    SiteRecord record;
    record.siteId = siteId;
    for (int i = 0; i < kRecordTextCount; ++i)
        record.texts << nullable(r, row, first + i);
    record.inGate = r.text(row, first + 11);
    record.outGate = r.isNull(row, first + 12) ? QString() : r.text(row, first + 12);
    record.version = r.bytes(row, first + 14).toLongLong();
    record.sourceNumber = r.isNull(row, first + 15) ? 0 : r.bytes(row, first + 15).toLongLong();
    return record;
}

// Takes the site's record back into data after the site refused the gate's
// change of it; returns the gate whose value stands, or nothing when the site
// no longer holds the record.
std::optional<QString> restoreFromSite(PgConnection& server, sqlite3* db, const QString& gate, const QString& siteId,
                                       SiteExchangeResult& result)
{
    const PgResult r =
        server.exec(QByteArray("SELECT ").append(kRecordColumns).append(" FROM site.records WHERE id = $1").constData(),
                    {siteId.toUtf8()});
    if (r.rows() != 1)
        return std::nullopt;
    const SiteRecord record = recordAt(r, 0, 0, siteId);
    if (const std::int64_t number = ApplySiteRecord(db, record, gate))
        result.applied << number;
    return r.text(0, 13);
}

// What is left to do in the register once the server answered an entry.
using LocalStep = std::function<void()>;

// Pushes one entry; `rekeyed` maps the ids of records the site matched to
// an import (of entries pushed before) to the site's ids.
LocalStep pushEntry(PgConnection& server, sqlite3* db, const QString& gate, SiteOutboxEntry e,
                    SiteExchangeResult& result, QHash<QString, QString>& rekeyed)
{
    e.siteId = rekeyed.value(e.siteId, e.siteId);
    const QByteArray changeId = e.changeId.toUtf8();
    const QByteArray siteId = e.siteId.toUtf8();
    if (e.kind == QLatin1String("add")) {
        const PgResult r = server.exec("SELECT site.push_add($1, $2, $3, $4)",
                                       {changeId, siteId, QByteArray::number(e.recordNumber), textArray(e.texts)});
        const QString taken = r.text(0, 0);
        if (taken != e.siteId)
            rekeyed.insert(e.siteId, taken); // the site held it from an import
        return [db, e, taken] {
            if (taken != e.siteId)
                RekeySiteRecord(db, e.siteId, taken);
            RemoveSiteOutboxEntry(db, e.seq);
        };
    }
    if (e.kind == QLatin1String("depart") || e.kind == QLatin1String("modify")) {
        const bool depart = e.kind == QLatin1String("depart");
        const QByteArray departure = e.texts.value(kDepartureText);
        const PgResult r = depart ? server.exec("SELECT site.push_depart($1, $2, $3)", {changeId, siteId, departure})
                                  : server.exec("SELECT site.push_modify($1, $2, $3, $4)",
                                                {changeId, siteId, QByteArray::number(e.version), textArray(e.texts)});
        // A null departure or version: the record is gone from the site, or
        // (a change) someone else changed it first.
        const bool refused = depart ? !r.isNull(0, 0) && r.bytes(0, 0) != departure : r.isNull(0, 0);
        const QString standing = depart ? r.text(0, 0) : QString();
        return [&server, db, gate, e, refused, depart, standing, &result] {
            RemoveSiteOutboxEntry(db, e.seq);
            const std::optional<QString> standingGate =
                refused ? restoreFromSite(server, db, gate, e.siteId, result) : std::nullopt;
            if (!standingGate)
                return;
            SiteNotice notice;
            notice.kind = depart ? SiteNotice::Kind::DepartureTaken : SiteNotice::Kind::ChangeRefused;
            notice.recordNumber = LocalRecordOf(db, e.siteId);
            notice.name = QString::fromUtf8(e.texts.value(1));
            notice.standing = standing;
            notice.gate = *standingGate;
            result.notices << notice;
        };
    }
    if (e.kind == QLatin1String("delete") || e.kind == QLatin1String("clear"))
        server.exec("SELECT site.push_delete($1, $2)",
                    {changeId, e.kind == QLatin1String("clear") ? QByteArray() : siteId});
    else if (e.kind == QLatin1String("delete_before"))
        server.exec("SELECT site.push_delete_before($1, $2)", {changeId, uuidArray(e.deletedIds)});
    return [db, seq = e.seq] { RemoveSiteOutboxEntry(db, seq); };
}

} // namespace

void PushSiteOutbox(PgConnection& server, sqlite3* db, const QString& gate, SiteExchangeResult& result,
                    const std::atomic<bool>& stopping)
{
    QHash<QString, QString> rekeyed;
    while (!stopping) {
        const QList<SiteOutboxEntry> entries = ReadSiteOutbox(db, kPushesPerCommit);
        if (entries.isEmpty())
            return;
        // The entries the server answered leave the outbox together: one
        // short transaction for many, and the desk seldom waits for the
        // register. Pushed again after a failure, an entry changes nothing.
        std::vector<LocalStep> answered;
        std::exception_ptr failure;
        for (const SiteOutboxEntry& entry : entries) {
            if (stopping)
                break;
            try {
                answered.push_back(pushEntry(server, db, gate, entry, result, rekeyed));
            } catch (const ESiteError&) {
                failure = std::current_exception();
                break;
            }
        }
        if (!answered.empty()) {
            SqliteTransaction transaction(db, "BEGIN IMMEDIATE;");
            for (const LocalStep& step : answered)
                step();
            transaction.Commit();
        }
        if (failure)
            std::rethrow_exception(failure);
    }
}

void FillSiteRegister(PgConnection& server, sqlite3* db, const std::atomic<bool>& stopping,
                      const std::function<void(const QList<qint64>&)>& filled)
{
    if (!SiteFillState(db) && !CanBeginSiteFill(db))
        return;
    // The site's last change and its records, read in one snapshot: the
    // pushes that follow have later changes, pulled after the fill.
    server.exec("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    const auto endSnapshot = qScopeGuard([&server] {
        try {
            server.exec("ROLLBACK");
        } catch (const ESiteError&) {} // the link is gone, and the snapshot with it
    });
    const PgResult last = server.exec("SELECT coalesce(max(seq), 0) FROM site.changes");
    const std::optional<SiteFill> fill = BeginSiteFill(db, last.bytes(0, 0).toLongLong());
    if (!fill)
        return;
    // A fill taken up again goes on after the last record filled; what
    // changed before it since the fill began is among the changes pulled
    // after the fill's.
    server.exec(QByteArray("DECLARE fill NO SCROLL CURSOR FOR SELECT f.first, r.id, ")
                    .append(kRecordColumns)
                    .append(" FROM site.records r JOIN (SELECT record_id, min(seq) AS first FROM site.changes "
                            "WHERE record_id IS NOT NULL GROUP BY record_id) f ON f.record_id = r.id "
                            "WHERE f.first > ")
                    .append(QByteArray::number(fill->after))
                    .append(" ORDER BY f.first")
                    .constData());
    const QByteArray fetch = "FETCH " + QByteArray::number(kFillBatch) + " FROM fill";
    while (!stopping) {
        const PgResult r = server.exec(fetch.constData());
        if (r.rows() == 0) {
            EndSiteFill(db);
            return;
        }
        QList<SiteRecord> records;
        records.reserve(r.rows());
        for (int row = 0; row < r.rows(); ++row)
            records << recordAt(r, row, 2, r.text(row, 1));
        filled(FillSiteRecords(db, records, r.bytes(r.rows() - 1, 0).toLongLong()));
    }
}

void PullSiteChanges(PgConnection& server, sqlite3* db, const QString& gate, SiteExchangeResult& result,
                     const std::atomic<bool>& stopping)
{
    const QByteArray pull = QByteArray("SELECT c.seq, c.kind, c.record_id, array_to_string(c.records, ','), "
                                       "r.id IS NOT NULL, ")
                                .append(kRecordColumns)
                                .append(" FROM site.changes c LEFT JOIN site.records r ON r.id = c.record_id "
                                        "WHERE c.seq > $1 ORDER BY c.seq LIMIT $2");
    while (!stopping) {
        const QByteArray last = SiteStateValue(db, QStringLiteral("last_seq")).toUtf8();
        const PgResult r =
            server.exec(pull.constData(), {last.isEmpty() ? QByteArray("0") : last, QByteArray::number(kPullBatch)});
        if (r.rows() == 0)
            return;
        // Applied in short transactions, each with the seq it reached, so
        // that the desk never waits long for the register.
        for (int first = 0; first < r.rows() && !stopping; first += kApplyBatch) {
            const int end = std::min(first + kApplyBatch, r.rows());
            QList<qint64> applied;
            SqliteTransaction transaction(db, "BEGIN IMMEDIATE;");
            for (int row = first; row < end; ++row) {
                const QString kind = r.text(row, 1);
                if (kind == QLatin1String("clear") || kind == QLatin1String("delete_before")) {
                    applied << RemoveSiteRecords(db, r.text(row, 3).split(QLatin1Char(','), Qt::SkipEmptyParts));
                } else if (kind == QLatin1String("delete")) {
                    applied << RemoveSiteRecords(db, {r.text(row, 2)});
                } else if (r.bytes(row, 4) == "t") {
                    if (const std::int64_t number = ApplySiteRecord(db, recordAt(r, row, 5, r.text(row, 2)), gate))
                        applied << number;
                }
            }
            const std::vector<std::int64_t> days(applied.begin(), applied.end());
            RenewDays(db, days);
            SetSiteStateValue(db, QStringLiteral("last_seq"), r.text(end - 1, 0));
            transaction.Commit();
            result.applied << applied;
        }
        if (r.rows() < kPullBatch)
            return;
    }
}

int PullSiteWatchList(PgConnection& server, sqlite3* db)
{
    {
        SqliteStatement table(db, QStringLiteral("SELECT 1 FROM main.sqlite_master WHERE type = 'table' AND "
                                                 "name = 'watch_list'"));
        if (!table.step())
            return -1;
    }
    const PgResult site = server.exec("SELECT coalesce(name, ''), coalesce(identity_number, ''), "
                                      "coalesce(reason, ''), extract(epoch FROM added_at)::bigint "
                                      "FROM site.watch_list ORDER BY added_at, id");
    int added = 0;
    SqliteTransaction transaction(db, "BEGIN IMMEDIATE;");
    SqliteStatement held(db, QStringLiteral("SELECT 1 FROM watch_list WHERE 姓名 = ? AND 身份证 = ?"));
    SqliteStatement insert(db, QStringLiteral("INSERT INTO watch_list (姓名, 身份证, 手机, 原因, 添加时间) "
                                              "VALUES (?, ?, '', ?, ?)"));
    for (int row = 0; row < site.rows(); ++row) {
        held.bindTexts({site.text(row, 0), site.text(row, 1)});
        const bool known = held.step();
        held.reset();
        if (known)
            continue;
        const QString addedAt = QDateTime::fromSecsSinceEpoch(site.bytes(row, 3).toLongLong())
                                    .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        insert.bindTexts({site.text(row, 0), site.text(row, 1), site.text(row, 2), addedAt});
        insert.step();
        insert.reset();
        ++added;
    }
    transaction.Commit();
    return added;
}
