#pragma once
// CFrameQueue: a remote channel's received stream packets between its
// receive thread (the stream parser writes, a packet possibly spread over
// several receive buffers) and the display step on DrawVideo (peeks, reads
// one packet at a time, skips ahead to the next key frame when too much
// has piled up). Every operation holds the queue's own mutex; no other lock
// is taken while it is held.
//
// Built like the viewer queue: payloads lie in one piece in a 768000-byte
// area in the order of a ring of 120 descriptors, and a queued packet,
// complete or partial, is never overwritten: a write that would do so, or a
// ring with no entry left, empties the queue, which then waits for a key
// frame. The entry at the write index holds the partly received packet.

#include <cstdint>
#include <memory>

#include "netservice/packet_descriptor.h"
#include "platform/sync/mutex.h"

class CFrameQueue {
public:
    CFrameQueue();
    virtual ~CFrameQueue();
    CFrameQueue(const CFrameQueue&) = delete;
    CFrameQueue& operator=(const CFrameQueue&) = delete;

    // Starts a packet of total payload bytes with the present bytes of it
    // (a partial packet still being written is given up). False when there
    // is no data area or present is above the area or above total; an
    // overflow empties the queue and still returns true.
    bool WriteFrame(const uint8_t* data, uint32_t header, int present, int total);
    // Continues the packet started last. Bytes beyond what it misses (or
    // with no packet partial) are not stored; true unless there is no data
    // area or the bytes would run past it.
    bool WriteMore(const uint8_t* data, int count);

    // The header of the oldest complete packet; false when there is none.
    bool PeekFlags(uint32_t* header);
    // Takes the oldest complete packet: its length, or 0 when the payload
    // was longer than maxLen or it was a non-key video packet while the
    // queue waits for a key frame (both are taken out and dropped).
    // *header receives its word either way.
    int ReadFrame(uint8_t* destination, uint32_t* header, int maxLen);
    // Drops packets up to the next video key frame, which stays queued;
    // false when the queue ran empty without one (or held nothing).
    bool SkipToKeyFrame();
    // Video packets and packets held, counting the partial one. True.
    bool GetCounts(uint8_t* videoCount, uint8_t* packetCount);
    // Counts the complete packets again.
    void Recount();
    // Drops every packet, the partial one included; waits for a key frame.
    bool Reset();

    bool IsWaitingForKey();

private:
    void ResetLocked();
    bool OverlapsCompleteLocked(int offset, int len) const;
    void CompleteEntryLocked();

    CMutex mutex;
    int bWaitingForKey = 1;
    std::unique_ptr<uint8_t[]> pData;
    int nDataSize = 0;
    int nReadIndex = 0;
    int nWriteIndex = 0;
    int nLastReadOffset = 0;
    int nWriteOffset = 0;
    int nPartialMissing = 0;
    PacketDescriptor packets[PACKET_QUEUE_ENTRIES];
    uint8_t byVideoCount = 0;
    uint8_t byPacketCount = 0;
};
