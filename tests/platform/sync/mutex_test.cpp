#include "platform/sync/mutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TEST(CMutexTest, OwnerMayTakeItAgainAndMustReleaseAsOften) {
    CMutex mutex;
    ASSERT_TRUE(mutex.Lock());
    ASSERT_TRUE(mutex.Lock());
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_TRUE(mutex.IsOwnedByCurrentThread());

    bool otherGotIt = true;
    std::thread([&] { otherGotIt = mutex.Lock(0); }).join();
    EXPECT_FALSE(otherGotIt) << "still held once by the first thread";

    EXPECT_TRUE(mutex.Unlock());
    EXPECT_FALSE(mutex.IsOwnedByCurrentThread());
    std::thread([&] {
        otherGotIt = mutex.Lock(0);
        mutex.Unlock();
    }).join();
    EXPECT_TRUE(otherGotIt);
}

TEST(CMutexTest, UnlockByNonOwnerFailsAndChangesNothing) {
    CMutex mutex;
    EXPECT_FALSE(mutex.Unlock()) << "nobody owns it";

    ASSERT_TRUE(mutex.Lock());
    bool released = true;
    std::thread([&] { released = mutex.Unlock(); }).join();
    EXPECT_FALSE(released);
    EXPECT_TRUE(mutex.IsOwnedByCurrentThread());
    EXPECT_TRUE(mutex.Unlock());
}

TEST(CMutexTest, TimedLockWaitsForRelease) {
    CMutex mutex;
    std::atomic<bool> held{false};
    std::atomic<bool> release{false};
    std::thread owner([&] {
        mutex.Lock();
        held = true;
        while (!release) {
            std::this_thread::yield();
        }
        mutex.Unlock();
    });
    while (!held) {
        std::this_thread::yield();
    }
    EXPECT_FALSE(mutex.Lock(10));
    release = true;
    EXPECT_TRUE(mutex.Lock(INFINITE));
    EXPECT_TRUE(mutex.Unlock());
    owner.join();
}

TEST(CSingleLockTest, ReleasesWhatItHoldsOnDestruction) {
    CMutex mutex;
    {
        CSingleLock lock(&mutex);
        EXPECT_FALSE(lock.IsLocked());
        EXPECT_FALSE(lock.Unlock());
        EXPECT_TRUE(lock.Lock());
        EXPECT_TRUE(lock.Lock()) << "a second Lock does not take the mutex twice";
        EXPECT_TRUE(lock.IsLocked());
    }
    EXPECT_FALSE(mutex.IsOwnedByCurrentThread());

    CSingleLock none(nullptr, true);
    EXPECT_FALSE(none.IsLocked());
}

}  // namespace
