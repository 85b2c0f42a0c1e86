#pragma once
// Periodic timers that call back off the user-interface thread (the
// stand-in for the multimedia timer that drives the 40 ms heartbeat).
//
// IPeriodicTimer is the small interface the heartbeat uses; the process
// has one installed service (a CThreadPeriodicTimer by default), which
// tests replace with a manual double that fires ticks by hand.

#include <cstdint>
#include <functional>

// Called on the timer's thread with the timer's id.
using TimerTick = std::function<void(unsigned timerId)>;

class IPeriodicTimer {
public:
    virtual ~IPeriodicTimer() = default;

    // Starts calling tick every periodMs (> 0). Returns the timer id, never
    // reused within a run, or 0 when the timer cannot be started.
    virtual unsigned Start(unsigned periodMs, TimerTick tick) = 0;

    // Stops the timer. When it returns, no call of its tick is running and
    // none follows (called from inside the tick itself it returns at once;
    // no further tick follows). False for an unknown id.
    virtual bool Stop(unsigned timerId) = 0;
};

// The installed service; SetTimerService(nullptr) restores the default.
// The service must outlive every timer started through it.
IPeriodicTimer& GetTimerService();
void SetTimerService(IPeriodicTimer* service);

// The multimedia timer calls, over the installed service.
using TimerProc = void (*)(unsigned timerId, unsigned msg, uintptr_t user, uintptr_t dw1,
                           uintptr_t dw2);
constexpr unsigned TIME_ONESHOT = 0;
constexpr unsigned TIME_PERIODIC = 1;
constexpr unsigned TIMERR_NOERROR = 0;
constexpr unsigned MMSYSERR_INVALPARAM = 11;

// Only TIME_PERIODIC timers are offered; the resolution is ignored (ticks
// are as fine as the system's sleep). Returns the id, or 0 on failure.
unsigned timeSetEvent(unsigned delayMs, unsigned resolution, TimerProc proc, uintptr_t user,
                      unsigned flags);
// TIMERR_NOERROR, or MMSYSERR_INVALPARAM for an unknown id.
unsigned timeKillEvent(unsigned timerId);
