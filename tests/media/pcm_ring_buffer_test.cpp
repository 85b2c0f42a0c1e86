#include "media/pcm_ring_buffer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// Byte i of a test stream.
uint8_t Pattern(long i) {
    return static_cast<uint8_t>(i % 251);
}

std::vector<uint8_t> Stream(long first, int len) {
    std::vector<uint8_t> v(len);
    for (int i = 0; i < len; ++i) {
        v[i] = Pattern(first + i);
    }
    return v;
}

// Moves both positions to pos through ordinary traffic.
void MoveTo(CPcmRingBuffer& ring, int pos) {
    std::vector<uint8_t> bytes(pos);
    ASSERT_EQ(ring.Write(bytes.data(), pos), 1);
    ASSERT_EQ(ring.Read(bytes.data(), pos), pos);
    ASSERT_EQ(ring.ReadPos(), pos);
    ASSERT_EQ(ring.WritePos(), pos);
}

TEST(CPcmRingBufferTest, StartsEmptyWithTheFullArea) {
    CPcmRingBuffer ring;
    EXPECT_EQ(ring.Size(), PCM_RING_BYTES);
    EXPECT_EQ(ring.Readable(), 0);
    uint8_t b = 0;
    EXPECT_EQ(ring.Read(&b, 1), 0);
    EXPECT_EQ(ring.Read(&b, 0), 0);
    EXPECT_EQ(ring.Read(nullptr, 1), 0);
    EXPECT_EQ(ring.Write(&b, -1), 0);
    EXPECT_EQ(ring.Write(nullptr, 0), 1);
    EXPECT_EQ(ring.WritePos(), 0);
}

TEST(CPcmRingBufferTest, PositionsAndContentAtTheEdges) {
    struct Case {
        const char* what;
        int start;     // both positions before the write
        int writeLen;  // bytes written
        int readLen;   // bytes then asked for
        int readResult, readPos, writePos;
    };
    const Case cases[] = {
        {"exactly 30000 bytes into an empty ring read as empty", 0, 30000, 1, 0, 0, 0},
        {"3000 bytes at 29000: 1000 to the end, 2000 to the start", 29000, 3000, 3000, 3000, 2000,
         2000},
        {"a read that ends at the end of the area wraps to 0", 10000, 20000, 20000, 20000, 0, 0},
        {"a read across the end continues at the start", 25000, 8000, 8000, 8000, 3000, 3000},
        {"1764 asked with 1763 readable: nothing taken", 100, 1763, 1764, 0, 100, 1863},
        {"the most a ring holds is 29999 bytes", 0, 29999, 29999, 29999, 29999, 29999},
    };
    for (const Case& c : cases) {
        CPcmRingBuffer ring;
        MoveTo(ring, c.start);
        std::vector<uint8_t> in = Stream(0, c.writeLen);
        ASSERT_EQ(ring.Write(in.data(), c.writeLen), 1) << c.what;
        std::vector<uint8_t> out(c.readLen, 0xEE);
        EXPECT_EQ(ring.Read(out.data(), c.readLen), c.readResult) << c.what;
        EXPECT_EQ(ring.ReadPos(), c.readPos) << c.what;
        EXPECT_EQ(ring.WritePos(), c.writePos) << c.what;
        if (c.readResult > 0) {
            EXPECT_EQ(out, Stream(0, c.readLen)) << c.what;
        } else {
            EXPECT_EQ(out, std::vector<uint8_t>(c.readLen, 0xEE)) << c.what << ": untouched";
        }
    }
}

TEST(CPcmRingBufferTest, WriterLappingTheReaderOverwritesUnreadBytes) {
    CPcmRingBuffer ring;
    std::vector<uint8_t> first = Stream(0, 20000);
    std::vector<uint8_t> second = Stream(20000, 15000);
    ASSERT_EQ(ring.Write(first.data(), 20000), 1);
    ASSERT_EQ(ring.Write(second.data(), 15000), 1);  // laps the reader at 0
    EXPECT_EQ(ring.WritePos(), 5000);
    EXPECT_EQ(ring.Readable(), 5000) << "ring distance from the old read position";

    std::vector<uint8_t> out(5000);
    ASSERT_EQ(ring.Read(out.data(), 5000), 5000);
    EXPECT_EQ(out, Stream(30000, 5000)) << "the reader sees the newest bytes at its position";
}

TEST(CPcmRingBufferTest, WriteLongerThanTheRingStaysInsideIt) {
    struct Case {
        int start, writeLen, readable, writePos;
    };
    const Case cases[] = {
        {0, 30005, 5, 5},
        {29000, 65000, 5000, 4000},
        {100, 60000, 0, 100},
    };
    for (const Case& c : cases) {
        CPcmRingBuffer ring;
        MoveTo(ring, c.start);
        std::vector<uint8_t> in = Stream(0, c.writeLen);
        ASSERT_EQ(ring.Write(in.data(), c.writeLen), 1);
        EXPECT_EQ(ring.WritePos(), c.writePos) << c.writeLen;
        EXPECT_EQ(ring.ReadPos(), c.start);
        ASSERT_EQ(ring.Readable(), c.readable) << c.writeLen;
        std::vector<uint8_t> out(c.readable);
        ASSERT_EQ(ring.Read(out.data(), c.readable), c.readable);
        EXPECT_EQ(out, Stream(c.writeLen - c.readable, c.readable))
            << "the newest bytes of the write";
    }
}

TEST(CPcmRingBufferTest, OneWriterAndOneReaderPassAStreamIntact) {
    CPcmRingBuffer ring;
    constexpr long kTotal = 4 * 1000 * 1000;
    constexpr int kWriteChunk = 2940;  // one capture buffer
    constexpr int kReadChunk = 1152;   // one encoder frame of sound
    std::atomic<bool> failed{false};

    std::thread writer([&] {
        std::vector<uint8_t> chunk(kWriteChunk);
        for (long sent = 0; sent < kTotal; sent += kWriteChunk) {
            // Stay behind the reader so nothing is overwritten while read.
            while (ring.Size() - 1 - ring.Readable() < kWriteChunk) {
                std::this_thread::yield();
            }
            for (int i = 0; i < kWriteChunk; ++i) {
                chunk[i] = Pattern(sent + i);
            }
            if (ring.Write(chunk.data(), kWriteChunk) != 1) {
                failed = true;
            }
        }
    });
    std::vector<uint8_t> chunk(kReadChunk);
    long got = 0;
    long mismatches = 0;
    const long wanted = kTotal / kReadChunk * kReadChunk;
    while (got < wanted) {
        if (ring.Read(chunk.data(), kReadChunk) == 0) {
            std::this_thread::yield();
            continue;
        }
        for (int i = 0; i < kReadChunk; ++i) {
            if (chunk[i] != Pattern(got + i)) {
                ++mismatches;
            }
        }
        got += kReadChunk;
    }
    writer.join();
    EXPECT_FALSE(failed.load());
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
