// The running recorder without a window: start-up, channel start, DrawVideo
// passes driven tick by tick, and the exit, over synthetic capture devices
// and the display stand-in.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "channel/av_channel.h"
#include "channel/channel_fakes.h"
#include "display_test_support.h"
#include "engine_test_services.h"
#include "engine_test_support.h"
#include "mainwnd/draw_video_thread.h"
#include "mainwnd/main_dialog_state.h"
#include "mainwnd/resolve_host.h"
#include "netservice/login_server.h"
#include "platform/drives/drives.h"
#include "platform/sound/file_output.h"
#include "platform/sound/pcm_output.h"
#include "platform/threads/thread_creation_faults.h"
#include "platform/timer/manual_timer.h"
#include "platform/ui/program_ending.h"
#include "settings/channel_ini.h"
#include "settings/globals.h"
#include "settings/log_entry.h"
#include "settings/settings.h"
#include "support/chdir_temp_dir.h"
#include "support/file_size_limit.h"
#include "support/recording_event_log.h"
#include "synthetic_rig.h"

using namespace engine_test;

namespace {

constexpr char kRecordFolder[] = "OstVA_Rec";

class EngineRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::snprintf(g_Settings.System.sSnapshotPath, sizeof g_Settings.System.sSnapshotPath,
                      "C:\\snaps");
        g_byFirstAudioDevice = 255;
    }
    void TearDown() override {
        if (state_) {
            if (g_nChannelCount.load() != 0 || g_hDrawVideoThread.load() != nullptr) {
                state_->RunExit();
            }
            state_.reset();
        }
        RemoveSyntheticDevices();
    }

    // A local channel n on 1-based devices (0 = none).
    static void Local(int n, int videoin, int audioin, int width = 352, int height = 288,
                      int fps = 25) {
        ChannelEntry& c = g_Settings.Channel[n];
        c.status = 1;
        c.mode = SOURCE_LOCAL;
        c.videoin = static_cast<uint8_t>(videoin);
        c.audioin = static_cast<uint8_t>(audioin);
        c.width = static_cast<uint16_t>(width);
        c.height = static_cast<uint16_t>(height);
        c.framenum = static_cast<uint8_t>(fps);
        RecordEntry& r = g_Settings.Record[n];
        r.bitrate = 256;
        r.audbitrate = 32;
        r.osdtime = 1;
    }
    // Writes the channel count and entries to the ini file, which the
    // start-up reads back.
    static void SaveIni(int count) {
        g_Settings.nChConfigNum = static_cast<uint8_t>(count);
        ASSERT_EQ(SaveChannelIni(), 1);
        ASSERT_EQ(SaveRecordIni(count), 1);
    }

    void Start(DisplayWindowHandle wall = nullptr) {
        state_ = std::make_unique<CMainDialogState>();
        state_->SetEventLog(&log_);
        state_->hooks.videoWallWindow = [wall] { return wall; };
        state_->hooks.setTimer = [this](unsigned id, unsigned ms) {
            timersSet_.emplace_back(id, ms);
            return id;
        };
        state_->hooks.killTimer = [this](unsigned id) { timersKilled_.push_back(id); };
        state_->hooks.endDialog = [this] { ++dialogsEnded_; };
        state_->hooks.exitProgram = [this] {
            ++windowExits_;
            state_->RunExit();
        };
        Loopback(*state_);
        ASSERT_TRUE(state_->RunStartup());
        ASSERT_TRUE(WaitUntil([] { return GetLoginServerPort() != 0; }));
        state_->m_wPeerPort = GetLoginServerPort();
        state_->OnTimer(IDT_STARTUP);
    }

    // For a run per case: one local channel on one camera, with its ini and
    // settings files written; the run ends with the exit, and the settings
    // are as they were before it.
    static void WriteOneChannelFiles() {
        InstallSyntheticDevices(1, 0);
        Local(0, 1, 0);
        SaveIni(1);
        ASSERT_EQ(SaveSettingsFile(), 1);
    }
    void EndOneChannelRun() {
        state_->RunExit();
        state_.reset();
        RemoveSyntheticDevices();
        g_Settings = Settings{};
        g_Settings.System.byRecordDrive[0] = 1;
        std::snprintf(g_Settings.System.sSnapshotPath, sizeof g_Settings.System.sSnapshotPath,
                      "C:\\snaps");
    }

    // The login server on a port of the system's choice on 127.0.0.1, and
    // network channels pointed at it.
    static void Loopback(CMainDialogState& state) {
        state.m_LoginServer.port = 0;
        state.m_LoginServer.bindIp = 0x7F000001;
    }

    CAVChannel& Channel(int n) { return *g_pAVChannel[n].load(); }

    bool SlotsFree(int count) {
        for (int n = 0; n < count; ++n) {
            for (int s = 0; s < FRAME_SLOT_COUNT; ++s) {
                if (Channel(n).GetSlotState(s) != SLOT_FREE) {
                    return false;
                }
            }
        }
        return true;
    }

    // One heartbeat tick; returns once its display pass ran and every
    // channel's thread handed its picture back.
    void Tick(int channels) {
        const uint64_t before = GetDrawVideoPassCount();
        ASSERT_TRUE(timer_.Fire(state_->m_nPalTimer, 1));
        ASSERT_TRUE(WaitUntil([&] { return GetDrawVideoPassCount() > before; }));
        ASSERT_TRUE(WaitUntil([&] { return SlotsFree(channels); }));
    }

    // Posts a message to DrawVideo and waits until it was handled.
    static void ToDrawVideo(unsigned message, WPARAM w = 0, LPARAM l = 0) {
        const uint64_t before = GetDrawVideoMessageCount();
        ASSERT_TRUE(PostThreadMessage(g_dwDrawVideoThreadId.load(), message, w, l));
        ASSERT_TRUE(WaitUntil([&] { return GetDrawVideoMessageCount() > before; }));
    }

    static std::vector<std::string> Recordings(int n) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "CH%02d_", n + 1);
        return ListFiles(kRecordFolder, prefix, ".avi");
    }

    ChdirTempDir dir_;
    BoxRecorder boxes_;
    CManualTimer timer_;
    EngineTestServices services_{timer_};
    RecordingEventLog log_;
    RecordingPoster window_;
    std::unique_ptr<CMainDialogState> state_;
    std::vector<std::pair<unsigned, unsigned>> timersSet_;
    std::vector<unsigned> timersKilled_;
    int dialogsEnded_ = 0;
    int windowExits_ = 0;
};

// The 4 x 4 grid of the wall.
RECT GridCell(int n) {
    const RECT& wall = display_test::kWallClient;
    const int w = (wall.right - wall.left) / 4;
    const int h = (wall.bottom - wall.top) / 4;
    const int left = wall.left + (n % 4) * w;
    const int top = wall.top + (n / 4) * h;
    return RECT{left, top, left + w, top + h};
}

class SixteenChannelTest : public EngineRunTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SixteenChannelTest, EveryPictureIsShownEncodedAndRecordedOnce) {
    const bool withDisplay = GetParam();
    std::unique_ptr<display_test::Screen> screen;
    if (withDisplay) {
        screen = std::make_unique<display_test::Screen>(32);
    } else {
        SetDefaultDisplayDevice(nullptr);  // no display hardware at all
    }
    InstallSyntheticDevices(16, 0);
    for (int n = 0; n < 16; ++n) {
        Local(n, n + 1, 0);
    }
    SaveIni(16);
    Start(screen ? screen->wall.get() : nullptr);

    EXPECT_EQ(g_nChannelCount.load(), 16);
    EXPECT_EQ(state_->GetRecordFolder(), "C:\\OstVA_Rec");
    EXPECT_EQ(state_->GetSnapshotFolder(), "C:\\snaps");
    for (int n = 0; n < 16; ++n) {
        ASSERT_TRUE(Channel(n).IsLocal()) << n;
        EXPECT_EQ(Channel(n).nVideoDevice.load(), n);
        const SetFormat f = LastVideoFormat(n);
        EXPECT_EQ(f.width, 352) << n;
        EXPECT_EQ(f.fps, 25) << n;
        Channel(n).bManualRecord = 1;
        g_Settings.rcChannel[n] = GridCell(n);
    }
    ToDrawVideo(WM_VIDEO_LAYOUT);

    constexpr int kPictures = 6;
    for (int k = 0; k < kPictures; ++k) {
        for (int n = 0; n < 16; ++n) {
            ASSERT_EQ(PushPictures(n, 1), 1);
        }
        Tick(16);
    }
    if (withDisplay) {
        const std::vector<uint32_t> image = screen->target->Compose();
        for (int n = 0; n < 16; ++n) {
            const RECT r = GridCell(n);
            const uint32_t centre =
                screen->Seen(image, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
            EXPECT_NE(centre & 0xFFFFFF, 0u) << "channel " << n << " shows nothing";
        }
        EXPECT_EQ(screen->device->GuardViolations(), 0);
        EXPECT_EQ(screen->device->WritesOutsideLock(), 0);
    }
    state_->RunExit();
    EXPECT_EQ(dialogsEnded_, 1);
    for (int n = 0; n < 16; ++n) {
        const auto files = Recordings(n);
        ASSERT_EQ(files.size(), 1u) << n;
        EXPECT_EQ(ProbeVideoFlags(std::string(kRecordFolder) + "/" + files[0]).size(),
                  static_cast<size_t>(kPictures))
            << n;
    }
    EXPECT_EQ(log_.lines().front(),
              (RecordingEventLog::Line{LOGTYPE_SYSTEM, 0, "Quorvalind Start!  ver1.51..."}));
    EXPECT_EQ(log_.lines().back(),
              (RecordingEventLog::Line{LOGTYPE_SYSTEM, 0, "Quorvalind Exit !"}));
    if (screen) {
        EXPECT_EQ(screen->device->LiveSurfaces(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Display, SixteenChannelTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Surfaces" : "NoSurfaces"; });

TEST_F(EngineRunTest, StartUpSetsTheTimersAndTheExitUndoesThem) {
    InstallSyntheticDevices(2, 2);
    SaveIni(0);
    Start();
    const std::vector<std::pair<unsigned, unsigned>> expected = {
        {IDT_BLINK, 600}, {IDT_STARTUP, 150}, {IDT_RECONNECT, 8000}, {IDT_SCHEDULE, 1000}};
    EXPECT_EQ(timersSet_, expected);
    EXPECT_EQ(timersKilled_, std::vector<unsigned>{IDT_STARTUP});
    EXPECT_EQ(g_byFirstAudioDevice.load(), 2);
    EXPECT_EQ(timer_.PeriodOf(state_->m_nPalTimer), 40u);
    EXPECT_NE(g_hDrawVideoThread.load(), nullptr);
    state_->RunExit();
    EXPECT_EQ(timersKilled_,
              (std::vector<unsigned>{IDT_STARTUP, IDT_BLINK, IDT_RECONNECT, IDT_SCHEDULE}));
    EXPECT_EQ(timer_.RunningCount(), 0);
    EXPECT_EQ(g_hDrawVideoThread.load(), nullptr);
    EXPECT_EQ(g_nChannelCount.load(), 0);
}

TEST_F(EngineRunTest, ChannelsSharingADeviceEachGetItsBuffers) {
    // Table: video 0, video 1, audio 2, audio 3.
    InstallSyntheticDevices(2, 2);
    Local(0, 1, 2);  // audio ordinal 1: table entry 3
    Local(1, 1, 0);
    Local(2, 0, 2);
    SaveIni(3);
    Start();
    EXPECT_EQ(Channel(2).nVideoDevice.load(), -1);
    FakeLiveSound sound;
    SetLiveSound(&sound);

    ASSERT_EQ(PushPictures(0, 1), 1);
    EXPECT_EQ(Channel(0).GetSlotState(0), SLOT_CAPTURED);
    EXPECT_EQ(Channel(1).GetSlotState(0), SLOT_CAPTURED);
    EXPECT_EQ(Channel(2).GetSlotState(0), SLOT_FREE);
    Tick(3);

    struct Case {
        int audioDevice;
        uint8_t selected;
        bool heard;
    } cases[] = {{1, 0, true}, {1, 2, true}, {1, 1, false}, {0, 0, false}, {0, 2, false}};
    for (const Case& c : cases) {
        g_nSelectedChannel = c.selected;
        const int before = sound.bytesWritten.load();
        ASSERT_EQ(PushSound(c.audioDevice, 1), 1);
        EXPECT_EQ(sound.bytesWritten.load() > before, c.heard)
            << "audio " << c.audioDevice << " selected " << int(c.selected);
    }
    SetLiveSound(state_.get());
    g_nSelectedChannel = 0;
}

TEST_F(EngineRunTest, ChannelStartTakesSizeRateAndDevicesFromTheIniFile) {
    InstallSyntheticDevices(2, 1);
    Local(0, 2, 0, 176, 144, 10);
    Local(1, 1, 0);
    g_Settings.Channel[1].status = 0;  // configured but off
    Local(2, 0, 1);                    // sound only
    SaveIni(3);
    Start();
    EXPECT_TRUE(Channel(0).IsLocal());
    EXPECT_EQ(Channel(0).nVideoDevice.load(), 1);
    const SetFormat f = LastVideoFormat(1);
    EXPECT_EQ(f.width, 176);
    EXPECT_EQ(f.height, 144);
    EXPECT_EQ(f.fps, 10);
    EXPECT_EQ(Channel(0).GetEncodeParams().nWidth, 176);
    EXPECT_FALSE(Channel(1).IsActive());
    EXPECT_TRUE(Channel(2).IsLocal());
    EXPECT_EQ(Channel(2).nVideoDevice.load(), -1);
    EXPECT_EQ(Channel(2).nAudioDevice.load(), 0);
}

TEST_F(EngineRunTest, NetworkChannelWatchesALocalChannelThroughTheLoginServer) {
    InstallSyntheticDevices(1, 0);
    Local(0, 1, 0);
    ChannelEntry& net = g_Settings.Channel[1];
    net.status = 1;
    net.mode = SOURCE_NETWORK;
    std::snprintf(net.netipaddr, sizeof net.netipaddr, "127.0.0.1");
    std::snprintf(net.username, sizeof net.username, "watcher");
    std::snprintf(net.passwd, sizeof net.passwd, "secret");
    net.netchno = 0;
    std::snprintf(g_Settings.System.sUserName[3], 18, "watcher");
    std::snprintf(g_Settings.System.sUserPassword[3], 18, "secret");
    g_Settings.System.byUserChannel[3][0] = 1;
    SaveIni(2);
    Start();
    ASSERT_TRUE(WaitUntil([&] { return Channel(1).IsRemote() && Channel(1).HasRecvThread(); }));
    EXPECT_EQ(Channel(1).GetRemoteIp(), 0x7F000001u);
    EXPECT_EQ(Channel(1).GetRemotePort(), GetLoginServerPort());
    EXPECT_FALSE(Channel(1).CanConnectRemote());
    // The viewer is attached once the channel has a ready viewer.
    ASSERT_TRUE(WaitUntil([&] { return Channel(0).HasReadyViewer() != 0; }));
    Channel(1).bManualRecord = 1;

    // Pictures of the local channel reach the network channel's decoder.
    ASSERT_TRUE(WaitUntil([&] {
        PushPictures(0, 1);
        const uint64_t before = GetDrawVideoPassCount();
        timer_.Fire(state_->m_nPalTimer, 1);
        WaitUntil([&] { return GetDrawVideoPassCount() > before; });
        return Channel(1).HasDecoder() && !Recordings(1).empty();
    }));
    // The reconnect timer leaves a connected channel alone.
    const uint32_t connection = Channel(1).GetConnectionNumber();
    state_->OnTimer(IDT_RECONNECT);
    EXPECT_EQ(Channel(1).GetConnectionNumber(), connection);
    EXPECT_NE(GetLoginSessionCount(), 0);

    // Saving the channel dialog unchanged closes the connection and opens
    // a new one.
    struct SaveUnchanged final : ISetupDialogRunner {
        int RunChannelSetup() override { return IDOK; }
        int RunRecordSetup() override { return IDCANCEL; }
        int RunMotionSetup() override { return IDCANCEL; }
        int RunSystemSetup() override { return IDCANCEL; }
    } dialogs;
    state_->SetSetupDialogRunner(&dialogs);
    state_->OnChannelSetup();
    EXPECT_TRUE(WaitUntil([&] {
        return Channel(1).GetConnectionNumber() != connection && Channel(1).HasRecvThread();
    }));
    EXPECT_TRUE(Channel(0).IsLocal());
}

class LiveSoundTest : public EngineRunTest, public ::testing::WithParamInterface<int> {};

TEST_P(LiveSoundTest, TheSelectedChannelIsHeardUnlessMuted) {
    const int mute = GetParam();
    auto output = std::make_shared<FileOutput>("live.wav");
    SetPcmOutputService(output);
    InstallSyntheticDevices(0, 1);
    Local(0, 0, 1);
    SaveIni(1);
    g_nSelectedChannel = 0;
    g_bAudioMute = mute;
    Start();
    ASSERT_EQ(PushSound(0, 4), 1 * 4);
    output->AllowAll();
    ASSERT_TRUE(output->WaitForBuffers(8, 10000));
    state_->RunExit();
    g_bAudioMute = 0;

    std::FILE* f = std::fopen("live.wav", "rb");
    ASSERT_NE(f, nullptr);
    std::vector<uint8_t> wav(1 << 20);
    wav.resize(std::fread(wav.data(), 1, wav.size(), f));
    std::fclose(f);
    ASSERT_GT(wav.size(), 44u + 8 * 1764u);
    EXPECT_EQ(wav[24] | wav[25] << 8 | wav[26] << 16, 22050);
    bool sound = false;
    for (size_t i = 44; i < wav.size(); ++i) {
        sound = sound || wav[i] != 0;
    }
    EXPECT_EQ(sound, mute == 0);
}

INSTANTIATE_TEST_SUITE_P(Mute, LiveSoundTest, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param ? "Muted" : "Heard"; });

TEST(ResolveHostTest, DottedAddressesAndLocalNames) {
    EXPECT_EQ(ResolveHost("127.0.0.1"), 0x7F000001u);
    EXPECT_EQ(ResolveHost("10.1.2.3"), 0x0A010203u);
    if (access("/etc/hosts", R_OK) == 0) {  // a bare root knows no "localhost"
        EXPECT_EQ(ResolveHost("localhost"), 0x7F000001u);
    }
    EXPECT_EQ(ResolveHost(nullptr), 0xFFFFFFFFu);
}

class ScriptedDialogs final : public ISetupDialogRunner {
public:
    std::function<int()> channel, record, motion, system;
    int RunChannelSetup() override { return channel ? channel() : IDCANCEL; }
    int RunRecordSetup() override { return record ? record() : IDCANCEL; }
    int RunMotionSetup() override { return motion ? motion() : IDCANCEL; }
    int RunSystemSetup() override { return system ? system() : IDCANCEL; }
};

TEST_F(EngineRunTest, ChannelSetupSavedReappliesEveryChannel) {
    InstallSyntheticDevices(3, 1);
    Local(0, 1, 1);
    Local(1, 2, 0);
    Local(2, 3, 0);
    SaveIni(3);
    Start();
    ScriptedDialogs dialogs;
    state_->SetSetupDialogRunner(&dialogs);

    // Cancelled: nothing changes.
    dialogs.channel = [] {
        g_Settings.Channel[1].status = 0;
        return IDCANCEL;
    };
    state_->OnChannelSetup();
    g_Settings.Channel[1].status = 1;
    EXPECT_TRUE(Channel(1).IsLocal());

    dialogs.channel = [] {
        g_Settings.Channel[0].audioin = 0;  // the microphone taken away
        g_Settings.Channel[1].status = 0;   // switched off
        g_Settings.Channel[2].videoin = 1;  // moved to the first camera
        g_Settings.Channel[2].width = 176;
        g_Settings.Channel[2].height = 144;
        return IDOK;
    };
    state_->OnChannelSetup();
    EXPECT_TRUE(Channel(0).IsLocal());
    EXPECT_EQ(Channel(0).nVideoDevice.load(), 0);
    EXPECT_EQ(Channel(0).nAudioDevice.load(), -1);
    EXPECT_FALSE(Channel(1).IsActive());
    EXPECT_EQ(Channel(2).nVideoDevice.load(), 0);
    EXPECT_EQ(LastVideoFormat(0).width, 176);
    EXPECT_EQ(log_.lines().back(),
              (RecordingEventLog::Line{LOGTYPE_SYSTEM, 0, "Change and save channel setup!"}));
    // The capture graph runs again and the moved channel gets pictures.
    ASSERT_EQ(PushPictures(0, 1), 1);
    EXPECT_EQ(Channel(2).GetSlotState(0), SLOT_CAPTURED);
    Tick(3);
    // Saved to the ini file.
    g_Settings.Channel[2] = ChannelEntry{};
    LoadChannelIni();
    EXPECT_EQ(g_Settings.Channel[2].videoin, 1);
    EXPECT_EQ(dialogsEnded_, 0);
}

TEST_F(EngineRunTest, AChannelWithoutAPictureSourceIsLoggedOncePerStart) {
    // Table: the cameras 0 to 4, then the microphone 5. The format step at
    // start fails for cameras 1 to 3; camera 4 refuses only the channel's
    // format and goes on in its own.
    ASSERT_TRUE(
        InstallSyntheticDevicesFrom("[Video1]\nCaps=I420 352x288 @400000\n"
                                    "[Video2]\nCaps=I420 352x288 @400000\n"
                                    "Fail=streamconfig\n"
                                    "[Video3]\nCaps=I420 704x576 @400000, "
                                    "YUY2 640x480 @400000\n"
                                    "[Video4]\nCaps=I420 352x288 @400000\nFail=connect\n"
                                    "[Video5]\nCaps=I420 352x288 @400000\n"
                                    "Fail=setformat\n"
                                    "[Audio1]\nFormats=22050/1/16\n"));
    struct Case {
        const char* what;
        int videoin;
        int audioin;
        int encMethod;
        bool noSource;
    } cases[] = {
        {"the camera", 1, 0, 0, false},
        {"sound only", 0, 1, 0, true},
        {"a device that is not there", 12, 0, 0, true},
        {"the microphone's place", 6, 0, 0, true},
        {"an encoder that cannot open", 1, 0, 200, true},
        {"a camera without its formats", 2, 0, 0, true},
        {"a camera with only larger sizes", 3, 0, 0, true},
        {"a camera that cannot be connected", 4, 0, 0, true},
        {"a camera that refuses the channel's format", 5, 0, 0, false},
    };
    const int count = static_cast<int>(std::size(cases));
    for (int n = 0; n < count; ++n) {
        Local(n, cases[n].videoin, cases[n].audioin);
        g_Settings.Record[n].enc_method = static_cast<uint8_t>(cases[n].encMethod);
    }
    SaveIni(count);
    Start();
    auto linesOf = [&](int n) {
        char text[40];
        std::snprintf(text, sizeof text, "CH%d has no picture source!", n + 1);
        const RecordingEventLog::Line line{LOGTYPE_RECORD, n + 1, text};
        const auto lines = log_.lines();
        return std::count(lines.begin(), lines.end(), line);
    };
    for (int n = 0; n < count; ++n) {
        EXPECT_EQ(linesOf(n), cases[n].noSource ? 1 : 0) << cases[n].what;
    }
    // A saved channel setup starts the channels again.
    ScriptedDialogs dialogs;
    state_->SetSetupDialogRunner(&dialogs);
    dialogs.channel = [] { return IDOK; };
    state_->OnChannelSetup();
    for (int n = 0; n < count; ++n) {
        EXPECT_EQ(linesOf(n), cases[n].noSource ? 2 : 0) << cases[n].what;
    }
}

TEST_F(EngineRunTest, ChangedChannelCountEndsTheProgram) {
    InstallSyntheticDevices(1, 0);
    Local(0, 1, 0);
    SaveIni(1);
    Start();
    ScriptedDialogs dialogs;
    state_->SetSetupDialogRunner(&dialogs);
    dialogs.channel = [] {
        Local(1, 1, 0);
        g_Settings.nChConfigNum = 2;
        return IDOK;
    };
    state_->OnChannelSetup();
    EXPECT_EQ(boxes_.Count("Channels have Changed! Please Restart!"), 1);
    EXPECT_EQ(windowExits_, 1);  // through the window's own exit
    EXPECT_EQ(dialogsEnded_, 1);
    EXPECT_EQ(g_nChannelCount.load(), 0);
    EXPECT_EQ(g_pAVChannel[0].load(), nullptr);
    g_Settings.nChConfigNum = 0;
    LoadChannelIni();
    EXPECT_EQ(g_Settings.nChConfigNum, 2);  // applies at the next start
}

TEST_F(EngineRunTest, SavedWhileTheProgramEndsIsPersistedButNotApplied) {
    // The dialog is cut short by the program's end after its Save: the
    // opener writes its file and its log line, and leaves the engine alone.
    struct Case {
        const char* name;
        std::function<void(ScriptedDialogs&, std::function<int()>)> pick;
        std::function<void()> change;
        std::function<void(CMainDialogState&)> open;
        const char* logLine;
        std::function<void()> persisted;
    };
    const Case cases[] = {
        {"channel count", [](ScriptedDialogs& d, std::function<int()> run) { d.channel = run; },
         [] {
             Local(1, 1, 0);
             g_Settings.nChConfigNum = 2;
         },
         [](CMainDialogState& s) { s.OnChannelSetup(); }, "Change and save channel setup!",
         [] {
             LoadChannelIni();
             EXPECT_EQ(g_Settings.nChConfigNum, 2);
         }},
        {"channel source", [](ScriptedDialogs& d, std::function<int()> run) { d.channel = run; },
         [] { g_Settings.Channel[0].status = 0; }, [](CMainDialogState& s) { s.OnChannelSetup(); },
         "Change and save channel setup!",
         [] {
             LoadChannelIni();
             EXPECT_EQ(g_Settings.Channel[0].status, 0);
         }},
        {"record", [](ScriptedDialogs& d, std::function<int()> run) { d.record = run; },
         [] { g_Settings.Record[0].enc_method = VCODEC_MPEG4 - 1; },
         [](CMainDialogState& s) { s.OnRecordSetup(); }, "Change and save record setup!",
         [] {
             LoadChannelIni();
             EXPECT_EQ(g_Settings.Record[0].enc_method, VCODEC_MPEG4 - 1);
         }},
        {"motion", [](ScriptedDialogs& d, std::function<int()> run) { d.motion = run; },
         [] { g_Settings.Schedule[0].byMotionSmart = 21; },
         [](CMainDialogState& s) { s.OnMotionSetup(); }, "Change and save motion setup!",
         [] {
             g_Settings.Schedule[0].byMotionSmart = 0;
             LoadSettingsFile();
             EXPECT_EQ(g_Settings.Schedule[0].byMotionSmart, 21);
         }},
        {"system", [](ScriptedDialogs& d, std::function<int()> run) { d.system = run; },
         [] {
             std::snprintf(g_Settings.System.sSnapshotPath, sizeof g_Settings.System.sSnapshotPath,
                           "C:\\other");
             g_Settings.System.byRecordDrive[0] = 0;
         },
         [](CMainDialogState& s) { s.OnSystemSetup(); }, "Change and save system setup!",
         [] {
             g_Settings.System.sSnapshotPath[0] = 0;
             LoadSettingsFile();
             EXPECT_STREQ(g_Settings.System.sSnapshotPath, "C:\\other");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(WriteOneChannelFiles());
        Start();
        Channel(0).nRecordAge = 7;
        ScriptedDialogs dialogs;
        c.pick(dialogs, [&c] {
            c.change();
            BeginProgramEnding();
            return IDOK;
        });
        state_->SetSetupDialogRunner(&dialogs);
        {
            CModalRun mainWindow([] {});
            c.open(*state_);
            EXPECT_TRUE(IsProgramEnding());
        }
        EXPECT_EQ(log_.lines().back(), (RecordingEventLog::Line{LOGTYPE_SYSTEM, 0, c.logLine}));
        EXPECT_EQ(boxes_.Count("Channels have Changed! Please Restart!"), 0);
        EXPECT_EQ(windowExits_, 0);
        // The engine runs on as it was: channel, encoder, folders.
        ASSERT_EQ(PushPictures(0, 1), 1);
        Tick(1);
        EXPECT_TRUE(Channel(0).IsLocal());
        EXPECT_EQ(Channel(0).GetEncodeParams().byVideoType, VCODEC_H264);
        EXPECT_EQ(Channel(0).nRecordAge.load(), 7);
        EXPECT_EQ(state_->GetSnapshotFolder(), "C:\\snaps");
        EXPECT_EQ(state_->GetRecordFolder(), "C:\\OstVA_Rec");
        EXPECT_EQ(window_.Count(WM_NO_RECORD_DISK), 0);
        c.persisted();
        EndOneChannelRun();
    }
}

std::string FileBytes(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A setup saved while its file cannot be written (no room for it: only
// the opener writes files meanwhile, the channels get no pictures): the
// old file stays as it was, the recorder runs on with what was saved, and
// the user is told, as the opener's last word.
TEST_F(EngineRunTest, ASaveThatCannotBeWrittenIsReportedAndTheOldFileKept) {
    struct Case {
        const char* name;
        const char* file;
        // Null: the settings file written for WM_SAVE_SETTINGS.
        std::function<void(ScriptedDialogs&, std::function<int()>)> pick;
        std::function<void()> change;
        std::function<void(CMainDialogState&)> open;
        const char* logLine;
        std::function<void(CMainDialogState&)> runsOn;
    };
    const auto channelDialog = [](ScriptedDialogs& d, std::function<int()> run) {
        d.channel = run;
    };
    const Case cases[] = {
        {"channel source", "Quorvalind.ini", channelDialog,
         [] {
             g_Settings.Channel[0].width = 176;
             g_Settings.Channel[0].height = 144;
         },
         [](CMainDialogState& s) { s.OnChannelSetup(); },
         "Change channel setup, but cannot write Quorvalind.ini!",
         [](CMainDialogState&) { EXPECT_EQ(LastVideoFormat(0).width, 176); }},
        // A restart would bring the old count back: no restart.
        {"channel count", "Quorvalind.ini", channelDialog,
         [] {
             Local(1, 1, 0);
             g_Settings.nChConfigNum = 2;
         },
         [](CMainDialogState& s) { s.OnChannelSetup(); },
         "Change channel setup, but cannot write Quorvalind.ini!",
         [](CMainDialogState&) {
             EXPECT_EQ(g_nChannelCount.load(), 1);
             EXPECT_NE(g_pAVChannel[0].load(), nullptr);
         }},
        {"record", "Quorvalind.ini",
         [](ScriptedDialogs& d, std::function<int()> run) { d.record = run; },
         [] { g_Settings.Record[0].enc_method = VCODEC_MPEG4 - 1; },
         [](CMainDialogState& s) { s.OnRecordSetup(); },
         "Change record setup, but cannot write Quorvalind.ini!",
         [](CMainDialogState&) {
             EXPECT_TRUE(WaitUntil([] {
                 return g_pAVChannel[0].load()->GetEncodeParams().byVideoType == VCODEC_MPEG4;
             }));
         }},
        {"motion", "Quorvalind.tmp",
         [](ScriptedDialogs& d, std::function<int()> run) { d.motion = run; },
         [] { g_Settings.Schedule[0].byMotionSmart = 21; },
         [](CMainDialogState& s) { s.OnMotionSetup(); },
         "Change motion setup, but cannot write Quorvalind.tmp!",
         [](CMainDialogState&) { EXPECT_EQ(g_Settings.Schedule[0].byMotionSmart, 21); }},
        {"system", "Quorvalind.tmp",
         [](ScriptedDialogs& d, std::function<int()> run) { d.system = run; },
         [] {
             std::snprintf(g_Settings.System.sSnapshotPath, sizeof g_Settings.System.sSnapshotPath,
                           "C:\\other");
         },
         [](CMainDialogState& s) { s.OnSystemSetup(); },
         "Change system setup, but cannot write Quorvalind.tmp!",
         [](CMainDialogState& s) { EXPECT_EQ(s.GetSnapshotFolder(), "C:\\other"); }},
        {"alert", "Quorvalind.tmp", nullptr, [] { g_Settings.Alert.byFtpGap = 9; },
         [](CMainDialogState& s) { s.OnSaveSettings(); },
         "Change alert setup, but cannot write Quorvalind.tmp!",
         [](CMainDialogState&) { EXPECT_EQ(g_Settings.Alert.byFtpGap, 9); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(WriteOneChannelFiles());
        const std::string old = FileBytes(c.file);
        Start();
        ScriptedDialogs dialogs;
        state_->SetSetupDialogRunner(&dialogs);
        const size_t boxesBefore = boxes_.Boxes().size();
        {
            FileSizeLimit full(64);
            if (c.pick) {
                c.pick(dialogs, [&c] {
                    c.change();
                    return IDOK;
                });
            } else {
                c.change();
            }
            c.open(*state_);
        }
        const auto boxes = boxes_.Boxes();
        ASSERT_EQ(boxes.size(), boxesBefore + 1);
        EXPECT_EQ(boxes.back().text, std::string(c.file) +
                                         " could not be written! The settings "
                                         "hold until the recorder ends.");
        EXPECT_EQ(boxes.back().caption, "Quorvalind");
        EXPECT_EQ(boxes.back().type, MB_OK | MB_ICONERROR);
        EXPECT_EQ(log_.lines().back(), (RecordingEventLog::Line{LOGTYPE_SYSTEM, 0, c.logLine}));
        EXPECT_EQ(FileBytes(c.file), old);
        EXPECT_EQ(windowExits_, 0);
        c.runsOn(*state_);
        EXPECT_TRUE(Channel(0).IsLocal());
        EndOneChannelRun();
    }
}

TEST_F(EngineRunTest, RecordAndSystemSetupPersistAndApply) {
    InstallSyntheticDevices(1, 0);
    Local(0, 1, 0);
    SaveIni(1);
    Start();
    ScriptedDialogs dialogs;
    state_->SetSetupDialogRunner(&dialogs);

    dialogs.record = [] {
        g_Settings.Record[0].enc_method = VCODEC_MPEG4 - 1;
        return IDOK;
    };
    state_->OnRecordSetup();
    EXPECT_TRUE(
        WaitUntil([&] { return Channel(0).GetEncodeParams().byVideoType == VCODEC_MPEG4; }));
    g_Settings.Record[0].enc_method = 0;
    LoadChannelIni();
    EXPECT_EQ(g_Settings.Record[0].enc_method, VCODEC_MPEG4 - 1);
    EXPECT_EQ(log_.lines().back().text, "Change and save record setup!");

    // System: C: stays enabled, so the folder and its files stay.
    dialogs.system = [] {
        std::snprintf(g_Settings.System.sSnapshotPath, sizeof g_Settings.System.sSnapshotPath,
                      "C:\\other");
        return IDOK;
    };
    Channel(0).nRecordAge = 7;
    state_->OnSystemSetup();
    EXPECT_EQ(state_->GetSnapshotFolder(), "C:\\other");
    EXPECT_EQ(state_->GetRecordFolder(), "C:\\OstVA_Rec");
    EXPECT_EQ(Channel(0).nRecordAge.load(), 7);
    EXPECT_EQ(log_.lines().back().text, "Change and save system setup!");
    // C: no longer enabled and no other drive: the folder is given up.
    dialogs.system = [] {
        g_Settings.System.byRecordDrive[0] = 0;
        return IDOK;
    };
    state_->OnSystemSetup();
    EXPECT_EQ(state_->GetRecordFolder(), "");
    EXPECT_EQ(Channel(0).nRecordAge.load(), RECORD_AGE_NEW_FILE);
    EXPECT_EQ(window_.Count(WM_NO_RECORD_DISK), 1);
    EXPECT_TRUE(std::filesystem::exists("Quorvalind.tmp"));

    // Without a runner the buttons open nothing.
    state_->SetSetupDialogRunner(nullptr);
    const size_t lines = log_.lines().size();
    state_->OnMotionSetup();
    state_->OnSystemSetup();
    EXPECT_EQ(log_.lines().size(), lines);
}

TEST_F(EngineRunTest, FailedStartStepsStopTheSequenceAndTheExitCopes) {
    SaveIni(0);
    InstallSyntheticDevices(0, 0);
    timer_.SetStartFails(true);
    state_ = std::make_unique<CMainDialogState>();
    state_->SetEventLog(&log_);
    int timers = 0;
    state_->hooks.setTimer = [&](unsigned, unsigned) { return ++timers; };
    Loopback(*state_);
    EXPECT_FALSE(state_->RunStartup());
    EXPECT_EQ(boxes_.Count("Create PAL timer ERROR"), 1);
    EXPECT_EQ(timers, 0);
    EXPECT_NE(g_hDrawVideoThread.load(), nullptr);
    state_->RunExit();
    EXPECT_EQ(g_hDrawVideoThread.load(), nullptr);

    // An alert thread that cannot be started stops the sequence before the
    // heartbeat.
    struct NoMailThread final : IEngineWorkers {
        bool StartSendEmail() override { return false; }
        void StopSendEmail() override { ++stops; }
        bool StartFtpUpload() override { return true; }
        void StopFtpUpload() override { ++stops; }
        void FreeAlertJobs() override { ++stops; }
        int stops = 0;
    } workers;
    state_ = std::make_unique<CMainDialogState>();
    Loopback(*state_);
    state_->SetWorkers(&workers);
    EXPECT_FALSE(state_->RunStartup());
    EXPECT_EQ(boxes_.Count("Create SendEmail Thread Failed!"), 1);
    EXPECT_EQ(timer_.RunningCount(), 0);
    state_->RunExit();
    EXPECT_EQ(workers.stops, 3);

    // No thread can be made: the start stops silently at the login server,
    // before DrawVideo and the heartbeat.
    timer_.SetStartFails(false);
    state_ = std::make_unique<CMainDialogState>();
    Loopback(*state_);
    SetThreadCreationFails(true);
    EXPECT_FALSE(state_->RunStartup());
    SetThreadCreationFails(false);
    EXPECT_EQ(boxes_.Boxes().size(), 2u);  // only those from before
    EXPECT_EQ(g_hDrawVideoThread.load(), nullptr);
    EXPECT_EQ(timer_.RunningCount(), 0);
    state_->RunExit();
}

}  // namespace
