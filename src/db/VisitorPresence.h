#pragma once
#include "db/SqlStatement.h"

#include <QString>

class TRegisterConnection;

// Who is still on site, and the departure of one visitor.

// A departure that is empty or holds only blanks (ASCII or full-width):
// the visitor has not left.
bool IsBlankDeparture(const QString& departure);

// The condition, in parentheses, that 离开 is blank, word for word as the
// on-site index holds it, so that a select naming it reads that index.
const char* NoDepartureCondition();

// The on-site view: every record whose 离开 is blank, in the list's order,
// with the listing's eleven columns.
SqlLine OnSiteListing();

struct DepartureOutcome {
    enum Kind {
        Recorded,    // 离开 was empty and now holds the departure time
        AlreadyLeft, // 离开 was filled already; nothing was written
        NoRecord     // no record has that number
    };
    Kind kind;
    QString leftAt; // the record's 离开 after the call
};

// Writes `departureTime` into 离开 of record `number` when its 离开 is blank
// (null, empty or only blanks); no other column changes, 日期 included. One
// statement with bound values; raises EDatabaseError with the engine's message.
DepartureOutcome RecordDeparture(TRegisterConnection& connection, qint64 number, const QString& departureTime);
