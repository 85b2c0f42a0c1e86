// The alert dialog and the log viewer in the running recorder. Alerts
// switched on and saved in the dialog reach the settings file when the
// main window is told to write it (what the motion dialog asks after a
// saved alert dialog), and a motion alarm on a synthetic channel then
// sends a mail with snapshots to a loopback SMTP server and uploads them
// to a loopback FTP server. The Logfile button's path opens the log viewer
// over the recorder's own log.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "alerts/alert_sink.h"
#include "alerts/server_process.h"
#include "channel/av_channel.h"
#include "channel/channel_fakes.h"
#include "dialogs/alert_setup_dialog.h"
#include "dialogs/log_file_dialog.h"
#include "dialogs/setup_dialog_runner.h"
#include "engine_test_services.h"
#include "engine_test_support.h"
#include "mainwnd/alert_workers.h"
#include "mainwnd/draw_video_thread.h"
#include "mainwnd/heartbeat.h"
#include "mainwnd/main_dialog_state.h"
#include "platform/clock/local_clock.h"
#include "platform/timer/manual_timer.h"
#include "platform/ui/window_registry.h"
#include "res/alert_setup_ids.h"
#include "res/log_file_ids.h"
#include "res/skin_resources.h"
#include "settings/channel_ini.h"
#include "settings/globals.h"
#include "settings/settings.h"
#include "support/qt_app.h"
#include "support/recording_event_log.h"
#include "support/ui_input.h"
#include "synthetic_rig.h"

using namespace engine_test;

namespace {

class AlertSetupEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        InstallSkinResources();
        SetLocalClockSource([this] { return m_now; });
        SetAlertSink(&m_sink);
    }
    void TearDown() override {
        if (m_state && g_nChannelCount.load() != 0) {
            m_state->RunExit();
        }
        m_state.reset();
        RemoveSyntheticDevices();
        SetAlertSink(nullptr);
        SetLocalClockSource({});
        SetResourceProvider(nullptr);
    }

    // One local channel on a synthetic camera, detecting motion all day
    // over the whole picture, its snapshots in C:\snap.
    void Start() {
        InstallSyntheticDevices(1, 0);
        ChannelEntry& c = g_Settings.Channel[0];
        c.status = 1;
        c.mode = SOURCE_LOCAL;
        c.videoin = 1;
        c.width = 352;
        c.height = 288;
        c.framenum = 25;
        g_Settings.Record[0].bitrate = 256;
        g_Settings.Record[0].audbitrate = 32;
        g_Settings.nChConfigNum = 1;
        ScheduleEntry& s = g_Settings.Schedule[0];
        s.byMotionRecord[0] = 1;
        s.MotionTimes[0] = ScheduleTimes{0, 0, 23, 59, 0, 0, 23, 59};
        std::memset(s.byMotionMask, 1, sizeof s.byMotionMask);
        s.nMotionRecordTime = 15;
        s.byMotionSmart = 0;
        std::strcpy(g_Settings.System.sSnapshotPath, "C:\\snap");
        g_Settings.System.bySnapshotQuality = 5;
        std::filesystem::create_directories("snap");
        ASSERT_EQ(SaveChannelIni(), 1);
        ASSERT_EQ(SaveRecordIni(1), 1);

        m_state = std::make_unique<CMainDialogState>();
        m_state->SetEventLog(&m_log);
        m_state->SetWorkers(&m_workers);
        m_state->hooks.setTimer = [](unsigned id, unsigned) { return id; };
        m_state->hooks.killTimer = [](unsigned) {};
        m_state->m_LoginServer.port = 0;
        m_state->m_LoginServer.bindIp = 0x7F000001;
        ASSERT_TRUE(m_state->RunStartup());
        m_state->OnTimer(IDT_STARTUP);
        ASSERT_TRUE(Channel().IsLocal());
    }

    CAVChannel& Channel() { return *g_pAVChannel[0].load(); }

    // One second of the heartbeat with a picture at every tick; the clock
    // moves on a second, so each second may take a snapshot.
    void OneSecond() {
        for (int tick = 0; tick < PAL_TICKS_PER_SECOND; ++tick) {
            ASSERT_EQ(PushPictures(0, 1), 1);
            const uint64_t before = GetDrawVideoPassCount();
            ASSERT_TRUE(m_timer.Fire(m_state->m_nPalTimer, 1));
            ASSERT_TRUE(WaitUntil([&] { return GetDrawVideoPassCount() > before; }));
        }
        m_now = MakeLocalTime(m_now.year, m_now.month, m_now.day, m_now.hour, m_now.minute,
                              m_now.second + 1);
        m_state->OnTimer(IDT_SCHEDULE);
    }

    LocalTime m_now = MakeLocalTime(2006, 5, 25, 9, 5, 3);
    TempWorkDir m_dir;
    BoxRecorder m_boxes;
    CManualTimer m_timer;
    EngineTestServices m_services{m_timer};
    RecordingEventLog m_log;
    RecordingPoster m_window;
    CAlertSink m_sink;
    CAlertWorkers m_workers{&m_log};
    std::unique_ptr<CMainDialogState> m_state;
};

void Click(CWnd& dlg, int id) {
    auto* button = qobject_cast<QAbstractButton*>(ControlWidget(dlg, id));
    ASSERT_NE(button, nullptr) << id;
    button->click();
}

void Retype(CWnd& dlg, int id, const std::string& text) {
    auto* edit = qobject_cast<QLineEdit*>(ControlWidget(dlg, id));
    ASSERT_NE(edit, nullptr) << id;
    edit->selectAll();
    edit->del();
    TypeText(edit, QString::fromStdString(text));
}

bool Contains(const std::string& haystack, const std::string& needle) {
    return haystack.find(needle) != std::string::npos;
}

bool Logged(const RecordingEventLog& log, const std::string& start) {
    for (const auto& line : log.lines()) {
        if (line.text.rfind(start, 0) == 0) {
            return true;
        }
    }
    return false;
}

TEST_F(AlertSetupEngineTest, SavedAlertsMailAndUploadTheSnapshotsOfAMotionAlarm) {
    const std::string mailDir = m_dir.path() + "/mail";
    const std::string ftpRoot = m_dir.path() + "/root";
    std::filesystem::create_directories(mailDir);
    std::filesystem::create_directories(ftpRoot + "/in");
    ServerProcess smtp({"smtp", mailDir});
    ServerProcess ftp({"ftp", ftpRoot});
    ASSERT_NE(smtp.port(), 0);
    ASSERT_NE(ftp.port(), 0);
    Start();

    // The motion dialog's "Email and Ftp Alerts" button runs this.
    QTimer::singleShot(0, [&] {
        CWnd* dlg = WndFromWidget(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->GetWindowText(), "Email and Ftp Alerts Setup");
        Click(*dlg, IDC_ENABLE_EMAIL_ALERT);
        Retype(*dlg, IDC_SMTP_SERVER, "127.0.0.1");
        Retype(*dlg, IDC_SMTP_PORT, std::to_string(smtp.port()));
        Retype(*dlg, IDC_MAIL_FROM, "cam@example.com");
        Retype(*dlg, IDC_MAIL_TO, "guard@example.com");
        Retype(*dlg, IDC_MAIL_SUBJECT, "Motion");
        qobject_cast<QComboBox*>(ControlWidget(*dlg, IDC_ATTACH_IMAGE_NUMBER))->setCurrentIndex(2);
        Click(*dlg, IDC_ENABLE_FTP_ALERT);
        Retype(*dlg, IDC_FTP_SERVER, "127.0.0.1");
        Retype(*dlg, IDC_FTP_PORT, std::to_string(ftp.port()));
        Retype(*dlg, IDC_FTP_DIRECTORY, "in");
        Click(*dlg, IDC_FTP_PASSIVE);
        Click(*dlg, IDC_ALERT_SAVE);
        Click(*dlg, IDOK);
    });
    ASSERT_EQ(RunAlertSetupDialog(nullptr), IDOK);
    m_state->OnSaveSettings();  // the main window's answer to WM_SAVE_SETTINGS

    // The settings file holds the saved alerts.
    const AlertBlock saved = g_Settings.Alert;
    EXPECT_EQ(saved.bEmailAlert, 1);
    EXPECT_EQ(saved.bFtpAlert, 1);
    g_Settings.Alert = AlertBlock{};
    ASSERT_EQ(LoadSettingsFile(), 1);
    EXPECT_EQ(std::memcmp(&g_Settings.Alert, &saved, sizeof saved), 0);

    // The alarm starts after the motion history has filled.
    m_state->OnTimer(IDT_SCHEDULE);
    for (int second = 0; second < 20; ++second) {
        OneSecond();
        if (std::filesystem::exists(mailDir + "/mail-1.txt") &&
            !ListFiles(ftpRoot + "/in", "Ch01_", ".jpg").empty()) {
            break;
        }
    }
    EXPECT_TRUE(Logged(m_log, "Ch01 start video motion alarm record!"));
    ASSERT_TRUE(WaitForFile(mailDir + "/mail-1.txt", 10000));
    const std::string mail = ReadWholeFile(mailDir + "/mail-1.txt");
    EXPECT_TRUE(Contains(mail, "header:Subject=Motion(Channel 1 Video Motion Alert)\n")) << mail;
    EXPECT_TRUE(Contains(mail, "attachments=2\n")) << mail;
    EXPECT_TRUE(Contains(mail, "attachment:0:filename=Ch01_2006_05_25__09_05_")) << mail;
    EXPECT_TRUE(Contains(mail, "attachment:1:filename=Ch01_2006_05_25__09_05_")) << mail;

    const std::vector<std::string> uploaded = ListFiles(ftpRoot + "/in", "Ch01_", ".jpg");
    ASSERT_FALSE(uploaded.empty());
    EXPECT_EQ(ReadWholeFile(ftpRoot + "/in/" + uploaded[0]), ReadWholeFile("snap/" + uploaded[0]));
    ASSERT_TRUE(WaitUntil([&] { return Logged(m_log, "Ch01 send alert email OK!"); }));
    EXPECT_TRUE(Logged(m_log, "Ch01 ftp upload image:C:\\snap\\Ch01_2006_05_25__09_05_"));
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(AlertSetupEngineTest, TheLogfileButtonOpensTheLogViewerOverTheRecordersLog) {
    Start();
    // This run's log in the recorder's own file, as the program writes it.
    m_state->SetEventLog(nullptr);
    m_state->WriteLogEntry(LOGTYPE_SYSTEM, 0, "Logged by the recorder");
    CSetupDialogRunner runner(nullptr);
    m_state->SetSetupDialogRunner(&runner);
    std::vector<std::string> lines;
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = dynamic_cast<CLogFileDialog*>(WndFromWidget(QApplication::activeModalWidget()));
        ASSERT_NE(dlg, nullptr);
        shown = dlg->GetWindowText() == "Log File";
        Click(*dlg, IDC_LOG_SEARCH);
        for (int i = 0; i < dlg->m_ListLog.GetCount(); ++i) {
            CString text;
            dlg->m_ListLog.GetText(i, text);
            lines.push_back(text.Str());
        }
        Click(*dlg, IDOK);
    });
    m_state->OnLogFile();  // the Logfile button's handler
    EXPECT_TRUE(shown);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "2006-05-25 09:05:03  Logged by the recorder");
}

}  // namespace
