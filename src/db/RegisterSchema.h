#pragma once

struct sqlite3;

// Checks, by reading only, that the register open on `db` holds what the
// program makes and nothing else: the ordinary tables data and Pass with their
// columns, the program's own column indexes on data, and the engine's
// AUTOINCREMENT counter. A view, a trigger, a virtual table, a statistics
// table or any other object makes the file a stranger's, refused before a
// statement of the program runs on it. What the register may hold follows
// its version (db/RegisterUpgrade.h); a register of a newer version than the
// program knows is refused. Raises EDatabaseError saying why when the
// register does not pass.
void CheckRegisterSchema(sqlite3* db);
