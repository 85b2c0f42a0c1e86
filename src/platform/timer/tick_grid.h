#pragma once
// Where the next tick of a periodic timer is due. Ticks sit on a fixed grid
// (start + k * period), so the time a tick body takes does not shift later
// ticks. A tick already past its time is due at once (delivered late, not
// dropped); only when the next tick is more than maxLate periods behind are
// the oldest missed ticks dropped, so a long stall ends in a burst of at
// most maxLate + 1 ticks rather than an unbounded one.

#include <chrono>

template <class TimePoint, class Duration>
TimePoint NextTickDue(TimePoint lastDue, TimePoint now, Duration period, long maxLate,
                      long* pSkipped) {
    TimePoint next = lastDue + period;
    if (now > next) {
        const long late = static_cast<long>((now - next) / period);
        if (late > maxLate) {
            const long skipped = late - maxLate;
            next += skipped * period;
            *pSkipped += skipped;
        }
    }
    return next;
}
