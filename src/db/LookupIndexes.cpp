#include "db/LookupIndexes.h"
#include "db/Sqlite.h"

namespace {

struct LookupIndex {
    const char* name;
    const char* statement;
};

// The condition of data_on_site is the on-site view's condition word for
// word (db/VisitorPresence.cpp): the engine uses a partial index only for a
// query that names it. It holds 离开 as well, so the view reads the index
// alone, never the records.
#define VOSTREL_ON_SITE_INDEX                                                                                          \
    "data_on_site ON data (编号, 离开) WHERE 离开 is null or trim(离开, ' ' || char(9, 10, 11, 12, 13, 12288)) = ''"
constexpr LookupIndex kIndexes[] = {
    {"data_mobiles", "CREATE INDEX IF NOT EXISTS data_mobiles ON data (手机)"},
    {"data_on_site", "CREATE INDEX IF NOT EXISTS " VOSTREL_ON_SITE_INDEX},
};

bool indexExists(sqlite3* db, const char* name)
{
    SqliteStatement s(db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?"));
    s.bindTexts({QString::fromLatin1(name)});
    return s.step();
}

} // namespace

const QStringList& LookupIndexNames()
{
    static const QStringList names = [] {
        QStringList list;
        for (const LookupIndex& index : kIndexes)
            list << QString::fromLatin1(index.name);
        return list;
    }();
    return names;
}

QStringList MissingLookupIndexes(sqlite3* db)
{
    QStringList missing;
    for (const LookupIndex& index : kIndexes)
        if (!indexExists(db, index.name))
            missing << QString::fromLatin1(index.name);
    return missing;
}

void CreateLookupIndexes(sqlite3* db)
{
    for (const LookupIndex& index : kIndexes)
        if (!indexExists(db, index.name))
            ExecuteStatements(db, index.statement);
}

void RenewOnSiteIndex(sqlite3* db)
{
    QString made;
    {
        SqliteStatement current(db, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'index' AND name = ?"));
        current.bindTexts({QStringLiteral("data_on_site")});
        if (current.step())
            made = current.columnText(0);
    } // a statement still reading the schema would lock it against the drop
    if (made == QStringLiteral("CREATE INDEX " VOSTREL_ON_SITE_INDEX))
        return;
    ExecuteStatements(db, "DROP INDEX IF EXISTS data_on_site; CREATE INDEX " VOSTREL_ON_SITE_INDEX ";");
}
