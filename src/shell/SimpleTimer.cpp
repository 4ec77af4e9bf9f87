#include "shell/SimpleTimer.h"

#include <QTimerEvent>

namespace {
TSimpleTimerHandler* sharedHandler = nullptr;
}

TSimpleTimerHandler* TSimpleTimerHandler::Instance() { return sharedHandler; }

TSimpleTimerHandler* TSimpleTimerHandler::Acquire()
{
    if (!sharedHandler)
        sharedHandler = new TSimpleTimerHandler;
    ++sharedHandler->userCount_;
    return sharedHandler;
}

void TSimpleTimerHandler::Release()
{
    if (!sharedHandler)
        return;
    if (sharedHandler->userCount_ > 0)
        --sharedHandler->userCount_;
    if (sharedHandler->userCount_ == 0) {
        delete sharedHandler;
        sharedHandler = nullptr;
    }
}

int TSimpleTimerHandler::start(TSimpleTimer* timer, unsigned period)
{
    const int id = startTimer(static_cast<int>(period), Qt::CoarseTimer);
    if (id != 0) {
        running_.insert(id, timer);
        ++runningCount_;
    }
    return id;
}

bool TSimpleTimerHandler::stop(int systemId)
{
    if (!running_.remove(systemId))
        return false;
    killTimer(systemId);
    if (runningCount_ > 0)
        --runningCount_;
    return true;
}

void TSimpleTimerHandler::timerEvent(QTimerEvent* event)
{
    if (TSimpleTimer* timer = running_.value(event->timerId()))
        timer->tick();
}

TSimpleTimer::TSimpleTimer(unsigned period, TickHandler onTick) : period_(period), onTick_(std::move(onTick))
{
    TSimpleTimerHandler::Acquire();
}

TSimpleTimer::~TSimpleTimer()
{
    StopTicking(true);
    TSimpleTimerHandler::Release();
}

bool TSimpleTimer::StartTicking()
{
    if (period_ == 0)
        return false;
    if (active_)
        StopTicking(false);
    systemId_ = TSimpleTimerHandler::Instance()->start(this, period_);
    if (systemId_ == 0)
        return false;
    active_ = true;
    return true;
}

bool TSimpleTimer::StopTicking(bool clearActive)
{
    if (clearActive)
        active_ = false;
    if (systemId_ == 0)
        return false;
    const bool stopped = TSimpleTimerHandler::Instance()->stop(systemId_);
    systemId_ = 0;
    return stopped;
}

void TSimpleTimer::SetActive(bool active)
{
    if (active)
        StartTicking();
    else
        StopTicking(true);
}

void TSimpleTimer::SetPeriod(unsigned period)
{
    if (period == period_)
        return;
    period_ = period;
    if (!active_)
        return;
    if (period_ == 0)
        StopTicking(false);
    else
        StartTicking();
}

void TSimpleTimer::SetOnTick(TickHandler onTick)
{
    onTick_ = std::move(onTick);
    if (!onTick_ && active_)
        StopTicking(false);
}

void TSimpleTimer::tick()
{
    if (StopAfterTick)
        StopTicking(true);
    if (onTick_)
        onTick_(this);
}
