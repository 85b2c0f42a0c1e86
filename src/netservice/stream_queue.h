#pragma once
// The packets of one channel on their way to one viewer: the channel's
// fan-out pushes (one producer), the viewer's sender thread pops (one
// consumer). A viewer that falls behind loses packets here and never holds
// up the channel.
//
// Payloads lie in one piece in a 768000-byte area, in the order of a ring
// of 120 descriptors; a queued payload is never overwritten: a push that
// would do so, or that would leave no descriptor free, empties the queue
// instead and sets the waiting-for-key flag, so the fan-out resumes this
// viewer's video at a key frame. A small lock of its own keeps such a reset
// by the producer from tearing a pop under way on the sender thread.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "netservice/packet_descriptor.h"

// Every receiver reads a length below 4 as 4, so shorter payloads would
// break the framing: the queue refuses them.
constexpr int STREAM_MIN_PAYLOAD = 4;

class CStreamQueue {
public:
    CStreamQueue();
    ~CStreamQueue();
    CStreamQueue(const CStreamQueue&) = delete;
    CStreamQueue& operator=(const CStreamQueue&) = delete;

    // 1 = taken (stored, or lost to an overflow); 0 = refused: no data area,
    // payload null, below 4 or above 768000 bytes. The notify thread is told
    // only when the push turns the queue non-empty: one message per drain.
    int Push(const void* payload, uint32_t header, int len);

    // Takes the oldest packet: its payload length, 0 when nothing was
    // delivered. *header receives the packet's word also when the payload
    // was longer than maxLen and got discarded.
    int Pop(void* destination, uint32_t* header, int maxLen);
    // As Pop, but a packet longer than room stays queued (-1), for a taker
    // that gathers packets behind one it already holds.
    int PopIfFits(void* destination, uint32_t* header, int room);

    bool IsFull() const;
    bool IsEmpty() const;
    int IsWaitingForKey() const { return bWaitingForKey.load(); }
    void SetWaitingForKey(int waiting) { bWaitingForKey.store(waiting); }
    // Thread told when a stored packet turns the queue non-empty; 0 = none.
    // Whoever switches it on posts once for packets stored before.
    void SetNotifyThread(uint32_t threadId) { dwNotifyThreadId.store(threadId); }

    // Drops every queued packet and sets the waiting flag; the notify
    // thread stays. Returns 1.
    int Reset();

    // Where the next payload would start (for tests of the area's layout).
    int GetWriteOffset() const;

private:
    int PopLocked(void* destination, uint32_t* header, int maxLen, bool keepTooLong);
    void ResetLocked();
    bool OverlapsQueuedLocked(int offset, int len) const;

    mutable std::mutex lock;
    std::atomic<int> bWaitingForKey{1};
    std::unique_ptr<uint8_t[]> pData;
    int nDataSize = PACKET_QUEUE_BYTES;
    int nReadIndex = 0;
    int nWriteIndex = 0;
    int nLastReadOffset = 0;
    int nWriteOffset = 0;
    PacketDescriptor packets[PACKET_QUEUE_ENTRIES];
    std::atomic<uint32_t> dwNotifyThreadId{0};
};
