#include "platform/sync/critical_section.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

namespace {

TEST(CCriticalSectionTest, IsRecursiveAndWorksWithStandardGuards) {
    CCriticalSection section;
    std::lock_guard<CCriticalSection> outer(section);
    {
        std::unique_lock<CCriticalSection> inner(section);  // re-entry on the owning thread
        EXPECT_TRUE(inner.owns_lock());
    }
    bool otherEntered = true;
    std::thread([&] { otherEntered = section.TryLock(); }).join();
    EXPECT_FALSE(otherEntered);
}

TEST(CCriticalSectionTest, ReleasedAfterLeavingAsOftenAsEntered) {
    CCriticalSection section;
    section.Lock();
    section.Lock();
    section.Unlock();
    section.Unlock();
    bool otherEntered = false;
    std::thread([&] {
        otherEntered = section.TryLock();
        if (otherEntered) {
            section.Unlock();
        }
    }).join();
    EXPECT_TRUE(otherEntered);
}

}  // namespace
