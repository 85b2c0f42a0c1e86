// The alert dialog and the log viewer in the running recorder. Alerts
// switched on and saved in the dialog, opened from the motion dialog's
// "Email and Ftp Alerts", reach the settings file through the main
// window's WM_SAVE_SETTINGS, and a motion alarm on a synthetic channel then
// sends a mail with snapshots to a loopback SMTP server and uploads them to
// a loopback FTP server. The Logfile button's path opens the log viewer
// over the recorder's own log.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "alerts/alert_sink.h"
#include "alerts/server_process.h"
#include "channel/channel_fakes.h"
#include "dialog_input.h"
#include "dialogs/log_file_dialog.h"
#include "dialogs/motion_setup_dialog.h"
#include "mainwnd/alert_workers.h"
#include "mainwnd/heartbeat.h"
#include "platform/display/display_device.h"
#include "res/alert_setup_ids.h"
#include "res/log_file_ids.h"
#include "res/motion_setup_ids.h"
#include "settings/log_entry.h"
#include "setup_engine_fixture.h"
#include "support/modal_step.h"

using namespace engine_test;

namespace {

class AlertSetupEngineTest : public SetupDialogEngineTest {
protected:
    void SetUp() override {
        SetupDialogEngineTest::SetUp();
        SetDefaultDisplayDevice(std::make_shared<DisplayDevice>());
        SetAlertSink(&m_sink);
        m_pWorkers = &m_workers;
    }
    void TearDown() override {
        SetupDialogEngineTest::TearDown();
        SetAlertSink(nullptr);
        SetDefaultDisplayDevice(nullptr);
    }

    // Channel 1 detects motion all day over the whole picture; its
    // snapshots go to C:\snap.
    void WatchForMotion() {
        ScheduleEntry& s = g_Settings.Schedule[0];
        s.byMotionRecord[0] = 1;
        s.MotionTimes[0] = ScheduleTimes{0, 0, 23, 59, 0, 0, 23, 59};
        std::memset(s.byMotionMask, 1, sizeof s.byMotionMask);
        s.nMotionRecordTime = 15;
        s.byMotionSmart = 0;
        std::strcpy(g_Settings.System.sSnapshotPath, "C:\\snap");
        g_Settings.System.bySnapshotQuality = 5;
        std::filesystem::create_directories("snap");
    }

    // One second of the heartbeat with a picture at every tick; the clock
    // moves on a second, so each second may take a snapshot.
    void OneSecond() {
        Pictures(PAL_TICKS_PER_SECOND);
        m_now = MakeLocalTime(m_now.year, m_now.month, m_now.day, m_now.hour, m_now.minute,
                              m_now.second + 1);
        m_state->OnTimer(IDT_SCHEDULE);
    }

    CAlertSink m_sink;
    CAlertWorkers m_workers{&m_log};
    WindowPoster m_window{[this] {
        if (m_state) {
            m_state->OnSaveSettings();
        }
    }};
};

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

// The file name in the first line "<prefix><name> OK!"; empty for none.
std::string UploadedName(const RecordingEventLog& log, const std::string& prefix) {
    const std::string ok = " OK!";
    for (const auto& line : log.lines()) {
        const std::string& text = line.text;
        if (text.rfind(prefix, 0) == 0 && text.size() > prefix.size() + ok.size() &&
            text.compare(text.size() - ok.size(), ok.size(), ok) == 0) {
            return text.substr(prefix.size(), text.size() - prefix.size() - ok.size());
        }
    }
    return {};
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
    WatchForMotion();
    Start();

    // Motion, then its "Email and Ftp Alerts": switched on, filled in,
    // saved; the motion dialog itself is left unsaved.
    bool alertShown = false;
    ActOnNextModal([&](CWnd& motion) {
        ASSERT_NE(dynamic_cast<CMotionSetupDialog*>(&motion), nullptr);
        ActOnNextModal([&](CWnd& dlg) {
            alertShown = dlg.GetWindowText() == "Email and Ftp Alerts Setup";
            Click(dlg, IDC_ENABLE_EMAIL_ALERT);
            Retype(dlg, IDC_SMTP_SERVER, "127.0.0.1");
            Retype(dlg, IDC_SMTP_PORT, QString::number(smtp.port()));
            Retype(dlg, IDC_MAIL_FROM, "cam@example.com");
            Retype(dlg, IDC_MAIL_TO, "guard@example.com");
            Retype(dlg, IDC_MAIL_SUBJECT, "Motion");
            qobject_cast<QComboBox*>(ControlWidget(dlg, IDC_ATTACH_IMAGE_NUMBER))
                ->setCurrentIndex(2);
            Click(dlg, IDC_ENABLE_FTP_ALERT);
            Retype(dlg, IDC_FTP_SERVER, "127.0.0.1");
            Retype(dlg, IDC_FTP_PORT, QString::number(ftp.port()));
            Retype(dlg, IDC_FTP_DIRECTORY, "in");
            Click(dlg, IDC_FTP_PASSIVE);
            Click(dlg, IDC_ALERT_SAVE);
            Click(dlg, IDOK);
        });
        Click(motion, IDC_ALERT_SETUP);
        QCoreApplication::processEvents();  // the main window's turn
        Click(motion, IDOK);
    });
    m_state->OnMotionSetup();
    EXPECT_TRUE(alertShown);

    // The settings file holds the saved alerts.
    const AlertBlock saved = g_Settings.Alert;
    EXPECT_EQ(saved.bEmailAlert, 1);
    EXPECT_EQ(saved.bFtpAlert, 1);
    g_Settings.Alert = AlertBlock{};
    ASSERT_EQ(LoadSettingsFile(), 1);
    EXPECT_EQ(std::memcmp(&g_Settings.Alert, &saved, sizeof saved), 0);

    // The alarm starts after the motion history has filled. An upload is
    // whole on the server only once its line is logged.
    const std::string uploadedLine = "Ch01 ftp upload image:C:\\snap\\Ch01_2006_05_25__09_05_";
    m_state->OnTimer(IDT_SCHEDULE);
    for (int second = 0; second < 20; ++second) {
        OneSecond();
        if (std::filesystem::exists(mailDir + "/mail-1.txt") && Logged(m_log, uploadedLine)) {
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

    // The newest snapshot goes first, and the next may still be on its way:
    // the file compared is the one whose upload was logged.
    ASSERT_TRUE(WaitUntil([&] { return Logged(m_log, uploadedLine); }));
    const std::string uploaded = UploadedName(m_log, "Ch01 ftp upload image:C:\\snap\\");
    ASSERT_FALSE(uploaded.empty());
    EXPECT_EQ(ReadWholeFile(ftpRoot + "/in/" + uploaded), ReadWholeFile("snap/" + uploaded));
    ASSERT_TRUE(WaitUntil([&] { return Logged(m_log, "Ch01 send alert email OK!"); }));
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(AlertSetupEngineTest, TheLogfileButtonOpensTheLogViewerOverTheRecordersLog) {
    Start();
    // This run's log in the recorder's own file, as the program writes it.
    m_state->SetEventLog(nullptr);
    m_state->WriteLogEntry(LOGTYPE_SYSTEM, 0, "Logged by the recorder");
    std::vector<std::string> lines;
    bool shown = false;
    ActOnNextModal([&](CWnd& wnd) {
        auto* dlg = dynamic_cast<CLogFileDialog*>(&wnd);
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
