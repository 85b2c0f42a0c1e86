#pragma once
// One event log record as the log files hold it: type, channel, packed
// local time (32-bit little-endian), text length counting the zero, text.

#include <cstddef>
#include <cstdint>

#include "platform/clock/local_clock.h"

constexpr std::uint8_t LOGTYPE_SYSTEM = 0;
constexpr std::uint8_t LOGTYPE_RECORD = 1;
constexpr std::uint8_t LOGTYPE_NET = 2;
constexpr std::uint8_t LOGTYPE_SETUP = 3;  // offered by the log viewer, written by nobody
constexpr std::uint8_t LOGTYPE_MOTION = 4;

constexpr long MAX_LOG_FILE_SIZE = 1200000;
constexpr std::size_t LOG_ENTRY_HEAD_SIZE = 7;
constexpr std::size_t MAX_LOG_TEXT = 254;  // characters, without the zero

#pragma pack(push, 1)
struct LogEntry {
    std::uint8_t byType;
    std::uint8_t byChannel;  // 1..16, or 0 for none
    std::uint32_t dwTime;    // PackLogTime
    std::uint8_t byLength;   // text bytes including the zero, 1..255
    char szText[MAX_LOG_TEXT + 1];
};
#pragma pack(pop)
static_assert(sizeof(LogEntry) == LOG_ENTRY_HEAD_SIZE + MAX_LOG_TEXT + 1);

// Bits 26-31 year - 2000, 22-25 month, 17-21 day, 12-16 hour, 6-11 minute,
// 0-5 second. A time before 2000 packs as 2000-01-01 00:00:00 and one after
// 2063 as 2063-12-31 23:59:59, so packed times stay valid and in order.
std::uint32_t PackLogTime(const LocalTime& time);
LocalTime UnpackLogTime(std::uint32_t packed);

// Reads the record at offset of a log file's bytes and moves offset past it.
// false, with offset unchanged, when the record is cut off by the end. The
// text of out is always zero-terminated within its length.
bool ParseLogEntry(const unsigned char* data, std::size_t size, std::size_t& offset, LogEntry& out);
