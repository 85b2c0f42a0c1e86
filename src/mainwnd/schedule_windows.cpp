#include "mainwnd/schedule_windows.h"

namespace {

int SecondsOfDay(int hour, int minute, int second) {
    return hour * 3600 + minute * 60 + second;
}

bool WindowHolds(uint8_t startHour, uint8_t startMinute, uint8_t endHour, uint8_t endMinute,
                 int now) {
    const int start = SecondsOfDay(startHour, startMinute, 0);
    const int end = SecondsOfDay(endHour, endMinute, 0);
    return start < now && now < end;
}

}  // namespace

int ScheduleDayIndex(const LocalTime& now) {
    return now.dayOfWeek == 0 ? 7 : now.dayOfWeek;
}

bool ScheduleTimesHold(const ScheduleTimes& times, const LocalTime& now) {
    const int t = SecondsOfDay(now.hour, now.minute, now.second);
    return WindowHolds(times.byStart1Hour, times.byStart1Minute, times.byEnd1Hour,
                       times.byEnd1Minute, t) ||
           WindowHolds(times.byStart2Hour, times.byStart2Minute, times.byEnd2Hour,
                       times.byEnd2Minute, t);
}

int ScheduleHolds(const uint8_t (&enabled)[8], const ScheduleTimes (&times)[8],
                  const LocalTime& now) {
    if (enabled[0] && ScheduleTimesHold(times[0], now)) {
        return 1;
    }
    const int today = ScheduleDayIndex(now);
    return (enabled[today] && ScheduleTimesHold(times[today], now)) ? 1 : 0;
}
