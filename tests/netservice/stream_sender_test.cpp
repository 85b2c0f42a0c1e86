// The viewer sender on one end of a socket pair.

#include "netservice/stream_sender.h"

#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
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
