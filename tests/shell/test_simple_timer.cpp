#include "shell/SimpleTimer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {
void pumpFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}
} // namespace

TEST(SimpleTimer, TicksWhileActiveAndStopsAfterOneTickWhenAsked)
{
    int ticks = 0;
    TSimpleTimer timer(10, [&](TSimpleTimer*) { ++ticks; });
    timer.SetActive(true);
    pumpFor(120);
    EXPECT_GE(ticks, 2);

    timer.SetActive(false);
    const int stopped = ticks;
    pumpFor(40);
    EXPECT_EQ(ticks, stopped);

    ticks = 0;
    timer.StopAfterTick = true;
    timer.SetActive(true);
    pumpFor(60);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.Active());
}

TEST(SimpleTimer, PeriodZeroOrNoHandlerKeepsItFromTickingButActive)
{
    int ticks = 0;
    TSimpleTimer timer(0, [&](TSimpleTimer*) { ++ticks; });
    timer.SetActive(true);
    EXPECT_FALSE(timer.Active()); // refused with a period of 0

    timer.SetPeriod(10);
    timer.SetActive(true);
    ASSERT_TRUE(timer.Active());
    timer.SetPeriod(0); // stops ticking, stays active
    EXPECT_TRUE(timer.Active());
    EXPECT_FALSE(timer.Ticking());
    pumpFor(30);
    EXPECT_EQ(ticks, 0);

    timer.SetPeriod(10); // active again with a period: ticks again
    EXPECT_TRUE(timer.Ticking());
    timer.SetOnTick({});
    EXPECT_TRUE(timer.Active());
    EXPECT_FALSE(timer.Ticking());
}

TEST(SimpleTimer, TimersShareOneHandlerThatGoesWithTheLast)
{
    ASSERT_EQ(TSimpleTimerHandler::Instance(), nullptr);
    auto a = std::make_unique<TSimpleTimer>(10);
    auto b = std::make_unique<TSimpleTimer>(10);
    ASSERT_NE(TSimpleTimerHandler::Instance(), nullptr);
    EXPECT_EQ(TSimpleTimerHandler::Instance()->UserCount(), 2);
    EXPECT_NE(a->TimerId(), b->TimerId());
    a->SetActive(true);
    EXPECT_EQ(TSimpleTimerHandler::Instance()->RunningCount(), 1);
    a.reset(); // a running timer is stopped when it goes
    EXPECT_EQ(TSimpleTimerHandler::Instance()->RunningCount(), 0);
    EXPECT_EQ(TSimpleTimerHandler::Instance()->UserCount(), 1);
    b.reset();
    EXPECT_EQ(TSimpleTimerHandler::Instance(), nullptr);
}
