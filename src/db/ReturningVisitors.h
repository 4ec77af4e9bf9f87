#pragma once
#include <QString>
#include <vector>

struct sqlite3;

// Earlier visitors found by the first characters of their identity number or
// mobile, for filling the record form of a returning visitor.

enum class VisitorKey { IdentityNumber, Mobile };

// One earlier visitor, as the newest record holding that number has them.
struct TReturningVisitor {
    qint64 recordNumber = 0; // 编号 of that record
    QString category;
    QString name;
    QString identityNumber;
    QString mobile;
    QString telephone;
    QString address;
    QString lastVisit; // the date of that visit: 来访 up to its first blank, else that of 日期
};

// Up to `limit` visitors whose number (身份证 or 手机, by `key`) begins with
// `prefix`, one per distinct number, the most recent visit first. Raises
// EDatabaseError with the engine's message.
std::vector<TReturningVisitor> FindReturningVisitors(sqlite3* db, VisitorKey key, const QString& prefix, int limit = 8);

// The statement that reads the numbers beginning with a prefix, in index
// order: ?1 is the prefix, ?2 the least text above all its continuations.
QString ReturningVisitorRangeStatement(VisitorKey key);
