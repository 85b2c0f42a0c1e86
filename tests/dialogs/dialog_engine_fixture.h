#pragma once
// A setup dialog in the running recorder: local channels on one synthetic
// camera, the login server on 127.0.0.1 at a port of the system's choice,
// a manual heartbeat, and pictures pushed through capture, display and
// encoding one at a time.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <functional>
#include <memory>

#include "channel/av_channel.h"
#include "channel/channel_fakes.h"
#include "engine_test_services.h"
#include "engine_test_support.h"
#include "mainwnd/draw_video_thread.h"
#include "mainwnd/main_dialog_state.h"
#include "media/codec_types.h"
#include "netservice/login_server.h"
#include "platform/clock/local_clock.h"
#include "platform/timer/manual_timer.h"
#include "platform/ui/window_registry.h"
#include "res/skin_resources.h"
#include "settings/channel_ini.h"
#include "settings/globals.h"
#include "settings/settings.h"
#include "support/chdir_temp_dir.h"
#include "support/qt_app.h"
#include "support/recording_event_log.h"
#include "synthetic_rig.h"

class DialogEngineTest : public ::testing::Test {
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

    // count local channels on the first camera, H.264 at 256 kbit/s.
    void Start(int count) {
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
        ASSERT_EQ(SaveChannelIni(), 1);
        ASSERT_EQ(SaveRecordIni(count), 1);

        m_state = std::make_unique<CMainDialogState>();
        m_state->SetEventLog(&m_log);
        m_state->hooks.setTimer = [](unsigned id, unsigned) { return id; };
        m_state->hooks.killTimer = [](unsigned) {};
        m_state->m_LoginServer.port = 0;
        m_state->m_LoginServer.bindIp = 0x7F000001;
        ASSERT_TRUE(m_state->RunStartup());
        ASSERT_TRUE(engine_test::WaitUntil([] { return GetLoginServerPort() != 0; }));
        m_state->OnTimer(IDT_STARTUP);
        ASSERT_TRUE(Channel().IsLocal());
    }

    CAVChannel& Channel() { return *g_pAVChannel[0].load(); }

    // Acts on the setup dialog the next modal run shows, once it is up.
    static void WhenDialogShows(std::function<void(CWnd&)> act) {
        QTimer::singleShot(0, [act] {
            CWnd* dlg = WndFromWidget(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            act(*dlg);
        });
    }

    // n pictures through capture, display and encoding, each handed back.
    void Pictures(int n) {
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(PushPictures(0, 1), 1);
            const uint64_t before = GetDrawVideoPassCount();
            ASSERT_TRUE(m_timer.Fire(m_state->m_nPalTimer, 1));
            ASSERT_TRUE(engine_test::WaitUntil([&] { return GetDrawVideoPassCount() > before; }));
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

    LocalTime m_now = MakeLocalTime(2006, 5, 25, 9, 5, 3);
    ChdirTempDir m_dir;
    engine_test::BoxRecorder m_boxes;
    CManualTimer m_timer;
    EngineTestServices m_services{m_timer};
    RecordingEventLog m_log;
    engine_test::RecordingPoster m_window;
    std::unique_ptr<CMainDialogState> m_state;
};
