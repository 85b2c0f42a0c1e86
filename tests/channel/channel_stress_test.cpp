// Capture, display, encoder and viewer threads running while another
// thread starts and stops the channel, adds and removes viewers and
// changes the encoder; nothing may fault, and the record flag must match
// an open file whenever it is looked at.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <thread>

#include "channel_test_base.h"
#include "platform/threads/thread_messages.h"

namespace {

class ChannelStressTest : public ChannelTestBase {};

TEST_F(ChannelStressTest, ModeChangesUnderLoadKeepTheChannelSound) {
    std::filesystem::create_directory("rec");
    services_.host.SetRecordFolder("C:\\rec");
    services_.host.SetSnapshotFolder("C:\\rec");
    g_Settings.Schedule[0].byMotionMask[9] = 1;
    g_Settings.Schedule[0].nMotionRecordTime = 15;
    std::strcpy(g_Settings.Record[0].chname, "Stress");
    g_Settings.Record[0].osddate = 1;
    g_Settings.Record[0].osdtime = 1;
    g_dwDrawVideoThreadId = 0;

    CAVChannel& channel = MakeLocal(0, H264Params(176, 144));
    channel.bMotionDetect = 1;
    std::atomic<bool> run{true};
    std::atomic<int> inconsistent{0};
    std::atomic<int> shown{0};

    std::thread capture([&] {
        const std::vector<uint8_t> pictures[] = {
            MovingPicture(176, 144, 0), MovingPicture(176, 144, 5), MovingPicture(352, 288, 2),
            BlockPicture(352, 288, 44, 36, 44, 36)};
        std::vector<uint8_t> pcm(2048, 0);
        for (int n = 0; run; ++n) {
            const auto& picture = pictures[(n / 25) % 4];
            const int width = picture.size() == 176 * 144 * 3 / 2 ? 176 : 352;
            channel.OnVideoFrame(picture.data(), static_cast<int>(picture.size()), width,
                                 width == 176 ? 144 : 288, width);
            channel.OnAudioData(pcm.data(), static_cast<int>(pcm.size()));
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    });
    std::thread display([&] {
        std::vector<uint8_t> surface(352 * 4 * 288);
        for (uint8_t format = 1; run; format = static_cast<uint8_t>(format % 6 + 1)) {
            int width = 0;
            int height = 0;
            shown += channel.GetDisplayFrame(surface.data(), format, &width, &height, 352 * 4);
            EXPECT_LE(width, 352);
            EXPECT_LE(height, 288);
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    });
    CStreamQueue viewers[4];
    std::thread senders([&] {
        std::vector<uint8_t> buffer(PACKET_BUFFER_SIZE);
        while (run) {
            for (CStreamQueue& q : viewers) {
                uint32_t header = 0;
                const int n = q.Pop(buffer.data(), &header, static_cast<int>(buffer.size()));
                if (n > 0) {
                    EXPECT_EQ(static_cast<int>(GetPayloadLength(header)), n);
                }
            }
            std::this_thread::yield();
        }
    });
    std::thread checker([&] {
        while (run) {
            int recording = 0;
            bool open = false;
            channel.GetRecordFileState(&recording, &open);
            if ((recording != 0) != open) {
                ++inconsistent;
            }
            channel.TakeSnapshot();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });

    std::mt19937 random(7);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < end) {
        switch (random() % 9) {
            case 0:
                channel.StartLocal(0, 0);
                break;
            case 1:
                channel.StopLocal();
                break;
            case 2:
                channel.AddViewer(&viewers[random() % 4]);
                break;
            case 3:
                channel.RemoveViewer(&viewers[random() % 4]);
                break;
            case 4:
                PostThreadMessage(
                    channel.GetMsgThreadId(), WM_CHANGE_VIDEO_ENC_MODE,
                    (random() % 2 == 0 ? VCODEC_H264 : VCODEC_MPEG4) | (ACODEC_MP3 << 8),
                    256 | (32 << 16));
                break;
            case 5:
                channel.bManualRecord = static_cast<int>(random() % 2);
                break;
            case 6:
                channel.nRecordAge = 10000;
                clock_.AdvanceSeconds(1);
                break;
            case 7:
                g_nUptimeSeconds += 1;
                break;
            default:
                channel.bMotionDetect = static_cast<int>(random() % 2);
                break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 20));
    }
    run = false;
    capture.join();
    display.join();
    checker.join();
    senders.join();
    for (CStreamQueue& q : viewers) {
        channel.RemoveViewer(&q);
    }
    channel_.reset();
    EXPECT_EQ(inconsistent.load(), 0);
    EXPECT_GT(shown.load(), 0);
}

}  // namespace
