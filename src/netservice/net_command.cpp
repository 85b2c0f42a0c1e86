#include "netservice/net_command.h"

#include <cstring>

bool IsValidNetMessageLength(uint16_t n) {
    return n >= 1 && n <= NET_MSG_MAX_LENGTH;
}

uint16_t ReadNetMessageLength(const uint8_t* header) {
    return static_cast<uint16_t>(header[8] | (header[9] << 8));
}

bool ParseNetCommandMessage(const uint8_t* data, size_t size, NetCommandMessage* out) {
    if (data == nullptr || size < NET_MSG_HEADER_BYTES + 1)
        return false;
    uint16_t n = ReadNetMessageLength(data);
    if (!IsValidNetMessageLength(n) || NET_MSG_HEADER_BYTES + n > size)
        return false;
    out->dwSessionId = static_cast<uint32_t>(data[4]) | static_cast<uint32_t>(data[5]) << 8 |
                       static_cast<uint32_t>(data[6]) << 16 | static_cast<uint32_t>(data[7]) << 24;
    out->wLength = n;
    out->byCommand = data[10];
    out->pPayload = data + 11;
    return true;
}

size_t BuildNetCommandMessage(uint8_t code, uint32_t sessionId, const void* payload, size_t len,
                              uint8_t* out) {
    if (payload == nullptr)
        len = 0;
    if (len > NET_MSG_MAX_PAYLOAD)
        return 0;
    const uint16_t n = static_cast<uint16_t>(len + 1);
    std::memcpy(out, "VSMX", 4);
    for (int i = 0; i < 4; ++i)
        out[4 + i] = static_cast<uint8_t>(sessionId >> (8 * i));
    out[8] = static_cast<uint8_t>(n & 0xFF);
    out[9] = static_cast<uint8_t>(n >> 8);
    out[10] = code;
    if (len > 0)
        std::memcpy(out + 11, payload, len);
    return NET_MSG_HEADER_BYTES + n;
}

bool BuildLoginPayload(const std::string& user, const std::string& password, std::string* out) {
    if (user.size() > 255 || password.size() > 255)
        return false;
    std::string p;
    p += static_cast<char>(user.size());
    p += user;
    p += static_cast<char>(password.size());
    p += password;
    *out = std::move(p);
    return true;
}

namespace {

// One length-prefixed text at *pos inside [p, p + size).
bool TakeText(const uint8_t* p, size_t size, size_t* pos, std::string* text) {
    if (*pos >= size)
        return false;
    size_t len = p[*pos];
    if (len > size - *pos - 1)
        return false;
    const char* start = reinterpret_cast<const char*>(p + *pos + 1);
    *text = std::string(start, strnlen(start, len));
    *pos += 1 + len;
    return true;
}

}  // namespace

bool ParseLoginPayload(const NetCommandMessage& msg, std::string* user, std::string* password) {
    size_t pos = 0;
    std::string u, w;
    if (!TakeText(msg.pPayload, msg.PayloadLength(), &pos, &u) ||
        !TakeText(msg.pPayload, msg.PayloadLength(), &pos, &w)) {
        return false;
    }
    *user = std::move(u);
    *password = std::move(w);
    return true;
}
