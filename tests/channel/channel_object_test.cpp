// The channel object: construction, the message thread, the queries and
// the local mode's entry and exit.
#include <gtest/gtest.h>

#include "channel_test_base.h"
#include "media/codec_types.h"
#include "platform/threads/thread_creation_faults.h"
#include "platform/threads/thread_messages.h"
#include "platform/threads/thread_queue.h"

namespace {

class ChannelObjectTest : public ChannelTestBase {};

int UsedEncoderSlots() {
    int used = 0;
    for (const CodecSlot& slot : g_EncoderSlots) {
        used += slot.pVideoCtx != nullptr ? 1 : 0;
    }
    return used;
}

TEST_F(ChannelObjectTest, NewChannelIsIdleAndItsDisplayStepLeavesTheOutputsAlone) {
    CAVChannel channel(3);
    EXPECT_TRUE(channel.HasMsgThread());
    EXPECT_NE(channel.GetMsgThreadId(), 0u);
    EXPECT_FALSE(channel.IsActive());
    EXPECT_EQ(channel.GetRecordState(), REC_NONE);
    EXPECT_EQ(channel.IsMotionAlarm(), 0);
    EXPECT_EQ(channel.GetVideoHeader(), 1u);
    EXPECT_EQ(channel.GetAudioHeader(), 0u);

    uint8_t surface[64] = {};
    int width = 77;
    int height = 88;
    EXPECT_EQ(channel.GetDisplayFrame(surface, 2, &width, &height, 64), 0);
    EXPECT_EQ(width, 77);
    EXPECT_EQ(height, 88);
}

TEST_F(ChannelObjectTest, ChannelWithoutMessageThreadStillShowsPicturesAndFreesTheirSlots) {
    SetThreadCreationFails(true);
    CAVChannel channel(0);
    SetThreadCreationFails(false);
    EXPECT_FALSE(channel.HasMsgThread());
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{"Create AVChannel msg Thread Failed!!!"});
    EXPECT_EQ(boxes_.Captions(), std::vector<std::string>{"ERROR"});

    channel.SetEncodeParams(H264Params());
    channel.StartLocal(0, -1);
    EXPECT_TRUE(channel.IsLocal());
    // Nobody encodes, so every shown slot must come back at once: far more
    // pictures than slots all get through.
    const auto picture = FlatPicture(352, 288);
    for (int i = 0; i < 12; ++i) {
        ASSERT_EQ(
            channel.OnVideoFrame(picture.data(), static_cast<int>(picture.size()), 352, 288, 352),
            1)
            << i;
        int width = 0;
        int height = 0;
        ASSERT_EQ(Show(channel, 2, &width, &height), 1);
        EXPECT_EQ(width, 352);
        EXPECT_EQ(height, 288);
    }
}

TEST_F(ChannelObjectTest, RecordStateNeedsAnOpenFileAndRanksMotionScheduleManual) {
    CAVChannel& channel = MakeLocal();
    channel.bManualRecord = 1;
    EXPECT_EQ(channel.GetRecordState(), REC_NONE);  // no file open yet

    services_.host.SetRecordFolder("C:");
    ASSERT_EQ(channel.StartRecord(), 1);
    struct Case {
        int manual, schedule, motion;
        uint8_t expected;
    };
    const Case cases[] = {
        {1, 0, 0, REC_MANUAL}, {1, 1, 0, REC_SCHEDULE}, {1, 1, 1, REC_MOTION},
        {1, 0, 1, REC_MOTION}, {0, 1, 0, REC_SCHEDULE}, {0, 0, 0, REC_NONE},
    };
    for (const Case& c : cases) {
        channel.bManualRecord = c.manual;
        channel.bScheduleRecord = c.schedule;
        channel.bMotionAlarm = c.motion;
        EXPECT_EQ(channel.GetRecordState(), c.expected) << c.manual << c.schedule << c.motion;
    }
}

TEST_F(ChannelObjectTest, StartLocalWithoutVideoHasNoEncoderAndEncodesNoSound) {
    auto channel = std::make_unique<CAVChannel>(0);
    channel->SetEncodeParams(H264Params());
    channel->StartLocal(-1, 0);
    EXPECT_TRUE(channel->IsLocal());
    EXPECT_EQ(channel->nAudioDevice.load(), 0);
    EXPECT_EQ(channel->nVideoDevice.load(), -1);
    EXPECT_FALSE(channel->HasEncoder());
    EXPECT_EQ(UsedEncoderSlots(), 0);

    // No slots: pictures are ignored. Sound is taken but never encoded.
    const auto picture = FlatPicture(352, 288);
    EXPECT_EQ(
        channel->OnVideoFrame(picture.data(), static_cast<int>(picture.size()), 352, 288, 352), 0);
    CStreamQueue viewer;
    ASSERT_EQ(channel->AddViewer(&viewer), 1);
    std::vector<uint8_t> pcm(4608, 0);
    EXPECT_EQ(channel->OnAudioData(pcm.data(), static_cast<int>(pcm.size())), 1);
    channel.reset();  // the thread has handled everything before it ends
    EXPECT_TRUE(viewer.IsEmpty());
}

TEST_F(ChannelObjectTest, SecondStartLocalKeepsTheEncoderAndOnlyMovesTheDevices) {
    CAVChannel& channel = MakeLocal();
    ASSERT_TRUE(channel.HasEncoder());
    EXPECT_EQ(UsedEncoderSlots(), 1);
    channel.StartLocal(2, 1);
    EXPECT_EQ(UsedEncoderSlots(), 1);
    EXPECT_EQ(channel.nVideoDevice.load(), 2);
    EXPECT_EQ(channel.nAudioDevice.load(), 1);
    // Size code 5 (352 x 288) and H.264 in the video template, MP3 in the
    // audio one.
    EXPECT_EQ(channel.GetVideoHeader(), 0x51000001u);
    EXPECT_EQ(channel.GetAudioHeader(), 0x01000000u);
}

TEST_F(ChannelObjectTest, StopLocalClosesTheEncoderAndTellsDrawVideo) {
    g_dwDrawVideoThreadId = RegisterThreadQueue();
    CAVChannel& channel = MakeLocal(5);
    channel.StopLocal();
    EXPECT_FALSE(channel.IsActive());
    EXPECT_FALSE(channel.HasEncoder());
    EXPECT_EQ(UsedEncoderSlots(), 0);
    EXPECT_EQ(channel.nVideoDevice.load(), -1);
    ThreadMessage msg;
    ASSERT_TRUE(GetMessageTimeout(&msg, 5000));
    EXPECT_EQ(msg.message, WM_CHANNEL_STOPPED);
    EXPECT_EQ(msg.wParam, 5u);

    // After a stop the slots are still there: a capture call that raced
    // the stop finds a buffer, and a new start works.
    channel.StartLocal(0, -1);
    EXPECT_TRUE(Pump(channel, FlatPicture(352, 288)));
    UnregisterThreadQueue();
}

TEST_F(ChannelObjectTest, FailedEncoderOpenIsReportedAndStopStillWorks) {
    g_dwDrawVideoThreadId = RegisterThreadQueue();
    CodecParams params = H264Params();
    params.byVideoType = 15;  // no such codec
    CAVChannel& channel = MakeLocal(0, params);
    EXPECT_TRUE(channel.IsLocal());
    EXPECT_FALSE(channel.HasEncoder());
    EXPECT_EQ(boxes_.Count("Init Encoder Failed!!"), 1);
    // Pictures are still shown.
    EXPECT_TRUE(Pump(channel, FlatPicture(352, 288)));
    channel.StopLocal();
    ThreadMessage msg;
    ASSERT_TRUE(GetMessageTimeout(&msg, 5000));
    EXPECT_EQ(msg.message, WM_CHANNEL_STOPPED);
    UnregisterThreadQueue();
}

TEST_F(ChannelObjectTest, PictureControlsApplyTheStoredWordOrStoreTheDevicesOwn) {
    // Nothing stored: the device's values are read and kept in the settings.
    CAVChannel& first = MakeLocal(2);
    EXPECT_EQ(services_.controls.gets.load(), 1);
    EXPECT_EQ(first.dwVideoColor.load(), 0x11223344u);
    EXPECT_EQ(g_Settings.Record[2].videocolor, 0x11223344u);

    // A stored word is applied; the channel keeps what the device took.
    g_Settings.Record[4].videocolor = 0xFF102030u;
    CAVChannel& second = MakeLocal(4);
    EXPECT_EQ(services_.controls.lastSet.load(), 0xFF102030u);
    EXPECT_EQ(second.dwVideoColor.load(), 0x7F102030u);
}

TEST_F(ChannelObjectTest, DestructorWaitsForTheBusyHandlerAndDropsQueuedMessages) {
    // A snapshot handler that blocks in the host until the test lets go.
    struct BlockingHost final : public IChannelHost {
        std::mutex m;
        std::condition_variable cv;
        bool release = false;
        std::atomic<int> calls{0};
        void WriteLogEntry(int, int, const char*) override {}
        std::string GetRecordFolder() override { return {}; }
        std::string GetSnapshotFolder() override {
            ++calls;
            std::unique_lock<std::mutex> lock(m);
            cv.wait(lock, [this] { return release; });
            return {};
        }
    } host;
    SetChannelHost(&host);
    auto channel = std::make_unique<CAVChannel>(0);
    channel->SetEncodeParams(H264Params());
    channel->StartLocal(0, -1);
    const auto picture = FlatPicture(352, 288);
    ASSERT_TRUE(Pump(*channel, picture));
    // A request is served by the next picture shown; each further request
    // and picture queues behind the blocked one.
    auto requestAndShow = [&] {
        clock_.AdvanceSeconds(1);
        PostThreadMessage(channel->GetMsgThreadId(), WM_CHANNEL_SNAPSHOT, 0, 0);
        ASSERT_EQ(
            channel->OnVideoFrame(picture.data(), static_cast<int>(picture.size()), 352, 288, 352),
            1);
        ASSERT_EQ(Show(*channel), 1);
    };
    requestAndShow();
    ASSERT_TRUE(WaitFor([&] { return host.calls.load() == 1; }));
    for (int i = 0; i < 3; ++i) {
        requestAndShow();
    }
    std::atomic<bool> destroyed{false};
    std::thread destroyer([&] {
        channel.reset();
        destroyed = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(destroyed.load());  // still inside the handler
    {
        std::lock_guard<std::mutex> lock(host.m);
        host.release = true;
    }
    host.cv.notify_all();
    destroyer.join();
    EXPECT_EQ(host.calls.load(), 1);
    SetChannelHost(&services_.host);
}

}  // namespace
