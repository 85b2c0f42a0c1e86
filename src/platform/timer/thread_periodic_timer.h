#pragma once
// The real periodic timer: one thread per timer.
//
// Ticks are due on a fixed grid (start + k * period), so late wake-ups do
// not add up to drift. A tick whose time has passed is delivered late, at
// once, so the count of ticks keeps up with elapsed time after a short
// stall (the heartbeat counts seconds in ticks). After a stall of more than
// kMaxLateTicks periods (a tick body that blocked) the older missed ticks
// are dropped, and SkippedTicks counts them (see tick_grid.h).

#include <atomic>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/timer/periodic_timer.h"

class CThreadPeriodicTimer : public IPeriodicTimer {
public:
    static constexpr unsigned kMaxLateTicks = 25;

    CThreadPeriodicTimer();
    ~CThreadPeriodicTimer() override;  // stops every timer still running
    CThreadPeriodicTimer(const CThreadPeriodicTimer&) = delete;
    CThreadPeriodicTimer& operator=(const CThreadPeriodicTimer&) = delete;

    unsigned Start(unsigned periodMs, TimerTick tick) override;
    bool Stop(unsigned timerId) override;

    // Ticks dropped after long stalls, over every timer of this object.
    unsigned long SkippedTicks() const { return m_nSkipped.load(); }

private:
    struct Timer;
    void Run(Timer& timer);

    std::mutex m_lock;
    std::unordered_map<unsigned, std::unique_ptr<Timer>> m_timers;
    std::atomic<unsigned long> m_nSkipped{0};
};
