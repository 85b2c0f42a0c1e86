#include "settings/log_entry.h"

#include <cstring>

namespace {

int Clamp(int value, int low, int high) {
    return value < low ? low : value > high ? high : value;
}

}  // namespace

std::uint32_t PackLogTime(const LocalTime& time) {
    LocalTime t = time;
    if (t.year < 2000) {
        t = MakeLocalTime(2000, 1, 1, 0, 0, 0);
    } else if (t.year > 2063) {
        t = MakeLocalTime(2063, 12, 31, 23, 59, 59);
    }
    std::uint32_t year = static_cast<std::uint32_t>(t.year - 2000);
    std::uint32_t month = static_cast<std::uint32_t>(Clamp(t.month, 1, 12));
    std::uint32_t day = static_cast<std::uint32_t>(Clamp(t.day, 1, 31));
    std::uint32_t hour = static_cast<std::uint32_t>(Clamp(t.hour, 0, 23));
    std::uint32_t minute = static_cast<std::uint32_t>(Clamp(t.minute, 0, 59));
    std::uint32_t second = static_cast<std::uint32_t>(Clamp(t.second, 0, 59));
    return year << 26 | month << 22 | day << 17 | hour << 12 | minute << 6 | second;
}

LocalTime UnpackLogTime(std::uint32_t packed) {
    return MakeLocalTime(2000 + static_cast<int>(packed >> 26), static_cast<int>(packed >> 22 & 15),
                         static_cast<int>(packed >> 17 & 31), static_cast<int>(packed >> 12 & 31),
                         static_cast<int>(packed >> 6 & 63), static_cast<int>(packed & 63));
}

bool ParseLogEntry(const unsigned char* data, std::size_t size, std::size_t& offset,
                   LogEntry& out) {
    if (data == nullptr || offset > size || size - offset < LOG_ENTRY_HEAD_SIZE) {
        return false;
    }
    const unsigned char* head = data + offset;
    std::size_t length = head[6];
    if (size - offset - LOG_ENTRY_HEAD_SIZE < length) {
        return false;
    }
    out.byType = head[0];
    out.byChannel = head[1];
    out.dwTime = static_cast<std::uint32_t>(head[2]) | static_cast<std::uint32_t>(head[3]) << 8 |
                 static_cast<std::uint32_t>(head[4]) << 16 |
                 static_cast<std::uint32_t>(head[5]) << 24;
    out.byLength = static_cast<std::uint8_t>(length);
    std::memset(out.szText, 0, sizeof out.szText);
    std::memcpy(out.szText, head + LOG_ENTRY_HEAD_SIZE, length);
    out.szText[length == 0 ? 0 : length - 1] = '\0';
    offset += LOG_ENTRY_HEAD_SIZE + length;
    return true;
}
