#pragma once
#include <QHash>
#include <QObject>
#include <functional>

class TSimpleTimer;

// The one object of the process that runs the ticks of every TSimpleTimer.
// It lives while at least one timer exists.
class TSimpleTimerHandler : public QObject {
public:
    static TSimpleTimerHandler* Instance(); // nullptr while no timer exists
    int UserCount() const { return userCount_; }
    int RunningCount() const { return runningCount_; }

private:
    friend class TSimpleTimer;
    static TSimpleTimerHandler* Acquire();
    static void Release();
    int start(TSimpleTimer* timer, unsigned period);
    bool stop(int systemId);
    void timerEvent(QTimerEvent* event) override;

    int userCount_ = 0;
    int runningCount_ = 0;
    QHash<int, TSimpleTimer*> running_; // system timer id -> timer
};

// A light periodic timer. Setting it active starts it; a period of 0 or an
// empty tick handler keeps it from ticking.
class TSimpleTimer {
public:
    using TickHandler = std::function<void(TSimpleTimer*)>;

    explicit TSimpleTimer(unsigned period = 1000, TickHandler onTick = {});
    ~TSimpleTimer();
    TSimpleTimer(const TSimpleTimer&) = delete;
    TSimpleTimer& operator=(const TSimpleTimer&) = delete;

    quintptr TimerId() const { return reinterpret_cast<quintptr>(this); }
    bool Active() const { return active_; }
    unsigned Period() const { return period_; }
    bool StopAfterTick = false;

    void SetActive(bool active);
    void SetPeriod(unsigned period);
    void SetOnTick(TickHandler onTick);
    // True while a system timer is running for it.
    bool Ticking() const { return systemId_ != 0; }

private:
    friend class TSimpleTimerHandler;
    bool StartTicking();
    bool StopTicking(bool clearActive);
    void tick();

    bool active_ = false;
    unsigned period_;
    TickHandler onTick_;
    int systemId_ = 0;
};
