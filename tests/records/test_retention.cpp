// Keeping a register within the law: masked numbers, reading record dates,
// deleting records older than a day.
#include "StoreFixture.h"
#include "db/DatabaseError.h"
#include "db/Sqlite.h"
#include "records/NumberMask.h"
#include "records/OldRecords.h"
#include "visitors/RecordDate.h"

#include <QLocale>
#include <algorithm>

TEST(NumberMaskTest, KeepsTheEndsAndHidesTheMiddle)
{
    EXPECT_EQ(MaskIdentityNumber(QStringLiteral("440101199001011234")), QStringLiteral("440101********1234"));
    EXPECT_EQ(MaskIdentityNumber(QStringLiteral("44010119900101X")), QStringLiteral("440101*****101X"));
    EXPECT_EQ(MaskMobileNumber(QStringLiteral("13812345678")), QStringLiteral("138****5678"));
    EXPECT_EQ(MaskMobileNumber(QStringLiteral("+8613812345678")), QStringLiteral("+86*******5678"));
}

TEST(NumberMaskTest, ValuesTooShortToHideAnythingStayAsTheyAre)
{
    for (const QString& v : {QString(), QStringLiteral("12345"), QStringLiteral("1234567890")})
        EXPECT_EQ(MaskIdentityNumber(v), v);
    for (const QString& v : {QString(), QStringLiteral("110"), QStringLiteral("1234567")})
        EXPECT_EQ(MaskMobileNumber(v), v);
    EXPECT_EQ(MaskIdentityNumber(QStringLiteral("E12345678X1")), QStringLiteral("E12345*78X1"));
}

TEST(NumberMaskTest, OnlyIdentityAndMobileColumnsAreMasked)
{
    const QString number = QStringLiteral("13812345678");
    EXPECT_EQ(MaskedCell(QStringLiteral("手机"), number), QStringLiteral("138****5678"));
    EXPECT_EQ(MaskedCell(QStringLiteral("身份证"), number), QStringLiteral("138123*5678"));
    for (const char* column : {"电话", "编号", "备注", "姓名"})
        EXPECT_EQ(MaskedCell(QString::fromUtf8(column), number), number) << column;
}

TEST(RecordDateTest, ReadsWhatTheClockWritesInEachLocale)
{
    const QDate today(2026, 12, 8);
    for (const char* name : {"zh_CN", "en_US", "de_DE", "en_GB", "ja_JP", "C"}) {
        const QLocale locale(QString::fromLatin1(name));
        const TRecordDateReader reader(locale, today);
        for (const QDate day : {QDate(2026, 12, 7), QDate(2019, 1, 2), QDate(1999, 11, 30)}) {
            const QString written = locale.toString(day, QLocale::ShortFormat) + QLatin1Char(' ')
                                    + locale.toString(QTime(9, 5, 3), QLocale::LongFormat);
            EXPECT_EQ(reader.dateOf(written), day) << name << ": " << written.toStdString();
        }
    }
}

TEST(RecordDateTest, YearFirstIsReadInAnyLocaleButDayAndMonthAreNeverGuessed)
{
    const TRecordDateReader us(QLocale(QStringLiteral("en_US")), QDate(2026, 12, 8));
    EXPECT_EQ(us.dateOf(QStringLiteral("2025/3/4 10:00:00")), QDate(2025, 3, 4));
    EXPECT_EQ(us.dateOf(QStringLiteral("2025-03-04T10:00:00")), QDate(2025, 3, 4));
    EXPECT_EQ(us.dateOf(QStringLiteral("2025年3月4日 10:00:00")), QDate(2025, 3, 4));

    // A locale whose short date has several words reads a year-first first word too.
    const TRecordDateReader c(QLocale::c(), QDate(2026, 12, 8));
    ASSERT_GT(QLocale::c().toString(QDate(2025, 3, 4), QLocale::ShortFormat).count(QLatin1Char(' ')), 0);
    EXPECT_EQ(c.dateOf(QStringLiteral("2025/3/4 10:00:00")), QDate(2025, 3, 4));

    const TRecordDateReader china(QLocale(QStringLiteral("zh_CN")), QDate(2026, 12, 8));
    EXPECT_EQ(china.dateOf(QStringLiteral("04/03/2025 10:00:00")), std::nullopt);
    EXPECT_EQ(china.dateOf(QStringLiteral("3/4/25 10:00 AM")), std::nullopt);
    for (const QString& bad :
         {QString(), QStringLiteral("   "), QStringLiteral("昨天"), QStringLiteral("2025/2/30 10:00:00")})
        EXPECT_EQ(china.dateOf(bad), std::nullopt) << bad.toStdString();
}

TEST(RecordDateTest, TwoDigitYearsAreNeverInTheFuture)
{
    const QLocale us(QStringLiteral("en_US"));
    ASSERT_FALSE(us.dateFormat(QLocale::ShortFormat).contains(QLatin1String("yyyy")));
    const TRecordDateReader reader(us, QDate(2026, 12, 8));
    EXPECT_EQ(reader.dateOf(QStringLiteral("12/8/26 9:00:00 AM")), QDate(2026, 12, 8));
    EXPECT_EQ(reader.dateOf(QStringLiteral("12/9/26 9:00:00 AM")), QDate(1926, 12, 9));
    EXPECT_EQ(reader.dateOf(QStringLiteral("1/2/99 9:00:00 AM")), QDate(1999, 1, 2));
}

class OldRecordsTest : public StoreFixture {
protected:
    std::int64_t addDated(const QString& name, const QString& recordDate)
    {
        exec(insertLine({QStringLiteral("QQ帐号"), name, QString(), QString(), QString(), QString(), QString(),
                         QString(), QString(), QString(), recordDate}));
        return sqlite3_last_insert_rowid(connection.handle());
    }

    QStringList names()
    {
        open(SqlSelect{"Select ", "姓名", " from ", "data"});
        QStringList out;
        for (query.First(); !query.Eof(); query.Next())
            out << query.Fields(0);
        query.Close();
        return out;
    }

    const TRecordDateReader reader{QLocale(QStringLiteral("zh_CN")), QDate(2026, 12, 8)};
};

TEST_F(OldRecordsTest, FindsRecordsBeforeTheDayAndCountsUnreadableDates)
{
    const std::int64_t old1 = addDated(QStringLiteral("甲"), QStringLiteral("2024/1/5 08:00:00"));
    addDated(QStringLiteral("乙"), QStringLiteral("2025/12/8 00:00:00"));
    const std::int64_t old2 = addDated(QStringLiteral("丙"), QStringLiteral("2025-12-07 23:59:59"));
    addDated(QStringLiteral("丁"), QStringLiteral("12/7/2025 9:00"));
    addDated(QStringLiteral("戊"), QString());
    addDated(QStringLiteral("己"), QStringLiteral("2026/12/8 09:00:00"));

    const TOldRecords old = FindRecordsBefore(connection, QDate(2025, 12, 8), reader);
    EXPECT_EQ(old.ids, (std::vector<std::int64_t>{old1, old2}));
    EXPECT_EQ(old.unreadable, 2);

    EXPECT_EQ(DeleteRecords(connection, old.ids, QDate(2025, 12, 8), reader).deleted, 2);
    EXPECT_EQ(names(),
              (QStringList{QStringLiteral("乙"), QStringLiteral("丁"), QStringLiteral("戊"), QStringLiteral("己")}));
}

TEST_F(OldRecordsTest, ALockedRegisterChangesNothingAndSaysSo)
{
    const std::int64_t id = addDated(QStringLiteral("甲"), QStringLiteral("2020/1/1 08:00:00"));
    addDated(QStringLiteral("乙"), QStringLiteral("2020/1/2 08:00:00"));
    const TOldRecords old = FindRecordsBefore(connection, QDate(2026, 1, 1), reader);
    ASSERT_EQ(old.ids.size(), 2u);
    ASSERT_EQ(old.ids.front(), id);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(dir.file(QStringLiteral("_.udb"))).constData(), &other), SQLITE_OK);
    ASSERT_NO_THROW(KeyRegisterHandle(other, QString::fromLatin1(kRegisterPassword)));
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_THROW(DeleteRecords(connection, old.ids, QDate(2026, 1, 1), reader), EDatabaseError);
    sqlite3_exec(other, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    EXPECT_EQ(names(), (QStringList{QStringLiteral("甲"), QStringLiteral("乙")}));
}

// Another program changes a record to today between the search and the
// deletion: it is no longer old and stays.
TEST_F(OldRecordsTest, ARecordChangedSinceItWasFoundStays)
{
    addDated(QStringLiteral("甲"), QStringLiteral("2020/1/1 08:00:00"));
    const std::int64_t changed = addDated(QStringLiteral("乙"), QStringLiteral("2020/1/2 08:00:00"));
    const TOldRecords old = FindRecordsBefore(connection, QDate(2026, 1, 1), reader);
    ASSERT_EQ(old.ids.size(), 2u);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(dir.file(QStringLiteral("_.udb"))).constData(), &other), SQLITE_OK);
    ASSERT_NO_THROW(KeyRegisterHandle(other, QString::fromLatin1(kRegisterPassword)));
    const QByteArray update =
        "UPDATE data SET 日期 = '2026/12/8 09:00:00' WHERE 编号 = " + QByteArray::number(changed) + ";";
    ASSERT_EQ(sqlite3_exec(other, update.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);

    EXPECT_EQ(DeleteRecords(connection, old.ids, QDate(2026, 1, 1), reader).deleted, 1);
    EXPECT_EQ(names(), QStringList{QStringLiteral("乙")});
}

// Stopping at any report, the last one after every row included, leaves
// every record in place; the reports count up to the total.
TEST_F(OldRecordsTest, CancellingRollsBackEverything)
{
    exec(SqlLine("BEGIN"));
    for (int i = 0; i < 9000; ++i)
        addDated(QStringLiteral("甲%1").arg(i), QStringLiteral("2020/1/1 08:00:00"));
    exec(SqlLine("COMMIT"));
    const TOldRecords old = FindRecordsBefore(connection, QDate(2026, 1, 1), reader);
    ASSERT_EQ(old.ids.size(), 9000u);
    for (const int stopAt : {1, 3}) {
        std::vector<std::int64_t> reports;
        const TDeletion deletion =
            DeleteRecords(connection, old.ids, QDate(2026, 1, 1), reader, [&](std::int64_t done, std::int64_t total) {
                EXPECT_EQ(total, 9000);
                reports.push_back(done);
                return static_cast<int>(reports.size()) < stopAt;
            });
        EXPECT_TRUE(deletion.cancelled);
        EXPECT_EQ(deletion.deleted, 0);
        EXPECT_EQ(reports.back(), stopAt == 3 ? 9000 : reports.front());
        EXPECT_EQ(FindRecordsBefore(connection, QDate(2026, 1, 1), reader).ids.size(), 9000u) << stopAt;
    }
}
