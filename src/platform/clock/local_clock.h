#pragma once
// The wall clock every part of the recorder reads (file names, log times,
// schedules). Tests replace the source to make time stand still or jump.

#include <functional>
#include <string>

struct LocalTime {
    int year = 1970;   // four digits
    int month = 1;     // 1..12
    int day = 1;       // 1..31
    int hour = 0;      // 0..23
    int minute = 0;    // 0..59
    int second = 0;    // 0..59
    int dayOfWeek = 4; // 0 Sunday .. 6 Saturday
};

using LocalClockSource = std::function<LocalTime()>;

// The current local time from the installed source (the system clock by default).
LocalTime GetLocalTimeNow();

// Installs a source; an empty one restores the system clock.
void SetLocalClockSource(LocalClockSource source);

// strftime of a LocalTime, e.g. "%Y_%m_%d__%H_%M_%S".
std::string FormatLocalTime(const LocalTime& time, const char* format);

// A LocalTime with dayOfWeek filled in from the date (for test clocks).
LocalTime MakeLocalTime(int year, int month, int day, int hour, int minute, int second);
