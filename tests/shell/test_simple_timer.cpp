#include "EventPump.h"
#include "shell/SimpleTimer.h"

#include <gtest/gtest.h>

TEST(SimpleTimer, TicksWhileActiveAndStopsAfterOneTickWhenAsked)
{
    int ticks = 0;
    TSimpleTimer timer(10, [&](TSimpleTimer*) { ++ticks; });
    timer.SetActive(true);
    pumpEvents(120);
    EXPECT_GE(ticks, 2);

    timer.SetActive(false);
    const int stopped = ticks;
    pumpEvents(40);
    EXPECT_EQ(ticks, stopped);

    ticks = 0;
    timer.StopAfterTick = true;
    timer.SetActive(true);
    pumpEvents(60);
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
    pumpEvents(30);
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
