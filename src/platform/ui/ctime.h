#pragma once
// A local date and time to the second, as the date and time pickers show
// it. The current time comes from the recorder's clock source, so tests
// can set it.

#include <tuple>

#include "platform/clock/local_clock.h"
#include "platform/ui/control_messages.h"

class CTime {
public:
    CTime() = default;
    CTime(int year, int month, int day, int hour, int minute, int second)
        : m_t(MakeLocalTime(year, month, day, hour, minute, second)) {}
    explicit CTime(const LocalTime& t) : m_t(t) {}

    static CTime GetCurrentTime() { return CTime(GetLocalTimeNow()); }

    int GetYear() const { return m_t.year; }
    int GetMonth() const { return m_t.month; }
    int GetDay() const { return m_t.day; }
    int GetHour() const { return m_t.hour; }
    int GetMinute() const { return m_t.minute; }
    int GetSecond() const { return m_t.second; }
    int GetDayOfWeek() const { return m_t.dayOfWeek + 1; }  // 1 = Sunday
    const LocalTime& GetLocalTime() const { return m_t; }

    friend bool operator==(const CTime& a, const CTime& b) { return a.Key() == b.Key(); }
    friend bool operator<(const CTime& a, const CTime& b) { return a.Key() < b.Key(); }

private:
    std::tuple<int, int, int, int, int, int> Key() const {
        return {m_t.year, m_t.month, m_t.day, m_t.hour, m_t.minute, m_t.second};
    }
    LocalTime m_t;
};

// The pickers' form of a time.
inline SYSTEMTIME ToSystemTime(const CTime& time) {
    SYSTEMTIME st;
    st.wYear = static_cast<uint16_t>(time.GetYear());
    st.wMonth = static_cast<uint16_t>(time.GetMonth());
    st.wDayOfWeek = static_cast<uint16_t>(time.GetDayOfWeek() - 1);
    st.wDay = static_cast<uint16_t>(time.GetDay());
    st.wHour = static_cast<uint16_t>(time.GetHour());
    st.wMinute = static_cast<uint16_t>(time.GetMinute());
    st.wSecond = static_cast<uint16_t>(time.GetSecond());
    return st;
}

inline CTime FromSystemTime(const SYSTEMTIME& st) {
    return CTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
}
