#include "media/pcm_ring_buffer.h"

#include <cstring>
#include <new>

CPcmRingBuffer::CPcmRingBuffer()
    : m_pData(new (std::nothrow) uint8_t[PCM_RING_BYTES]),
      m_nReadPos(0),
      m_nWritePos(0),
      m_nSize(m_pData != nullptr ? PCM_RING_BYTES : 0) {}

CPcmRingBuffer::~CPcmRingBuffer() {
    delete[] m_pData;
}

int CPcmRingBuffer::Readable() const {
    if (m_nSize == 0) {
        return 0;
    }
    int n =
        m_nWritePos.load(std::memory_order_acquire) - m_nReadPos.load(std::memory_order_acquire);
    return n < 0 ? n + m_nSize : n;
}

int CPcmRingBuffer::Read(uint8_t* pDest, int len) {
    if (len <= 0 || pDest == nullptr || m_nSize == 0) {
        return 0;
    }
    const int readPos = m_nReadPos.load(std::memory_order_relaxed);  // ours
    int readable = m_nWritePos.load(std::memory_order_acquire) - readPos;
    if (readable < 0) {
        readable += m_nSize;
    }
    if (readable < len) {
        return 0;
    }
    const int tail = m_nSize - readPos;
    int newPos;
    if (tail < len) {
        std::memcpy(pDest, m_pData + readPos, tail);
        std::memcpy(pDest + tail, m_pData, len - tail);
        newPos = len - tail;
    } else {
        std::memcpy(pDest, m_pData + readPos, len);
        newPos = readPos + len;
        if (newPos == m_nSize) {
            newPos = 0;
        }
    }
    m_nReadPos.store(newPos, std::memory_order_release);
    return len;
}

int CPcmRingBuffer::Write(const uint8_t* pSrc, int len) {
    if (m_nSize == 0 || len < 0 || (len > 0 && pSrc == nullptr)) {
        return 0;
    }
    if (len == 0) {
        return 1;
    }
    int writePos = m_nWritePos.load(std::memory_order_relaxed);  // ours
    if (len > m_nSize) {
        // Bytes that a byte-by-byte write would overwrite within this same
        // write never need copying: skip them, and move the start with them.
        const int skip = len - m_nSize;
        pSrc += skip;
        writePos = static_cast<int>((static_cast<long long>(writePos) + skip) % m_nSize);
        len = m_nSize;
    }
    const int tail = m_nSize - writePos;
    int newPos;
    if (len < tail) {
        std::memcpy(m_pData + writePos, pSrc, len);
        newPos = writePos + len;
    } else if (len == tail) {
        std::memcpy(m_pData + writePos, pSrc, len);
        newPos = 0;
    } else {
        std::memcpy(m_pData + writePos, pSrc, tail);
        std::memcpy(m_pData, pSrc + tail, len - tail);
        newPos = len - tail;
    }
    m_nWritePos.store(newPos, std::memory_order_release);
    return 1;
}
