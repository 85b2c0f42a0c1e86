#include "platform/threads/thread_messages.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(ThreadMessagesTest, NumbersAreFixed) {
    struct Case {
        unsigned value, expected;
        const char* name;
    };
    const Case cases[] = {
        {WM_USER, 0x400, "WM_USER"},
        {WM_STREAM_FRAME_READY, 0x722, "WM_STREAM_FRAME_READY"},
        {WM_CHANNEL_CONNECT, 0x734, "WM_CHANNEL_CONNECT"},
        {WM_CHANNEL_DISCONNECT, 0x738, "WM_CHANNEL_DISCONNECT"},
        {WM_THREAD_QUIT, 0x73A, "WM_THREAD_QUIT"},
        {WM_DRAW_VIDEO, 0x73C, "WM_DRAW_VIDEO"},
        {WM_CLOCK_UPDATE, 0x740, "WM_CLOCK_UPDATE"},
        {WM_CHANNEL_SNAPSHOT, 0x744, "WM_CHANNEL_SNAPSHOT"},
        {WM_VIDEO_WINDOW_MOVED, 0x746, "WM_VIDEO_WINDOW_MOVED"},
        {WM_VIDEO_LAYOUT, 0x747, "WM_VIDEO_LAYOUT"},
        {WM_TRAY_NOTIFY, 0x74E, "WM_TRAY_NOTIFY"},
        {WM_CHANNEL_ENCODE_VIDEO, 0x752, "WM_CHANNEL_ENCODE_VIDEO"},
        {WM_CHANNEL_ENCODE_AUDIO, 0x753, "WM_CHANNEL_ENCODE_AUDIO"},
        {WM_CHANGE_VIDEO_ENC_MODE, 0x754, "WM_CHANGE_VIDEO_ENC_MODE"},
        {WM_CHANGE_VIDEO_ENC_SIZE, 0x755, "WM_CHANGE_VIDEO_ENC_SIZE"},
        {WM_DECODE_VIDEO_MODE, 0x756, "WM_DECODE_VIDEO_MODE"},
        {WM_DECODE_AUDIO_MODE, 0x757, "WM_DECODE_AUDIO_MODE"},
        {WM_CHANNEL_STOPPED, 0x758, "WM_CHANNEL_STOPPED"},
        {WM_DAY_SELECTED, 0x759, "WM_DAY_SELECTED"},
        {WM_NO_RECORD_DISK, 0x75A, "WM_NO_RECORD_DISK"},
        {WM_CHANNEL_SELECTED, 0x75B, "WM_CHANNEL_SELECTED"},
        {WM_SAVE_SETTINGS, 0x75C, "WM_SAVE_SETTINGS"},
        {WM_SECOND_TICK, 0x75D, "WM_SECOND_TICK"},
        {WM_ALERT_EMAIL, 0x75E, "WM_ALERT_EMAIL"},
        {WM_ALERT_FTP, 0x75F, "WM_ALERT_FTP"},
    };
    std::set<unsigned> seen;
    for (const Case& c : cases) {
        EXPECT_EQ(c.value, c.expected) << c.name;
        EXPECT_TRUE(seen.insert(c.value).second) << c.name << " is not unique";
    }
}

}  // namespace
