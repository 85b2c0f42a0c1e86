#include "netservice/stream_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/threads/thread_messages.h"
#include "platform/threads/thread_queue.h"

namespace {

// The test thread plays the sender thread: it has a message queue, and
// Posts() counts the WM_STREAM_FRAME_READY messages that reached it.
class StreamQueueTest : public ::testing::Test {
protected:
    void SetUp() override { self = RegisterThreadQueue(); }
    void TearDown() override { UnregisterThreadQueue(); }

    size_t Posts() {
        ThreadMessage m;
        while (PeekMessage(&m)) {
            EXPECT_EQ(m.message, WM_STREAM_FRAME_READY);
            EXPECT_EQ(m.wParam, 0u);
            EXPECT_EQ(m.lParam, 0);
            ++posts;
        }
        return posts;
    }

    // Pushes len bytes of value fill.
    int PushFilled(int len, uint32_t header, uint8_t fill = 0x5A) {
        std::vector<uint8_t> p(len, fill);
        return q.Push(p.data(), header, len);
    }

    CStreamQueue q;
    ThreadId self = 0;
    size_t posts = 0;
    std::vector<uint8_t> out = std::vector<uint8_t>(PACKET_QUEUE_BYTES);
    uint32_t header = 0;
};

TEST_F(StreamQueueTest, NewQueueIsEmptyAndWaitsForAKeyFrame) {
    EXPECT_FALSE(q.IsFull());
    EXPECT_TRUE(q.IsEmpty());
    EXPECT_EQ(q.IsWaitingForKey(), 1);
    EXPECT_EQ(q.Pop(out.data(), &header, 256000), 0);
}

TEST_F(StreamQueueTest, PacketsLeaveOldestFirstWithTheirHeaders) {
    q.SetNotifyThread(self);
    const uint8_t a[] = {1, 2, 3, 4, 5};
    const uint8_t b[] = {9, 8, 7, 6};
    EXPECT_EQ(q.Push(a, 0x518271A3u, sizeof a), 1);
    EXPECT_EQ(q.Push(b, 0x01000C82u, sizeof b), 1);
    EXPECT_EQ(Posts(), 1u);  // the second push found the queue non-empty

    EXPECT_EQ(q.Pop(out.data(), &header, 256000), 5);
    EXPECT_EQ(header, 0x518271A3u);
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 5), std::vector<uint8_t>(a, a + 5));
    EXPECT_EQ(q.Pop(out.data(), &header, 256000), 4);
    EXPECT_EQ(header, 0x01000C82u);
    EXPECT_EQ(out[0], 9);
    EXPECT_EQ(q.Pop(out.data(), &header, 256000), 0);
}

TEST_F(StreamQueueTest, RefusedPushesChangeNothing) {
    ASSERT_EQ(PushFilled(10, 1), 1);
    q.SetNotifyThread(self);
    uint8_t small[4] = {};
    EXPECT_EQ(PushFilled(PACKET_QUEUE_BYTES + 1, 1), 0);
    EXPECT_EQ(q.Push(small, 1, 3), 0);  // receivers would read it as 4 bytes
    EXPECT_EQ(q.Push(small, 1, 0), 0);
    EXPECT_EQ(q.Push(small, 1, -5), 0);
    EXPECT_EQ(q.Push(nullptr, 1, 100), 0);
    EXPECT_EQ(q.GetWriteOffset(), 10);
    EXPECT_EQ(Posts(), 0u);
    EXPECT_EQ(q.Pop(out.data(), &header, 256000), 10);
    EXPECT_TRUE(q.IsEmpty());
}

TEST_F(StreamQueueTest, RingHoldsAtMost119PacketsAndAnOverrunEmptiesIt) {
    q.SetNotifyThread(self);
    q.SetWaitingForKey(0);
    for (int i = 0; i < PACKET_QUEUE_ENTRIES - 1; ++i)
        ASSERT_EQ(PushFilled(100, i), 1);
    EXPECT_TRUE(q.IsFull());
    EXPECT_EQ(Posts(), 1u);

    EXPECT_EQ(PushFilled(100, 999), 1);
    EXPECT_EQ(Posts(), 1u);  // nothing posted for the lost packet
    EXPECT_TRUE(q.IsEmpty());
    EXPECT_FALSE(q.IsFull());
    EXPECT_EQ(q.IsWaitingForKey(), 1);
    EXPECT_EQ(q.Pop(out.data(), &header, 256000), 0);
}

TEST_F(StreamQueueTest, PayloadFillsTheAreaToItsEndOrStartsOver) {
    struct Case {
        int tail;  // bytes left before the end of the area
        int len;
        int writeOffsetAfter;
    };
    const Case cases[] = {
        {100, 100, PACKET_QUEUE_BYTES},  // exactly the bytes left: stored there
        {100, 101, 101},                 // one more: starts at offset 0
    };
    for (const Case& c : cases) {
        CStreamQueue fresh;
        std::vector<uint8_t> p(PACKET_QUEUE_BYTES - c.tail, 1);
        ASSERT_EQ(fresh.Push(p.data(), 1, static_cast<int>(p.size())), 1);
        ASSERT_EQ(fresh.Pop(out.data(), &header, PACKET_QUEUE_BYTES), PACKET_QUEUE_BYTES - c.tail);
        std::vector<uint8_t> next(c.len, 2);
        ASSERT_EQ(fresh.Push(next.data(), 2, c.len), 1);
        EXPECT_EQ(fresh.GetWriteOffset(), c.writeOffsetAfter) << c.len;
        EXPECT_EQ(fresh.Pop(out.data(), &header, PACKET_QUEUE_BYTES), c.len);
        EXPECT_EQ(header, 2u);
        EXPECT_EQ(out[c.len - 1], 2);
    }
}

TEST_F(StreamQueueTest, APayloadThatWouldReachTheOldestQueuedOneEmptiesTheQueue) {
    q.SetNotifyThread(self);
    q.SetWaitingForKey(0);
    ASSERT_EQ(PushFilled(400000, 1), 1);  // 0 .. 400000
    ASSERT_EQ(PushFilled(300000, 2), 1);  // 400000 .. 700000
    ASSERT_EQ(q.Pop(out.data(), &header, PACKET_QUEUE_BYTES), 400000);
    ASSERT_EQ(PushFilled(100000, 3), 1);  // starts over: 0 .. 100000
    EXPECT_EQ(q.GetWriteOffset(), 100000);
    EXPECT_EQ(q.IsWaitingForKey(), 0);

    ASSERT_EQ(PushFilled(350000, 4), 1);  // 100000 .. 450000 would cover packet 2
    EXPECT_TRUE(q.IsEmpty());
    EXPECT_EQ(q.IsWaitingForKey(), 1);
    EXPECT_EQ(Posts(), 1u);  // the first push only: the others found packets queued
}

TEST_F(StreamQueueTest, APacketAboveTheTakersLimitIsDiscardedWithItsHeader) {
    ASSERT_EQ(PushFilled(5000, 0x11), 1);
    ASSERT_EQ(PushFilled(40, 0x22, 0x77), 1);
    EXPECT_EQ(q.Pop(out.data(), &header, 4999), 0);
    EXPECT_EQ(header, 0x11u);
    EXPECT_EQ(q.Pop(out.data(), &header, 4999), 40);
    EXPECT_EQ(header, 0x22u);
    EXPECT_EQ(out[39], 0x77);
}

// The gathering take leaves a packet that does not fit where it is, for
// the next plain take.
TEST_F(StreamQueueTest, PopIfFitsTakesOnlyAPacketThatFitsTheRoom) {
    struct Case {
        int len;
        int room;
        int result;
        bool leftQueued;
    };
    const Case cases[] = {
        {100, 100, 100, false},  // exactly the room
        {100, 99, -1, true},     // one byte over: stays
        {100, 0, -1, true},
    };
    for (const Case& c : cases) {
        CStreamQueue fresh;
        std::vector<uint8_t> p(c.len, 0x3C);
        ASSERT_EQ(fresh.Push(p.data(), 0x44, c.len), 1);
        header = 0;
        EXPECT_EQ(fresh.PopIfFits(out.data(), &header, c.room), c.result) << c.room;
        EXPECT_EQ(fresh.IsEmpty(), !c.leftQueued) << c.room;
        if (c.leftQueued) {
            EXPECT_EQ(fresh.Pop(out.data(), &header, 256000), c.len);
            EXPECT_EQ(header, 0x44u);
            EXPECT_EQ(out[c.len - 1], 0x3C);
        }
    }
    CStreamQueue empty;
    EXPECT_EQ(empty.PopIfFits(out.data(), &header, 100), 0);
}

TEST_F(StreamQueueTest, NotificationFollowsTheNotifyThread) {
    ASSERT_EQ(PushFilled(10, 1), 1);  // stored, nobody told
    EXPECT_EQ(Posts(), 0u);
    q.SetNotifyThread(self);
    // Onto a packet stored before: no message, the one who switched the
    // notification on posts for what waits. The drain takes both, oldest
    // first.
    ASSERT_EQ(PushFilled(10, 2), 1);
    EXPECT_EQ(Posts(), 0u);
    EXPECT_EQ(q.Pop(out.data(), &header, 100), 10);
    EXPECT_EQ(header, 1u);
    EXPECT_EQ(q.Pop(out.data(), &header, 100), 10);
    EXPECT_EQ(header, 2u);
    ASSERT_EQ(PushFilled(10, 3), 1);
    EXPECT_EQ(Posts(), 1u);
    EXPECT_EQ(q.Pop(out.data(), &header, 100), 10);

    q.SetNotifyThread(0);
    ASSERT_EQ(PushFilled(10, 4), 1);
    EXPECT_EQ(Posts(), 1u);
}

// The sender drains the whole queue per message, so a push posts only when
// it turns the queue non-empty.
TEST_F(StreamQueueTest, APushPostsOnlyWhenItTurnsTheQueueNonEmpty) {
    struct Case {
        const char* name;
        int queuedBefore;  // 100-byte packets pushed first
        int popped;        // then taken by the sender
        int tooLongFirst;  // the first queued packet is over the taker's limit
        bool overflowed;   // an overrun emptied the queue before the push
        size_t posts;      // messages for the push under test
    };
    const Case cases[] = {
        {"empty queue", 0, 0, 0, false, 1},
        {"one waiting", 1, 0, 0, false, 0},
        {"drained to the last packet", 3, 3, 0, false, 1},
        {"one of two taken", 2, 1, 0, false, 0},
        {"drained past a discarded packet", 2, 2, 1, false, 1},
        {"emptied by an overrun", 0, 0, 0, true, 1},
    };
    for (const Case& c : cases) {
        CStreamQueue fresh;
        for (int i = 0; i < c.queuedBefore; ++i) {
            std::vector<uint8_t> p(c.tooLongFirst && i == 0 ? 300 : 100, 1);
            ASSERT_EQ(fresh.Push(p.data(), 1, static_cast<int>(p.size())), 1);
        }
        for (int i = 0; i < c.popped; ++i)
            fresh.Pop(out.data(), &header, 200);
        std::vector<uint8_t> p(100, 2);
        if (c.overflowed) {
            for (int i = 0; i < PACKET_QUEUE_ENTRIES; ++i)
                ASSERT_EQ(fresh.Push(p.data(), 1, 100), 1);
            ASSERT_TRUE(fresh.IsEmpty());
        }
        fresh.SetNotifyThread(self);
        const size_t before = Posts();
        ASSERT_EQ(fresh.Push(p.data(), 2, 100), 1);
        EXPECT_EQ(Posts() - before, c.posts) << c.name;
    }
}

TEST_F(StreamQueueTest, ResetKeepsTheNotifyThreadAndSetsTheWaitingFlag) {
    q.SetNotifyThread(self);
    q.SetWaitingForKey(0);
    PushFilled(10, 1);
    EXPECT_EQ(q.Reset(), 1);
    EXPECT_TRUE(q.IsEmpty());
    EXPECT_EQ(q.IsWaitingForKey(), 1);
    EXPECT_EQ(q.GetWriteOffset(), 0);
    PushFilled(10, 2);
    EXPECT_EQ(Posts(), 2u);
}

// The producer overflows the queue again and again while the consumer pops:
// every packet that comes out is whole and in order.
TEST_F(StreamQueueTest, OverflowResetsNeverTearAPacketUnderThePopper) {
    // The consumer is told of nothing: it polls, so every interleaving of
    // pops and resets gets a chance.
    std::atomic<bool> done{false};
    std::atomic<int> torn{0}, outOfOrder{0}, popped{0};
    std::thread consumer([&] {
        std::vector<uint8_t> buf(PACKET_QUEUE_BYTES);
        uint32_t h = 0, last = 0;
        bool any = false;
        while (!done.load() || !q.IsEmpty()) {
            int n = q.Pop(buf.data(), &h, PACKET_QUEUE_BYTES);
            if (n == 0)
                continue;
            ++popped;
            if (any && h <= last)
                ++outOfOrder;
            last = h;
            any = true;
            const uint8_t fill = static_cast<uint8_t>(h);
            if (n != static_cast<int>(1000 + h % 30000))
                ++torn;
            for (int i = 0; i < n; ++i) {
                if (buf[i] != fill) {
                    ++torn;
                    break;
                }
            }
        }
    });
    std::vector<uint8_t> p(40000);
    for (uint32_t seq = 1; seq <= 20000; ++seq) {
        int len = static_cast<int>(1000 + seq % 30000);
        std::fill(p.begin(), p.begin() + len, static_cast<uint8_t>(seq));
        ASSERT_EQ(q.Push(p.data(), seq, len), 1);
    }
    done.store(true);
    consumer.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_EQ(outOfOrder.load(), 0);
    EXPECT_GT(popped.load(), 0);
}

}  // namespace
