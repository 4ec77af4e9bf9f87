// Visits by date, their statistics and overnight visits on the real window.
#include "ExportReadBack.h"
#include "RegisterFixture.h"
#include "app/DateRangeDialog.h"
#include "app/FeatureTexts.h"
#include "app/StatisticsWindow.h"
#include "reports/OvernightVisits.h"

#include <QAction>
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QImage>
#include <QTableWidget>

namespace {

QString clock(const QDate& day, int hour)
{
    return day.toString(QStringLiteral("yyyy/M/d")) + QStringLiteral(" %1:15:00").arg(hour);
}

// 分类, 姓名, 身份证, 手机, 电话, 来由, 地址, 来访, 离开, 备注, 日期.
QStringList visit(const QString& name, const QString& arrival, const QString& departure,
                  const QString& category = QStringLiteral("QQ帐号"))
{
    return {category,  name,    QString(), QString(), QString(), QStringLiteral("送货"),
            QString(), arrival, departure, QString(), arrival};
}

} // namespace

class ReportsWindow : public RegisterFixture {
protected:
    const QDate today = QDate::currentDate();

    // Written by another program before the login: the login brings the
    // day index in step with them.
    void loginWithVisits()
    {
        login({visit(QStringLiteral("前天客"), clock(today.addDays(-2), 9), QString()),
               visit(QStringLiteral("昨天客"), clock(today.addDays(-1), 10), clock(today.addDays(-1), 11)),
               visit(QStringLiteral("今天甲"), clock(today, 8), clock(today, 9), QStringLiteral("网站帐号")),
               visit(QStringLiteral("今天乙"), clock(today, 8), QString()),
               visit(QStringLiteral("无日期"), QStringLiteral("不详"), QString())});
    }

    QStringList listedNames() const
    {
        QStringList names;
        for (int i = 0; i < gridRows(); ++i)
            names << gridCell(i, DataColumn::Name);
        return names;
    }
};

TEST_F(ReportsWindow, CtrlDWithTodayListsTodaysVisitsAndSaysTheRange)
{
    loginWithVisits();
    pump(50);
    // The first login of the day counts the visit left open from before.
    EXPECT_TRUE(form1->StatusPanel(0)->text().endsWith(FeatureTexts::OvernightVisits(1)))
        << form1->StatusPanel(0)->text().toStdString();
    whenShown<TDateRangeDialog>([](TDateRangeDialog* dialog) { dialog->Button_Today->click(); });
    QTest::keyClick(form1->Edit_XingMing, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(listedNames(), (QStringList{QStringLiteral("今天甲"), QStringLiteral("今天乙")}));
    const QString day = today.toString(QStringLiteral("yyyy-MM-dd"));
    EXPECT_EQ(form1->StatusPanel(0)->text(),
              QStringLiteral("2条记录,") + day + QStringLiteral("至") + day + QStringLiteral(",另有1条日期无法识别"));

    // A visit added through the form is in the range at once.
    form1->Edit_FenLei->setCurrentText(QStringLiteral("QQ帐号"));
    form1->Edit_XingMing->setText(QStringLiteral("新客"));
    form1->Edit_IDNumber->setText(QStringLiteral("110101199003077777"));
    form1->Edit_LaiYou->setText(QStringLiteral("送货"));
    form1->Edit_LaiFangShiJian->setText(clock(today, 12));
    form1->Button1Click();
    form1->ListDateRange({today, today});
    EXPECT_EQ(listedNames(), (QStringList{QStringLiteral("今天甲"), QStringLiteral("今天乙"), QStringLiteral("新客")}));
}

TEST_F(ReportsWindow, TheOnSiteViewColoursOvernightVisitsAndTheMenuClosesThem)
{
    loginWithVisits();
    form1->OnSiteOnlyItem->trigger();
    ASSERT_EQ(listedNames(),
              (QStringList{QStringLiteral("前天客"), QStringLiteral("今天乙"), QStringLiteral("无日期")}));
    EXPECT_TRUE(form1->StatusPanel(0)->text().endsWith(FeatureTexts::OvernightVisits(1)));
    const QAbstractItemModel* model = form1->DBGrid1->model();
    EXPECT_TRUE(model->data(model->index(0, 2), Qt::BackgroundRole).isValid());
    EXPECT_FALSE(model->data(model->index(1, 2), Qt::BackgroundRole).isValid());
    EXPECT_FALSE(model->data(model->index(2, 2), Qt::BackgroundRole).isValid());

    answerNextQuestions({false, true});
    form1->CloseOvernightItem->trigger(); // No: nothing changes
    EXPECT_EQ(listedNames().size(), 3);
    form1->CloseOvernightItem->trigger();
    EXPECT_EQ(listedNames(), (QStringList{QStringLiteral("今天乙"), QStringLiteral("无日期")}));
    EXPECT_EQ(boxTexts().value(0), FeatureTexts::ConfirmCloseOvernight(1));
    EXPECT_EQ(boxTexts().last(), FeatureTexts::OvernightClosed(1));
    form1->Button_RefreshClick();
    EXPECT_EQ(gridCell(0, DataColumn::Departure), UnrecordedDeparture());
}

TEST_F(ReportsWindow, StatisticsCountTheRangeAndExportTheTableAndTheChart)
{
    loginWithVisits();
    TStatisticsWindow window(form1.get(), form1->ADOConnection1, {today.addDays(-2), today});
    window.Button_CountClick();
    window.show();
    const auto* series = qobject_cast<QBarSeries*>(window.ChartView_PerDay->chart()->series().value(0));
    ASSERT_NE(series, nullptr);
    const QBarSet* bars = series->barSets().value(0);
    ASSERT_EQ(bars->count(), 3);
    EXPECT_EQ(bars->at(0), 1);
    EXPECT_EQ(bars->at(1), 1);
    EXPECT_EQ(bars->at(2), 2);
    EXPECT_EQ(window.Table_PerCategory->item(0, 0)->text(), QStringLiteral("QQ帐号"));
    EXPECT_EQ(window.Table_PerCategory->item(0, 1)->text(), QStringLiteral("3"));
    EXPECT_EQ(window.statistics().perHour[8], 2);
    ASSERT_TRUE(window.statistics().medianStayMinutes);
    EXPECT_DOUBLE_EQ(*window.statistics().medianStayMinutes, 60.0);
    EXPECT_EQ(window.statistics().onSiteNow, 3);

    const QString png = window.exportTo(dir.file(QStringLiteral("统计.xlsx")));
    EXPECT_EQ(png, dir.file(QStringLiteral("统计.png")));
    // Calc reads the table: a row per day, category and hour, then the totals.
    const QList<QStringList> table =
        OpenedInCalc(dir.file(QStringLiteral("统计.xlsx")), dir.file(QStringLiteral("calc")));
    ASSERT_EQ(table.size(), 1 + 3 + 2 + 24 + 4);
    EXPECT_EQ(table[0], (QStringList{FeatureTexts::Section(), FeatureTexts::Item(), FeatureTexts::Number()}));
    EXPECT_EQ(table[3], (QStringList{FeatureTexts::VisitsPerDay(), today.toString(QStringLiteral("yyyy-MM-dd")),
                                     QStringLiteral("2")}));
    EXPECT_EQ(table[4], (QStringList{FeatureTexts::PerCategory(), QStringLiteral("QQ帐号"), QStringLiteral("3")}));
    EXPECT_EQ(table.last(), (QStringList{FeatureTexts::UnreadableDates(), QString(), QStringLiteral("1")}));
    const QImage chart(png);
    EXPECT_EQ(chart.size(), window.ChartView_PerDay->size());
}
