#include "platform/clock/local_clock.h"

#include <gtest/gtest.h>

namespace {

class LocalClockTest : public ::testing::Test {
protected:
    void TearDown() override { SetLocalClockSource({}); }
};

TEST_F(LocalClockTest, InstalledSourceIsReadAndEmptySourceRestoresSystemClock) {
    SetLocalClockSource([] { return MakeLocalTime(2063, 12, 31, 23, 59, 59); });
    LocalTime t = GetLocalTimeNow();
    EXPECT_EQ(t.year, 2063);
    EXPECT_EQ(t.second, 59);

    SetLocalClockSource({});
    EXPECT_GE(GetLocalTimeNow().year, 2024);
}

TEST_F(LocalClockTest, MakeLocalTimeFillsTheWeekday) {
    struct Case {
        int year, month, day, dayOfWeek;
    };
    const Case cases[] = {
        {2026, 12, 10, 4},  // Thursday
        {2000, 1, 1, 6},    // Saturday
        {2024, 2, 29, 4},   // leap day, Thursday
        {2063, 12, 31, 1},  // Monday
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MakeLocalTime(c.year, c.month, c.day, 0, 0, 0).dayOfWeek, c.dayOfWeek)
            << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST_F(LocalClockTest, FormatsRecordFileNames) {
    LocalTime t = MakeLocalTime(2026, 3, 7, 8, 5, 9);
    EXPECT_EQ(FormatLocalTime(t, "%Y_%m_%d__%H_%M_%S"), "2026_03_07__08_05_09");
}

}  // namespace
