#include "platform/timer/periodic_timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/timer/manual_timer.h"

namespace {

struct TickLog {
    std::atomic<int> count{0};
    std::atomic<unsigned> lastId{0};
};

void RecordTick(unsigned timerId, unsigned, uintptr_t user, uintptr_t, uintptr_t) {
    auto* log = reinterpret_cast<TickLog*>(user);
    log->lastId = timerId;
    ++log->count;
}

class TimerServiceTest : public ::testing::Test {
protected:
    void TearDown() override { SetTimerService(nullptr); }
};

TEST_F(TimerServiceTest, MultimediaCallsGoThroughTheInstalledService) {
    CManualTimer manual;
    SetTimerService(&manual);
    TickLog log;
    const unsigned id =
        timeSetEvent(40, 0, RecordTick, reinterpret_cast<uintptr_t>(&log), TIME_PERIODIC);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(manual.PeriodOf(id), 40u);

    EXPECT_TRUE(manual.Fire(id, 25));
    EXPECT_EQ(log.count.load(), 25);
    EXPECT_EQ(log.lastId.load(), id);

    EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
    EXPECT_FALSE(manual.IsRunning(id));
    EXPECT_FALSE(manual.Fire(id));
    EXPECT_EQ(timeKillEvent(id), MMSYSERR_INVALPARAM);
}

TEST_F(TimerServiceTest, FailuresGiveIdZero) {
    CManualTimer manual;
    SetTimerService(&manual);
    TickLog log;
    const uintptr_t user = reinterpret_cast<uintptr_t>(&log);
    EXPECT_EQ(timeSetEvent(40, 0, nullptr, user, TIME_PERIODIC), 0u);
    EXPECT_EQ(timeSetEvent(40, 0, RecordTick, user, TIME_ONESHOT), 0u);
    manual.SetStartFails(true);
    EXPECT_EQ(timeSetEvent(40, 0, RecordTick, user, TIME_PERIODIC), 0u);
    EXPECT_EQ(manual.RunningCount(), 0);
}

TEST_F(TimerServiceTest, DefaultServiceTicksByItself) {
    TickLog log;
    const unsigned id =
        timeSetEvent(1, 0, RecordTick, reinterpret_cast<uintptr_t>(&log), TIME_PERIODIC);
    ASSERT_NE(id, 0u);
    while (log.count < 3) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
    EXPECT_EQ(log.lastId.load(), id);
}

}  // namespace
