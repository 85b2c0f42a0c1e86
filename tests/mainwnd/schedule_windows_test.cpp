#include "mainwnd/schedule_windows.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

ScheduleTimes Windows(int s1h, int s1m, int e1h, int e1m, int s2h = 0, int s2m = 0, int e2h = 0,
                      int e2m = 0) {
    ScheduleTimes t;
    t.byStart1Hour = static_cast<uint8_t>(s1h);
    t.byStart1Minute = static_cast<uint8_t>(s1m);
    t.byEnd1Hour = static_cast<uint8_t>(e1h);
    t.byEnd1Minute = static_cast<uint8_t>(e1m);
    t.byStart2Hour = static_cast<uint8_t>(s2h);
    t.byStart2Minute = static_cast<uint8_t>(s2m);
    t.byEnd2Hour = static_cast<uint8_t>(e2h);
    t.byEnd2Minute = static_cast<uint8_t>(e2m);
    return t;
}

struct Schedule {
    uint8_t enabled[8] = {};
    ScheduleTimes times[8] = {};
    int At(int year, int month, int day, int h, int m, int s) const {
        return ScheduleHolds(enabled, times, MakeLocalTime(year, month, day, h, m, s));
    }
};

// 2026-12-07 is a Monday, 2026-12-13 a Sunday.
TEST(ScheduleWindowsTest, WindowBoundsAreStrict) {
    Schedule every;
    every.enabled[0] = 1;
    every.times[0] = Windows(8, 0, 18, 0);
    struct Case {
        int h, m, s, holds;
    };
    const Case cases[] = {
        {7, 59, 59, 0},  {8, 0, 0, 0},  {8, 0, 1, 1},  {12, 0, 0, 1},
        {17, 59, 59, 1}, {18, 0, 0, 0}, {23, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(every.At(2026, 12, 10, c.h, c.m, c.s), c.holds)
            << c.h << ":" << c.m << ":" << c.s;
    }
}

TEST(ScheduleWindowsTest, WeekdayEntriesAndEveryDayAddUp) {
    Schedule s;
    s.enabled[7] = 1;  // Sunday only
    s.times[7] = Windows(10, 0, 11, 0);
    EXPECT_EQ(s.At(2026, 12, 13, 10, 30, 0), 1);  // Sunday
    EXPECT_EQ(s.At(2026, 12, 7, 10, 30, 0), 0);   // Monday

    s.enabled[0] = 1;  // and every day in the evening
    s.times[0] = Windows(20, 0, 21, 0);
    EXPECT_EQ(s.At(2026, 12, 7, 20, 30, 0), 1);
    EXPECT_EQ(s.At(2026, 12, 13, 10, 30, 0), 1);

    s.enabled[7] = 0;  // a disabled day's windows count for nothing
    EXPECT_EQ(s.At(2026, 12, 13, 10, 30, 0), 0);
}

TEST(ScheduleWindowsTest, SecondWindowAndWindowsThatNeverHold) {
    Schedule s;
    s.enabled[1] = 1;  // Monday: two windows with a lunch break
    s.times[1] = Windows(8, 0, 12, 0, 13, 0, 17, 0);
    EXPECT_EQ(s.At(2026, 12, 7, 9, 0, 0), 1);
    EXPECT_EQ(s.At(2026, 12, 7, 12, 30, 0), 0);
    EXPECT_EQ(s.At(2026, 12, 7, 14, 0, 0), 1);

    s.times[1] = Windows(22, 0, 6, 0);  // across midnight: never
    EXPECT_EQ(s.At(2026, 12, 7, 23, 0, 0), 0);
    EXPECT_EQ(s.At(2026, 12, 7, 3, 0, 0), 0);

    s.times[1] = ScheduleTimes{};  // all zero: no window
    EXPECT_EQ(s.At(2026, 12, 7, 0, 0, 1), 0);

    s.times[1] = Windows(0, 0, 23, 59);  // the whole day but its edges
    EXPECT_EQ(s.At(2026, 12, 7, 0, 0, 0), 0);
    EXPECT_EQ(s.At(2026, 12, 7, 0, 0, 1), 1);
    EXPECT_EQ(s.At(2026, 12, 7, 23, 58, 59), 1);
    EXPECT_EQ(s.At(2026, 12, 7, 23, 59, 0), 0);
}

}  // namespace
