#pragma once
// What a test of a setup dialog in the running recorder stands on: the
// program's resources, a fixed local clock, the engine's services in a
// folder of its own, message boxes kept, the manual heartbeat, and the
// engine started over synthetic devices and the ini file of the test.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <functional>
#include <memory>

#include "channel/av_channel.h"
#include "channel/channel_fakes.h"
#include "engine_test_services.h"
#include "engine_test_support.h"
#include "mainwnd/draw_video_thread.h"
#include "mainwnd/main_dialog_state.h"
#include "platform/clock/local_clock.h"
#include "platform/timer/manual_timer.h"
#include "res/skin_resources.h"
#include "settings/globals.h"
#include "support/chdir_temp_dir.h"
#include "support/qt_app.h"
#include "support/recording_event_log.h"
#include "support/ui_input.h"
#include "synthetic_rig.h"

class SetupEngineTest : public ::testing::Test {
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

    // Starts the engine on what the ini file holds, the login server on a
    // port of the system's choice on 127.0.0.1; hooks adds to the hooks.
    void StartEngine(const std::function<void(CMainDialogState&)>& hooks = {}) {
        m_state = std::make_unique<CMainDialogState>();
        m_state->SetEventLog(&m_log);
        m_state->hooks.setTimer = [](unsigned id, unsigned) { return id; };
        m_state->hooks.killTimer = [](unsigned) {};
        if (hooks) {
            hooks(*m_state);
        }
        m_state->m_LoginServer.port = 0;
        m_state->m_LoginServer.bindIp = 0x7F000001;
        ASSERT_TRUE(m_state->RunStartup());
        m_state->OnTimer(IDT_STARTUP);
    }

    CAVChannel& Channel() { return *g_pAVChannel[0].load(); }

    // One heartbeat tick and its display pass.
    void Tick() {
        const uint64_t before = GetDrawVideoPassCount();
        ASSERT_TRUE(m_timer.Fire(m_state->m_nPalTimer, 1));
        ASSERT_TRUE(engine_test::WaitUntil([&] { return GetDrawVideoPassCount() > before; }));
    }

    // n pictures of the video device through capture, display and the
    // encoding of channel 1.
    void Pictures(int n, int video = 0) {
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(PushPictures(video, 1), 1);
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

    static void Retype(CWnd& dlg, int id, const char* text) {
        auto* edit = qobject_cast<QLineEdit*>(ControlWidget(dlg, id));
        ASSERT_NE(edit, nullptr) << id;
        edit->selectAll();
        edit->del();
        TypeText(edit, text);
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
