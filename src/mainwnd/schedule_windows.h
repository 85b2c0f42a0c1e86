#pragma once
// Whether a channel's weekly schedule holds at a given local time. A day
// entry holds two windows; a window holds strictly between its start and its
// end minute (from hh:mm:01 of the start minute to hh:mm:59 of the minute
// before the end), never across midnight. The every-day entry and today's
// entry add up.

#include <cstdint>

#include "platform/clock/local_clock.h"
#include "settings/settings_types.h"

// Day index of the schedules: 1 Monday .. 7 Sunday (0 is "every day").
int ScheduleDayIndex(const LocalTime& now);

// One day entry's two windows against now.
bool ScheduleTimesHold(const ScheduleTimes& times, const LocalTime& now);

// The schedule of enabled[0..7] / times[0..7]: every day first, then today.
int ScheduleHolds(const uint8_t (&enabled)[8], const ScheduleTimes (&times)[8],
                  const LocalTime& now);
