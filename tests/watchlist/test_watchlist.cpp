// The watch list without widgets: the matcher's normalising, the entries
// kept in the register, the import of each kind of file, and the table an
// older register gets.
#include "StoreFixture.h"
#include "base/GbkCodec.h"
#include "db/DatabaseError.h"
#include "db/RegisterUpgrade.h"
#include "db/Sqlite.h"
#include "db/SqliteHandle.h"
#include "db/WatchListTable.h"
#include "records/RecordExport.h"
#include "visitors/IdentityNumber.h"
#include "watchlist/WatchList.h"

#include <QFile>
#include <QSignalSpy>

namespace {

// A well-formed 18-character number from its first 17 digits.
QString identity(const char* first17)
{
    const QString digits = QString::fromLatin1(first17);
    return digits + IdentityCheckCharacter(digits);
}

class WatchListStore : public StoreFixture {
protected:
    sqlite3* db() { return connection.handle(); }

    TWatchEntry entry(const QString& name, const QString& number, const QString& mobile, const QString& reason)
    {
        return TWatchEntry{0, name, number, mobile, reason, {}};
    }

    void write(const QString& name, const QByteArray& bytes)
    {
        QFile file(dir.file(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void writeXlsx(const QString& name, const QList<QStringList>& rows)
    {
        ExportRows exportRows{rows.first(), [&](const ExportRowVisitor& visit) {
                                  for (qsizetype i = 1; i < rows.size(); ++i)
                                      visit(rows[i]);
                              }};
        ASSERT_TRUE(ExportToFile(dir.file(name), exportRows, [](qsizetype) { return true; }));
    }

    TWatchList list;
};

} // namespace

TEST(WatchMatcher, NumbersMatchWhateverTheirBlanksCaseAndPrefix)
{
    const QList<TWatchEntry> entries = {
        {1,
         QStringLiteral("张三"),
         QStringLiteral("11010519491231002x"),
         QStringLiteral("+86 138 0013 8000"),
         QStringLiteral("闹事"),
         {}},
        {2, QStringLiteral("李四"), QStringLiteral("440101199001011234"), QString(), QStringLiteral("欠款"), {}},
    };
    TWatchMatcher matcher;
    matcher.Rebuild(entries);
    struct Case {
        const char* identity;
        qint64 expected; // 0: no hit
    } identities[] = {
        {"11010519491231002X", 1},
        {"11010519491231002x", 1},
        {" 110105 19491231 002X ", 1},
        {"110105194912310021", 0},
        {"1101051949123", 0},
        {"440101199001011234", 2},
        {"", 0},
        {"   ", 0},
    };
    for (const Case& c : identities) {
        const TWatchEntry* hit = matcher.ByIdentityNumber(QString::fromUtf8(c.identity));
        EXPECT_EQ(hit ? hit->id : 0, c.expected) << c.identity;
    }
    Case mobiles[] = {
        {"13800138000", 1},   {"+8613800138000", 1},
        {"138 0013 8000", 1}, {"+86 138-0013-8000", 1},
        {"13800138001", 0},   {"", 0},
        {"+86", 0},
    };
    for (const Case& c : mobiles) {
        const TWatchEntry* hit = matcher.ByMobile(QString::fromUtf8(c.identity));
        EXPECT_EQ(hit ? hit->id : 0, c.expected) << c.identity;
    }
}

TEST(WatchMatcher, ANameMatchTellsWhetherTheNumbersDiffer)
{
    const QList<TWatchEntry> entries = {
        {1, QStringLiteral("王五"), QStringLiteral("440101199001011234"), {}, QStringLiteral("a"), {}},
        {2, QStringLiteral("王五"), QStringLiteral("11010519491231002X"), {}, QStringLiteral("b"), {}},
        {3, QStringLiteral("赵六"), QString(), {}, QStringLiteral("c"), {}},
    };
    TWatchMatcher matcher;
    matcher.Rebuild(entries);
    struct Case {
        const char* name;
        const char* identity;
        qint64 expected;
        bool different;
    } cases[] = {
        {"王五", "11010519491231002x", 2, false}, // the entry of the same number, not the first
        {"王五", "", 1, false},                   // nothing typed yet: no difference to tell
        {"王五", "123456", 1, true},
        {"赵六", "123456", 3, false}, // the entry has no number
        {"王五 ", "", 0, false},      // names match exactly
        {"", "", 0, false},
    };
    for (const Case& c : cases) {
        const TWatchNameHit hit = matcher.ByName(QString::fromUtf8(c.name), QString::fromUtf8(c.identity));
        EXPECT_EQ(hit.entry ? hit.entry->id : 0, c.expected) << c.name << c.identity;
        EXPECT_EQ(hit.differentNumber, c.different) << c.name << c.identity;
    }
}

TEST_F(WatchListStore, ChangesAreStoredAndSignalledWithoutNumbers)
{
    QSignalSpy changed(&list, &TWatchList::Changed);
    list.Load(db());
    const TWatchEntry added = list.Add(db(), entry(QStringLiteral("张三"), QStringLiteral("11010519491231002X"),
                                                   QStringLiteral("13800138000"), QStringLiteral("闹事")));
    list.Add(db(), entry(QStringLiteral("李四"), QString(), QString(), QStringLiteral("欠款")));
    EXPECT_FALSE(added.added.isEmpty());
    TWatchEntry changedEntry =
        entry(QStringLiteral("张三丰"), QStringLiteral("440101199001011234"), QString(), QStringLiteral("打人"));
    changedEntry.id = added.id;
    list.Change(db(), changedEntry);
    list.Remove(db(), list.Entries().last().id);

    TWatchList reread;
    reread.Load(db());
    ASSERT_EQ(reread.Entries().size(), 1);
    const TWatchEntry& kept = reread.Entries().first();
    EXPECT_EQ(kept.name, QStringLiteral("张三丰"));
    EXPECT_EQ(kept.identityNumber, QStringLiteral("440101199001011234"));
    EXPECT_EQ(kept.reason, QStringLiteral("打人"));
    EXPECT_EQ(kept.added, added.added);
    EXPECT_NE(reread.Matcher().ByIdentityNumber(QStringLiteral("440101199001011234")), nullptr);
    EXPECT_EQ(list.Matcher().ByIdentityNumber(QStringLiteral("11010519491231002X")), nullptr);

    ASSERT_EQ(changed.size(), 4);
    for (const QList<QVariant>& signal : changed) {
        const QString detail = signal.at(0).toString();
        EXPECT_FALSE(detail.contains(QStringLiteral("1101")) || detail.contains(QStringLiteral("4401"))
                     || detail.contains(QStringLiteral("138")))
            << detail.toStdString();
    }
    EXPECT_TRUE(changed.at(2).at(0).toString().contains(QStringLiteral("张三丰")));
}

TEST_F(WatchListStore, EachKindOfFileImportsWithOrWithoutItsHeader)
{
    const QString a = identity("11010519900307123");
    const QString b = identity("44010619851111002");
    const QString header = QStringLiteral("姓名,身份证,手机,原因\r\n");
    const QString body = QStringLiteral("张三,%1,+86 13800138000,闹事\r\n\"李,四\",%2,,\"说\"\"不\"\"\"\r\n").arg(a, b);
    write(QStringLiteral("bom.csv"), "\xEF\xBB\xBF" + (header + body).toUtf8());
    write(QStringLiteral("plain.csv"), body.toUtf8());
    write(QStringLiteral("gbk.csv"), ToGbk(header + body));
    writeXlsx(QStringLiteral("header.xlsx"),
              {{QStringLiteral("姓名"), QStringLiteral("身份证"), QStringLiteral("手机"), QStringLiteral("原因")},
               {QStringLiteral("张三"), a, QStringLiteral("13800138000"), QStringLiteral("闹事")},
               {QStringLiteral("李,四"), b, QString(), QStringLiteral("说\"不\"")}});
    writeXlsx(QStringLiteral("bare.xlsx"),
              {{QStringLiteral("张三"), a, QStringLiteral("13800138000"), QStringLiteral("闹事")},
               {QStringLiteral("李,四"), b, QString(), QStringLiteral("说\"不\"")}});

    for (const char* name : {"bom.csv", "plain.csv", "gbk.csv", "header.xlsx", "bare.xlsx"}) {
        SCOPED_TRACE(name);
        ExecuteStatements(db(), "DELETE FROM watch_list;");
        list.Load(db());
        QSignalSpy imported(&list, &TWatchList::Imported);
        const TWatchImportPlan plan = list.Import(db(), dir.file(QString::fromLatin1(name)));
        EXPECT_TRUE(plan.skipped.isEmpty());
        TWatchList reread;
        reread.Load(db());
        ASSERT_EQ(reread.Entries().size(), 2);
        EXPECT_EQ(reread.Entries()[0].name, QStringLiteral("张三"));
        EXPECT_EQ(reread.Entries()[0].identityNumber, a);
        EXPECT_EQ(reread.Matcher().ByMobile(QStringLiteral("13800138000")), &reread.Entries()[0]);
        EXPECT_EQ(reread.Entries()[1].name, QStringLiteral("李,四"));
        EXPECT_EQ(reread.Entries()[1].reason, QStringLiteral("说\"不\""));
        ASSERT_EQ(imported.size(), 1);
        EXPECT_EQ(imported.at(0), (QList<QVariant>{2, 0}));
    }
}

TEST_F(WatchListStore, BadLinesAreSkippedWithTheirReasonsAndTheRestImported)
{
    list.Load(db());
    list.Add(db(), entry(QStringLiteral("老王"), identity("11010519900307123"), QString(), QStringLiteral("旧")));
    const QString good = identity("44010619851111002");
    write(QStringLiteral("mixed.csv"),
          QStringLiteral("姓名,身份证,手机,原因\n"
                         ",%1,,没有名字\n"                   // 2
                         "甲,,,理由,多余\n"                  // 3
                         "乙,110105199003071230,,号码不对\n" // 4: wrong check character
                         "丙,,138abc,手机不对\n"             // 5
                         "丁,%2,,已在名单\n"                 // 6
                         "\n"                                // blank: passed over
                         "戊,%1,,好的\n"                     // 8
                         "己,%1 ,,同一文件中重复\n"          // 9
                         "庚,A1234567,,护照\n")              // 10: other papers are taken
              .arg(good, identity("11010519900307123"))
              .toUtf8());
    const TWatchImportPlan plan = list.Import(db(), dir.file(QStringLiteral("mixed.csv")));
    EXPECT_EQ(plan.entries.size(), 2);
    const QList<std::pair<int, WatchSkipReason>> expected = {
        {2, WatchSkipReason::NoName},      {3, WatchSkipReason::ExtraColumns},  {4, WatchSkipReason::WrongIdentity},
        {5, WatchSkipReason::WrongMobile}, {6, WatchSkipReason::AlreadyListed}, {9, WatchSkipReason::AlreadyListed},
    };
    ASSERT_EQ(plan.skipped.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(plan.skipped[i].line, expected[i].first) << i;
        EXPECT_EQ(plan.skipped[i].reason, expected[i].second) << i;
    }
    EXPECT_EQ(list.Entries().size(), 3);
}

TEST_F(WatchListStore, AFileThatIsNoWorkbookIsRefusedAndAddsNothing)
{
    write(QStringLiteral("fake.xlsx"), "姓名,身份证\n张三,1\n");
    list.Load(db());
    EXPECT_THROW(list.Import(db(), dir.file(QStringLiteral("fake.xlsx"))), EVostrelError);
    EXPECT_THROW(list.Import(db(), dir.file(QStringLiteral("missing.csv"))), EVostrelError);
    list.Load(db());
    EXPECT_TRUE(list.Entries().isEmpty());
}

TEST_F(WatchListStore, AnOlderRegisterGetsTheTableAndTheSchemaCheckAcceptsOnlyItsShape)
{
    const QString path = dir.file(QStringLiteral("_.udb"));
    auto open = [&] {
        SqliteHandle handle(QFile::encodeName(path), SQLITE_OPEN_READWRITE);
        KeyRegisterHandle(handle.get(), QString::fromLatin1(kRegisterPassword));
        return handle;
    };
    const QByteArray older =
        "DROP TABLE watch_list; PRAGMA user_version = " + QByteArray::number(kWatchListVersion - 1) + ";";
    {
        const SqliteHandle db = open();
        ExecuteStatements(db.get(), older.constData());
        TWatchList unupgraded;
        unupgraded.Load(db.get()); // no table yet: an empty list, no failure
        EXPECT_TRUE(unupgraded.Entries().isEmpty());
        UpgradeRegister(db.get());
        EXPECT_EQ(RegisterVersion(db.get()), kRegisterVersion);
        list.Add(db.get(), entry(QStringLiteral("张三"), QString(), QString(), QStringLiteral("闹事")));
    }
    EXPECT_NO_THROW(connection.handle());
    connection.Close();

    // A table of another shape under its name is not the program's.
    const QByteArray strangers[] = {
        "DROP TABLE watch_list; CREATE TABLE watch_list (编号 INTEGER PRIMARY KEY, 姓名 TEXT);",
        "DROP TABLE watch_list; CREATE VIRTUAL TABLE watch_list USING fts5(姓名);",
    };
    for (const QByteArray& stranger : strangers) {
        {
            const SqliteHandle db = open();
            ExecuteStatements(db.get(), stranger.constData());
        }
        EXPECT_THROW(connection.handle(), EDatabaseError) << stranger.constData();
        connection.Close();
    }
}
