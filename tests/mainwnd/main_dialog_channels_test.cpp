// The main window with two local channels on synthetic cameras: the layouts
// as the wall shows them, manual recording from the channel buttons, and the
// picture-control buttons against the synthetic proc amp.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "channel/av_channel.h"
#include "mainwnd/main_dialog.h"
#include "mainwnd/recorder_app.h"
#include "mainwnd/video_wall.h"
#include "platform/capture/backend_factory.h"
#include "platform/capture/device_enum.h"
#include "platform/display/display_device.h"
#include "platform/sound/pcm_output.h"
#include "platform/ui/window_registry.h"
#include "res/skin_resources.h"
#include "settings/channel_ini.h"
#include "settings/globals.h"
#include "settings/log_entry.h"
#include "settings/settings.h"
#include "support/chdir_temp_dir.h"
#include "support/qt_app.h"
#include "support/qt_pump.h"
#include "support/recording_event_log.h"

namespace {

bool Has(const RecordingEventLog& log, const RecordingEventLog::Line& line) {
    const auto lines = log.lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

TEST(MainDialogChannelsTest, LayoutsButtonsAndPictureControls) {
    ChdirTempDir dir;
    TestQtApp();
    InstallSkinResources();
    SetCaptureBackend(CreateCaptureBackend(QV_DEMO_DEVICES));
    SetDefaultDisplayDevice(std::make_shared<DisplayDevice>());
    SetPcmOutputService(MakeNullOutput(0));
    SetMessageBoxHandler([](const MessageBoxRequest&) { return IDOK; });
    ASSERT_EQ(IsDirectXPresent(), 1);
    ASSERT_EQ(InitSettingsPaths(), 1);
    g_Settings = Settings{};
    LoadSettingsFile();
    g_Settings.System.bOverlay = 1;
    g_Settings.System.bYuy2 = 1;
    for (int n = 0; n < 2; ++n) {
        ChannelEntry& c = g_Settings.Channel[n];
        c.status = 1;
        c.mode = SOURCE_LOCAL;
        c.videoin = static_cast<uint8_t>(n + 1);
        c.width = 352;
        c.height = 288;
        c.framenum = 25;
        g_Settings.Record[n].bitrate = 256;
        g_Settings.Record[n].osdtime = 1;
    }
    g_Settings.nChConfigNum = 2;
    ASSERT_EQ(SaveChannelIni(), 1);
    ASSERT_EQ(SaveRecordIni(2), 1);

    RecordingEventLog log;
    CMainDialog dialog;
    dialog.State().SetEventLog(&log);
    dialog.State().m_LoginServer.port = 0;
    dialog.State().m_LoginServer.bindIp = 0x7F000001;
    AfxSetMainWnd(&dialog);
    QTimer::singleShot(0, [&] {
        // The start-up tick starts both channels in the 2 x 2 layout.
        ASSERT_TRUE(PumpUntil([] {
            CAVChannel* a = g_pAVChannel[0].load();
            CAVChannel* b = g_pAVChannel[1].load();
            return a != nullptr && b != nullptr && a->IsLocal() && b->IsLocal();
        }));
        EXPECT_EQ(dialog.Layout(), 4);
        CVideoWallDialog* wall = g_pVideoWall.load();
        ASSERT_NE(wall, nullptr);

        // Each layout: channel 0's picture fills its place on the wall.
        for (int layout : {1, 2, 4, 6, 9, 16}) {
            SCOPED_TRACE(layout);
            dialog.OnLayout(layout);
            RECT cell = g_Settings.rcChannel[0];
            wall->ScreenToClient(&cell);
            // A cell without a channel shows no picture: the wall's key
            // colour or the renderer's black background. Both are waited
            // for, as the previous layout's pictures go with the next pass.
            RECT wallRc;
            wall->GetClientRect(&wallRc);
            const bool hasEmptyCell = layout == 4 || layout == 9 || layout == 16;
            QImage grab;
            const bool moving = PumpUntil([&] {
                grab = wall->GetWidget()->grab().toImage();
                const QColor c = grab.pixelColor(cell.left + 60, cell.top + 60);
                return c != QColor(8, 0, 8);  // a picture covers the key colour
            });
            EXPECT_TRUE(moving);
            if (hasEmptyCell) {
                const bool cleared = PumpUntil([&] {
                    grab = wall->GetWidget()->grab().toImage();
                    const QColor empty = grab.pixelColor(wallRc.right - 20, wallRc.bottom - 20);
                    return empty == QColor(8, 0, 8) || empty == QColor(0, 0, 0);
                });
                EXPECT_TRUE(cleared);
            }
        }
        dialog.OnLayout(4);

        // The channel button of channel 2 (index 1) toggles its manual recording.
        dialog.ToggleManualRecord(1);
        EXPECT_EQ(g_pAVChannel[1].load()->bManualRecord.load(), 1);
        dialog.ToggleManualRecord(1);
        EXPECT_EQ(g_pAVChannel[1].load()->bManualRecord.load(), 0);
        EXPECT_TRUE(Has(log, {LOGTYPE_RECORD, 2, "Open CH2 Manual Record"}));
        EXPECT_TRUE(Has(log, {LOGTYPE_RECORD, 2, "Close CH2 Manual Record"}));
        dialog.ToggleManualRecord(5);  // no such channel

        // Picture controls on the selected channel 0 (synthetic range 0..255).
        g_nSelectedChannel = 0;
        CAVChannel* ch = g_pAVChannel[0].load();
        const uint32_t before = ch->dwVideoColor.load();
        dialog.OnPictureControl(0, true);
        const uint32_t after = ch->dwVideoColor.load();
        EXPECT_EQ(after & 0xFF, (before & 0xFF) + 1);
        EXPECT_EQ(after & 0xFFFFFF00u, before & 0xFFFFFF00u);
        EXPECT_EQ(g_Settings.Record[0].videocolor, after);
        const std::string shown = std::to_string(after & 0xFF);
        EXPECT_EQ(dialog.GetDlgItemText(IDC_VALUE_BRIGHT), shown);
        EXPECT_TRUE(Has(log, {LOGTYPE_SYSTEM, 1, "Change CH01 's bright to " + shown}));
        dialog.OnColorDefault();
        EXPECT_TRUE(
            Has(log, {LOGTYPE_SYSTEM, 1, "Change CH01 's color to default(128,128,128,128)"}));
        dialog.OnOK();
    });
    dialog.DoModal();
    AfxSetMainWnd(nullptr);
    SetMessageBoxHandler({});
    EXPECT_TRUE(Has(log, {LOGTYPE_SYSTEM, 0, "Quorvalind Exit !"}));
}
