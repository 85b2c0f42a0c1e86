#pragma once
// A setup dialog in the running recorder: local channels on a synthetic
// camera (352 x 288, H.264, the first recording by hand), the login server
// on 127.0.0.1, the engine started as the main window starts
// it, the setup dialogs' real runner installed, and pictures pushed by hand
// through capture, the display step and the encoder. WindowPoster answers
// the main window's posts as the window does.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMetaObject>
#include <functional>
#include <memory>

#include "channel/av_channel.h"
#include "dialogs/setup_dialog_runner.h"
#include "engine_test_services.h"
#include "engine_test_support.h"
#include "mainwnd/draw_video_thread.h"
#include "mainwnd/main_dialog_state.h"
#include "mainwnd/main_window_poster.h"
#include "media/codec_types.h"
#include "netservice/login_server.h"
#include "platform/clock/local_clock.h"
#include "platform/threads/thread_messages.h"
#include "platform/timer/manual_timer.h"
#include "res/skin_resources.h"
#include "settings/channel_ini.h"
#include "settings/globals.h"
#include "settings/settings.h"
#include "support/chdir_temp_dir.h"
#include "support/qt_app.h"
#include "support/recording_event_log.h"
#include "synthetic_rig.h"

class SetupDialogEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        InstallSkinResources();
        SetLocalClockSource([this] { return m_now; });
    }
    void TearDown() override {
        if (m_state && g_nChannelCount.load() != 0) {
            m_state->RunExit();
        }
        m_state.reset();
        RemoveSyntheticDevices();
        SetLocalClockSource({});
        SetResourceProvider(nullptr);
    }

    // count local channels (1 to 16), all on the camera; configure may
    // change them before the ini file is written.
    void Start(int count = 1, const std::function<void()>& configure = {}) {
        InstallSyntheticDevices(1, 0);
        for (int n = 0; n < count; ++n) {
            ChannelEntry& c = g_Settings.Channel[n];
            c.status = 1;
            c.mode = SOURCE_LOCAL;
            c.videoin = 1;
            c.width = 352;
            c.height = 288;
            c.framenum = 25;
            RecordEntry& r = g_Settings.Record[n];
            r.enc_method = VCODEC_H264 - 1;
            r.bitrate = 256;
            r.audbitrate = 32;
        }
        g_Settings.nChConfigNum = static_cast<uint8_t>(count);
        if (configure) {
            configure();
        }
        ASSERT_EQ(SaveChannelIni(), 1);
        ASSERT_EQ(SaveRecordIni(count), 1);

        StartEngine();
        ASSERT_TRUE(Channel().IsLocal());
        Channel().bManualRecord = 1;
    }

    // The engine started on what the ini file holds, with the login server
    // on a port of the system's choice on 127.0.0.1; hooks adds to the
    // engine's hooks first.
    void StartEngine(const std::function<void(CMainDialogState&)>& hooks = {}) {
        m_state = std::make_unique<CMainDialogState>();
        m_state->SetEventLog(&m_log);
        m_state->hooks.setTimer = [](unsigned id, unsigned) { return id; };
        m_state->hooks.killTimer = [](unsigned) {};
        if (hooks) {
            hooks(*m_state);
        }
        m_state->m_LoginServer.port = 0;  // the system's choice (GetLoginServerPort)
        m_state->m_LoginServer.bindIp = 0x7F000001;
        m_state->SetWorkers(m_pWorkers);
        ASSERT_TRUE(m_state->RunStartup());
        ASSERT_TRUE(engine_test::WaitUntil([] { return GetLoginServerPort() != 0; }));
        m_state->OnTimer(IDT_STARTUP);
        m_state->SetSetupDialogRunner(&m_runner);
    }

    CAVChannel& Channel() { return *g_pAVChannel[0].load(); }

    // One heartbeat tick, returning once its display pass ran.
    void Tick() {
        const uint64_t before = GetDrawVideoPassCount();
        ASSERT_TRUE(m_timer.Fire(m_state->m_nPalTimer, 1));
        ASSERT_TRUE(engine_test::WaitUntil([&] { return GetDrawVideoPassCount() > before; }));
    }

    // n pictures of the video device through capture, display and
    // encoding, each waited for until channel 1's thread has handed its
    // slot back.
    void Pictures(int n, int video = 0) {
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(PushPictures(video, 1), 1);
            ++m_pictures;
            Tick();
            ASSERT_TRUE(engine_test::WaitUntil([&] {
                for (int s = 0; s < FRAME_SLOT_COUNT; ++s) {
                    if (Channel().GetSlotState(s) != SLOT_FREE) {
                        return false;
                    }
                }
                return true;
            }));
        }
    }

    LocalTime m_now = MakeLocalTime(2006, 5, 25, 9, 5, 3);  // a Thursday
    ChdirTempDir m_dir;
    engine_test::BoxRecorder m_boxes;
    CManualTimer m_timer;
    EngineTestServices m_services{m_timer};
    RecordingEventLog m_log;
    std::unique_ptr<CMainDialogState> m_state;
    CSetupDialogRunner m_runner{nullptr};
    int m_pictures = 0;                    // pushed so far
    IEngineWorkers* m_pWorkers = nullptr;  // the alert threads, when a test runs them
};

// The main window's side of its posts: WM_SAVE_SETTINGS writes the
// settings file on the user-interface thread, as the window's handler does.
class WindowPoster final : public IMainWindowPoster {
public:
    explicit WindowPoster(std::function<void()> saveSettings) : m_save(std::move(saveSettings)) {
        SetMainWindowPoster(this);
    }
    ~WindowPoster() override { SetMainWindowPoster(nullptr); }
    bool Post(unsigned message, WPARAM, LPARAM) override {
        if (message == WM_SAVE_SETTINGS) {
            QMetaObject::invokeMethod(qApp, m_save, Qt::QueuedConnection);
        }
        return true;
    }

private:
    std::function<void()> m_save;
};
