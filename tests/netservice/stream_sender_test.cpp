// The viewer sender on one end of a socket pair.

#include "netservice/stream_sender.h"

#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "netservice/stream_header.h"
#include "platform/net/net_transfer.h"
#include "platform/net/net_wait.h"
#include "platform/threads/thread_creation_faults.h"
#include "platform/threads/thread_queue.h"

namespace {

class StreamSenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        IgnoreBrokenPipeSignal();
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds_), 0);
    }
    void TearDown() override {
        ::close(fds_[0]);
        if (fds_[1] >= 0)
            ::close(fds_[1]);
    }
    // Reads n bytes at the viewer's end.
    std::vector<uint8_t> Read(size_t n) {
        std::vector<uint8_t> out;
        uint8_t buf[65536];
        while (out.size() < n && WaitReadable(fds_[1], 5000) == WaitResult::Ready) {
            int got =
                RecvSome(fds_[1], buf, static_cast<int>(std::min(sizeof buf, n - out.size())));
            if (got <= 0)
                break;
            out.insert(out.end(), buf, buf + got);
        }
        return out;
    }
    int fds_[2] = {-1, -1};
};

TEST_F(StreamSenderTest, PacketTooLongForAnyViewerIsDroppedAndTheNextOneSent) {
    CStreamSender sender(0x7F000001u, fds_[0]);
    ASSERT_TRUE(sender.EnableNotify(true));
    std::vector<uint8_t> big(STREAM_SEND_MAX_PAYLOAD + 1, 0xEE);
    const uint8_t small[] = {1, 2, 3, 4, 5};
    ASSERT_EQ(sender.GetQueue()->Push(big.data(), 0x11, static_cast<int>(big.size())), 1);
    ASSERT_EQ(sender.GetQueue()->Push(small, 0xA0, 5), 1);
    EXPECT_EQ(Read(9), (std::vector<uint8_t>{0xA0, 0, 0, 0, 1, 2, 3, 4, 5}));
    EXPECT_TRUE(sender.IsConnected());
}

TEST_F(StreamSenderTest, PacketsQueuedBeforeNotifyLeaveAsSoonAsItIsOn) {
    CStreamSender sender(0x7F000001u, fds_[0]);
    const uint8_t a[] = {9, 9, 9, 9};
    const uint8_t b[] = {7, 7, 7, 7};
    sender.GetQueue()->Push(a, 0x81, 4);
    sender.GetQueue()->Push(b, 0x81, 4);
    ASSERT_TRUE(sender.EnableNotify(true));
    EXPECT_EQ(Read(16),
              (std::vector<uint8_t>{0x81, 0, 0, 0, 9, 9, 9, 9, 0x81, 0, 0, 0, 7, 7, 7, 7}));
}

// Each packet goes out as its header word and then its payload, nothing
// between packets, whatever its size against the send block.
TEST_F(StreamSenderTest, QueuedPacketsGoOutByteForByteAroundTheSendBlock) {
    CStreamSender sender(0x7F000001u, fds_[0]);
    const int totals[] = {8,
                          1024,
                          1025,
                          STREAM_SEND_BLOCK,
                          STREAM_SEND_BLOCK + 1,
                          200000,
                          STREAM_SEND_MAX_PAYLOAD + 4};
    std::vector<uint8_t> expected;
    uint32_t header = 0x80;
    for (int total : totals) {
        std::vector<uint8_t> payload(total - 4);
        for (size_t i = 0; i < payload.size(); ++i)
            payload[i] = static_cast<uint8_t>(i * 7 + header);
        ASSERT_EQ(sender.GetQueue()->Push(payload.data(), header, static_cast<int>(payload.size())),
                  1);
        const uint8_t word[4] = {static_cast<uint8_t>(header), static_cast<uint8_t>(header >> 8), 0,
                                 0};
        expected.insert(expected.end(), word, word + 4);
        expected.insert(expected.end(), payload.begin(), payload.end());
        header += 0x100;
    }
    ASSERT_TRUE(sender.EnableNotify(true));
    EXPECT_EQ(Read(expected.size()), expected);
    EXPECT_TRUE(sender.IsConnected());
}

// The queue wakes the sender only when it turns non-empty. Pushes in
// bursts and after pauses of every length meet the sender at every point
// of its drain; a packet left queued with no wake-up pending would stall
// the stream, and the reader would time out.
TEST_F(StreamSenderTest, EveryPacketLeavesInOrderWhilePushesRaceTheDrain) {
    CStreamSender sender(0x7F000001u, fds_[0]);
    ASSERT_TRUE(sender.EnableNotify(true));
    constexpr int kPackets = 20000;
    constexpr int kWindow = 100;  // below the queue's 119 entries: nothing overflows
    auto length = [](int seq) { return 4 + seq % 61; };
    auto payloadOf = [&](int seq) {
        std::vector<uint8_t> p(length(seq), static_cast<uint8_t>(seq * 13));
        p[0] = static_cast<uint8_t>(seq);
        p[1] = static_cast<uint8_t>(seq >> 8);
        return p;
    };
    std::atomic<int> arrived{0};
    std::atomic<bool> intact{true};
    std::thread reader([&] {
        for (int seq = 0; seq < kPackets; ++seq) {
            std::vector<uint8_t> expected = {static_cast<uint8_t>(seq),
                                             static_cast<uint8_t>(seq >> 8), 0, 0};
            const std::vector<uint8_t> p = payloadOf(seq);
            expected.insert(expected.end(), p.begin(), p.end());
            if (Read(expected.size()) != expected) {
                intact = false;
                return;
            }
            arrived = seq + 1;
        }
    });
    std::mt19937 rng(12);
    for (int seq = 0; seq < kPackets && intact.load(); ++seq) {
        while (seq - arrived.load() >= kWindow && intact.load())
            std::this_thread::yield();
        const std::vector<uint8_t> p = payloadOf(seq);
        ASSERT_EQ(sender.GetQueue()->Push(p.data(), static_cast<uint32_t>(seq),
                                          static_cast<int>(p.size())),
                  1);
        switch (rng() % 4) {
            case 0:
                break;  // a burst
            case 1:
                std::this_thread::yield();
                break;
            case 2:
                for (volatile int spin = static_cast<int>(rng() % 2000); spin > 0;) {
                    spin = spin - 1;
                }
                break;
            default:
                std::this_thread::sleep_for(std::chrono::microseconds(rng() % 100));
        }
    }
    reader.join();
    EXPECT_TRUE(intact.load());
    EXPECT_EQ(arrived.load(), kPackets);
}

TEST_F(StreamSenderTest, ClosedViewerEndsTheThreadAtTheFirstSendError) {
    CStreamSender sender(0x7F000001u, fds_[0]);
    ASSERT_TRUE(sender.EnableNotify(true));
    ::close(fds_[1]);
    fds_[1] = -1;
    const uint8_t p[] = {1, 2, 3, 4};
    for (int i = 0; i < 500 && sender.IsConnected(); ++i) {
        sender.GetQueue()->Push(p, 0x80, 4);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_FALSE(sender.IsConnected());
}

TEST_F(StreamSenderTest, SenderWithoutThreadSendsNothingAndCountsAsConnected) {
    SetThreadCreationFails(true);
    CStreamSender sender(0x7F000001u, fds_[0]);
    SetThreadCreationFails(false);
    EXPECT_FALSE(sender.HasThread());
    EXPECT_FALSE(sender.EnableNotify(true));
    EXPECT_TRUE(sender.IsConnected());
}

TEST_F(StreamSenderTest, StopWhileBlockedOnAStalledViewerReturnsOnceTheSocketIsShutDown) {
    auto sender = std::make_unique<CStreamSender>(0x7F000001u, fds_[0]);
    ASSERT_TRUE(sender->EnableNotify(true));
    std::vector<uint8_t> p(200000, 0x55);
    for (int i = 0; i < 10; ++i)
        sender->GetQueue()->Push(p.data(), 0x80, static_cast<int>(p.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto start = std::chrono::steady_clock::now();
    ShutdownSocket(fds_[0]);
    sender.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
