// The alert threads over the real mail sender and FTP session, against the
// loopback servers.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>

#include "alerts/alert_fakes.h"
#include "alerts/alert_job_tables.h"
#include "alerts/alert_thread_fixture.h"
#include "alerts/ftp_upload_thread.h"
#include "alerts/send_email_thread.h"
#include "alerts/server_process.h"
#include "platform/threads/thread_messages.h"
#include "settings/settings.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string PictureBytes(int seed) {
    std::string bytes = "\xff\xd8\xff\xe0";
    for (int i = 0; i < 5000; ++i) {
        bytes += static_cast<char>((i * 11 + seed) & 0xFF);
    }
    return bytes + "\r\n.\r\n\xff\xd9";
}

std::map<std::string, std::string> ReadSummary(const std::string& path) {
    std::map<std::string, std::string> summary;
    std::istringstream in(ReadWholeFile(path));
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos) {
            summary[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return summary;
}

class AlertThreadsNetTest : public AlertThreadPosting {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_.path() + "/snap");
        std::filesystem::create_directories(dir_.path() + "/mail");
        std::filesystem::create_directories(Root() + "/alerts/in");
        for (int i = 0; i < 4; ++i) {
            WriteWholeFile(NativeSnapshot(0, i), PictureBytes(i));
        }
        SetDefaultAlertBlock(g_Settings.Alert);
        g_Settings.Alert.bEmailAlert = 1;
        g_Settings.Alert.bFtpAlert = 1;
        std::strcpy(g_Settings.Alert.sSmtpServer, "127.0.0.1");
        std::strcpy(g_Settings.Alert.sMailFrom, "alarm@cam.example");
        std::strcpy(g_Settings.Alert.sMailTo, "ops@example.org");
        std::strcpy(g_Settings.Alert.sMailSubject, "Gate");
        std::strcpy(g_Settings.Alert.sFtpServer, "127.0.0.1");
        std::strcpy(g_Settings.Alert.sFtpUser, "cam");
        std::strcpy(g_Settings.Alert.sFtpPassword, "pw");
        std::strcpy(g_Settings.Alert.sFtpDirectory, "alerts/in");
        g_nChannelCount = 2;
        channels_.SetAnswering(0, true);
        channels_.SetAlarm(0, true);
        SetAlertChannels(&channels_);
    }

    void TearDown() override {
        StopSendEmailThread();
        StopFtpUploadThread();
        FreeAlertJobs();
        SetAlertChannels(nullptr);
        g_nChannelCount = 0;
    }

    std::string Root() const { return dir_.path() + "/root"; }
    std::string MailDir() const { return dir_.path() + "/mail"; }
    std::string NativeSnapshot(int channel, int n) const {
        return dir_.path() + "/snap/" + FakeAlertChannels::SnapshotPath(channel, n).substr(8);
    }

    TempWorkDir dir_;
    FakeAlertChannels channels_;
    RecordingLog log_;
};

TEST_F(AlertThreadsNetTest, AlertMailArrivesWithItsSnapshots) {
    ServerProcess server({"smtp", MailDir(), "alarmuser", "s3cret"});
    ASSERT_NE(server.port(), 0);
    g_Settings.Alert.nSmtpPort = static_cast<std::uint16_t>(server.port());
    g_Settings.Alert.bSmtpLogin = 1;
    std::strcpy(g_Settings.Alert.sSmtpUser, "alarmuser");
    std::strcpy(g_Settings.Alert.sSmtpPassword, "s3cret");
    g_Settings.Alert.byAttachImageNum = 2;
    ASSERT_TRUE(StartSendEmailThread(&log_));

    Email(WM_ALERT_EMAIL, 0);
    Email(WM_SECOND_TICK);  // one snapshot held: ask for the second
    Email(WM_SECOND_TICK);  // two held: the mail goes out

    ASSERT_EQ(log_.Lines().size(), 1u);
    EXPECT_EQ(log_.Lines()[0].text, "Ch01 send alert email OK!");
    auto s = ReadSummary(MailDir() + "/mail-1.txt");
    EXPECT_EQ(s["header:Subject"], "Gate(Channel 1 Video Motion Alert)");
    EXPECT_EQ(s["envelope_rcpt"], "ops@example.org");
    ASSERT_EQ(s["attachments"], "2");
    for (int i = 0; i < 2; ++i) {
        const std::string key = "attachment:" + std::to_string(i) + ":";
        EXPECT_EQ(s[key + "filename"], FakeAlertChannels::SnapshotPath(0, i).substr(8));
        EXPECT_EQ(ReadWholeFile(MailDir() + "/mail-1-att-" + std::to_string(i) + ".bin"),
                  PictureBytes(i));
    }

    // A refused login is logged with the sender's error text.
    std::strcpy(g_Settings.Alert.sSmtpPassword, "wrong");
    g_Settings.Alert.byAttachImageNum = 0;
    Email(WM_ALERT_EMAIL, 1);
    Email(WM_SECOND_TICK);
    ASSERT_EQ(log_.Lines().size(), 2u);
    EXPECT_EQ(log_.Lines()[1].channel, 1);
    EXPECT_EQ(
        log_.Lines()[1].text.rfind("Ch02 send alert email failed! Error info: Login denied", 0), 0u)
        << log_.Lines()[1].text;
}

TEST_F(AlertThreadsNetTest, SnapshotsArriveByFtpWhileTheAlarmLasts) {
    for (bool passive : {true, false}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        std::filesystem::remove_all(Root() + "/alerts/in");
        std::filesystem::create_directories(Root() + "/alerts/in");
        ServerProcess server({"ftp", Root(), "cam", "pw"});
        ASSERT_NE(server.port(), 0);
        g_Settings.Alert.nFtpPort = static_cast<std::uint16_t>(server.port());
        g_Settings.Alert.bFtpPassive = passive ? 1 : 0;
        g_Settings.Alert.byFtpGap = 1;
        RecordingLog log;
        FakeAlertChannels channels;
        channels.SetAnswering(0, true);
        channels.SetAlarm(0, true);
        SetAlertChannels(&channels);
        ASSERT_TRUE(StartFtpUploadThread(&log));
        ftpPosted_ = 0;

        Ftp(WM_ALERT_FTP, 0);
        Ftp(WM_SECOND_TICK);
        Ftp(WM_SECOND_TICK);
        channels.SetAlarm(0, false);
        Ftp(WM_SECOND_TICK);
        Ftp(WM_SECOND_TICK);

        const auto lines = log.Lines();
        ASSERT_EQ(lines.size(), 2u);
        for (int i = 0; i < 2; ++i) {
            const std::string path = FakeAlertChannels::SnapshotPath(0, i);
            EXPECT_EQ(lines[i].text, "Ch01 ftp upload image:" + path + " OK!");
            EXPECT_EQ(ReadWholeFile(Root() + "/alerts/in/" + path.substr(8)), PictureBytes(i));
        }
        EXPECT_TRUE(StopFtpUploadThread());
        SetAlertChannels(&channels_);
    }
}

TEST_F(AlertThreadsNetTest, RefusedFtpLoginIsLogged) {
    ServerProcess server({"ftp", Root(), "cam", "other"});
    ASSERT_NE(server.port(), 0);
    g_Settings.Alert.nFtpPort = static_cast<std::uint16_t>(server.port());
    ASSERT_TRUE(StartFtpUploadThread(&log_));
    Ftp(WM_ALERT_FTP, 0);
    ASSERT_EQ(log_.Lines().size(), 1u);
    EXPECT_EQ(log_.Lines()[0].channel, 0);
    EXPECT_EQ(log_.Lines()[0].text, "Login ftp failed!!! (Login 127.0.0.1 Failed!)");
}

// Both servers accept and never answer while a mail and a session opening
// are under way: the exit still ends at once and frees the jobs after both
// threads have ended.
TEST_F(AlertThreadsNetTest, ExitWithBothServersSilentEndsWithinTenSeconds) {
    ServerProcess silent({"silent"});
    ASSERT_NE(silent.port(), 0);
    g_Settings.Alert.nSmtpPort = static_cast<std::uint16_t>(silent.port());
    g_Settings.Alert.nFtpPort = static_cast<std::uint16_t>(silent.port());
    ASSERT_TRUE(StartSendEmailThread(&log_));
    ASSERT_TRUE(StartFtpUploadThread(&log_));
    Email(WM_ALERT_EMAIL, 0);
    Email(WM_ALERT_EMAIL, 1);
    ASSERT_TRUE(PostThreadMessage(g_dwSendEmailThreadId.load(), WM_SECOND_TICK, 0, 0));
    ASSERT_TRUE(PostThreadMessage(g_dwFtpUploadThreadId.load(), WM_ALERT_FTP, 0, 0));
    ASSERT_TRUE(PostThreadMessage(g_dwFtpUploadThreadId.load(), WM_ALERT_FTP, 1, 0));
    // Let both threads get into their calls.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(GetSendEmailHandledCount(), emailPosted_);
    EXPECT_EQ(GetFtpUploadHandledCount(), 0u);

    const auto start = Clock::now();
    StopSendEmailThread();
    StopFtpUploadThread();
    FreeAlertJobs();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(g_hSendEmailThread.load(), nullptr);
    EXPECT_EQ(g_hFtpUploadThread.load(), nullptr);
}

}  // namespace
