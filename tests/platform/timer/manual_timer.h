#pragma once
// A periodic timer for tests: nothing ticks until the test calls Fire.
// Install it with SetTimerService(&timer) to drive code that uses
// timeSetEvent; restore with SetTimerService(nullptr).

#include <map>
#include <mutex>

#include "platform/timer/periodic_timer.h"

class CManualTimer : public IPeriodicTimer {
public:
    unsigned Start(unsigned periodMs, TimerTick tick) override;
    bool Stop(unsigned timerId) override;

    // Calls the tick of timer id `count` times on the calling thread; false
    // when the timer is not running.
    bool Fire(unsigned timerId, int count = 1);
    // Fires every running timer once.
    void FireAll();

    // Makes the next Start calls fail (return 0) while set.
    void SetStartFails(bool fail);

    bool IsRunning(unsigned timerId) const;
    unsigned PeriodOf(unsigned timerId) const;  // 0 when not running
    int RunningCount() const;

private:
    struct Entry {
        unsigned periodMs;
        TimerTick tick;
    };
    mutable std::mutex m_lock;
    std::map<unsigned, Entry> m_timers;
    unsigned m_nNextId = 1;
    bool m_bStartFails = false;
};
