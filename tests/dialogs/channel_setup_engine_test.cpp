// The channel dialog in the running recorder: the Setup button's path runs
// the real dialog. A changed count ends the program in order; a channel
// moved to the other camera, with the input chosen for it, records that
// camera's pictures; a channel changed to "Net" with the address, channel
// and login of another recorder (a process of its own, on loopback) shows
// and records that recorder's channel.

#include <QComboBox>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "channel/channel_fakes.h"
#include "dialog_input.h"
#include "dialogs/setup_dialog_runner.h"
#include "display_test_support.h"
#include "netservice/login_server.h"
#include "res/channel_setup_ids.h"
#include "settings/channel_ini.h"
#include "settings/log_entry.h"
#include "settings/settings.h"
#include "setup_engine_fixture.h"
#include "support/driver_process.h"
#include "support/modal_step.h"

using namespace engine_test;

namespace {

constexpr char kRecordFolder[] = "OstVA_Rec";

// A camera, and a card whose pictures follow its routed input.
constexpr char kDevices[] =
    "[Video1]\n"
    "Description=Camera\n"
    "Caps=I420 352x288 @400000\n"
    "Pacing=manual\n"
    "[Video2]\n"
    "Description=Capture card\n"
    "Caps=I420 352x288 @400000\n"
    "AnalogInput=1\n"
    "Crossbar0=Tuner, Composite, SVideo\n"
    "Pacing=manual\n";

// The backgrounds of the camera and of the card on Composite.
constexpr int kCameraLuma = 96;
constexpr int kCompositeLuma = 139;

constexpr RECT kChannelRect{19, 16, 19 + 395, 16 + 323};

class ChannelSetupEngineTest : public SetupDialogEngineTest {
protected:
    // Channels on the camera, channel 1 recording; configure may change
    // them before the ini file is written.
    void Start(int count = 1, const std::function<void()>& configure = {}) {
        ASSERT_TRUE(InstallSyntheticDevicesFrom(kDevices));
        for (int n = 0; n < count; ++n) {
            ChannelEntry& c = g_Settings.Channel[n];
            c.status = 1;
            c.mode = SOURCE_LOCAL;
            c.videoin = 1;
            std::snprintf(c.videoname, sizeof c.videoname, "Camera");
            std::snprintf(c.audioname, sizeof c.audioname, "Empty Device");
            c.width = 352;
            c.height = 288;
            c.framenum = 25;
            g_Settings.Record[n].bitrate = 256;
            g_Settings.Record[n].audbitrate = 32;
        }
        g_Settings.nChConfigNum = static_cast<uint8_t>(count);
        if (configure) {
            configure();
        }
        ASSERT_EQ(SaveChannelIni(), 1);
        ASSERT_EQ(SaveRecordIni(count), 1);

        StartEngine([this](CMainDialogState& state) {
            state.hooks.videoWallWindow = [this] { return m_screen.wall.get(); };
            state.hooks.endDialog = [this] { ++m_dialogsEnded; };
            // The main window's exit: the orderly exit sequence.
            state.hooks.exitProgram = [this] { m_state->RunExit(); };
        });
        ASSERT_TRUE(Channel().IsLocal());
        Channel().bManualRecord = 1;
        g_Settings.rcChannel[0] = kChannelRect;
        const uint64_t before = GetDrawVideoMessageCount();
        ASSERT_TRUE(PostThreadMessage(g_dwDrawVideoThreadId.load(), WM_VIDEO_LAYOUT, 0, 0));
        ASSERT_TRUE(WaitUntil([&] { return GetDrawVideoMessageCount() > before; }));
    }

    // Runs the Setup button's handler with the real dialog, in which the
    // user does what the step does and then Saves and Exits.
    void RunSetup(const std::function<void(CWnd&)>& step) {
        bool shown = false;
        ActOnNextModal([&shown, &step](CWnd& dlg) {
            shown = dlg.GetWindowText() == "Channel Setup...";
            step(dlg);
            Click(dlg, IDC_CHANNEL_SAVE);
            Click(dlg, IDOK);
        });
        m_state->OnChannelSetup();
        EXPECT_TRUE(shown);
    }

    static void Choose(CWnd& dlg, int id, const char* item) {
        auto* combo = qobject_cast<QComboBox*>(ControlWidget(dlg, id));
        ASSERT_NE(combo, nullptr) << id;
        const int index = combo->findText(item);
        ASSERT_GE(index, 0) << item;
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    std::vector<std::string> Recordings() { return ListFiles(kRecordFolder, "CH01_", ".avi"); }

    // Channel 1's place on the wall shows the other recorder's picture, a
    // gradient, where the cameras show a flat background.
    bool ShowsAGradient() {
        const std::vector<uint32_t> image = m_screen.target->Compose();
        const int y = kChannelRect.bottom - 20;
        const uint32_t a = m_screen.Seen(image, kChannelRect.left + 40, y) & 0xFFFFFF;
        const uint32_t b = m_screen.Seen(image, kChannelRect.left + 120, y) & 0xFFFFFF;
        return a != 0 && b != 0 && a != b;
    }

    display_test::Screen m_screen;
    int m_dialogsEnded = 0;
};

// The median luma of each picture of a record file, decoded by ffmpeg.
std::vector<int> PictureLumas(const std::string& path) {
    const std::string command =
        "/usr/bin/ffmpeg -v error -i '" + path + "' -f rawvideo -pix_fmt gray - 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    std::vector<int> medians;
    if (pipe == nullptr) {
        return medians;
    }
    std::vector<uint8_t> picture(352 * 288);
    while (std::fread(picture.data(), 1, picture.size(), pipe) == picture.size()) {
        std::vector<uint8_t> sorted = picture;
        std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
        medians.push_back(sorted[sorted.size() / 2]);
    }
    pclose(pipe);
    return medians;
}

bool Near(int value, int expected) {
    return value >= expected - 8 && value <= expected + 8;
}

TEST_F(ChannelSetupEngineTest, AChangedCountEndsTheProgramInOrder) {
    Start();
    RunSetup([](CWnd& dlg) {
        Choose(dlg, IDC_CHANNEL_COUNT, "02 Channels");
        Click(dlg, IDC_CHANGE_COUNT);
    });
    EXPECT_EQ(m_boxes.Count("Channels have Changed! Please Restart!"), 1);
    EXPECT_EQ(m_dialogsEnded, 1);
    EXPECT_EQ(g_nChannelCount.load(), 0);
    const auto lines = m_log.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2],
              (RecordingEventLog::Line{LOGTYPE_SYSTEM, 0, "Change and save channel setup!"}));
    EXPECT_EQ(lines.back(), (RecordingEventLog::Line{LOGTYPE_SYSTEM, 0, "Quorvalind Exit !"}));
    // The new count applies at the next start.
    g_Settings = Settings{};
    LoadChannelIni();
    EXPECT_EQ(g_Settings.nChConfigNum, 2);
    EXPECT_EQ(g_Settings.Channel[0].videoin, 1);
}

TEST_F(ChannelSetupEngineTest, AChannelMovedToTheCardRecordsTheCardsChosenInput) {
    Start();
    Pictures(3);
    EXPECT_EQ(RoutedInput(1, 0), 2);              // the card starts on S-Video
    m_now = MakeLocalTime(2006, 5, 25, 9, 5, 9);  // a next file's name
    RunSetup([](CWnd& dlg) {
        Choose(dlg, IDC_VIDEO_DEVICE, "Capture card");
        Choose(dlg, IDC_VIDEO_INPUT, "Video Composite");
        Click(dlg, IDC_RECTIFY_CHANNEL);
    });
    EXPECT_EQ(m_boxes.Count("Channels have Changed! Please Restart!"), 0);
    EXPECT_EQ(Channel().nVideoDevice.load(), 1);
    EXPECT_EQ(RoutedInput(1, 0), 1);
    // The camera no longer feeds the channel; the card does.
    ASSERT_EQ(PushPictures(0, 1), 1);
    EXPECT_EQ(Channel().GetSlotState(0), SLOT_FREE);
    Pictures(3, 1);
    m_state->RunExit();

    const std::vector<std::string> files = Recordings();
    ASSERT_FALSE(files.empty());
    std::vector<int> lumas;
    for (const std::string& f : files) {
        const std::vector<int> more = PictureLumas(std::string(kRecordFolder) + "/" + f);
        lumas.insert(lumas.end(), more.begin(), more.end());
    }
    ASSERT_EQ(lumas.size(), 6u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(Near(lumas[i], kCameraLuma)) << i << ": " << lumas[i];
    }
    for (int i = 3; i < 6; ++i) {
        EXPECT_TRUE(Near(lumas[i], kCompositeLuma)) << i << ": " << lumas[i];
    }
    // The ini file holds the new source.
    g_Settings = Settings{};
    LoadChannelIni();
    EXPECT_EQ(g_Settings.Channel[0].videoin, 2);
    EXPECT_EQ(g_Settings.Channel[0].videosubin, 2);
    EXPECT_STREQ(g_Settings.Channel[0].videoname, "Capture card");
}

TEST_F(ChannelSetupEngineTest, ChannelsStartOnTheirStoredInputAndTheLastStartedWins) {
    Start(4, [] {
        const uint8_t inputs[] = {1, 2, 9, 0};  // Tuner, Composite, none such, as it is
        for (int n = 0; n < 4; ++n) {
            g_Settings.Channel[n].videoin = 2;
            g_Settings.Channel[n].videosubin = inputs[n];
        }
    });
    EXPECT_EQ(RoutedInput(1, 0), 1);
    const auto lines = m_log.lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         RecordingEventLog::Line{LOGTYPE_RECORD, 3, "CH3 has no video input 9!"}),
              1);
    // Re-applied after the dialog, in channel order again.
    RunSetup([](CWnd& dlg) {
        Choose(dlg, IDC_EDITED_CHANNEL, "CH04");
        Choose(dlg, IDC_VIDEO_INPUT, "Video Tuner");
        Click(dlg, IDC_RECTIFY_CHANNEL);
    });
    EXPECT_EQ(RoutedInput(1, 0), 0);
}

TEST_F(ChannelSetupEngineTest, AChannelChangedToNetShowsAndRecordsTheOtherRecordersChannel) {
    Driver other(QV_REMOTE_DRIVER, {"serve"});
    const uint16_t port = other.ReadPort();
    ASSERT_NE(port, 0);
    Start();
    Pictures(2);
    EXPECT_FALSE(ShowsAGradient());
    m_now = MakeLocalTime(2006, 5, 25, 9, 5, 9);  // the next file's name
    m_state->m_wPeerPort = port;
    RunSetup([](CWnd& dlg) {
        Click(dlg, IDC_SOURCE_NET);
        Retype(dlg, IDC_NET_ADDRESS, "127.0.0.1");
        Retype(dlg, IDC_REMOTE_CHANNEL, "0");
        Retype(dlg, IDC_NET_USER, "viewer");
        Retype(dlg, IDC_NET_PASSWORD, "secret");
        Click(dlg, IDC_RECTIFY_CHANNEL);
    });
    const ChannelEntry saved = g_Settings.Channel[0];
    EXPECT_EQ(saved.mode, SOURCE_NETWORK);
    EXPECT_STREQ(saved.netipaddr, "127.0.0.1");
    EXPECT_STREQ(saved.username, "viewer");

    // The channel logs in to the other recorder and decodes its pictures.
    ASSERT_TRUE(WaitUntil([&] { return Channel().IsRemote() && Channel().HasRecvThread(); }));
    EXPECT_EQ(Channel().GetRemoteIp(), 0x7F000001u);
    EXPECT_EQ(Channel().GetRemotePort(), port);
    Channel().bManualRecord = 1;
    const size_t before = Recordings().size();
    ASSERT_TRUE(WaitUntil([&] {
        Tick();
        return Channel().HasDecoder() && Recordings().size() > before && ShowsAGradient();
    }));
    for (int i = 0; i < 10; ++i) {
        Tick();
    }
    m_state->RunExit();
    EXPECT_TRUE(other.Stop());
    const std::vector<std::string> files = Recordings();
    ASSERT_GT(files.size(), before);
    const std::string remote = std::string(kRecordFolder) + "/" + files.back();
    EXPECT_EQ(ProbeVideoField(remote, "codec_name"), "h264");  // as the other recorder sends it
    EXPECT_FALSE(ProbeVideoFlags(remote).empty());
}

}  // namespace
