#include "app/ClockText.h"

#include <gtest/gtest.h>

TEST(ClockText, ShortDateBlankLongTimeWithoutTimeZone)
{
    const QDateTime moment(QDate(2026, 12, 7), QTime(9, 5, 3));
    EXPECT_EQ(FormatClockText(moment, QLocale(QLocale::Chinese, QLocale::China)).toStdString(), "2026/12/7 09:05:03");
    const QString us = FormatClockText(moment, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(us.startsWith(QStringLiteral("12/7/26 "))) << us.toStdString();
    EXPECT_FALSE(us.contains(QStringLiteral("UTC"))) << us.toStdString();
    EXPECT_TRUE(us.contains(QStringLiteral("9:05:03"))) << us.toStdString();
}
