#include "db/RegisterSchema.h"
#include "db/AuditTables.h"
#include "db/DatabaseError.h"
#include "db/RegisterUpgrade.h"
#include "db/SiteTables.h"
#include "db/Sqlite.h"
#include "db/WatchListTable.h"

#include <QHash>
#include <QRegularExpression>

namespace {

const QStringList kDataColumns = {QStringLiteral("编号"),   QStringLiteral("分类"), QStringLiteral("姓名"),
                                  QStringLiteral("身份证"), QStringLiteral("手机"), QStringLiteral("电话"),
                                  QStringLiteral("来由"),   QStringLiteral("地址"), QStringLiteral("来访"),
                                  QStringLiteral("离开"),   QStringLiteral("备注"), QStringLiteral("日期")};
const QStringList kPassColumns = {QStringLiteral("密码")};
const char* const kRecordNumber = "编号";

// The program's own indexes by name, each with the statement that makes it:
// those of CreateRegisterFile, the look-up indexes a login adds, and those
// that earlier versions made.
const QHash<QString, QString> kOwnIndexes = {
    {QStringLiteral("data_ids"), QStringLiteral("CREATE INDEX data_ids ON data (编号)")},
    {QStringLiteral("data_texts"), QStringLiteral("CREATE INDEX data_texts ON data (姓名, 来由, 分类, 备注)")},
    {QStringLiteral("data_numbers"), QStringLiteral("CREATE INDEX data_numbers ON data (身份证, 手机, 电话)")},
    {QStringLiteral("data_address"), QStringLiteral("CREATE INDEX data_address ON data (地址)")},
    {QStringLiteral("data_mobiles"), QStringLiteral("CREATE INDEX data_mobiles ON data (手机)")},
    {QStringLiteral("data_on_site"),
     QStringLiteral("CREATE INDEX data_on_site ON data (编号, 离开) WHERE 离开 is null or trim(离开, ' ' || char(9, "
                    "10, 11, 12, 13, 12288)) = ''")},
    {QStringLiteral("data_name_reason"), QStringLiteral("CREATE INDEX data_name_reason ON data (姓名, 来由)")},
    {QStringLiteral("data_identity"), QStringLiteral("CREATE INDEX data_identity ON data (身份证)")},
    {QStringLiteral("data_phones"), QStringLiteral("CREATE INDEX data_phones ON data (手机, 电话)")},
    {QStringLiteral("data_category_remarks"),
     QStringLiteral("CREATE INDEX data_category_remarks ON data (分类, 备注)")},
    {QStringLiteral("visit_days_by_day"), QStringLiteral("CREATE INDEX visit_days_by_day ON visit_days (day)")},
};

// The day index's table (db/DayIndex.h), exactly as the program makes it.
const QString kDayIndexTable = QStringLiteral("CREATE TABLE visit_days (编号 INTEGER PRIMARY KEY, day INTEGER)");

// data_on_site as registers before version 2 hold it.
const QString kOldOnSiteIndex =
    QStringLiteral("CREATE INDEX data_on_site ON data (编号, 离开) WHERE 离开 is null or 离开 = ''");

// The version of the upgrade path that adds an index of kOwnIndexes, where it
// is not 0: a register of an older version does not hold it. The look-up
// indexes are of version 0, since logins made them before registers had
// versions.
const QHash<QString, int> kIndexVersions = {{QStringLiteral("visit_days_by_day"), kDayIndexVersion}};

// At most this many objects: data, Pass, the AUTOINCREMENT counter, the watch
// list's table, the day index's table, the audit trail's, the site's and every
// index of the program at once.
const qsizetype kMostSchemaObjects = 5 + kOwnIndexes.size() + AuditSchemaObjects().size() + SiteSchemaObjects().size();

// The engine reads the schema through a statement of about eight steps per
// object; past this many steps the schema is far larger than a register's.
constexpr int kSchemaReadSteps = 4000;
constexpr int kStepsPerProgressCall = 100;

// A statement as the schema keeps it, with runs of blanks made one and
// without "if not exists" and a closing semicolon.
QString normalisedStatement(QString sql)
{
    static const QRegularExpression ifNotExists(QStringLiteral("\\bif\\s+not\\s+exists\\b"),
                                                QRegularExpression::CaseInsensitiveOption);
    sql.remove(ifNotExists);
    sql = sql.simplified();
    if (sql.endsWith(QLatin1Char(';')))
        sql.chop(1);
    return sql.trimmed();
}

// Names of tables compare without regard to ASCII case, as in statements.
bool isNamed(const QString& name, const char* expected)
{
    return name.compare(QLatin1String(expected), Qt::CaseInsensitive) == 0;
}

// The engine's rule for a declared type (upper case): a text column keeps
// what is written as text; any other affinity turns digits into numbers.
bool hasTextAffinity(const QString& type)
{
    if (type.contains(QLatin1String("INT")))
        return false;
    return type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB"))
           || type.contains(QLatin1String("TEXT"));
}

[[noreturn]] void refuse(const QString& what)
{
    throw ERegisterRefused(QStringLiteral("_.udb is not a register of this program (%1); it was not opened").arg(what));
}

QList<QStringList> rows(sqlite3* db, const QString& sql, const QStringList& parameters = {})
{
    SqliteStatement statement(db, sql);
    statement.bindTexts(parameters);
    QList<QStringList> result;
    while (statement.step()) {
        QStringList row;
        for (int i = 0; i < statement.columnCount(); ++i)
            row << statement.columnText(i);
        result << row;
    }
    return result;
}

// An ordinary rowid table with exactly `columns`, none computed, no check
// constraint; the record number, if expected, is the integer primary key.
void checkTable(sqlite3* db, const QString& name, const QStringList& columns)
{
    const auto kind =
        rows(db,
             QStringLiteral("SELECT t.type, t.wr, s.sql FROM pragma_table_list(?) AS t, main.sqlite_schema AS s "
                            "WHERE t.schema = 'main' AND s.type = 'table' AND s.name = t.name"),
             {name});
    if (kind.size() != 1 || kind[0][0] != QLatin1String("table"))
        refuse(QStringLiteral("%1 is a %2").arg(name, kind.value(0).value(0, QStringLiteral("stranger"))));
    if (kind[0][1] != QLatin1String("0"))
        refuse(QStringLiteral("table %1 has no row numbers").arg(name));
    static const QRegularExpression check(QStringLiteral("\\bcheck\\b"), QRegularExpression::CaseInsensitiveOption);
    if (kind[0][2].contains(check))
        refuse(QStringLiteral("table %1 has a check constraint").arg(name));

    QStringList found;
    for (const QStringList& column : rows(db,
                                          QStringLiteral("SELECT name, upper(type), pk, hidden "
                                                         "FROM pragma_table_xinfo(?, 'main')"),
                                          {name})) {
        found << column[0];
        if (column[3] != QLatin1String("0"))
            refuse(QStringLiteral("column %1 of %2 is computed").arg(column[0], name));
        const bool recordNumber = column[0] == QString::fromUtf8(kRecordNumber);
        const bool integerKey = column[1] == QLatin1String("INTEGER") && column[2] == QLatin1String("1");
        if ((isNamed(name, "data") && recordNumber) != integerKey)
            refuse(QStringLiteral("column %1 of %2 is not as the register has it").arg(column[0], name));
        if (!(isNamed(name, "data") && recordNumber) && !hasTextAffinity(column[1]))
            refuse(QStringLiteral("column %1 of %2 is not a text column").arg(column[0], name));
    }
    QStringList expected = columns;
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    if (found != expected)
        refuse(QStringLiteral("table %1 does not have the register's columns").arg(name));
}

// One of the program's indexes that a register of `version` holds, exactly
// as the program makes it.
void checkIndex(const QString& name, const QString& table, const QString& sql, int version)
{
    const char* indexedTable = name == QLatin1String("visit_days_by_day") ? "visit_days" : "data";
    if (!kOwnIndexes.contains(name) || !isNamed(table, indexedTable) || kIndexVersions.value(name) > version)
        refuse(QStringLiteral("index %1 on %2").arg(name, table));
    if (normalisedStatement(sql) != normalisedStatement(kOwnIndexes.value(name))
        && !(version < 2 && normalisedStatement(sql) == normalisedStatement(kOldOnSiteIndex)))
        refuse(QStringLiteral("index %1 is not one of the register's").arg(name));
}

// An object of the audit trail: a register of the version that adds the
// trail may hold it, exactly as the program makes it.
bool isAuditObject(const QString& type, const QString& name, const QString& sql, int version)
{
    for (const AuditSchemaObject& object : AuditSchemaObjects()) {
        if (name.compare(object.name, Qt::CaseInsensitive) != 0)
            continue;
        const QString kind = object.statement.startsWith(QLatin1String("CREATE TABLE")) ? QStringLiteral("table")
                                                                                        : QStringLiteral("index");
        if (version < kAuditTablesVersion || type != kind
            || normalisedStatement(sql) != normalisedStatement(object.statement))
            refuse(QStringLiteral("%1 %2 is not one of the register's").arg(type, name));
        return true;
    }
    return false;
}

// An object of a gate's site tables (db/SiteTables.h): accepted at any
// version, as the site mode makes them, exactly as made.
bool isSiteObject(const QString& type, const QString& name, const QString& sql)
{
    for (const SiteSchemaObject& object : SiteSchemaObjects()) {
        if (name.compare(object.name, Qt::CaseInsensitive) != 0)
            continue;
        const QString kind = object.statement.startsWith(QLatin1String("CREATE TABLE")) ? QStringLiteral("table")
                                                                                        : QStringLiteral("index");
        if (type != kind || normalisedStatement(sql) != normalisedStatement(object.statement))
            refuse(QStringLiteral("%1 %2 is not one of the register's").arg(type, name));
        return true;
    }
    return false;
}

void checkObject(sqlite3* db, const QString& type, const QString& name, const QString& table, const QString& sql,
                 int version)
{
    if (isAuditObject(type, name, sql, version) || isSiteObject(type, name, sql))
        return;
    if (type == QLatin1String("table")) {
        if (isNamed(name, "data"))
            return checkTable(db, name, kDataColumns);
        if (isNamed(name, "Pass"))
            return checkTable(db, name, kPassColumns);
        if (isNamed(name, "sqlite_sequence"))
            return;
        // At any version, as the look-up indexes: a compaction's copy
        // starts again at version 0 and takes the steps anew.
        if (isNamed(name, kWatchListTable)
            && normalisedStatement(sql) == normalisedStatement(WatchListTableStatement()))
            return;
        if (isNamed(name, "visit_days") && version >= kDayIndexVersion) {
            if (normalisedStatement(sql) != normalisedStatement(kDayIndexTable))
                refuse(QStringLiteral("table %1 is not the register's").arg(name));
            return;
        }
        refuse((name.startsWith(QLatin1String("sqlite_stat")) ? QStringLiteral("statistics table %1")
                                                              : QStringLiteral("table %1"))
                   .arg(name));
    }
    if (type == QLatin1String("index"))
        return checkIndex(name, table, sql, version);
    if (type == QLatin1String("trigger"))
        refuse(QStringLiteral("trigger %1 on %2").arg(name, table));
    refuse(QStringLiteral("%1 %2").arg(type, name));
}

} // namespace

void ReadRegisterSchema(sqlite3* db)
{
    int calls = 0;
    sqlite3_progress_handler(
        db, kStepsPerProgressCall,
        [](void* counter) { return ++*static_cast<int*>(counter) > kSchemaReadSteps / kStepsPerProgressCall ? 1 : 0; },
        &calls);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, &error);
    sqlite3_progress_handler(db, 0, nullptr, nullptr);
    const QString message = QString::fromUtf8(error ? error : sqlite3_errmsg(db));
    sqlite3_free(error);
    if (rc == SQLITE_INTERRUPT && calls > kSchemaReadSteps / kStepsPerProgressCall)
        refuse(QStringLiteral("its schema holds far more objects than a register's"));
    if (rc != SQLITE_OK)
        throw EDatabaseError(message);
}

void CheckRegisterSchema(sqlite3* db)
{
    const QList<QStringList> count = rows(db, QStringLiteral("SELECT count(*) FROM main.sqlite_schema"));
    if (count.value(0).value(0).toLongLong() > kMostSchemaObjects)
        refuse(QStringLiteral("its schema holds %1 objects, more than a register's %2")
                   .arg(count.value(0).value(0))
                   .arg(kMostSchemaObjects));
    RefuseNewerRegister(db);
    const int version = RegisterVersion(db);
    bool hasData = false, hasPass = false;
    for (const QStringList& object :
         rows(db, QStringLiteral("SELECT type, name, tbl_name, sql FROM main.sqlite_schema"))) {
        checkObject(db, object[0], object[1], object[2], object[3], version);
        hasData = hasData || isNamed(object[1], "data");
        hasPass = hasPass || isNamed(object[1], "Pass");
    }
    if (!hasData || !hasPass)
        refuse(QStringLiteral("table %1 is missing").arg(hasData ? QStringLiteral("Pass") : QStringLiteral("data")));
}
