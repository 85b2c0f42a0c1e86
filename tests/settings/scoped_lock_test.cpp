#include "settings/scoped_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <type_traits>

namespace {

static_assert(!std::is_copy_constructible_v<CScopedLock>);
static_assert(!std::is_copy_assignable_v<CScopedLock>);

bool HeldElsewhere(CMutex& mutex) {
    bool got = false;
    std::thread([&] {
        got = mutex.Lock(0);
        if (got) {
            mutex.Unlock();
        }
    }).join();
    return !got;
}

int GuardedEarlyReturn(CMutex& mutex, bool leaveEarly) {
    CScopedLock lock(mutex);
    if (leaveEarly) {
        return 1;
    }
    return 2;
}

void GuardedThrow(CMutex& mutex) {
    CScopedLock lock(mutex);
    throw std::runtime_error("inside the guarded body");
}

TEST(CScopedLockTest, HoldsForTheBodyAndReleasesOnEveryWayOut) {
    CMutex mutex;
    {
        CScopedLock lock(mutex);
        EXPECT_TRUE(mutex.IsOwnedByCurrentThread());
        EXPECT_TRUE(HeldElsewhere(mutex));
    }
    EXPECT_FALSE(HeldElsewhere(mutex));

    EXPECT_EQ(GuardedEarlyReturn(mutex, true), 1);
    EXPECT_FALSE(HeldElsewhere(mutex));
    EXPECT_EQ(GuardedEarlyReturn(mutex, false), 2);
    EXPECT_FALSE(HeldElsewhere(mutex));

    EXPECT_THROW(GuardedThrow(mutex), std::runtime_error);
    EXPECT_FALSE(mutex.IsOwnedByCurrentThread());
    EXPECT_FALSE(HeldElsewhere(mutex));
}

TEST(CScopedLockTest, GuardedBodiesOfTwoThreadsNeverInterleave) {
    CMutex mutex;
    std::atomic<int> inside{0};
    std::atomic<int> overlaps{0};
    long counter = 0;  // plain on purpose: only the lock keeps it whole
    constexpr int kRounds = 20000;

    auto body = [&] {
        for (int i = 0; i < kRounds; ++i) {
            CScopedLock lock(mutex);
            if (inside.fetch_add(1) != 0) {
                ++overlaps;
            }
            long seen = counter;
            std::this_thread::yield();
            counter = seen + 1;
            inside.fetch_sub(1);
        }
    };
    std::thread a(body);
    std::thread b(body);
    a.join();
    b.join();
    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_EQ(counter, 2L * kRounds);
}

}  // namespace
