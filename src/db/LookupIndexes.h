#pragma once
#include <QStringList>

struct sqlite3;

// Indexes behind the quick look-ups of the record list's features:
//   data_mobiles  - mobile numbers, for the returning-visitor look-up by the
//                   first digits of a mobile (identity numbers are looked up
//                   through data_numbers, which leads with 身份证);
//   data_on_site  - the record numbers of visits without a departure (none,
//                   or only blanks), for the on-site view; it holds only the
//                   open visits.
// They are step 1 of the register's upgrade path (db/RegisterUpgrade.h).

// Names of the indexes above.
const QStringList& LookupIndexNames();

// The names of those not in the register open on `db`. Raises EDatabaseError.
QStringList MissingLookupIndexes(sqlite3* db);

// Creates the indexes that are missing (nothing is written when none is).
// Raises EDatabaseError with the engine's message.
void CreateLookupIndexes(sqlite3* db);

// Step 2 of the upgrade path: replaces a data_on_site that counts only an
// empty 离开 as no departure (as versions 0 and 1 made it) by the one above.
// Raises EDatabaseError with the engine's message.
void RenewOnSiteIndex(sqlite3* db);
