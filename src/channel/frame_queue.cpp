#include "channel/frame_queue.h"

#include <cstring>
#include <new>

#include "netservice/stream_header.h"
#include "settings/scoped_lock.h"

namespace {

void CountDown(uint8_t& counter) {
    if (counter > 0) {
        --counter;
    }
}

void CountUp(uint8_t& counter) {
    if (counter < 255) {
        ++counter;
    }
}

}  // namespace

CFrameQueue::CFrameQueue() : pData(new (std::nothrow) uint8_t[PACKET_QUEUE_BYTES]) {
    nDataSize = pData ? PACKET_QUEUE_BYTES : 0;
}

CFrameQueue::~CFrameQueue() = default;

bool CFrameQueue::OverlapsCompleteLocked(int offset, int len) const {
    for (int i = nReadIndex; i != nWriteIndex; i = (i + 1) % PACKET_QUEUE_ENTRIES) {
        const PacketDescriptor& p = packets[i];
        if (offset < p.nOffset + p.nLength && p.nOffset < offset + len) {
            return true;
        }
    }
    return false;
}

void CFrameQueue::CompleteEntryLocked() {
    packets[nWriteIndex].byPacketState = PKT_COMPLETE;
    nPartialMissing = 0;
    nWriteIndex = (nWriteIndex + 1) % PACKET_QUEUE_ENTRIES;
    if (nWriteIndex == nReadIndex) {
        ResetLocked();  // no entry left: the ring is overrun
    }
}

bool CFrameQueue::WriteFrame(const uint8_t* data, uint32_t header, int present, int total) {
    CScopedLock lock(mutex);
    if (!pData || data == nullptr || present < 0 || present > nDataSize || present > total ||
        total > nDataSize) {
        return false;
    }
    PacketDescriptor& entry = packets[nWriteIndex];
    if (entry.byPacketState == PKT_PARTIAL) {
        // The packet being received is given up; its bytes are free again.
        nWriteOffset = entry.nOffset;
        entry.byPacketState = PKT_FREE;
        nPartialMissing = 0;
    }
    if (IsVideoPacket(header)) {
        CountUp(byVideoCount);
    }
    CountUp(byPacketCount);
    if (nDataSize - nWriteOffset < total) {
        nWriteOffset = 0;
    }
    if (OverlapsCompleteLocked(nWriteOffset, total)) {
        ResetLocked();
        return true;
    }
    std::memcpy(pData.get() + nWriteOffset, data, static_cast<size_t>(present));
    entry.nOffset = nWriteOffset;
    entry.nLength = total;
    entry.dwHeader = header;
    nWriteOffset += present;
    if (present == total) {
        CompleteEntryLocked();
    } else {
        entry.byPacketState = PKT_PARTIAL;
        nPartialMissing = total - present;
    }
    return true;
}

bool CFrameQueue::WriteMore(const uint8_t* data, int count) {
    CScopedLock lock(mutex);
    if (!pData || data == nullptr || count < 0 || count > nDataSize ||
        nWriteOffset + count > nDataSize) {
        return false;
    }
    if (count > nPartialMissing || nPartialMissing == 0) {
        return true;  // no packet misses these bytes (the queue was reset under it)
    }
    std::memcpy(pData.get() + nWriteOffset, data, static_cast<size_t>(count));
    nWriteOffset += count;
    nPartialMissing -= count;
    if (nPartialMissing == 0) {
        CompleteEntryLocked();
    }
    return true;
}

bool CFrameQueue::PeekFlags(uint32_t* header) {
    CScopedLock lock(mutex);
    if (!pData || nReadIndex == nWriteIndex || packets[nReadIndex].byPacketState != PKT_COMPLETE) {
        return false;
    }
    if (header != nullptr) {
        *header = packets[nReadIndex].dwHeader;
    }
    return true;
}

int CFrameQueue::ReadFrame(uint8_t* destination, uint32_t* header, int maxLen) {
    CScopedLock lock(mutex);
    if (!pData || nReadIndex == nWriteIndex) {
        return 0;
    }
    PacketDescriptor& p = packets[nReadIndex];
    if (p.byPacketState != PKT_COMPLETE) {
        return 0;
    }
    if (header != nullptr) {
        *header = p.dwHeader;
    }
    int result = 0;
    if (destination != nullptr && p.nLength <= maxLen && p.nOffset + p.nLength <= nDataSize) {
        std::memcpy(destination, pData.get() + p.nOffset, static_cast<size_t>(p.nLength));
        result = p.nLength;
    }
    p.byPacketState = PKT_FREE;
    nReadIndex = (nReadIndex + 1) % PACKET_QUEUE_ENTRIES;
    nLastReadOffset = p.nOffset;
    if (IsVideoPacket(p.dwHeader)) {
        CountDown(byVideoCount);
        if (IsKeyFrame(p.dwHeader)) {
            bWaitingForKey = 0;
        } else if (bWaitingForKey != 0) {
            result = 0;  // a picture the decoder could not start from
        }
    }
    CountDown(byPacketCount);
    return result;
}

bool CFrameQueue::SkipToKeyFrame() {
    CScopedLock lock(mutex);
    if (!pData || nReadIndex == nWriteIndex || packets[nReadIndex].byPacketState != PKT_COMPLETE) {
        return false;
    }
    bWaitingForKey = 1;
    for (int i = 0; i < PACKET_QUEUE_ENTRIES && nReadIndex != nWriteIndex; ++i) {
        PacketDescriptor& p = packets[nReadIndex];
        if (IsVideoKeyFrame(p.dwHeader)) {
            bWaitingForKey = 0;
            return true;
        }
        if (IsVideoPacket(p.dwHeader)) {
            CountDown(byVideoCount);
        }
        p.byPacketState = PKT_FREE;
        nLastReadOffset = p.nOffset;
        CountDown(byPacketCount);
        nReadIndex = (nReadIndex + 1) % PACKET_QUEUE_ENTRIES;
    }
    return false;
}

bool CFrameQueue::GetCounts(uint8_t* videoCount, uint8_t* packetCount) {
    CScopedLock lock(mutex);
    if (videoCount != nullptr) {
        *videoCount = byVideoCount;
    }
    if (packetCount != nullptr) {
        *packetCount = byPacketCount;
    }
    return true;
}

void CFrameQueue::Recount() {
    CScopedLock lock(mutex);
    uint8_t video = 0;
    uint8_t all = 0;
    int i = nReadIndex;
    for (int n = 0; n < PACKET_QUEUE_ENTRIES && i != nWriteIndex; ++n) {
        const PacketDescriptor& p = packets[i];
        if (p.byPacketState != PKT_COMPLETE) {
            break;
        }
        if (IsVideoPacket(p.dwHeader)) {
            ++video;
        }
        ++all;
        i = (i + 1) % PACKET_QUEUE_ENTRIES;
    }
    byVideoCount = video;
    byPacketCount = all;
}

bool CFrameQueue::Reset() {
    CScopedLock lock(mutex);
    ResetLocked();
    return true;
}

void CFrameQueue::ResetLocked() {
    nReadIndex = nWriteIndex = 0;
    nWriteOffset = nLastReadOffset = 0;
    nPartialMissing = 0;
    for (PacketDescriptor& p : packets) {
        p.byPacketState = PKT_FREE;
    }
    byVideoCount = byPacketCount = 0;
    bWaitingForKey = 1;
}

bool CFrameQueue::IsWaitingForKey() {
    CScopedLock lock(mutex);
    return bWaitingForKey != 0;
}
