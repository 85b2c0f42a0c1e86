#include "netservice/stream_queue.h"

#include <cstring>
#include <new>

#include "netservice/stream_notify.h"

CStreamQueue::CStreamQueue() : pData(new (std::nothrow) uint8_t[PACKET_QUEUE_BYTES]) {}

CStreamQueue::~CStreamQueue() = default;

bool CStreamQueue::OverlapsQueuedLocked(int offset, int len) const {
    for (int i = nReadIndex; i != nWriteIndex; i = (i + 1) % PACKET_QUEUE_ENTRIES) {
        const PacketDescriptor& p = packets[i];
        if (offset < p.nOffset + p.nLength && p.nOffset < offset + len)
            return true;
    }
    return false;
}

int CStreamQueue::Push(const void* payload, uint32_t header, int len) {
    if (!pData || payload == nullptr || len < STREAM_MIN_PAYLOAD || len > nDataSize)
        return 0;
    uint32_t notify = 0;
    {
        std::lock_guard<std::mutex> guard(lock);
        const bool wasEmpty = nWriteIndex == nReadIndex;
        if (nDataSize - nWriteOffset < len)
            nWriteOffset = 0;
        if (OverlapsQueuedLocked(nWriteOffset, len)) {
            ResetLocked();
            return 1;
        }
        std::memcpy(pData.get() + nWriteOffset, payload, len);
        PacketDescriptor& p = packets[nWriteIndex];
        p.nOffset = nWriteOffset;
        p.nLength = len;
        p.dwHeader = header;
        p.byPacketState = PKT_COMPLETE;
        nWriteOffset += len;
        nWriteIndex = (nWriteIndex + 1) % PACKET_QUEUE_ENTRIES;
        if (nWriteIndex == nReadIndex) {
            // No descriptor would stay free: the ring is overrun.
            ResetLocked();
            return 1;
        }
        // The sender drains the whole queue per message and stops only
        // after it saw the queue empty under this lock, so a push onto a
        // non-empty queue is always picked up by a drain still to come.
        if (wasEmpty)
            notify = dwNotifyThreadId.load();
    }
    if (notify != 0)
        PostStreamFrameReady(notify);
    return 1;
}

int CStreamQueue::Pop(void* destination, uint32_t* header, int maxLen) {
    std::lock_guard<std::mutex> guard(lock);
    return PopLocked(destination, header, maxLen, false);
}

int CStreamQueue::PopIfFits(void* destination, uint32_t* header, int room) {
    std::lock_guard<std::mutex> guard(lock);
    return PopLocked(destination, header, room, true);
}

int CStreamQueue::PopLocked(void* destination, uint32_t* header, int maxLen, bool keepTooLong) {
    if (!pData || nReadIndex == nWriteIndex)
        return 0;
    PacketDescriptor& p = packets[nReadIndex];
    if (p.byPacketState != PKT_COMPLETE)
        return 0;
    if (keepTooLong && p.nLength > maxLen)
        return -1;
    if (header)
        *header = p.dwHeader;
    int result = 0;
    if (destination != nullptr && p.nLength <= maxLen && p.nOffset + p.nLength <= nDataSize) {
        std::memcpy(destination, pData.get() + p.nOffset, p.nLength);
        result = p.nLength;
    }
    p.byPacketState = PKT_FREE;
    nReadIndex = (nReadIndex + 1) % PACKET_QUEUE_ENTRIES;
    nLastReadOffset = p.nOffset;
    return result;
}

bool CStreamQueue::IsFull() const {
    std::lock_guard<std::mutex> guard(lock);
    return (nWriteIndex + 1) % PACKET_QUEUE_ENTRIES == nReadIndex;
}

bool CStreamQueue::IsEmpty() const {
    std::lock_guard<std::mutex> guard(lock);
    return nWriteIndex == nReadIndex;
}

int CStreamQueue::Reset() {
    std::lock_guard<std::mutex> guard(lock);
    ResetLocked();
    return 1;
}

void CStreamQueue::ResetLocked() {
    nReadIndex = nWriteIndex = 0;
    nWriteOffset = nLastReadOffset = 0;
    for (PacketDescriptor& p : packets)
        p.byPacketState = PKT_FREE;
    bWaitingForKey.store(1);
}

int CStreamQueue::GetWriteOffset() const {
    std::lock_guard<std::mutex> guard(lock);
    return nWriteOffset;
}
