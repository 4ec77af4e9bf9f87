#pragma once
#include "reports/VisitStatistics.h"

#include <QDialog>

class QChartView;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableWidget;
class TRegisterConnection;

// Counts of the visits of a range of days: a bar chart of the visits per
// day, tables per category and per hour of arrival, the median stay and
// the visitors on site now. "导出..." writes the tables to .xlsx and the
// chart, beside it, to .png.
class TStatisticsWindow : public QDialog {
    Q_OBJECT
public:
    TStatisticsWindow(QWidget* parent, TRegisterConnection* connection, const TDateRange& range);

    // Counts the range of the date edits again and shows it.
    void Button_CountClick();
    // Writes the table to `xlsxPath` and the chart to the same name ending in
    // ".png"; returns that name. Raises EExportError when either cannot be
    // written.
    QString exportTo(const QString& xlsxPath);

    const TVisitStatistics& statistics() const { return statistics_; }

    QDateEdit* DateEdit_From;
    QDateEdit* DateEdit_To;
    QPushButton* Button_Count;
    QPushButton* Button_Export;
    QChartView* ChartView_PerDay;
    QTableWidget* Table_PerCategory;
    QTableWidget* Table_PerHour;
    QLabel* Label_Summary;

private:
    void Button_ExportClick();
    void display(const TVisitStatistics& statistics);

    TRegisterConnection* connection_;
    TVisitStatistics statistics_;
};
