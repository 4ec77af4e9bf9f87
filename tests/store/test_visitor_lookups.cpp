// The store side of the record list's features: the identity-number check,
// returning visitors by number prefix, departures, and the look-up indexes.
#include "StoreFixture.h"
#include "db/LookupIndexes.h"
#include "db/ReturningVisitors.h"
#include "db/Sqlite.h"
#include "db/VisitorPresence.h"
#include "visitors/IdentityNumber.h"

#include <QRandomGenerator>
#include <algorithm>
#include <map>

namespace {

const QDate kToday(2026, 12, 8);

IdentityNumberCheck check(const char* number) { return CheckIdentityNumber(QString::fromLatin1(number), kToday); }

} // namespace

TEST(IdentityNumber, TheStandardsExamplesPassTheirCheckCharacter)
{
    // The two examples printed in GB 11643-1999.
    EXPECT_TRUE(check("11010519491231002X").judged);
    EXPECT_TRUE(check("11010519491231002X").ok());
    EXPECT_TRUE(check("11010519491231002x").ok()); // a lower-case x is the same character
    const IdentityNumberCheck old = check("440524188001010014");
    EXPECT_TRUE(old.checkCharacterOk);
    EXPECT_FALSE(old.birthDateOk); // born 1880: before 1900 is refused here
    EXPECT_EQ(IdentityCheckCharacter(QStringLiteral("11010519491231002")), QLatin1Char('X'));
}

TEST(IdentityNumber, WrongCheckCharactersAreFound)
{
    for (const char* wrong : {"110105194912310020", "110105194912310021", "110105194912310029", "440524188001010019"}) {
        const IdentityNumberCheck c = check(wrong);
        EXPECT_TRUE(c.judged) << wrong;
        EXPECT_FALSE(c.checkCharacterOk) << wrong;
    }
    // Two digits swapped keep the date but not the check character.
    EXPECT_FALSE(check("110105194912310202").checkCharacterOk);
    EXPECT_TRUE(check("110105194912310202").birthDateOk);
}

TEST(IdentityNumber, ImpossibleAndFutureBirthDatesAreFound)
{
    auto withCheck = [](const QString& first17) { return first17 + IdentityCheckCharacter(first17); };
    for (const char* first17 : {"11010519990230123", "11010519991301123", "11010519990000123", "11010518991231123",
                                "11010520261209123", "11010521000101123", "11010520230229123"}) {
        const IdentityNumberCheck c = CheckIdentityNumber(withCheck(QString::fromLatin1(first17)), kToday);
        EXPECT_TRUE(c.judged) << first17;
        EXPECT_TRUE(c.checkCharacterOk) << first17;
        EXPECT_FALSE(c.birthDateOk) << first17;
    }
    for (const char* first17 : {"11010520000229123", "11010519000101123", "11010520261208123"})
        EXPECT_TRUE(CheckIdentityNumber(withCheck(QString::fromLatin1(first17)), kToday).ok()) << first17;
}

TEST(IdentityNumber, FifteenDigitNumbersAreCheckedForTheirDateOnly)
{
    EXPECT_TRUE(check("110105491231002").judged);
    EXPECT_TRUE(check("110105491231002").ok());
    EXPECT_TRUE(check("110105040229002").ok());  // 1904 was a leap year,
    EXPECT_FALSE(check("110105000229002").ok()); // 1900 was none
    EXPECT_FALSE(check("110105490230002").birthDateOk);
    EXPECT_FALSE(check("110105491331002").birthDateOk);
    EXPECT_TRUE(check("110105491231002").checkCharacterOk);
}

TEST(IdentityNumber, OtherPapersAreNotJudged)
{
    for (const char* other :
         {"", "E12345678", "G12345678", "11010519491231002", "1101051949123100201", "11010519491231002Y",
          "1101051949123100X2", "11010519491231 02X", "11010549123100X", "H1234567890", "abcdefghijklmnopqr"}) {
        const IdentityNumberCheck c = check(other);
        EXPECT_FALSE(c.judged) << other;
        EXPECT_TRUE(c.ok()) << other;
    }
    // Full-width digits are not the digits of an identity number.
    EXPECT_FALSE(CheckIdentityNumber(QStringLiteral("１１０１０５１９４９１２３１００２Ｘ"), kToday).judged);
}

class VisitorLookups : public StoreFixture {
protected:
    // Adds a visit: 分类, 姓名, 身份证, 手机, 电话, 地址, 来访, 离开, 日期.
    void visit(const QString& category, const QString& name, const QString& id, const QString& mobile,
               const QString& phone = QString(), const QString& address = QString(), const QString& arrival = QString(),
               const QString& departure = QString(), const QString& recordDate = QStringLiteral("2026/12/8 9:00:00"))
    {
        exec(insertLine({category, name, id, mobile, phone, QStringLiteral("送货"), address, arrival, departure,
                         QStringLiteral("备注"), recordDate}));
    }

    std::vector<TReturningVisitor> find(VisitorKey key, const QString& prefix, int limit = 8)
    {
        return FindReturningVisitors(connection.handle(), key, prefix, limit);
    }

    static QStringList names(const std::vector<TReturningVisitor>& visitors)
    {
        QStringList list;
        for (const TReturningVisitor& v : visitors)
            list << v.name;
        return list;
    }

    // What the look-up must answer, read the slow and obvious way.
    QList<qint64> expected(VisitorKey key, const QString& prefix, int limit)
    {
        const QString column = key == VisitorKey::IdentityNumber ? QStringLiteral("身份证") : QStringLiteral("手机");
        SqliteStatement s(connection.handle(), QStringLiteral("SELECT max(编号) FROM data WHERE substr(") + column
                                                   + QStringLiteral(", 1, length(?1)) = ?1 GROUP BY ") + column
                                                   + QStringLiteral(" ORDER BY 1 DESC LIMIT ")
                                                   + QString::number(limit));
        s.bindTexts({prefix});
        QList<qint64> ids;
        while (s.step())
            ids << s.columnInt64(0);
        return ids;
    }

    static QList<qint64> numbers(const std::vector<TReturningVisitor>& visitors)
    {
        QList<qint64> ids;
        for (const TReturningVisitor& v : visitors)
            ids << v.recordNumber;
        return ids;
    }

    QString planOf(const QString& statement)
    {
        SqliteStatement s(connection.handle(), QStringLiteral("EXPLAIN QUERY PLAN ") + statement);
        QString plan;
        while (s.step())
            plan += s.columnText(3) + QLatin1Char('\n');
        return plan;
    }
};

TEST_F(VisitorLookups, OneLinePerNumberFromItsNewestVisitNewestFirst)
{
    visit("QQ帐号", "张三", "440106199003071231", "13800138000", "020-1", "广州", "2025/1/2 8:00:00",
          "2025/1/2 9:00:00");
    visit("网站帐号", "李四", "440106198512120012", "13900139000", "", "深圳", "2025/3/4 8:00:00");
    visit("邮箱帐号", "张三丰", "440106199003071231", "13800138001", "020-2", "佛山", "2026/6/1 10:00:00");
    visit("QQ帐号", "王五", "110101199001011234", "13800138002");
    visit("QQ帐号", "赵六", "", "13800138003", "", "", "", "", "2026/12/1 7:00:00");

    const auto found = find(VisitorKey::IdentityNumber, QStringLiteral("440106"));
    ASSERT_EQ(names(found), (QStringList{QStringLiteral("张三丰"), QStringLiteral("李四")}));
    const TReturningVisitor& newest = found[0];
    EXPECT_EQ(newest.recordNumber, 3);
    EXPECT_EQ(newest.category, QStringLiteral("邮箱帐号"));
    EXPECT_EQ(newest.identityNumber, QStringLiteral("440106199003071231"));
    EXPECT_EQ(newest.mobile, QStringLiteral("13800138001"));
    EXPECT_EQ(newest.telephone, QStringLiteral("020-2"));
    EXPECT_EQ(newest.address, QStringLiteral("佛山"));
    EXPECT_EQ(newest.lastVisit, QStringLiteral("2026/6/1"));

    // By mobile: every mobile is a number of its own; a visit without an
    // arrival time is dated by its record date.
    const auto byMobile = find(VisitorKey::Mobile, QStringLiteral("1380013"));
    EXPECT_EQ(names(byMobile), (QStringList{QStringLiteral("赵六"), QStringLiteral("王五"), QStringLiteral("张三丰"),
                                            QStringLiteral("张三")}));
    EXPECT_EQ(byMobile[0].lastVisit, QStringLiteral("2026/12/1"));
    EXPECT_TRUE(find(VisitorKey::Mobile, QStringLiteral("13800138003")).size() == 1);
    EXPECT_TRUE(find(VisitorKey::Mobile, QStringLiteral("138001380031")).empty());
    EXPECT_TRUE(find(VisitorKey::IdentityNumber, QStringLiteral("440107")).empty());
    EXPECT_TRUE(find(VisitorKey::IdentityNumber, QString()).empty());
}

TEST_F(VisitorLookups, ThePrefixIsMatchedExactlyAtItsEnds)
{
    // Neighbours in byte order of a prefix ending in 9 and of one ending in a
    // Chinese character must not slip in.
    visit("QQ帐号", "甲", "4401069", "");
    visit("QQ帐号", "乙", "440106:", "");
    visit("QQ帐号", "丙", "440106", "");
    visit("QQ帐号", "丁", "44010699", "");
    visit("QQ帐号", "戊", "护照E123", "");
    visit("QQ帐号", "己", "护照F123", "");
    visit("QQ帐号", "庚", "护", "");
    EXPECT_EQ(names(find(VisitorKey::IdentityNumber, QStringLiteral("4401069"))),
              (QStringList{QStringLiteral("丁"), QStringLiteral("甲")}));
    EXPECT_EQ(names(find(VisitorKey::IdentityNumber, QStringLiteral("护照E"))), QStringList{QStringLiteral("戊")});
    EXPECT_EQ(names(find(VisitorKey::IdentityNumber, QStringLiteral("护"))).size(), 3);
}

TEST_F(VisitorLookups, AgreesWithAPlainReadingWhicheverWalkFinishesFirst)
{
    // A register where some prefixes are common and recent, others rare and
    // old, and some visitors come back many times: the range walk answers
    // some, the walk back from the newest record others.
    QRandomGenerator random(19);
    sqlite3* db = connection.handle();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    SqliteStatement insert(db, QStringLiteral("INSERT INTO data (分类,姓名,身份证,手机) VALUES ('QQ帐号', ?, ?, ?)"));
    const QStringList regions = {QStringLiteral("440106"), QStringLiteral("110101"), QStringLiteral("310104")};
    for (int i = 0; i < 6000; ++i) {
        QString id;
        QString mobile;
        if (i < 40) { // old and rare
            id = QStringLiteral("652901") + QString::number(19700101 + i) + QStringLiteral("0001");
            mobile = QStringLiteral("1740000") + QString::number(1000 + i);
        } else if (random.bounded(5) == 0) { // a regular who comes back often
            id = QStringLiteral("440106198001010011");
            mobile = QStringLiteral("13800138000");
        } else {
            id = regions[random.bounded(3)] + QString::number(19500101 + random.bounded(500000)).left(8)
                 + QString::number(1000 + random.bounded(9000));
            mobile = QStringLiteral("13") + QString::number(100000000 + random.bounded(900000000));
        }
        insert.reset();
        insert.bindTexts({QStringLiteral("访客%1").arg(i), id, mobile});
        insert.step();
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);

    const QStringList idPrefixes = {QStringLiteral("440106"),     QStringLiteral("652901"),
                                    QStringLiteral("6529011970"), QStringLiteral("440106198001010011"),
                                    QStringLiteral("4401061980"), QStringLiteral("110101"),
                                    QStringLiteral("999999"),     QStringLiteral("3101041")};
    for (const QString& prefix : idPrefixes)
        for (int limit : {1, 8})
            EXPECT_EQ(numbers(find(VisitorKey::IdentityNumber, prefix, limit)),
                      expected(VisitorKey::IdentityNumber, prefix, limit))
                << prefix.toStdString() << " limit " << limit;
    for (const QString& prefix : {QStringLiteral("1380013"), QStringLiteral("1740000"), QStringLiteral("1300000"),
                                  QStringLiteral("13800138000"), QStringLiteral("1390000")})
        EXPECT_EQ(numbers(find(VisitorKey::Mobile, prefix)), expected(VisitorKey::Mobile, prefix, 8))
            << prefix.toStdString();
}

TEST_F(VisitorLookups, TheLookupsAndTheOnSiteViewReadIndexes)
{
    for (VisitorKey key : {VisitorKey::IdentityNumber, VisitorKey::Mobile}) {
        const QString plan = planOf(ReturningVisitorRangeStatement(key));
        EXPECT_TRUE(plan.contains(QLatin1String("COVERING INDEX"))) << plan.toStdString();
    }
    // The list reads the record numbers of its rows first, with the view's condition.
    TSqlStrings onSite;
    onSite.Add(OnSiteListing());
    const QString numbersOnly = QStringLiteral("SELECT 编号 FROM data") + onSite.compile().plainSelect.value().rest;
    const QString plan = planOf(numbersOnly);
    EXPECT_TRUE(plan.contains(QLatin1String("COVERING INDEX data_on_site"))) << plan.toStdString();
}

TEST_F(VisitorLookups, AnOlderRegisterGetsTheIndexesOnce)
{
    EXPECT_TRUE(MissingLookupIndexes(connection.handle()).isEmpty()); // the set-up tool made them
    sqlite3* db = connection.handle();
    for (const QString& name : LookupIndexNames())
        ASSERT_EQ(
            sqlite3_exec(db, (QStringLiteral("DROP INDEX ") + name).toUtf8().constData(), nullptr, nullptr, nullptr),
            SQLITE_OK);
    visit("QQ帐号", "张三", "440106199003071231", "13800138000");
    EXPECT_EQ(MissingLookupIndexes(db), LookupIndexNames());
    EXPECT_NO_THROW(CreateLookupIndexes(db));
    EXPECT_TRUE(MissingLookupIndexes(db).isEmpty());
    EXPECT_NO_THROW(CreateLookupIndexes(db)); // nothing to do the second time
    EXPECT_EQ(names(find(VisitorKey::Mobile, QStringLiteral("1380013"))), QStringList{QStringLiteral("张三")});
}

TEST_F(VisitorLookups, ADepartureFillsOnlyAnEmptyDeparture)
{
    visit("QQ帐号", "张三", "440106199003071231", "13800138000", "020", "广州", "2026/12/8 8:00:00", "");
    visit("QQ帐号", "李四", "", "", "", "", "2026/12/8 8:10:00", "2026/12/8 8:30:00");
    exec(SqlLine("update data set 离开 = null where 编号 = 1"));
    auto row = [&](int number) {
        SqliteStatement s(connection.handle(), QStringLiteral("SELECT * FROM data WHERE 编号 = ?"));
        s.bindInt64(1, number);
        QStringList values;
        if (s.step())
            for (int i = 0; i < s.columnCount(); ++i)
                values << (sqlite3_column_type(s.get(), i) == SQLITE_NULL ? QStringLiteral("<null>") : s.columnText(i));
        return values;
    };
    const QStringList before = row(1);
    const DepartureOutcome left = RecordDeparture(connection, 1, QStringLiteral("2026/12/8 9:05:03"));
    EXPECT_EQ(left.kind, DepartureOutcome::Recorded);
    QStringList after = row(1);
    EXPECT_EQ(after[9], QStringLiteral("2026/12/8 9:05:03"));
    after[9] = before[9];
    EXPECT_EQ(after, before); // 日期 included

    const QStringList other = row(2);
    const DepartureOutcome again = RecordDeparture(connection, 2, QStringLiteral("2026/12/8 9:06:00"));
    EXPECT_EQ(again.kind, DepartureOutcome::AlreadyLeft);
    EXPECT_EQ(again.leftAt, QStringLiteral("2026/12/8 8:30:00"));
    EXPECT_EQ(row(2), other);
    EXPECT_EQ(RecordDeparture(connection, 99, QStringLiteral("x")).kind, DepartureOutcome::NoRecord);
}
