#include "app/StatisticsWindow.h"
#include "app/DateRangeDialog.h"
#include "app/FeatureTexts.h"
#include "db/RegisterConnection.h"
#include "records/RecordExport.h"
#include "shell/HandlerWiring.h"
#include "shell/MessageBoxes.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {

// Past this many days the bars carry no date under them: they would overlap.
constexpr int kMostLabelledDays = 31;
// Up to this many visits a day the count axis has a line per visit.
constexpr std::int64_t kMostCountLines = 10;

QTableWidget* countTable(QWidget* parent, const char* name, const QString& heading)
{
    auto* table = new QTableWidget(0, 2, parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setHorizontalHeaderLabels({heading, FeatureTexts::Visits()});
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return table;
}

void fill(QTableWidget* table, const QList<QPair<QString, qint64>>& rows)
{
    table->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        table->setItem(i, 0, new QTableWidgetItem(rows[i].first));
        auto* count = new QTableWidgetItem(QString::number(rows[i].second));
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(i, 1, count);
    }
}

QList<QPair<QString, qint64>> categoryRows(const TVisitStatistics& s)
{
    QList<QPair<QString, qint64>> rows;
    for (const auto& [category, count] : s.perCategory)
        rows.append({category.isEmpty() ? FeatureTexts::NoCategory() : category, count});
    return rows;
}

QList<QPair<QString, qint64>> hourRows(const TVisitStatistics& s)
{
    QList<QPair<QString, qint64>> rows;
    for (int hour = 0; hour < 24; ++hour)
        rows.append({FeatureTexts::HourOf(hour), s.perHour[static_cast<std::size_t>(hour)]});
    if (s.hourUnknown > 0)
        rows.append({FeatureTexts::NoTime(), s.hourUnknown});
    return rows;
}

QString medianText(const TVisitStatistics& s)
{
    return s.medianStayMinutes ? QString::number(*s.medianStayMinutes, 'f', 1) : FeatureTexts::NoStay();
}

QString dayText(const QDate& day) { return day.toString(QStringLiteral("yyyy-MM-dd")); }

// The statistics as one table: what is counted, the item, the number.
std::vector<QStringList> tableRows(const TVisitStatistics& s)
{
    std::vector<QStringList> rows;
    for (const auto& [day, count] : s.perDay)
        rows.push_back({FeatureTexts::VisitsPerDay(), dayText(day), QString::number(count)});
    for (const auto& [item, count] : categoryRows(s))
        rows.push_back({FeatureTexts::PerCategory(), item, QString::number(count)});
    for (const auto& [item, count] : hourRows(s))
        rows.push_back({FeatureTexts::PerHour(), item, QString::number(count)});
    rows.push_back({FeatureTexts::TotalVisits(), QString(), QString::number(s.visits)});
    rows.push_back({FeatureTexts::MedianStay(), QString(), medianText(s)});
    rows.push_back({FeatureTexts::OnSiteNow(), QString(), QString::number(s.onSiteNow)});
    rows.push_back({FeatureTexts::UnreadableDates(), QString(), QString::number(s.unreadable)});
    return rows;
}

} // namespace

TStatisticsWindow::TStatisticsWindow(QWidget* parent, TRegisterConnection* connection, const TDateRange& range)
    : QDialog(parent), connection_(connection)
{
    setObjectName(QStringLiteral("StatisticsWindow"));
    setWindowTitle(FeatureTexts::StatisticsTitle());
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout();
    top->addWidget(TDateRangeDialog::RangeRow(this, DateEdit_From, DateEdit_To, QDate::currentDate(),
                                              [this] { RunGuarded([this] { Button_CountClick(); }); }));
    Button_Count = new QPushButton(FeatureTexts::Count(), this);
    Button_Count->setObjectName(QStringLiteral("Button_Count"));
    top->addWidget(Button_Count);
    top->addStretch();
    Button_Export = new QPushButton(FeatureTexts::Export(), this);
    Button_Export->setObjectName(QStringLiteral("Button_Export"));
    top->addWidget(Button_Export);
    layout->addLayout(top);

    ChartView_PerDay = new QChartView(this);
    ChartView_PerDay->setObjectName(QStringLiteral("ChartView_PerDay"));
    ChartView_PerDay->setRenderHint(QPainter::Antialiasing);
    ChartView_PerDay->setMinimumSize(640, 260);
    layout->addWidget(ChartView_PerDay, 1);

    auto* tables = new QHBoxLayout();
    Table_PerCategory = countTable(this, "Table_PerCategory", FeatureTexts::PerCategory());
    Table_PerHour = countTable(this, "Table_PerHour", FeatureTexts::PerHour());
    tables->addWidget(Table_PerCategory);
    tables->addWidget(Table_PerHour);
    layout->addLayout(tables, 1);
    Label_Summary = new QLabel(this);
    Label_Summary->setObjectName(QStringLiteral("Label_Summary"));
    layout->addWidget(Label_Summary);

    DateEdit_From->setDate(range.from);
    DateEdit_To->setDate(range.to);
    BindClick(Button_Count, [this] { Button_CountClick(); });
    BindClick(Button_Export, [this] { Button_ExportClick(); });
    resize(900, 640);
}

void TStatisticsWindow::Button_CountClick()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    display(CollectStatistics(connection_->handle(), {DateEdit_From->date(), DateEdit_To->date()}, QLocale::system()));
}

void TStatisticsWindow::display(const TVisitStatistics& statistics)
{
    statistics_ = statistics;
    auto* bars = new QBarSet(FeatureTexts::Visits());
    QStringList days;
    std::int64_t most = 0;
    for (const auto& [day, count] : statistics.perDay) {
        *bars << static_cast<qreal>(count);
        days << day.toString(QStringLiteral("MM-dd"));
        most = std::max(most, count);
    }
    auto* series = new QBarSeries();
    series->append(bars);
    auto* chart = new QChart();
    chart->addSeries(series);
    chart->setTitle(FeatureTexts::VisitsPerDay() + QStringLiteral("  ") + dayText(statistics.range.from)
                    + FeatureTexts::ToDay() + dayText(statistics.range.to));
    chart->legend()->setVisible(false);
    auto* dayAxis = new QBarCategoryAxis();
    dayAxis->append(days);
    dayAxis->setLabelsVisible(days.size() <= kMostLabelledDays);
    if (days.size() > 7)
        dayAxis->setLabelsAngle(-90);
    chart->addAxis(dayAxis, Qt::AlignBottom);
    series->attachAxis(dayAxis);
    auto* countAxis = new QValueAxis();
    countAxis->setRange(0, static_cast<qreal>(std::max<std::int64_t>(most, 1)));
    countAxis->setLabelFormat(QStringLiteral("%d"));
    // Whole visits: a small count gets a line per visit, a large one round steps.
    if (most <= kMostCountLines)
        countAxis->setTickCount(static_cast<int>(std::max<std::int64_t>(most, 1)) + 1);
    else
        countAxis->applyNiceNumbers();
    chart->addAxis(countAxis, Qt::AlignLeft);
    series->attachAxis(countAxis);
    QChart* old = ChartView_PerDay->chart();
    ChartView_PerDay->setChart(chart);
    delete old;

    fill(Table_PerCategory, categoryRows(statistics));
    fill(Table_PerHour, hourRows(statistics));
    Label_Summary->setText(FeatureTexts::StatisticsSummary(statistics.visits, medianText(statistics),
                                                           statistics.onSiteNow, statistics.unreadable));
}

QString TStatisticsWindow::exportTo(const QString& xlsxPath)
{
    const std::vector<QStringList> rows = tableRows(statistics_);
    ExportRows table;
    table.header = {FeatureTexts::Section(), FeatureTexts::Item(), FeatureTexts::Number()};
    table.forEach = [&rows](const ExportRowVisitor& visit) {
        for (const QStringList& row : rows)
            if (!visit(row))
                return;
    };
    ExportToFile(xlsxPath, ExportFormat::Xlsx, table, {});
    const QFileInfo info(xlsxPath);
    QString pngPath = info.dir().filePath(info.completeBaseName() + QStringLiteral(".png"));
    if (!ChartView_PerDay->grab().save(pngPath, "PNG"))
        throw EExportError(QStringLiteral("cannot write ") + pngPath);
    return pngPath;
}

void TStatisticsWindow::Button_ExportClick()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString proposed =
        QDir(folder).filePath(QStringLiteral("统计_") + dayText(statistics_.range.from) + QStringLiteral("_")
                              + dayText(statistics_.range.to) + QStringLiteral(".xlsx"));
    QString name =
        QFileDialog::getSaveFileName(this, FeatureTexts::Export(), proposed, FeatureTexts::ExportStatisticsFilter());
    if (name.isEmpty())
        return;
    if (!name.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        name += QStringLiteral(".xlsx");
    try {
        const QString png = exportTo(name);
        MessageBoxes::ShowMessage(FeatureTexts::StatisticsExported(name, png));
    } catch (const EExportError& e) {
        MessageBoxes::ShowMessage(FeatureTexts::ExportFailed(e.message()));
    }
}
