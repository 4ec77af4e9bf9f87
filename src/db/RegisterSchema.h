#pragma once

#include "db/DatabaseError.h"

struct sqlite3;

// The register is not one of this program's: trying it another way (another
// page size) cannot change that.
class ERegisterRefused : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

// Checks, by reading only, that the register open on `db` holds what the
// program makes and nothing else: the ordinary tables data and Pass with their
// columns, the program's own column indexes on data, the engine's
// AUTOINCREMENT counter and the audit trail's tables (db/AuditTables.h). A
// view, a trigger, a virtual table, a statistics table or any other object
// makes the file a stranger's, refused before a statement of the program runs
// on it. What the register may hold follows
// its version (db/RegisterUpgrade.h); a register of a newer version than the
// program knows is refused. Raises ERegisterRefused saying why when the
// register does not pass.
void CheckRegisterSchema(sqlite3* db);

// Makes the engine read the schema of the file keyed on `db`. Reading a
// schema takes the engine longer than linear time in its size, so a schema
// far larger than a register's is refused before it is read through, with the
// same message as CheckRegisterSchema. Other failures (a wrong key) raise
// EDatabaseError with the engine's message.
void ReadRegisterSchema(sqlite3* db);
