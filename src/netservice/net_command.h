#pragma once
// The command messages of port 9228's first phase. On the wire, all fields
// little-endian:
//   0  4  magic "VSMX" (written, never examined)
//   4  4  session id (always 0, never examined)
//   8  2  N = 1 + payload length
//  10  1  command code
//  11  N-1 payload
// A receiver collects one message in 1024 bytes, so N is 1..1014.

#include <cstddef>
#include <cstdint>
#include <string>

constexpr uint8_t NETCMD_LOGIN = 0x20;         // client: L1, user, L2, password
constexpr uint8_t NETCMD_LOGIN_OK = 0x22;      // server: channel count
constexpr uint8_t NETCMD_LOGIN_FAILED = 0x24;  // server: none
constexpr uint8_t NETCMD_OPEN_CHANNEL = 0x2C;  // client: channel, 0
constexpr uint8_t NETCMD_OPEN_OK = 0x2E;       // server: channel
constexpr uint8_t NETCMD_BUSY = 0x30;          // server: channel
constexpr uint8_t NETCMD_NULL_CHANNEL = 0x32;  // server: channel
constexpr uint8_t NETCMD_NO_RIGHT = 0x33;      // server: channel

constexpr size_t NET_MSG_HEADER_BYTES = 10;    // magic, session id, N
constexpr size_t NET_MSG_BUFFER_BYTES = 1024;  // the largest whole message
constexpr uint16_t NET_MSG_MAX_LENGTH = 1014;  // the largest N
constexpr size_t NET_MSG_MAX_PAYLOAD = NET_MSG_MAX_LENGTH - 1;

// One received message, as read from a buffer that holds all of it.
struct NetCommandMessage {
    uint32_t dwSessionId = 0;
    uint16_t wLength = 0;  // N
    uint8_t byCommand = 0;
    const uint8_t* pPayload = nullptr;  // N - 1 bytes inside the parsed buffer
    size_t PayloadLength() const { return wLength - 1u; }
};

// True for an N a session collects: 1..1014.
bool IsValidNetMessageLength(uint16_t n);

// N of a message from its first 10 bytes.
uint16_t ReadNetMessageLength(const uint8_t* header);

// Reads one message from data (size bytes). False when size is below 11,
// N is not valid, or the message is longer than size.
bool ParseNetCommandMessage(const uint8_t* data, size_t size, NetCommandMessage* out);

// Writes "VSMX", the session id, N = len + 1, the code and len payload
// bytes (none when payload is null) into out, which holds at least
// NET_MSG_HEADER_BYTES + 1 + len bytes. Returns the message length, or 0
// when the payload is longer than NET_MSG_MAX_PAYLOAD.
size_t BuildNetCommandMessage(uint8_t code, uint32_t sessionId, const void* payload, size_t len,
                              uint8_t* out);

// The payload of a NETCMD_LOGIN: one length byte and the bytes of each
// text, no terminators. False (out unchanged) when a text is longer than
// 255 bytes.
bool BuildLoginPayload(const std::string& user, const std::string& password, std::string* out);

// The user name and password of a NETCMD_LOGIN, taken only from inside its
// payload; each ends at its first zero byte, as a C text would. False when a
// length byte points past the end of the payload.
bool ParseLoginPayload(const NetCommandMessage& msg, std::string* user, std::string* password);
