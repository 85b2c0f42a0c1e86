#include "channel/frame_queue.h"

#include <gtest/gtest.h>

#include <vector>

#include "netservice/stream_header.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kKey = 0x00800001u;    // video, key frame
constexpr uint32_t kVideo = 0x00000001u;  // video
constexpr uint32_t kSound = 0x01000000u;  // audio, MP3

Bytes Payload(int n, uint8_t seed = 0) {
    Bytes b(n);
    for (int i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>(seed + i * 7);
    return b;
}

int Read(CFrameQueue& q, uint32_t* header, Bytes* out = nullptr) {
    Bytes buf(PACKET_QUEUE_BYTES);
    int n = q.ReadFrame(buf.data(), header, static_cast<int>(buf.size()));
    if (out)
        out->assign(buf.begin(), buf.begin() + n);
    return n;
}

TEST(FrameQueueTest, PacketWrittenInThreePartsIsGivenOutOnlyWhenComplete) {
    CFrameQueue q;
    Bytes p = Payload(300);
    ASSERT_TRUE(q.WriteFrame(p.data(), kKey, 100, 300));
    uint32_t h = 0;
    EXPECT_FALSE(q.PeekFlags(&h));
    ASSERT_TRUE(q.WriteMore(p.data() + 100, 150));
    EXPECT_FALSE(q.PeekFlags(&h));
    // Bytes beyond what the packet misses are not stored.
    EXPECT_TRUE(q.WriteMore(p.data() + 250, 51));
    EXPECT_FALSE(q.PeekFlags(&h));
    ASSERT_TRUE(q.WriteMore(p.data() + 250, 50));
    ASSERT_TRUE(q.PeekFlags(&h));
    EXPECT_EQ(h, kKey);
    Bytes got;
    EXPECT_EQ(Read(q, &h, &got), 300);
    EXPECT_EQ(got, p);
}

TEST(FrameQueueTest, WaitingForAKeyFrameDropsPicturesButNotSound) {
    CFrameQueue q;
    Bytes p = Payload(40);
    q.WriteFrame(p.data(), kVideo, 40, 40);
    q.WriteFrame(p.data(), kSound, 40, 40);
    q.WriteFrame(p.data(), kKey, 40, 40);
    q.WriteFrame(p.data(), kVideo, 40, 40);
    uint32_t h = 0;
    EXPECT_EQ(Read(q, &h), 0);
    EXPECT_EQ(h, kVideo);
    EXPECT_EQ(Read(q, &h), 40);
    EXPECT_EQ(h, kSound);
    EXPECT_EQ(Read(q, &h), 40);
    EXPECT_EQ(Read(q, &h), 40);  // after the key frame pictures flow
    EXPECT_FALSE(q.IsWaitingForKey());
}

TEST(FrameQueueTest, SkipToKeyFrameKeepsTheKeyFrameOrEmptiesTheQueue) {
    CFrameQueue q;
    Bytes p = Payload(10);
    q.WriteFrame(p.data(), kKey, 10, 10);
    EXPECT_TRUE(q.SkipToKeyFrame());
    uint32_t h = 0;
    ASSERT_TRUE(q.PeekFlags(&h));
    EXPECT_EQ(h, kKey);
    EXPECT_FALSE(q.IsWaitingForKey());

    for (uint32_t header : {kVideo, kSound, kVideo, kKey, kVideo})
        q.WriteFrame(p.data(), header, 10, 10);
    Read(q, &h);  // the first key frame
    EXPECT_TRUE(q.SkipToKeyFrame());
    uint8_t video = 0, all = 0;
    q.GetCounts(&video, &all);
    EXPECT_EQ(video, 2);
    EXPECT_EQ(all, 2);

    Read(q, &h);
    Read(q, &h);
    q.WriteFrame(p.data(), kVideo, 10, 10);
    q.WriteFrame(p.data(), kSound, 10, 10);
    EXPECT_FALSE(q.SkipToKeyFrame());
    EXPECT_FALSE(q.PeekFlags(&h));
    EXPECT_TRUE(q.IsWaitingForKey());
    q.GetCounts(&video, &all);
    EXPECT_EQ(video, 0);
    EXPECT_EQ(all, 0);
}

TEST(FrameQueueTest, OverrunRingOrAreaEmptiesTheQueue) {
    Bytes small = Payload(8);
    {
        CFrameQueue q;
        for (int i = 0; i < PACKET_QUEUE_ENTRIES - 1; ++i)
            q.WriteFrame(small.data(), kKey, 8, 8);
        uint8_t video = 0, all = 0;
        q.GetCounts(&video, &all);
        EXPECT_EQ(all, PACKET_QUEUE_ENTRIES - 1);
        q.WriteFrame(small.data(), kKey, 8, 8);  // the 120th: no entry would stay free
        uint32_t h = 0;
        EXPECT_FALSE(q.PeekFlags(&h));
        EXPECT_TRUE(q.IsWaitingForKey());
    }
    {
        // Three payloads fill most of the area; a fourth would reach the
        // oldest after wrapping to the start.
        CFrameQueue q;
        Bytes big = Payload(250000);
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(q.WriteFrame(big.data(), kKey, 250000, 250000));
        uint32_t h = 0;
        Read(q, &h);
        ASSERT_TRUE(q.WriteFrame(big.data(), kKey, 250000, 250000));  // fits where the first was
        ASSERT_TRUE(q.PeekFlags(&h));
        ASSERT_TRUE(q.WriteFrame(big.data(), kKey, 250000, 250000));
        EXPECT_FALSE(q.PeekFlags(&h));
        // A write that lost its packet to the overflow stores nothing more.
        EXPECT_TRUE(q.WriteMore(big.data(), 100));
        EXPECT_FALSE(q.PeekFlags(&h));
    }
}

TEST(FrameQueueTest, NewPacketGivesUpThePartialOneAndReusesItsBytes) {
    CFrameQueue q;
    Bytes a = Payload(700000, 1);
    Bytes b = Payload(600000, 2);
    ASSERT_TRUE(q.WriteFrame(a.data(), kKey, 1000, 700000));
    ASSERT_TRUE(q.WriteFrame(b.data(), kSound, 600000, 600000));
    uint32_t h = 0;
    Bytes got;
    EXPECT_EQ(Read(q, &h, &got), 600000);
    EXPECT_EQ(h, kSound);
    EXPECT_EQ(got, b);
}

TEST(FrameQueueTest, RecountCountsOnlyCompletePackets) {
    CFrameQueue q;
    Bytes p = Payload(20);
    q.WriteFrame(p.data(), kKey, 20, 20);
    q.WriteFrame(p.data(), kSound, 20, 20);
    q.WriteFrame(p.data(), kVideo, 5, 20);
    uint8_t video = 0, all = 0;
    q.GetCounts(&video, &all);
    EXPECT_EQ(video, 2);
    EXPECT_EQ(all, 3);
    q.Recount();
    q.GetCounts(&video, &all);
    EXPECT_EQ(video, 1);
    EXPECT_EQ(all, 2);
}

TEST(FrameQueueTest, RefusesWritesThatCannotBeStored) {
    CFrameQueue q;
    Bytes p = Payload(16);
    EXPECT_FALSE(q.WriteFrame(p.data(), kKey, 16, 8));  // more present than the packet holds
    EXPECT_FALSE(q.WriteFrame(p.data(), kKey, -1, 8));
    EXPECT_FALSE(q.WriteFrame(p.data(), kKey, 4, PACKET_QUEUE_BYTES + 1));
    uint32_t h = 0;
    EXPECT_FALSE(q.PeekFlags(&h));
    EXPECT_EQ(Read(q, &h), 0);
}

}  // namespace
