#include "alerts/alert_jobs.h"

#include <gtest/gtest.h>

#include <string>

#include "alerts/alert_actions.h"
#include "alerts/alert_fakes.h"
#include "alerts/alert_job_tables.h"
#include "alerts/alert_sink.h"
#include "platform/threads/thread_messages.h"
#include "settings/log_entry.h"
#include "settings/settings.h"

namespace {

std::string Path(int i) {
    return "C:\\snap\\p" + std::to_string(i) + ".jpg";
}

TEST(EmailAlertJobTest, HoldsTenPathsInArrivalOrder) {
    CEmailAlertJob job(5);
    EXPECT_EQ(job.byChannel, 5);
    EXPECT_EQ(job.GetImageCount(), 0);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(job.AddImage(Path(i)), 1);
    }
    EXPECT_EQ(job.AddImage(Path(10)), 0);
    EXPECT_EQ(job.GetImageCount(), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(job.sImage[i], Path(i));
    }
}

TEST(FtpAlertJobTest, TakesTheNewestPendingPathFirstFromARingOfThree) {
    CFtpAlertJob job(2);
    EXPECT_EQ(job.byTick, 100);
    std::string out = "untouched";
    EXPECT_EQ(job.TakeNewestImage(&out), 0);
    EXPECT_EQ(out, "untouched");

    for (int i = 1; i <= 4; ++i) {  // the fourth overwrites the first
        job.AddImage(Path(i));
    }
    EXPECT_EQ(job.GetPendingCount(), 3);
    for (int expected : {4, 3, 2}) {
        ASSERT_EQ(job.TakeNewestImage(&out), 1);
        EXPECT_EQ(out, Path(expected));
    }
    EXPECT_EQ(job.GetPendingCount(), 0);
    EXPECT_EQ(job.TakeNewestImage(&out), 0);

    // After some were taken, a newer one still comes first and the older
    // pending one after it.
    job.AddImage(Path(5));
    job.AddImage(Path(6));
    ASSERT_EQ(job.TakeNewestImage(&out), 1);
    EXPECT_EQ(out, Path(6));
    job.AddImage(Path(7));
    ASSERT_EQ(job.TakeNewestImage(&out), 1);
    EXPECT_EQ(out, Path(7));
    ASSERT_EQ(job.TakeNewestImage(&out), 1);
    EXPECT_EQ(out, Path(5));
    for (const std::string& s : job.sImage) {
        EXPECT_EQ(s, "");
    }
}

class AlertTablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDefaultAlertBlock(g_Settings.Alert);
        g_Settings.Alert.bEmailAlert = 1;
        g_Settings.Alert.bFtpAlert = 1;
        g_nChannelCount = 3;
        for (int c = 0; c < 3; ++c) {
            g_EmailJobTable.Store(c, new CEmailAlertJob(static_cast<std::uint8_t>(c)));
            g_FtpJobTable.Store(c, new CFtpAlertJob(static_cast<std::uint8_t>(c)));
        }
    }
    void TearDown() override {
        FreeAlertJobs();
        g_nChannelCount = 0;
        SetAlertTransport(nullptr);
    }
};

TEST_F(AlertTablesTest, SnapshotGoesToTheJobsOfItsChannelWhileThatAlertIsOn) {
    CAlertSink sink;  // the channels' way in
    static_cast<IAlertSink&>(sink).AddAlertSnapshot(1, "C:\\snap\\a.jpg");
    EXPECT_EQ(g_pEmailAlertJobs[1]->GetImageCount(), 1);
    EXPECT_EQ(g_pFtpAlertJobs[1]->GetPendingCount(), 1);
    EXPECT_EQ(g_pEmailAlertJobs[0]->GetImageCount(), 0);

    g_Settings.Alert.bEmailAlert = 0;
    AddAlertSnapshot(1, "C:\\snap\\b.jpg");
    EXPECT_EQ(g_pEmailAlertJobs[1]->GetImageCount(), 1);
    EXPECT_EQ(g_pFtpAlertJobs[1]->GetPendingCount(), 2);
    g_Settings.Alert.bEmailAlert = 1;
    g_Settings.Alert.bFtpAlert = 0;
    AddAlertSnapshot(1, "C:\\snap\\c.jpg");
    EXPECT_EQ(g_pEmailAlertJobs[1]->GetImageCount(), 2);
    EXPECT_EQ(g_pFtpAlertJobs[1]->GetPendingCount(), 2);

    // A channel without a job, outside the run, or a path that is no
    // snapshot path changes nothing.
    g_EmailJobTable.Delete(2);
    AddAlertSnapshot(2, "C:\\snap\\d.jpg");
    for (int bad : {3, 15, 16, 200, -1}) {
        AddAlertSnapshot(bad, "C:\\snap\\e.jpg");
    }
    AddAlertSnapshot(0, nullptr);
    AddAlertSnapshot(0, std::string(MAX_ALERT_PATH_CHARS + 1, 'x').c_str());
    EXPECT_EQ(g_pEmailAlertJobs[0]->GetImageCount(), 0);
    AddAlertSnapshot(0, std::string(MAX_ALERT_PATH_CHARS, 'x').c_str());
    EXPECT_EQ(g_pEmailAlertJobs[0]->GetImageCount(), 1);
}

TEST_F(AlertTablesTest, FreeAlertJobsEmptiesBothTables) {
    FreeAlertJobs();
    for (int c = 0; c < MAX_AV_CHANNELS; ++c) {
        EXPECT_EQ(g_pEmailAlertJobs[c], nullptr);
        EXPECT_EQ(g_pFtpAlertJobs[c], nullptr);
    }
}

TEST_F(AlertTablesTest, UploadTakesTheFileNameAsRemoteName) {
    FakeAlertTransport transport;
    RecordingLog log;
    SetAlertTransport(&transport);
    FtpSession* session = transport.OpenFtpSession("h", 21, "", "", "", false, "", nullptr);

    const std::string path29 = "C:\\Ch01_2026_12_10__09_25.jpg";  // 29 characters
    const std::string path30 = "C:\\xCh01_2026_12_10__09_25.jpg";
    ASSERT_EQ(path29.size(), 29u);
    struct Case {
        std::string path;
        std::string remote;
    };
    const Case cases[] = {
        {path29, path29},
        {path30, path30.substr(1)},
        {"C:\\snap\\Ch02_2026_12_10__09_25_49.jpg", "Ch02_2026_12_10__09_25_49.jpg"},
        {"a.jpg", "a.jpg"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UploadAlertImage(session, 1, c.path, &log), 1);
        EXPECT_EQ(transport.Puts().back().localPath, c.path);
        EXPECT_EQ(transport.Puts().back().remoteName, c.remote);
        EXPECT_EQ(log.Lines().back().text, "Ch02 ftp upload image:" + c.path + " OK!");
    }
    EXPECT_EQ(UploadAlertImage(nullptr, 1, path29, &log), 0);
    EXPECT_EQ(log.Lines().size(), 4u);
    EXPECT_EQ(transport.Puts().size(), 4u);
    EXPECT_EQ(SendAlertEmail(1, nullptr, &log), 0);
    EXPECT_EQ(log.Lines().size(), 4u);
    transport.CloseFtpSession(session);
}

TEST(RaiseMotionAlertTest, PostsToTheThreadsWhoseAlertIsOn) {
    SetDefaultAlertBlock(g_Settings.Alert);
    g_nChannelCount = 4;
    // This thread plays both alert threads.
    const ThreadId self = RegisterThreadQueue();
    g_dwSendEmailThreadId = self;
    g_dwFtpUploadThreadId = self;
    struct Case {
        std::uint8_t email, ftp;
        int channel;
        std::vector<unsigned> posted;
    };
    const Case cases[] = {
        {1, 1, 3, {WM_ALERT_EMAIL, WM_ALERT_FTP}},
        {1, 0, 0, {WM_ALERT_EMAIL}},
        {0, 1, 2, {WM_ALERT_FTP}},
        {0, 0, 1, {}},
        {1, 1, 4, {}},
        {1, 1, -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.channel);
        g_Settings.Alert.bEmailAlert = c.email;
        g_Settings.Alert.bFtpAlert = c.ftp;
        CAlertSink sink;
        static_cast<IAlertSink&>(sink).RaiseMotionAlert(c.channel);
        std::vector<unsigned> posted;
        ThreadMessage msg;
        while (PeekMessage(&msg)) {
            posted.push_back(msg.message);
            EXPECT_EQ(msg.wParam, static_cast<WPARAM>(c.channel));
            EXPECT_EQ(msg.lParam, 0);
        }
        EXPECT_EQ(posted, c.posted);
    }
    g_dwSendEmailThreadId = 0;
    g_dwFtpUploadThreadId = 0;
    UnregisterThreadQueue();
    g_nChannelCount = 0;
}

}  // namespace
