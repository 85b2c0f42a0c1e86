#include "channel/stream_parser.h"

#include <gtest/gtest.h>

#include <vector>

#include "channel/frame_queue.h"
#include "netservice/stream_header.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Packet {
    uint32_t header;
    Bytes payload;
    bool operator==(const Packet&) const = default;
};

uint32_t Header(bool video, bool key, uint32_t length) {
    StreamHeader h = video ? VIDEO_HEADER_TEMPLATE : AUDIO_HEADER_TEMPLATE;
    h = SetStreamField(h, SH_KEY_FRAME, key ? 1 : 0);
    return SetStreamField(h, SH_PAYLOAD_LENGTH, length);
}

Packet Make(bool video, bool key, int length, uint8_t seed) {
    Packet p{Header(video, key, length), Bytes(length)};
    for (int i = 0; i < length; ++i)
        p.payload[i] = static_cast<uint8_t>(seed * 31 + i);
    return p;
}

Bytes Wire(const std::vector<Packet>& packets) {
    Bytes out;
    for (const Packet& p : packets) {
        uint8_t word[4];
        WriteStreamHeader(word, p.header);
        out.insert(out.end(), word, word + 4);
        out.insert(out.end(), p.payload.begin(), p.payload.end());
    }
    return out;
}

std::vector<Packet> Drain(CFrameQueue& q) {
    std::vector<Packet> out;
    Bytes buf(STREAM_PARSER_MAX_PAYLOAD);
    uint32_t h = 0;
    while (q.PeekFlags(&h)) {
        int n = q.ReadFrame(buf.data(), &h, static_cast<int>(buf.size()));
        out.push_back({h, Bytes(buf.begin(), buf.begin() + n)});
    }
    return out;
}

TEST(StreamParserTest, StreamCutAnywhereGivesTheSamePackets) {
    const std::vector<Packet> packets = {Make(true, true, 37, 1), Make(false, false, 4, 2),
                                         Make(true, false, 9, 3), Make(false, false, 12, 4)};
    const Bytes wire = Wire(packets);
    // Every cut into two buffers and every cut into three (headers split 1 +
    // 3, 2 + 2, 3 + 1, a buffer ending right after a header, a packet over
    // three buffers).
    for (size_t a = 1; a < wire.size(); ++a) {
        for (size_t b = a; b < wire.size(); ++b) {
            CFrameQueue q;
            CStreamParser parser(&q);
            ASSERT_TRUE(parser.ParseStreamData(wire.data(), static_cast<int>(a)));
            if (b > a) {
                ASSERT_TRUE(parser.ParseStreamData(wire.data() + a, static_cast<int>(b - a)));
            }
            ASSERT_TRUE(parser.ParseStreamData(wire.data() + b, static_cast<int>(wire.size() - b)));
            ASSERT_EQ(Drain(q), packets) << "cut at " << a << " and " << b;
            EXPECT_EQ(parser.GetHeaderBytes(), 0);
            EXPECT_EQ(parser.GetPayloadMissing(), 0);
        }
    }
}

TEST(StreamParserTest, NothingIsQueuedBeforeTheFirstVideoKeyFrame) {
    const Packet key = Make(true, true, 20, 5);
    const Packet after = Make(false, false, 8, 6);
    const Bytes wire = Wire({Make(false, false, 8, 1), Make(true, false, 30, 2), key, after});
    CFrameQueue q;
    CStreamParser parser(&q);
    ASSERT_TRUE(parser.ParseStreamData(wire.data(), static_cast<int>(wire.size())));
    EXPECT_EQ(parser.IsKeyFrameSeen(), 1);
    EXPECT_EQ(Drain(q), (std::vector<Packet>{key, after}));
}

TEST(StreamParserTest, ShortLengthsAreReadAsFourBytes) {
    Packet key = Make(true, true, 4, 1);
    key.header = Header(true, true, 1);
    const Bytes wire = Wire({key, Make(false, false, 6, 2)});
    CFrameQueue q;
    CStreamParser parser(&q);
    ASSERT_TRUE(parser.ParseStreamData(wire.data(), static_cast<int>(wire.size())));
    auto got = Drain(q);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].payload, key.payload);
}

TEST(StreamParserTest, LengthsUpToTheLargestPacketPassAndLongerOnesBreakTheStream) {
    CFrameQueue q;
    CStreamParser parser(&q);
    const Bytes largest = Wire({Make(true, true, STREAM_PARSER_MAX_PAYLOAD, 1)});
    ASSERT_TRUE(parser.ParseStreamData(largest.data(), static_cast<int>(largest.size())));
    EXPECT_EQ(Drain(q).size(), 1u);

    Bytes broken = Wire({Make(false, false, 8, 2)});
    uint8_t word[4];
    WriteStreamHeader(word, Header(true, true, STREAM_PARSER_MAX_PAYLOAD + 1));
    broken.insert(broken.end(), word, word + 4);
    const Bytes more = Wire({Make(false, false, 8, 3)});
    broken.insert(broken.end(), more.begin(), more.end());
    EXPECT_FALSE(parser.ParseStreamData(broken.data(), static_cast<int>(broken.size())));
    EXPECT_TRUE(parser.IsBroken());
    EXPECT_EQ(Drain(q).size(), 1u);  // the packet before the bad header only
    EXPECT_FALSE(parser.ParseStreamData(more.data(), static_cast<int>(more.size())));
    parser.Reset();
    EXPECT_FALSE(parser.IsBroken());
    EXPECT_EQ(parser.IsKeyFrameSeen(), 0);
}

TEST(StreamParserTest, BurstOfManyPacketsInOneBufferStaysInStep) {
    std::vector<Packet> burst = {Make(true, true, 6, 0)};
    for (int i = 1; i < 200; ++i)
        burst.push_back(Make(false, false, 6, static_cast<uint8_t>(i)));
    const Bytes wire = Wire(burst);
    CFrameQueue q;
    CStreamParser parser(&q);
    ASSERT_TRUE(parser.ParseStreamData(wire.data(), static_cast<int>(wire.size())));
    EXPECT_EQ(parser.GetHeaderBytes(), 0);
    EXPECT_EQ(parser.GetPayloadMissing(), 0);
    const Packet next = Make(true, true, 10, 77);
    const Bytes tail = Wire({next});
    ASSERT_TRUE(parser.ParseStreamData(tail.data(), static_cast<int>(tail.size())));
    // The ring overran once at 120 packets; what follows is whole and in order.
    auto got = Drain(q);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back(), next);
    EXPECT_EQ(got.front(), burst[200 - (got.size() - 1)]);
}

}  // namespace
