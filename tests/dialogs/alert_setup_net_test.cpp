// The alert dialog's two tests against real servers on loopback (aiosmtpd
// and pyftpdlib): the test mail arrives with "Quorvalind.jpg" attached, the
// upload arrives unchanged, and each result and error text shows for a
// wrong password, a refused port, a missing folder, a missing picture and a
// server that accepts and never answers (the alert layer's time limits end
// the wait on the user-interface thread).

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "alerts/mail_sender.h"
#include "alerts/server_process.h"
#include "dialog_test_resources.h"
#include "dialogs/alert_setup_dialog.h"
#include "engine_test_support.h"
#include "platform/msgbox/message_box.h"
#include "res/alert_setup_ids.h"
#include "support/modal_step.h"
#include "support/qt_app.h"
#include "support/refusing_port.h"
#include "support/ui_input.h"

namespace {

template <std::size_t N>
void Put(char (&field)[N], const std::string& text) {
    std::memset(field, 0, N);
    std::strncpy(field, text.c_str(), N - 1);
}

struct Outcome {
    std::string caption;  // the dialog's, after the test
    std::vector<MessageBoxRequest> boxes;
};

class AlertSetupNetTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        SetResourceProvider(&m_resources);
        g_Settings = Settings{};
        std::filesystem::create_directories(m_dir.path() + "/mail");
        std::filesystem::create_directories(FtpRoot() + "/in");
        m_picture = ReadWholeFile(QV_TEST_PICTURE);
        ASSERT_FALSE(m_picture.empty());
        WriteWholeFile(m_dir.path() + "/Quorvalind.jpg", m_picture);
    }
    void TearDown() override { SetResourceProvider(nullptr); }

    std::string MailDir() const { return m_dir.path() + "/mail"; }
    std::string FtpRoot() const { return m_dir.path() + "/root"; }

    void MailSettings(int port, const std::string& password) {
        AlertBlock& a = g_Settings.Alert;
        a.bEmailAlert = 1;
        Put(a.sSmtpServer, "127.0.0.1");
        a.nSmtpPort = static_cast<std::uint16_t>(port);
        a.bSmtpLogin = 1;
        Put(a.sSmtpUser, "cam");
        Put(a.sSmtpPassword, password);
        Put(a.sMailFrom, "cam@example.com");
        Put(a.sMailTo, "guard@example.com");
        Put(a.sMailSubject, "Test");
        Put(a.sMailMessage, "A test mail");
    }

    void FtpSettings(int port, const std::string& password, const std::string& directory) {
        AlertBlock& a = g_Settings.Alert;
        a.bFtpAlert = 1;
        Put(a.sFtpServer, "127.0.0.1");
        a.nFtpPort = static_cast<std::uint16_t>(port);
        Put(a.sFtpUser, "up");
        Put(a.sFtpPassword, password);
        Put(a.sFtpDirectory, directory);
        a.bFtpPassive = 1;
    }

    // Opens the dialog, presses the test button and closes it again.
    Outcome Press(int button) {
        engine_test::BoxRecorder boxes;
        Outcome out;
        CAlertSetupDialog dlg;
        RunModalWith(dlg, [&] {
            qobject_cast<QAbstractButton*>(ControlWidget(dlg, button))->click();
            out.caption = dlg.GetWindowText();
            dlg.EndDialog(IDCANCEL);
        });
        out.boxes = boxes.Boxes();
        return out;
    }

    TempWorkDir m_dir;
    DialogTestResources m_resources;
    std::string m_picture;
};

TEST_F(AlertSetupNetTest, TheTestMailArrivesWithThePicture) {
    ServerProcess smtp({"smtp", MailDir(), "cam", "pw"});
    ASSERT_NE(smtp.port(), 0);
    MailSettings(smtp.port(), "pw");
    const Outcome out = Press(IDC_SEND_TEST_MAIL);
    ASSERT_EQ(out.boxes.size(), 1u);
    EXPECT_EQ(out.boxes[0].text, "Send email OK!");
    EXPECT_EQ(out.boxes[0].caption, "Send email OK!");

    ASSERT_TRUE(WaitForFile(MailDir() + "/mail-1.txt", 5000));
    const std::string summary = ReadWholeFile(MailDir() + "/mail-1.txt");
    EXPECT_NE(summary.find("envelope_rcpt=guard@example.com\n"), std::string::npos) << summary;
    EXPECT_NE(summary.find("header:Subject=Test\n"), std::string::npos) << summary;
    EXPECT_NE(summary.find("attachments=1\n"), std::string::npos) << summary;
    EXPECT_NE(summary.find("attachment:0:filename=Quorvalind.jpg\n"), std::string::npos);
    EXPECT_NE(summary.find("attachment:0:type=image/jpeg\n"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(MailDir() + "/mail-1-att-0.bin"), m_picture);
}

TEST_F(AlertSetupNetTest, AFailedTestMailShowsTheSendersError) {
    ServerProcess smtp({"smtp", MailDir(), "cam", "pw"});
    ASSERT_NE(smtp.port(), 0);
    struct Case {
        const char* name;
        int port;
        const char* password;
        bool picture;
        const char* reason;  // in the error text
    };
    const RefusingLoopbackPort refusing;
    ASSERT_NE(refusing.port(), 0);
    const Case cases[] = {
        {"wrong password", smtp.port(), "wrong", true, "Login denied"},
        {"refused port", refusing.port(), "pw", true, "Couldn't connect"},
        {"no picture", smtp.port(), "pw", false, "Cannot read attachment"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(m_dir.path() + "/Quorvalind.jpg");
        if (c.picture) {
            WriteWholeFile(m_dir.path() + "/Quorvalind.jpg", m_picture);
        }
        MailSettings(c.port, c.password);
        const Outcome out = Press(IDC_SEND_TEST_MAIL);
        ASSERT_EQ(out.boxes.size(), 1u);
        EXPECT_EQ(out.boxes[0].caption, "Send email failed!");
        EXPECT_EQ(out.boxes[0].text, GetLastMailError());
        EXPECT_EQ(out.boxes[0].text.rfind("Error info: ", 0), 0u) << out.boxes[0].text;
        EXPECT_NE(out.boxes[0].text.find(c.reason), std::string::npos) << out.boxes[0].text;
    }
    EXPECT_FALSE(std::filesystem::exists(MailDir() + "/mail-1.txt"));
}

TEST_F(AlertSetupNetTest, TheTestUploadArrivesUnchanged) {
    ServerProcess ftp({"ftp", FtpRoot(), "up", "load"});
    ASSERT_NE(ftp.port(), 0);
    FtpSettings(ftp.port(), "load", "in");
    const Outcome out = Press(IDC_FTP_TEST);
    EXPECT_EQ(out.caption, "Upload file Quorvalind.jpg OK!");
    ASSERT_EQ(out.boxes.size(), 1u);
    EXPECT_EQ(out.boxes[0].text, "Ftp Test Success!");
    EXPECT_EQ(out.boxes[0].caption, "OK");
    ASSERT_TRUE(WaitForFile(FtpRoot() + "/in/Quorvalind.jpg", 5000));
    EXPECT_EQ(ReadWholeFile(FtpRoot() + "/in/Quorvalind.jpg"), m_picture);
}

TEST_F(AlertSetupNetTest, AFailedTestUploadTellsItsStep) {
    ServerProcess ftp({"ftp", FtpRoot(), "up", "load"});
    ASSERT_NE(ftp.port(), 0);
    struct Case {
        const char* name;
        int port;
        const char* password;
        const char* directory;
        bool picture;
        const char* caption;
    };
    const RefusingLoopbackPort refusing;
    ASSERT_NE(refusing.port(), 0);
    const Case cases[] = {
        {"wrong password", ftp.port(), "wrong", "in", true, "Login 127.0.0.1 Failed!"},
        {"refused port", refusing.port(), "load", "in", true, "Login 127.0.0.1 Failed!"},
        {"missing folder", ftp.port(), "load", "nofolder", true, "Set directory: nofolder Failed!"},
        // The put fails: the caption stays.
        {"no picture", ftp.port(), "load", "in", false, "Email and Ftp Alerts Setup"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(m_dir.path() + "/Quorvalind.jpg");
        if (c.picture) {
            WriteWholeFile(m_dir.path() + "/Quorvalind.jpg", m_picture);
        }
        FtpSettings(c.port, c.password, c.directory);
        const Outcome out = Press(IDC_FTP_TEST);
        EXPECT_EQ(out.caption, c.caption);
        ASSERT_EQ(out.boxes.size(), 1u);
        EXPECT_EQ(out.boxes[0].text, "Ftp Test Failed");
        EXPECT_EQ(out.boxes[0].caption, "FAILED");
    }
    EXPECT_FALSE(std::filesystem::exists(FtpRoot() + "/in/Quorvalind.jpg"));
}

// A server that accepts and never answers: both tests end in their failure
// box within the alert layer's time limits.
TEST_F(AlertSetupNetTest, ASilentServerEndsInTheFailureBoxes) {
    ServerProcess silent({"silent"});
    ASSERT_NE(silent.port(), 0);
    MailSettings(silent.port(), "pw");
    FtpSettings(silent.port(), "load", "in");

    const Outcome mail = Press(IDC_SEND_TEST_MAIL);
    ASSERT_EQ(mail.boxes.size(), 1u);
    EXPECT_EQ(mail.boxes[0].caption, "Send email failed!");
    EXPECT_EQ(mail.boxes[0].text.rfind("Error info: ", 0), 0u) << mail.boxes[0].text;

    const Outcome ftp = Press(IDC_FTP_TEST);
    EXPECT_EQ(ftp.caption, "Login 127.0.0.1 Failed!");
    ASSERT_EQ(ftp.boxes.size(), 1u);
    EXPECT_EQ(ftp.boxes[0].text, "Ftp Test Failed");
}

}  // namespace
