#include "audit/AuditStore.h"
#include "db/Sqlite.h"
#include "db/SqliteTransaction.h"

#include <QCryptographicHash>
#include <algorithm>
#include <limits>
#include <optional>

namespace {

constexpr int kRowsPerReadPage = 1000;

void addField(QCryptographicHash& hash, const QString& field)
{
    const QByteArray bytes = field.toUtf8();
    // The length first, so no two different rows give the same input.
    hash.addData(QByteArray::number(bytes.size()) + ':');
    hash.addData(bytes);
}

struct Head {
    qint64 rows = 0;
    QString hash;
};

std::optional<Head> readHead(sqlite3* db)
{
    SqliteStatement head(db, QStringLiteral("SELECT rows, hash FROM audit_head WHERE id = 1"));
    if (!head.step())
        return std::nullopt;
    return Head{head.columnInt64(0), head.columnText(1)};
}

void append(sqlite3* db, const QString& at, const TAuditEntry& entry)
{
    // The row follows the last row there is, whatever the head says: a
    // trail damaged by hand is not mended here, only shown by the check.
    qint64 seq = 1;
    QString previous;
    {
        SqliteStatement last(db, QStringLiteral("SELECT seq, hash FROM audit_trail ORDER BY seq DESC LIMIT 1"));
        if (last.step()) {
            seq = last.columnInt64(0) + 1;
            previous = last.columnText(1);
        }
    }
    const QString hash = AuditRowHash(previous, seq, at, entry);
    SqliteStatement insert(db, QStringLiteral("INSERT INTO audit_trail (seq, at, event, subject, detail, hash) "
                                              "VALUES (?, ?, ?, ?, ?, ?)"));
    insert.bindTexts({QString(), at, entry.event, entry.subject, entry.detail, hash});
    insert.bindInt64(1, seq);
    insert.step();
    const qint64 rows = readHead(db).value_or(Head{}).rows + 1;
    SqliteStatement head(db, QStringLiteral("INSERT OR REPLACE INTO audit_head (id, rows, hash) VALUES (1, ?, ?)"));
    head.bindTexts({QString(), hash});
    head.bindInt64(1, rows);
    head.step();
}

} // namespace

QString AuditTimeText(const QDateTime& time) { return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }

QString AuditRowHash(const QString& previousHash, qint64 seq, const QString& at, const TAuditEntry& entry)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& field : {previousHash, QString::number(seq), at, entry.event, entry.subject, entry.detail})
        addField(hash, field);
    return QString::fromLatin1(hash.result().toHex());
}

void AppendAuditRow(sqlite3* db, const QDateTime& at, const TAuditEntry& entry)
{
    if (!sqlite3_get_autocommit(db)) {
        append(db, AuditTimeText(at), entry);
        return;
    }
    SqliteTransaction transaction(db, "BEGIN IMMEDIATE;");
    append(db, AuditTimeText(at), entry);
    transaction.Commit();
}

TAuditVerification VerifyAuditTrail(sqlite3* db)
{
    // Read in one transaction, so that a row appended meanwhile by another
    // program does not show as a break.
    SqliteTransaction snapshot(db, "BEGIN;");
    const Head head = readHead(db).value_or(Head{});
    SqliteStatement rows(db,
                         QStringLiteral("SELECT seq, at, event, subject, detail, hash FROM audit_trail ORDER BY seq"));
    qint64 count = 0;
    QString previous;
    while (rows.step()) {
        const TAuditEntry entry{rows.columnText(2), rows.columnText(3), rows.columnText(4)};
        const qint64 seq = count + 1;
        if (rows.columnInt64(0) != seq || rows.columnText(5) != AuditRowHash(previous, seq, rows.columnText(1), entry))
            return {false, count, count, {}};
        previous = rows.columnText(5);
        count = seq;
    }
    // Every row checks out; the head tells whether rows went from the end
    // or were added behind its back.
    if (head.rows != count || head.hash != previous) {
        const qint64 lastIntact = head.rows < count ? head.rows : (head.rows == count ? count - 1 : count);
        return {false, count, std::max<qint64>(lastIntact, 0), {}};
    }
    return {true, count, count, previous};
}

std::vector<TAuditRow> ReadAuditPage(sqlite3* db, const TAuditFilter& filter, qint64 beforeSeq, int limit)
{
    QString sql = QStringLiteral("SELECT seq, at, event, subject, detail FROM audit_trail WHERE seq < ?");
    QStringList values{QString::number(beforeSeq)};
    if (!filter.event.isEmpty()) {
        sql += QStringLiteral(" AND event = ?");
        values << filter.event;
    }
    if (filter.from.isValid()) {
        sql += QStringLiteral(" AND at >= ?");
        values << filter.from.toString(Qt::ISODate);
    }
    if (filter.to.isValid()) {
        sql += QStringLiteral(" AND at < ?");
        values << filter.to.addDays(1).toString(Qt::ISODate);
    }
    sql += QStringLiteral(" ORDER BY seq DESC LIMIT ?");
    values << QString::number(limit);
    SqliteStatement page(db, sql);
    page.bindTexts(values);
    page.bindInt64(1, beforeSeq);
    page.bindInt64(static_cast<int>(values.size()), limit);
    std::vector<TAuditRow> rows;
    while (page.step())
        rows.push_back({page.columnInt64(0), page.columnText(1),
                        TAuditEntry{page.columnText(2), page.columnText(3), page.columnText(4)}});
    return rows;
}

void ForEachAuditRow(sqlite3* db, const TAuditFilter& filter, const std::function<bool(const TAuditRow&)>& visit)
{
    qint64 before = std::numeric_limits<qint64>::max();
    for (;;) {
        const std::vector<TAuditRow> page = ReadAuditPage(db, filter, before, kRowsPerReadPage);
        for (const TAuditRow& row : page)
            if (!visit(row))
                return;
        if (static_cast<int>(page.size()) < kRowsPerReadPage)
            return;
        before = page.back().seq;
    }
}
