#include "platform/clock/local_clock.h"

#include <ctime>
#include <mutex>

namespace {

std::mutex g_sourceMutex;
LocalClockSource g_source;

LocalTime FromTm(const std::tm& tm) {
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.dayOfWeek = tm.tm_wday;
    return t;
}

std::tm ToTm(const LocalTime& t) {
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_wday = t.dayOfWeek;
    tm.tm_isdst = -1;
    return tm;
}

}  // namespace

LocalTime GetLocalTimeNow() {
    {
        std::lock_guard<std::mutex> lock(g_sourceMutex);
        if (g_source) {
            return g_source();
        }
    }
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return FromTm(tm);
}

void SetLocalClockSource(LocalClockSource source) {
    std::lock_guard<std::mutex> lock(g_sourceMutex);
    g_source = std::move(source);
}

std::string FormatLocalTime(const LocalTime& time, const char* format) {
    std::tm tm = ToTm(time);
    char buffer[256];
    size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
    return std::string(buffer, n);
}

LocalTime MakeLocalTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = 12;  // noon keeps timegm away from day edges
    std::time_t t = timegm(&tm);
    std::tm norm{};
    gmtime_r(&t, &norm);
    LocalTime lt;
    lt.year = year;
    lt.month = month;
    lt.day = day;
    lt.hour = hour;
    lt.minute = minute;
    lt.second = second;
    lt.dayOfWeek = norm.tm_wday;
    return lt;
}
