#pragma once
#include <QString>

class TRegisterConnection;

// Who is still on site, and the departure of one visitor.

// The on-site view: every record whose 离开 is empty, in the list's order,
// with the listing's eleven columns. Its condition is that of the partial
// index data_on_site (LookupIndexes.h), word for word.
inline constexpr const char* kOnSiteListing =
    "Select 编号,分类,姓名,身份证,手机,电话,来由,地址,来访,离开,备注 from data where 离开 is null or 离开 = ''";

struct DepartureOutcome {
    enum Kind {
        Recorded,    // 离开 was empty and now holds the departure time
        AlreadyLeft, // 离开 was filled already; nothing was written
        NoRecord     // no record has that number
    };
    Kind kind;
    QString leftAt; // the record's 离开 after the call
};

// Writes `departureTime` into 离开 of record `number` when its 离开 is empty
// (null or the empty text); no other column changes, 日期 included. One
// statement with bound values; raises EDatabaseError with the engine's message.
DepartureOutcome RecordDeparture(TRegisterConnection& connection, qint64 number, const QString& departureTime);
