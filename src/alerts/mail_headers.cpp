#include "alerts/mail_headers.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// A word is "=?GB2312?B?" + base64 + "?=", 13 characters around the data;
// 45 bytes give 60 base64 characters and a word of 73.
constexpr std::size_t kBytesPerWord = 45;

bool IsPlainAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        unsigned char u = static_cast<unsigned char>(c);
        return u >= 0x20 && u < 0x7F;
    });
}

}  // namespace

std::string Base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                     (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                     static_cast<unsigned char>(bytes[i + 2]);
        out += kBase64[(v >> 18) & 63];
        out += kBase64[(v >> 12) & 63];
        out += kBase64[(v >> 6) & 63];
        out += kBase64[v & 63];
    }
    if (i < bytes.size()) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        bool two = i + 1 < bytes.size();
        if (two) {
            v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        out += kBase64[(v >> 18) & 63];
        out += kBase64[(v >> 12) & 63];
        out += two ? kBase64[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string EncodeHeaderText(std::string_view gb2312) {
    if (IsPlainAscii(gb2312)) {
        return std::string(gb2312);
    }
    std::string out;
    std::size_t pos = 0;
    while (pos < gb2312.size()) {
        // Step over whole characters: a byte of 0x81 or more leads a pair.
        std::size_t end = pos;
        while (end < gb2312.size()) {
            std::size_t len = static_cast<unsigned char>(gb2312[end]) >= 0x81 ? 2 : 1;
            if (end + len > gb2312.size()) {
                len = gb2312.size() - end;
            }
            if (end + len - pos > kBytesPerWord) {
                break;
            }
            end += len;
        }
        if (!out.empty()) {
            out += ' ';
        }
        out += "=?GB2312?B?" + Base64Encode(gb2312.substr(pos, end - pos)) + "?=";
        pos = end;
    }
    return out;
}

std::string FormatMailDate(const LocalTime& t, long utcOffsetSeconds) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const char* day = kDays[std::clamp(t.dayOfWeek, 0, 6)];
    const char* month = kMonths[std::clamp(t.month, 1, 12) - 1];
    long minutes = std::labs(utcOffsetSeconds) / 60;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", day, t.day,
                  month, t.year, t.hour, t.minute, t.second, utcOffsetSeconds < 0 ? '-' : '+',
                  minutes / 60 % 100, minutes % 60);
    return buf;
}

std::string MakeMessageId(const LocalTime& t, std::string_view fromMailbox) {
    static std::atomic<unsigned> counter{0};
    static const unsigned long long salt = [] {
        std::random_device rd;
        return (static_cast<unsigned long long>(rd()) << 32) | rd();
    }();
    std::size_t at = fromMailbox.find('@');
    std::string domain =
        at == std::string_view::npos ? "localhost" : std::string(fromMailbox.substr(at + 1));
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d.%ld.%u.%016llx", t.year, t.month,
                  t.day, t.hour, t.minute, t.second, static_cast<long>(getpid()),
                  counter.fetch_add(1), salt);
    std::string id = "<";
    id.append(buf).append("@").append(domain).append(">");
    return id;
}
