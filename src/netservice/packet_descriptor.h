#pragma once
// One queued stream packet and the sizes both packet queues share (the
// viewer stream queue and a remote channel's received-packet queue).

#include <cstdint>

constexpr int PACKET_QUEUE_BYTES = 768000;  // data area holding the payloads
constexpr int PACKET_QUEUE_ENTRIES = 120;   // descriptor ring; one entry always stays free

constexpr uint8_t PKT_FREE = 0;
constexpr uint8_t PKT_PARTIAL = 1;  // payload still arriving (received-packet queue only)
constexpr uint8_t PKT_COMPLETE = 2;

struct PacketDescriptor {
    int nOffset = 0;  // first payload byte in the data area
    int nLength = 0;  // payload bytes; the header word is kept in dwHeader
    uint8_t byPacketState = PKT_FREE;
    uint32_t dwHeader = 0;  // the packet's StreamHeader word
};
