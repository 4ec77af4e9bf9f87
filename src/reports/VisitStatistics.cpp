#include "reports/VisitStatistics.h"
#include "db/Sqlite.h"
#include "db/VisitorPresence.h"
#include "reports/VisitTime.h"
#include "visitors/RecordDate.h"

#include <QHash>
#include <QLocale>
#include <algorithm>

namespace {

std::optional<double> median(std::vector<std::int64_t> values)
{
    if (values.empty())
        return std::nullopt;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2 == 1)
        return static_cast<double>(*middle);
    const std::int64_t below = *std::max_element(values.begin(), middle);
    return (static_cast<double>(below) + static_cast<double>(*middle)) / 2.0;
}

std::int64_t countOf(sqlite3* db, const QString& sql)
{
    SqliteStatement count(db, sql);
    return count.step() ? count.columnInt64(0) : 0;
}

} // namespace

TVisitStatistics CollectStatistics(sqlite3* db, const TDateRange& range, const QLocale& locale)
{
    TVisitStatistics stats;
    stats.range = Ordered(range);
    const qint64 first = stats.range.from.toJulianDay();
    const qint64 last = stats.range.to.toJulianDay();
    std::vector<std::int64_t> perDay(static_cast<std::size_t>(last - first + 1), 0);
    QHash<QString, std::int64_t> perCategory;
    std::vector<std::int64_t> staySeconds;
    const TRecordDateReader reader(locale);

    SqliteStatement visits(db, QStringLiteral("SELECT visit_days.day, data.分类, data.来访, data.离开 "
                                              "FROM visit_days JOIN data ON data.编号 = visit_days.编号 "
                                              "WHERE visit_days.day BETWEEN ? AND ?"));
    visits.bindInt64(1, first);
    visits.bindInt64(2, last);
    while (visits.step()) {
        ++stats.visits;
        ++perDay[static_cast<std::size_t>(visits.columnInt64(0) - first)];
        ++perCategory[visits.columnText(1)];
        const QString arrivalText = visits.columnText(2);
        const std::optional<QTime> arrivalTime = TimeOf(arrivalText);
        if (arrivalTime)
            ++stats.perHour[static_cast<std::size_t>(arrivalTime->hour())];
        else
            ++stats.hourUnknown;
        const std::optional<QDateTime> arrival = MomentAt(reader, arrivalText, arrivalTime);
        if (!arrival)
            continue;
        const std::optional<QDateTime> departure = MomentOf(reader, visits.columnText(3), arrival->date());
        if (departure && *departure >= *arrival)
            staySeconds.push_back(arrival->secsTo(*departure));
    }

    for (std::size_t i = 0; i < perDay.size(); ++i)
        stats.perDay.emplace_back(stats.range.from.addDays(static_cast<qint64>(i)), perDay[i]);
    for (auto it = perCategory.cbegin(); it != perCategory.cend(); ++it)
        stats.perCategory.emplace_back(it.key(), it.value());
    std::sort(stats.perCategory.begin(), stats.perCategory.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    stats.staysMeasured = static_cast<std::int64_t>(staySeconds.size());
    if (const std::optional<double> seconds = median(std::move(staySeconds)))
        stats.medianStayMinutes = *seconds / 60.0;
    stats.onSiteNow =
        countOf(db, QStringLiteral("SELECT count(*) FROM data WHERE ") + QString::fromUtf8(NoDepartureCondition()));
    stats.unreadable = UnreadableDays(db);
    return stats;
}
