// Visits by date through the day index, their counts, and overnight visits.
#include "StoreFixture.h"
#include "VisitorGenerator.h"
#include "db/DayIndex.h"
#include "db/RegisterSchema.h"
#include "db/RegisterUpgrade.h"
#include "db/Sqlite.h"
#include "db/VisitorPresence.h"
#include "records/OldRecords.h"
#include "reports/DateRange.h"
#include "reports/OvernightVisits.h"
#include "reports/VisitStatistics.h"
#include "reports/VisitTime.h"
#include "visitors/RecordDate.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QScopeGuard>
#include <algorithm>
#include <map>

namespace {

class Reports : public StoreFixture {
protected:
    // Adds a visit through the program's add statement; returns its number.
    qint64 add(const QString& arrival, const QString& recordDate, const QString& departure = QString(),
               const QString& category = QStringLiteral("送货"))
    {
        exec(insertLine({category, QStringLiteral("张三"), QString(), QString(), QString(), QStringLiteral("送货"),
                         QString(), arrival, departure, QString(), recordDate}));
        return sqlite3_last_insert_rowid(connection.handle());
    }

    // The day index's rows, "编号:yyyy-MM-dd" or "编号:-" for an unreadable day.
    QStringList indexRows()
    {
        QStringList rows;
        SqliteStatement s(connection.handle(), QStringLiteral("SELECT 编号, day FROM visit_days ORDER BY 编号"));
        while (s.step())
            rows << QString::number(s.columnInt64(0)) + QLatin1Char(':')
                        + (sqlite3_column_type(s.get(), 1) == SQLITE_NULL
                               ? QStringLiteral("-")
                               : QDate::fromJulianDay(s.columnInt64(1)).toString(Qt::ISODate));
        return rows;
    }

    // The same, read plainly from every record.
    QStringList plainRows()
    {
        const TRecordDateReader reader{QLocale()};
        QStringList rows;
        SqliteStatement s(connection.handle(), QStringLiteral("SELECT 编号, 来访, 日期 FROM data ORDER BY 编号"));
        while (s.step()) {
            const std::optional<QDate> day = ArrivalDay(reader, s.columnText(1), s.columnText(2));
            rows << QString::number(s.columnInt64(0)) + QLatin1Char(':')
                        + (day ? day->toString(Qt::ISODate) : QStringLiteral("-"));
        }
        return rows;
    }

    // Rows of data, the given columns joined with '|', by record number.
    QStringList rowsOf(const QString& columns)
    {
        QStringList rows;
        SqliteStatement s(connection.handle(),
                          QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM data ORDER BY 编号"));
        while (s.step()) {
            QStringList row;
            for (int i = 0; i < s.columnCount(); ++i)
                row << s.columnText(i);
            rows << row.join(QLatin1Char('|'));
        }
        return rows;
    }

    std::vector<qint64> listed(const TDateRange& range)
    {
        open(DateRangeListing(range));
        std::vector<qint64> ids;
        ids.reserve(static_cast<std::size_t>(query.RecordCount()));
        for (int row = 0; row < query.RecordCount(); ++row)
            ids.push_back(query.CellAt(row, 0).toLongLong());
        return ids;
    }
};

} // namespace

TEST(DateRangeTest, PresetsAcrossMonthAndYearEnds)
{
    const struct {
        QDate today;
        DatePreset preset;
        TDateRange expected;
    } cases[] = {
        {{2026, 12, 9}, DatePreset::Today, {{2026, 12, 9}, {2026, 12, 9}}},
        {{2027, 1, 1}, DatePreset::Yesterday, {{2026, 12, 31}, {2026, 12, 31}}},
        {{2026, 3, 1}, DatePreset::Yesterday, {{2026, 2, 28}, {2026, 2, 28}}},
        {{2027, 1, 1}, DatePreset::ThisWeek, {{2026, 12, 28}, {2027, 1, 1}}},    // a Friday
        {{2026, 12, 7}, DatePreset::ThisWeek, {{2026, 12, 7}, {2026, 12, 7}}},   // a Monday
        {{2026, 12, 13}, DatePreset::ThisWeek, {{2026, 12, 7}, {2026, 12, 13}}}, // a Sunday
        {{2027, 1, 1}, DatePreset::ThisMonth, {{2027, 1, 1}, {2027, 1, 1}}},
        {{2024, 2, 29}, DatePreset::ThisMonth, {{2024, 2, 1}, {2024, 2, 29}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PresetRange(c.preset, c.today), c.expected)
            << c.today.toString(Qt::ISODate).toStdString() << " preset " << static_cast<int>(c.preset);
    EXPECT_EQ(Ordered({{2027, 1, 2}, {2026, 12, 30}}), (TDateRange{{2026, 12, 30}, {2027, 1, 2}}));
}

TEST(VisitTimeTest, ReadsTheClockTimeOfArrivalsAndDepartures)
{
    const struct {
        const char* text;
        int hour; // -1: no time
    } cases[] = {
        {"2026/12/9 14:03:22", 14},    {"2026/12/9 8:05", 8}, {"12/9/26 2:03:22 PM", 14}, {"12/9/26 12:10:00 AM", 0},
        {"2026/12/9 下午2:03:22", 14}, {"9:00", 9},           {"2026/12/9", -1},          {"昨天", -1},
        {"2026/12/9 25:10:00", -1},    {"123:45 9:30", 9},    {"10:456 7:05", 7},         {"11:30:456", 11},
    };
    for (const auto& c : cases) {
        const std::optional<QTime> time = TimeOf(QString::fromUtf8(c.text));
        EXPECT_EQ(time ? time->hour() : -1, c.hour) << c.text;
    }
    const TRecordDateReader reader(QLocale::c(), QDate(2026, 12, 9));
    EXPECT_EQ(MomentOf(reader, QStringLiteral("17:30"), QDate(2026, 12, 1)),
              QDateTime(QDate(2026, 12, 1), QTime(17, 30), Qt::UTC));
    EXPECT_EQ(MomentOf(reader, QStringLiteral("17:30")), std::nullopt);
}

TEST_F(Reports, RangesListTheDaysOfArrivalInTheFormsTheRegisterHolds)
{
    // The clock of an American desk writes a two-digit year, month first.
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
    const qint64 yearFirst = add(QStringLiteral("2026/12/31 23:59:00"), QStringLiteral("2027/1/2 8:00:00"));
    const qint64 localeShort = add(QStringLiteral("11/30/26 9:00:00 AM"), QString());
    const qint64 fromRecordDate = add(QString(), QStringLiteral("2027-01-01T08:00:00"));
    const qint64 chinese = add(QStringLiteral("2027年1月2日 10:00"), QString());
    add(QStringLiteral("昨天"), QStringLiteral("不详")); // unreadable both ways
    add(QString(), QString());

    const struct {
        TDateRange range;
        std::vector<qint64> expected;
    } cases[] = {
        {{{2026, 12, 31}, {2026, 12, 31}}, {yearFirst}}, // 来访 wins over 日期
        {{{2026, 11, 1}, {2026, 11, 30}}, {localeShort}},
        {{{2026, 11, 30}, {2026, 12, 31}}, {yearFirst, localeShort}},
        {{{2026, 12, 31}, {2027, 1, 1}}, {yearFirst, fromRecordDate}},
        {{{2027, 1, 2}, {2026, 11, 30}}, {yearFirst, localeShort, fromRecordDate, chinese}},
        {{{2027, 1, 3}, {2027, 12, 31}}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(listed(c.range), c.expected) << c.range.from.toString(Qt::ISODate).toStdString();
    EXPECT_EQ(UnreadableDays(connection.handle()), 2);
    EXPECT_EQ(indexRows(), plainRows());
}

TEST_F(Reports, EveryWriteOfTheProgramKeepsTheDayIndexInStep)
{
    const qint64 first = add(QStringLiteral("2026/12/1 9:00:00"), QStringLiteral("2026/12/1 9:00:00"));
    const qint64 second = add(QString(), QStringLiteral("2026/12/2 9:00:00"));
    add(QStringLiteral("2026/12/3 9:00:00"), QString());
    ASSERT_EQ(indexRows(), plainRows());
    ASSERT_EQ(indexRows().size(), 3);

    // Modify, as the record form writes it: the day moves with 来访.
    exec(SqlLine("Update data set 来访='") + SqlValue{QStringLiteral("2025/6/1 8:00:00")} + "',日期='"
         + SqlValue{QStringLiteral("2025/6/1 8:00:00")} + "' where 编号=" + SqlInteger{QString::number(second)});
    EXPECT_EQ(indexRows(), plainRows());
    EXPECT_TRUE(indexRows().contains(QString::number(second) + QStringLiteral(":2025-06-01")));

    // Delete, as the record form does it.
    exec(SqlLine("Delete from data where 编号=") + SqlInteger{QString::number(first)});
    EXPECT_EQ(indexRows(), plainRows());
    EXPECT_EQ(indexRows().size(), 2);

    // Deleting old records.
    const TRecordDateReader reader{QLocale()};
    const TOldRecords old = FindRecordsBefore(connection, QDate(2026, 1, 1), reader);
    ASSERT_EQ(old.ids, std::vector<std::int64_t>{second});
    EXPECT_EQ(DeleteRecords(connection, old.ids, QDate(2026, 1, 1), reader).deleted, 1);
    EXPECT_EQ(indexRows(), plainRows());
    EXPECT_EQ(indexRows().size(), 1);

    // 清空, the statement of the settings tab.
    add(QStringLiteral("2026/12/4 9:00:00"), QString());
    exec(SqlLine("delete from (data)"));
    EXPECT_TRUE(indexRows().isEmpty());

    // A failing write leaves the records and the index as they were.
    add(QStringLiteral("2026/12/5 9:00:00"), QString());
    const QStringList before = indexRows();
    EXPECT_THROW(exec(SqlLine("Insert into data (编号, 姓名) values (") + SqlInteger{QStringLiteral("1")} + ",'x'),("
                      + SqlInteger{QStringLiteral("1")} + ",'y')"),
                 EDatabaseError);
    EXPECT_EQ(indexRows(), before);
    EXPECT_EQ(plainRows(), before);
}

TEST_F(Reports, AnOlderRegisterHasItsDayIndexBuiltOnceAndTheSchemaCheckFollowsTheVersion)
{
    add(QStringLiteral("2026/12/1 9:00:00"), QString());
    sqlite3* db = connection.handle();
    ExecuteStatements(
        db,
        ("DROP TABLE visit_days; PRAGMA user_version = " + QByteArray::number(kDayIndexVersion - 1) + ";").constData());
    // Written by an older program, which knows nothing of the index.
    ExecuteStatements(db, "INSERT INTO data (来访, 日期) VALUES ('2026/12/2 9:00:00', ''), ('', '2026/12/3 9:00:00'),"
                          " ('不详', '');");
    EXPECT_FALSE(HoldsDayIndex(db));
    UpgradeRegister(db);
    EXPECT_TRUE(HoldsDayIndex(db));
    EXPECT_EQ(RegisterVersion(db), kRegisterVersion);
    EXPECT_EQ(indexRows(), plainRows());
    EXPECT_EQ(indexRows().size(), 4);
    EXPECT_NO_THROW(CheckRegisterSchema(db));

    // The table in a register whose version says it cannot hold it, or
    // made otherwise than the program makes it, is a stranger's.
    ExecuteStatements(db, ("PRAGMA user_version = " + QByteArray::number(kDayIndexVersion - 1) + ";").constData());
    EXPECT_THROW(CheckRegisterSchema(db), ERegisterRefused);
    ExecuteStatements(db, ("PRAGMA user_version = " + QByteArray::number(kDayIndexVersion)
                           + ";"
                             "DROP TABLE visit_days; CREATE TABLE visit_days (编号 INTEGER PRIMARY KEY, day TEXT);")
                              .constData());
    EXPECT_THROW(CheckRegisterSchema(db), ERegisterRefused);
}

TEST_F(Reports, CountsMatchAPlainReadingOfAGeneratedRegister)
{
    connection.Close();
    ASSERT_EQ(GenerateRegister(dir.path(), 3000, 7), QString());
    sqlite3* db = connection.handle();
    const TDateRange range{{2017, 1, 1}, {2018, 6, 30}};

    // The plain reading: every record, the generator's own clock format.
    std::map<QDate, std::int64_t> perDay;
    QHash<QString, std::int64_t> perCategory;
    std::array<std::int64_t, 24> perHour{};
    std::vector<std::int64_t> stays;
    std::int64_t visits = 0, onSite = 0;
    const QString format = QStringLiteral("yyyy/M/d HH:mm:ss");
    SqliteStatement all(db, QStringLiteral("SELECT 分类, 来访, 离开 FROM data"));
    while (all.step()) {
        const QDateTime arrival = QDateTime::fromString(all.columnText(1), format);
        const QDateTime departure = QDateTime::fromString(all.columnText(2), format);
        onSite += IsBlankDeparture(all.columnText(2)) ? 1 : 0;
        ASSERT_TRUE(arrival.isValid());
        if (arrival.date() < range.from || arrival.date() > range.to)
            continue;
        ++visits;
        ++perDay[arrival.date()];
        ++perCategory[all.columnText(0)];
        ++perHour[static_cast<std::size_t>(arrival.time().hour())];
        if (departure.isValid())
            stays.push_back(arrival.secsTo(departure));
    }
    ASSERT_GT(visits, 100);
    std::sort(stays.begin(), stays.end());
    const double medianMinutes =
        (stays.size() % 2 == 1
             ? static_cast<double>(stays[stays.size() / 2])
             : (static_cast<double>(stays[stays.size() / 2 - 1]) + static_cast<double>(stays[stays.size() / 2])) / 2.0)
        / 60.0;

    const TVisitStatistics stats = CollectStatistics(db, range, QLocale::c());
    EXPECT_EQ(stats.visits, visits);
    ASSERT_EQ(stats.perDay.size(), static_cast<std::size_t>(range.from.daysTo(range.to) + 1));
    for (const auto& [day, count] : stats.perDay) {
        const auto plain = perDay.find(day);
        EXPECT_EQ(count, plain == perDay.end() ? 0 : plain->second) << day.toString(Qt::ISODate).toStdString();
    }
    ASSERT_EQ(stats.perCategory.size(), static_cast<std::size_t>(perCategory.size()));
    for (std::size_t i = 0; i < stats.perCategory.size(); ++i) {
        EXPECT_EQ(stats.perCategory[i].second, perCategory.value(stats.perCategory[i].first));
        if (i > 0) {
            EXPECT_GE(stats.perCategory[i - 1].second, stats.perCategory[i].second);
        }
    }
    EXPECT_EQ(stats.perHour, perHour);
    EXPECT_EQ(stats.hourUnknown, 0);
    EXPECT_EQ(stats.staysMeasured, static_cast<std::int64_t>(stays.size()));
    ASSERT_TRUE(stats.medianStayMinutes);
    EXPECT_DOUBLE_EQ(*stats.medianStayMinutes, medianMinutes);
    EXPECT_EQ(stats.onSiteNow, onSite);
}

TEST_F(Reports, OvernightVisitsAreCountedAndClosedWithoutTouchingOthers)
{
    const QDate today = QDate::currentDate();
    const auto at = [](const QDate& day) {
        return day.toString(QStringLiteral("yyyy/M/d")) + QStringLiteral(" 9:00:00");
    };
    const qint64 lastWeek = add(at(today.addDays(-7)), at(today.addDays(-7)));
    const qint64 yesterdayBlank = add(at(today.addDays(-1)), QString(), QStringLiteral("  \u3000"));
    add(at(today.addDays(-1)), QString(), at(today.addDays(-1))); // left
    const qint64 todays = add(at(today), at(today));
    add(QStringLiteral("不详"), QString()); // no day: not counted

    const std::vector<std::int64_t> expected{lastWeek, yesterdayBlank};
    EXPECT_EQ(OvernightVisits(connection, today), expected);
    const QStringList before = rowsOf(QStringLiteral("编号, 来访, 离开, 日期"));
    EXPECT_EQ(CloseOvernightVisits(connection, today), expected);
    EXPECT_TRUE(OvernightVisits(connection, today).empty());
    const QStringList after = rowsOf(QStringLiteral("编号, 来访, 离开, 日期"));
    ASSERT_EQ(after.size(), before.size());
    for (qsizetype i = 0; i < after.size(); ++i) {
        const bool closed = i + 1 == lastWeek || i + 1 == yesterdayBlank;
        QStringList row = before[i].split(QLatin1Char('|'));
        if (closed)
            row[2] = UnrecordedDeparture();
        EXPECT_EQ(after[i], row.join(QLatin1Char('|')));
    }
    open(OnSiteListing());
    ASSERT_EQ(query.RecordCount(), 2); // today's visit and the one without a day
    EXPECT_EQ(query.CellAt(0, 0).toLongLong(), todays);
}
