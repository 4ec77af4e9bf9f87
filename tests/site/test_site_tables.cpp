// The gate's site tables on a real register: what each write of the desk
// puts into the outbox, and what the schema check accepts.
#include "StoreFixture.h"
#include "db/RegisterSchema.h"
#include "db/SiteTables.h"
#include "db/Sqlite.h"
#include "db/VisitorPresence.h"
#include "records/OldRecords.h"
#include "visitors/RecordDate.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <functional>

namespace {

class SiteTablesTest : public StoreFixture {
protected:
    sqlite3* db() { return connection.handle(); }

    QStringList column(const QString& sql)
    {
        SqliteStatement s(db(), sql);
        QStringList values;
        while (s.step())
            values << s.columnText(0);
        return values;
    }
    // The outbox as "kind" or "kind@version", oldest first.
    QStringList outbox()
    {
        return column(QStringLiteral("SELECT kind || ifnull('@' || version, '') FROM site_outbox ORDER BY seq"));
    }
    qint64 lastNumber() { return column(QStringLiteral("SELECT max(编号) FROM data")).value(0).toLongLong(); }
    void write(const QString& sql) { connection.Execute({sql, {}, std::nullopt}); }
};

TEST_F(SiteTablesTest, RecordsPresentBeforeSiteModeTravelAsAdds)
{
    addVisitor(QStringLiteral("张三"));
    addVisitor(QStringLiteral("李四"));
    CreateSiteTables(db(), QStringLiteral("a"));
    CreateSiteTables(db(), QStringLiteral("a")); // made once
    EXPECT_TRUE(outbox().isEmpty());
    // One record a slice; one added meanwhile by the desk is not added twice.
    EXPECT_TRUE(AddRecordsBeforeSiteMode(db(), 1));
    addVisitor(QStringLiteral("王五"));
    while (AddRecordsBeforeSiteMode(db(), 1)) {}
    EXPECT_FALSE(AddRecordsBeforeSiteMode(db(), 1));
    EXPECT_EQ(outbox(), QStringList({QStringLiteral("add"), QStringLiteral("add"), QStringLiteral("add")}));
    EXPECT_EQ(column(QStringLiteral("SELECT count(DISTINCT site_id) || in_gate FROM site_records")),
              QStringList{QStringLiteral("3a")});
    EXPECT_EQ(SiteInGates(db(), {1, 2, 99}),
              (QHash<qint64, QString>{{1, QStringLiteral("a")}, {2, QStringLiteral("a")}, {99, QString()}}));
}

TEST_F(SiteTablesTest, EachWriteOfTheDeskBecomesItsChange)
{
    CreateSiteTables(db(), QStringLiteral("a"));
    struct Step {
        const char* what;
        std::function<void()> write;
        QStringList added; // outbox entries the step adds
    };
    const auto setRemarks = [this](const char* remarks) {
        write(QStringLiteral("UPDATE data SET 备注 = '%1' WHERE 编号 = %2")
                  .arg(QString::fromUtf8(remarks))
                  .arg(lastNumber()));
    };
    const Step steps[] = {
        {"an arrival", [this] { addVisitor(QStringLiteral("张三")); }, {QStringLiteral("add")}},
        {"a change of a text", [&] { setRemarks("夜班"); }, {QStringLiteral("modify@1")}},
        {"the next change carries the next version", [&] { setRemarks("早班"); }, {QStringLiteral("modify@2")}},
        {"a write that changes nothing", [&] { setRemarks("早班"); }, {}},
        {"a departure on an open visit",
         [this] { RecordDeparture(connection, lastNumber(), QStringLiteral("2026/12/8 18:00:00")); },
         {QStringLiteral("depart@3")}},
        {"a departure changed afterwards",
         [this] { write(QStringLiteral("UPDATE data SET 离开 = '19:00' WHERE 编号 = %1").arg(lastNumber())); },
         {QStringLiteral("modify@4")}},
        {"a departure over full-width blanks",
         [this] {
             write(QStringLiteral("INSERT INTO data (姓名, 离开) VALUES ('李四', '\u3000 ')"));
             write(QStringLiteral("UPDATE data SET 离开 = '9:30' WHERE 编号 = %1").arg(lastNumber()));
         },
         {QStringLiteral("add"), QStringLiteral("depart@1")}},
        {"a delete",
         [this] { write(QStringLiteral("DELETE FROM data WHERE 编号 = %1").arg(lastNumber())); },
         {QStringLiteral("delete")}},
        {"清空", [this] { exec(SqlLine("delete from (data)")); }, {QStringLiteral("clear")}},
        {"清空 of an empty register", [this] { exec(SqlLine("delete from (data)")); }, {}},
    };
    for (const Step& step : steps) {
        const QStringList before = outbox();
        step.write();
        EXPECT_EQ(outbox().mid(before.size()), step.added) << step.what;
    }
    EXPECT_EQ(column(QStringLiteral("SELECT count(*) FROM site_records")), QStringList{QStringLiteral("0")});
}

TEST_F(SiteTablesTest, ADeletionOfOldRecordsIsOneChangeNamingTheRecords)
{
    for (const char* name : {"张三", "李四", "王五"})
        addVisitor(QString::fromUtf8(name)); // written 2026/12/8
    CreateSiteTables(db(), QStringLiteral("a"));
    while (AddRecordsBeforeSiteMode(db(), 100)) {}
    write(QStringLiteral("DELETE FROM site_outbox"));
    const QStringList siteIds = column(QStringLiteral("SELECT site_id FROM site_records WHERE record_number < 3"));
    const TRecordDateReader reader{QLocale::c(), QDate(2026, 12, 10)};
    ASSERT_EQ(DeleteRecords(connection, {1, 2}, QDate(2026, 12, 9), reader).deleted, 2);
    EXPECT_EQ(outbox(), QStringList{QStringLiteral("delete_before")});
    QStringList named;
    for (const QJsonValue& id :
         QJsonDocument::fromJson(column(QStringLiteral("SELECT texts FROM site_outbox")).value(0).toUtf8()).array())
        named << id.toString();
    EXPECT_EQ(named, siteIds);
    EXPECT_EQ(column(QStringLiteral("SELECT record_number FROM site_records")), QStringList{QStringLiteral("3")});
}

TEST_F(SiteTablesTest, TheSchemaCheckAcceptsTheSiteTablesOnlyAsMade)
{
    CreateSiteTables(db(), QStringLiteral("a"));
    connection.Close();
    EXPECT_NO_THROW(CheckRegisterSchema(db()));
    const char* const altered[] = {
        "CREATE INDEX site_outbox_kind ON site_outbox (kind)",
        "DROP TABLE site_state; CREATE TABLE site_state (key TEXT NOT NULL, value TEXT, more TEXT)",
    };
    for (const char* change : altered) {
        TempDir other;
        ASSERT_NO_THROW(CreateRegisterFile(other.path(), QStringLiteral("abc123"), false));
        TRegisterConnection changed;
        changed.SetConnectionString(RegisterConnectionString(other.folder()));
        CreateSiteTables(changed.handle(), QStringLiteral("a"));
        ExecuteStatements(changed.handle(), change);
        EXPECT_THROW(CheckRegisterSchema(changed.handle()), ERegisterRefused) << change;
    }
}

} // namespace
