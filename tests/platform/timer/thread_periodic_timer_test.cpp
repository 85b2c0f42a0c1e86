#include "platform/timer/thread_periodic_timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/timer/tick_grid.h"

namespace {

using namespace std::chrono_literals;
using Ms = std::chrono::milliseconds;
using TimePoint = std::chrono::time_point<std::chrono::steady_clock, Ms>;

TimePoint At(long ms) {
    return TimePoint(Ms(ms));
}

TEST(TickGridTest, NextTickStaysOnTheGrid) {
    struct Case {
        long lastDue, now, expectedNext, expectedSkipped;
        const char* what;
    };
    const Case cases[] = {
        {0, 3, 40, 0, "on time: one period after the last due point"},
        {0, 39, 40, 0, "slow body: still due on the grid, not now + period"},
        {0, 40, 40, 0, "exactly at the next point"},
        {0, 130, 40, 0, "a few periods late: every missed tick is still due, at once"},
        {0, 40 + 25 * 40, 40, 0, "kMaxLateTicks behind: nothing dropped yet"},
        {0, 40 + 30 * 40 + 5, 40 + 5 * 40, 5, "stall: the oldest missed ticks are dropped"},
        {1000, 1010, 1040, 0, "grid continues from any due point"},
    };
    for (const Case& c : cases) {
        long skipped = 0;
        TimePoint next = NextTickDue(At(c.lastDue), At(c.now), Ms(40), 25L, &skipped);
        EXPECT_EQ(next, At(c.expectedNext)) << c.what;
        EXPECT_EQ(skipped, c.expectedSkipped) << c.what;
    }
}

TEST(ThreadPeriodicTimerTest, TicksOnItsOwnThreadUntilStopped) {
    CThreadPeriodicTimer timers;
    std::atomic<int> ticks{0};
    std::atomic<unsigned> seenId{0};
    std::atomic<bool> onCallerThread{false};
    const std::thread::id caller = std::this_thread::get_id();
    const unsigned id = timers.Start(2, [&](unsigned timerId) {
        seenId = timerId;
        if (std::this_thread::get_id() == caller) {
            onCallerThread = true;
        }
        ++ticks;
    });
    ASSERT_NE(id, 0u);
    while (ticks < 5) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_TRUE(timers.Stop(id));
    const int atStop = ticks.load();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(ticks.load(), atStop) << "no tick after Stop returned";
    EXPECT_EQ(seenId.load(), id);
    EXPECT_FALSE(onCallerThread.load());
    EXPECT_FALSE(timers.Stop(id)) << "already stopped";
}

TEST(ThreadPeriodicTimerTest, StopWaitsForARunningTick) {
    CThreadPeriodicTimer timers;
    std::atomic<bool> inside{false};
    std::atomic<bool> entered{false};
    const unsigned id = timers.Start(1, [&](unsigned) {
        inside = true;
        entered = true;
        std::this_thread::sleep_for(30ms);
        inside = false;
    });
    ASSERT_NE(id, 0u);
    while (!entered) {
        std::this_thread::yield();
    }
    timers.Stop(id);
    EXPECT_FALSE(inside.load());
}

TEST(ThreadPeriodicTimerTest, TickMayStopItsOwnTimer) {
    CThreadPeriodicTimer timers;
    std::atomic<int> ticks{0};
    std::atomic<unsigned> id{0};
    std::atomic<bool> stopped{false};
    id = timers.Start(1, [&](unsigned timerId) {
        while (id.load() == 0) {
            std::this_thread::yield();
        }
        if (++ticks == 3) {
            stopped = timers.Stop(timerId);
        }
    });
    ASSERT_NE(id.load(), 0u);
    while (!stopped) {
        std::this_thread::sleep_for(1ms);
    }
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(ticks.load(), 3);
}

TEST(ThreadPeriodicTimerTest, RefusesWhatCannotTick) {
    CThreadPeriodicTimer timers;
    EXPECT_EQ(timers.Start(0, [](unsigned) {}), 0u);
    EXPECT_EQ(timers.Start(40, TimerTick()), 0u);
}

TEST(ThreadPeriodicTimerTest, DestructionStopsRunningTimers) {
    std::atomic<int> ticks{0};
    {
        CThreadPeriodicTimer timers;
        ASSERT_NE(timers.Start(1, [&](unsigned) { ++ticks; }), 0u);
        ASSERT_NE(timers.Start(1, [&](unsigned) { ++ticks; }), 0u);
        while (ticks < 2) {
            std::this_thread::sleep_for(1ms);
        }
    }
    const int atEnd = ticks.load();
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(ticks.load(), atEnd);
}

}  // namespace
