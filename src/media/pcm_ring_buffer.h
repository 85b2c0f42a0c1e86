#pragma once
// A byte ring of 16-bit PCM between one writer thread and one reader thread,
// without a lock: each channel's encoder input, and the live sound output.
//
// Reads are all or nothing; writes always go in, wrapping at the end of the
// area and overwriting unread bytes when the writer laps the reader (the
// reader then goes on from its old position). Equal positions mean empty,
// so at most PCM_RING_BYTES - 1 bytes read back, and a write that fills the
// ring exactly up to the reader leaves it reading as empty.
//
// Each side publishes its position only after its copy is done (release),
// and the other side reads it before touching the bytes (acquire).

#include <atomic>
#include <cstdint>

constexpr int PCM_RING_BYTES = 30000;

class CPcmRingBuffer {
public:
    CPcmRingBuffer();  // m_nSize is 0 when the area could not be allocated
    ~CPcmRingBuffer();
    CPcmRingBuffer(const CPcmRingBuffer&) = delete;
    CPcmRingBuffer& operator=(const CPcmRingBuffer&) = delete;

    // Reader side. Copies exactly len bytes and returns len, or returns 0
    // and takes nothing when fewer than len bytes are readable (or len is
    // not positive).
    int Read(uint8_t* pDest, int len);

    // Writer side. Copies len bytes in and returns 1; 0 when there is no
    // area or len is negative. A write longer than the ring ends as if its
    // bytes had gone in one by one: only its last m_nSize bytes stay, and
    // the write position moves by len around the ring.
    int Write(const uint8_t* pSrc, int len);

    // Bytes the reader could take now.
    int Readable() const;

    int Size() const { return m_nSize; }
    int ReadPos() const { return m_nReadPos.load(std::memory_order_acquire); }
    int WritePos() const { return m_nWritePos.load(std::memory_order_acquire); }

private:
    uint8_t* m_pData;
    std::atomic<int> m_nReadPos;
    std::atomic<int> m_nWritePos;
    int m_nSize;
};
