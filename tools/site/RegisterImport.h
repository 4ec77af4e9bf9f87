#pragma once
#include <QString>

class PgConnection;

struct ImportResult {
    int records = 0; // records in the register
    int added = 0;   // of them, new to the site
    bool fileSeenBefore = false;
};

// Uploads the register "_.udb" in `folder` into the site as records that came
// in at `gate`, each text as the register holds it, byte for byte. A record
// is known by its gate and its number there, so importing the same file, or
// the same register grown since, adds only what the site does not have. The
// register is opened with the program's key and checked as the program checks
// it, and only read. All or nothing: raises EDatabaseError or ESiteError, with
// the site unchanged.
ImportResult ImportRegister(PgConnection& admin, const QString& folder, const QString& gate);
