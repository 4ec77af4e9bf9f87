#include "db/ReturningVisitors.h"
#include "db/Sqlite.h"

#include <QByteArray>
#include <QSet>
#include <algorithm>
#include <cstring>

namespace {

QString columnOf(VisitorKey key)
{
    return key == VisitorKey::IdentityNumber ? QStringLiteral("身份证") : QStringLiteral("手机");
}

// The least byte string above every string that begins with `prefix`; UTF-8
// never holds the byte 0xFF, so raising the last byte gives it.
QByteArray rangeEnd(QByteArray prefix)
{
    prefix.back() = static_cast<char>(static_cast<unsigned char>(prefix.back()) + 1);
    return prefix;
}

void bindBytes(SqliteStatement& s, sqlite3* db, int index, const QByteArray& bytes)
{
    if (sqlite3_bind_text(s.get(), index, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT)
        != SQLITE_OK)
        RaiseEngineError(db);
}

QByteArray columnBytes(const SqliteStatement& s, int i)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), i));
    return text ? QByteArray(text, sqlite3_column_bytes(s.get(), i)) : QByteArray();
}

struct Candidate {
    qint64 id;
    QByteArray value;
};

// The `limit` numbers with the highest record numbers, highest first.
class NewestNumbers {
public:
    explicit NewestNumbers(int limit) : limit_(static_cast<std::size_t>(limit)) {}
    void offer(qint64 id, const QByteArray& value)
    {
        if (list_.size() == limit_ && id <= list_.back().id)
            return;
        const auto same =
            std::find_if(list_.begin(), list_.end(), [&](const Candidate& c) { return c.value == value; });
        if (same != list_.end()) {
            if (same->id >= id)
                return;
            list_.erase(same);
        }
        const auto at = std::find_if(list_.begin(), list_.end(), [id](const Candidate& c) { return c.id < id; });
        list_.insert(at, {id, value});
        if (list_.size() > limit_)
            list_.pop_back();
    }
    const std::vector<Candidate>& list() const { return list_; }

private:
    std::size_t limit_;
    std::vector<Candidate> list_;
};

QString dateOf(const QString& clockText) { return clockText.trimmed().section(QLatin1Char(' '), 0, 0); }

// Two walks run in turns, and the first to finish gives the answer:
//  - the range of the index on the number, grouped by number: complete when
//    the range is read, however old its visits are;
//  - the register from the newest record back: complete as soon as it has
//    met `limit` distinct numbers with the prefix, which is soon when the
//    prefix is common.
// So a short prefix shared by many visitors and a long one shared by few are
// both answered after a few thousand steps at most in practice.
std::vector<Candidate> newestMatches(sqlite3* db, VisitorKey key, const QByteArray& prefix, int limit)
{
    const QString column = columnOf(key);
    SqliteStatement range(db, ReturningVisitorRangeStatement(key));
    bindBytes(range, db, 1, prefix);
    bindBytes(range, db, 2, rangeEnd(prefix));
    SqliteStatement backwards(db, QStringLiteral("SELECT 编号, ") + column
                                      + QStringLiteral(" FROM data NOT INDEXED ORDER BY 编号 DESC"));

    // The range walk: numbers come grouped in index order; each group's newest
    // record is offered.
    NewestNumbers byRange(limit);
    QByteArray group;
    qint64 groupNewest = -1;
    // The backward walk: distinct numbers in the order first met.
    std::vector<Candidate> byAge;
    QSet<QByteArray> seen;

    constexpr int kRangeStepsPerRecord = 4; // an index entry is cheaper to read than a record
    for (;;) {
        for (int i = 0; i < kRangeStepsPerRecord; ++i) {
            if (!range.step()) {
                if (groupNewest >= 0)
                    byRange.offer(groupNewest, group);
                return byRange.list();
            }
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(range.get(), 0));
            const int bytes = sqlite3_column_bytes(range.get(), 0);
            const qint64 id = range.columnInt64(1);
            if (groupNewest >= 0 && bytes == group.size()
                && std::memcmp(text, group.constData(), static_cast<std::size_t>(bytes)) == 0) {
                groupNewest = std::max(groupNewest, id);
                continue;
            }
            if (groupNewest >= 0)
                byRange.offer(groupNewest, group);
            group = QByteArray(text, bytes);
            groupNewest = id;
        }
        if (!backwards.step())
            return byAge;
        const QByteArray value = columnBytes(backwards, 1);
        if (value.startsWith(prefix) && !seen.contains(value)) {
            seen.insert(value);
            byAge.push_back({backwards.columnInt64(0), value});
            if (static_cast<int>(byAge.size()) == limit)
                return byAge;
        }
    }
}

} // namespace

QString ReturningVisitorRangeStatement(VisitorKey key)
{
    const QString column = columnOf(key);
    return QStringLiteral("SELECT ") + column + QStringLiteral(", 编号 FROM data WHERE ") + column
           + QStringLiteral(" >= ?1 AND ") + column + QStringLiteral(" < ?2");
}

std::vector<TReturningVisitor> FindReturningVisitors(sqlite3* db, VisitorKey key, const QString& prefix, int limit)
{
    std::vector<TReturningVisitor> visitors;
    if (prefix.isEmpty() || limit <= 0)
        return visitors;
    const std::vector<Candidate> found = newestMatches(db, key, prefix.toUtf8(), limit);
    SqliteStatement read(
        db, QStringLiteral("SELECT 分类, 姓名, 身份证, 手机, 电话, 地址, 来访, 日期 FROM data WHERE 编号 = ?1"));
    for (const Candidate& c : found) {
        read.reset();
        read.bindInt64(1, c.id);
        if (!read.step())
            continue;
        TReturningVisitor v;
        v.recordNumber = c.id;
        v.category = read.columnText(0);
        v.name = read.columnText(1);
        v.identityNumber = read.columnText(2);
        v.mobile = read.columnText(3);
        v.telephone = read.columnText(4);
        v.address = read.columnText(5);
        v.lastVisit = dateOf(read.columnText(6));
        if (v.lastVisit.isEmpty())
            v.lastVisit = dateOf(read.columnText(7));
        visitors.push_back(std::move(v));
    }
    return visitors;
}
