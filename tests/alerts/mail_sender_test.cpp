#include "alerts/mail_sender.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>

#include "alerts/server_process.h"
#include "platform/clock/local_clock.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Hex(const std::string& bytes) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
    return out;
}

// The server's summary of a received mail: "key=value" lines.
std::map<std::string, std::string> ReadSummary(const std::string& path) {
    std::map<std::string, std::string> summary;
    std::istringstream in(ReadWholeFile(path));
    std::string line;
    while (std::getline(in, line)) {
        std::size_t eq = line.find('=');
        if (eq != std::string::npos) {
            summary[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return summary;
}

// Bytes a JPEG decoder would not mind and base64 must carry unchanged:
// every byte value, CR/LF pairs and lone dots at line starts included.
std::string PictureBytes(int seed) {
    std::string bytes = "\xff\xd8\xff\xe0";
    for (int i = 0; i < 3000; ++i) {
        bytes += static_cast<char>((i * 7 + seed) & 0xFF);
    }
    bytes += "\r\n.\r\n\xff\xd9";
    return bytes;
}

class MailSenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLocalClockSource([] { return MakeLocalTime(2026, 12, 10, 9, 25, 49); });
        std::filesystem::create_directories(dir_.path() + "/mail");
        std::filesystem::create_directories(dir_.path() + "/snap");
    }
    void TearDown() override { SetLocalClockSource({}); }

    // A two-snapshot alert mail as the alert thread fills it.
    CMailMessage AlertMail(int port) {
        CMailMessage m;
        m.sServer = "127.0.0.1";
        m.nPort = static_cast<std::uint16_t>(port);
        m.sFrom = "Alarm Desk <alarm@cam.example>";
        m.sTo = "ops@example.org";
        m.sSubject = "\xbe\xaf\xb1\xa8(Channel 3 Video Motion Alert)";  // GB2312 text first
        m.sBody = "\xd2\xc6\xb6\xaf\xb1\xa8\xbe\xaf motion at the gate";
        const char* names[] = {"Ch03_2026_12_10__09_25_49.jpg", "Ch03_2026_12_10__09_25_50.jpg"};
        for (int i = 0; i < 2; ++i) {
            WriteWholeFile(dir_.path() + "/snap/" + names[i], PictureBytes(i));
            m.sAttachment[i] = std::string("C:\\snap\\") + names[i];
        }
        m.byAttachCount = 2;
        return m;
    }

    std::string MailDir() const { return dir_.path() + "/mail"; }

    TempWorkDir dir_;
};

TEST_F(MailSenderTest, AlertMailArrivesWithItsHeadersAndIdenticalAttachments) {
    struct Case {
        const char* name;
        bool auth;
    };
    for (const Case& c : {Case{"plain", false}, Case{"with AUTH", true}}) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(MailDir());
        std::filesystem::create_directories(MailDir());
        std::vector<std::string> args = {"smtp", MailDir()};
        if (c.auth) {
            args.insert(args.end(), {"alarmuser", "s3cret"});
        }
        ServerProcess server(args);
        ASSERT_NE(server.port(), 0);

        CMailMessage m = AlertMail(server.port());
        if (c.auth) {
            m.sUser = "alarmuser";
            m.sPassword = "s3cret";
        }
        ASSERT_EQ(SendMail(m), 1) << GetLastMailError();

        auto s = ReadSummary(MailDir() + "/mail-1.txt");
        EXPECT_EQ(s["envelope_from"], "alarm@cam.example");
        EXPECT_EQ(s["envelope_rcpt"], "ops@example.org");
        EXPECT_EQ(s["header:From"], "\"Ostrevanne\" <alarm@cam.example>");
        EXPECT_EQ(s["header:To"], "<ops@example.org>");
        EXPECT_EQ(s["subject_hex"], Hex(m.sSubject));
        EXPECT_EQ(s["subject_charsets"].substr(0, 6), "gb2312");
        const std::string date = s["header:Date"];  // the zone is the machine's own
        EXPECT_EQ(date.substr(0, 26), "Thu, 10 Dec 2026 09:25:49 ") << date;
        EXPECT_EQ(date.size(), 31u) << date;
        const std::string id = s["header:Message-ID"];
        EXPECT_EQ(id.rfind("<20261210092549.", 0), 0u) << id;
        EXPECT_EQ(id.substr(id.size() - 13), "@cam.example>") << id;
        EXPECT_EQ(s["header:X-Priority"], "3");
        EXPECT_EQ(s["header:MIME-Version"], "1.0");
        EXPECT_EQ(s["content_type"], "multipart/mixed");
        EXPECT_EQ(s["text_charset"], "gb2312");
        EXPECT_EQ(s["text_hex"], Hex(m.sBody));
        ASSERT_EQ(s["attachments"], "2");
        for (int i = 0; i < 2; ++i) {
            const std::string key = "attachment:" + std::to_string(i) + ":";
            const std::string name = m.sAttachment[i].substr(8);
            EXPECT_EQ(s[key + "filename"], name);
            EXPECT_EQ(s[key + "type"], "image/jpeg");
            EXPECT_EQ(s[key + "encoding"], "base64");
            EXPECT_EQ(ReadWholeFile(MailDir() + "/mail-1-att-" + std::to_string(i) + ".bin"),
                      ReadWholeFile(dir_.path() + "/snap/" + name));
        }
    }
}

TEST_F(MailSenderTest, OnlyTheCountedAttachmentsGoAlong) {
    ServerProcess server({"smtp", MailDir()});
    ASSERT_NE(server.port(), 0);
    CMailMessage m = AlertMail(server.port());
    m.sAttachment[2] = "C:\\snap\\missing.jpg";  // beyond the count: never read
    for (int count : {0, 1}) {
        m.byAttachCount = static_cast<std::uint8_t>(count);
        ASSERT_EQ(SendMail(m), 1) << GetLastMailError();
    }
    EXPECT_EQ(ReadSummary(MailDir() + "/mail-1.txt")["attachments"], "0");
    EXPECT_EQ(ReadSummary(MailDir() + "/mail-2.txt")["attachments"], "1");
}

TEST_F(MailSenderTest, WrongPasswordGivesTheErrorTextAndALaterSuccessKeepsIt) {
    ServerProcess server({"smtp", MailDir(), "alarmuser", "s3cret"});
    ASSERT_NE(server.port(), 0);
    CMailMessage m = AlertMail(server.port());
    m.sUser = "alarmuser";
    m.sPassword = "wrong";
    EXPECT_EQ(SendMail(m), 0);
    const std::string error = GetLastMailError();
    EXPECT_EQ(error.rfind("Error info: Login denied\r\n details: ", 0), 0u) << error;
    EXPECT_FALSE(std::filesystem::exists(MailDir() + "/mail-1.eml"));

    m.sPassword = "s3cret";
    EXPECT_EQ(SendMail(m), 1) << GetLastMailError();
    EXPECT_EQ(GetLastMailError(), error);
}

// Texts that would inject protocol lines, or a mail with a part missing, are
// refused before any connection is made.
TEST_F(MailSenderTest, BadAddressesServerTextsAndMissingAttachmentsSendNothing) {
    LoopbackListener listener;
    ASSERT_NE(listener.port(), 0);
    struct Case {
        const char* name;
        void (*spoil)(CMailMessage&);
        const char* info;
    };
    const Case cases[] = {
        {"CR LF in To", [](CMailMessage& m) { m.sTo = "ops@example.org\r\nRCPT TO:<evil@x.net>"; },
         "Invalid recipient address"},
        {"LF in From", [](CMailMessage& m) { m.sFrom = "alarm@cam.example\nBcc: x@y.z"; },
         "Invalid sender address"},
        {"NUL in To", [](CMailMessage& m) { m.sTo = std::string("ops@example.org\0e@x.y", 21); },
         "Invalid recipient address"},
        {"two recipients", [](CMailMessage& m) { m.sTo = "a@b.c, d@e.f"; },
         "Invalid recipient address"},
        {"empty From", [](CMailMessage& m) { m.sFrom = ""; }, "Invalid sender address"},
        {"login in server text", [](CMailMessage& m) { m.sServer = "u:p@127.0.0.1"; },
         "Invalid mail server"},
        {"CR LF in password",
         [](CMailMessage& m) {
             m.sUser = "u";
             m.sPassword = "p\r\nQUIT";
         },
         "Invalid login"},
        {"missing attachment", [](CMailMessage& m) { m.sAttachment[1] = "C:\\snap\\gone.jpg"; },
         "Cannot read attachment"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMailMessage m = AlertMail(listener.port());
        c.spoil(m);
        EXPECT_EQ(SendMail(m), 0);
        const std::string error = GetLastMailError();
        EXPECT_EQ(error.rfind(std::string("Error info: ") + c.info + "\r\n details: ", 0), 0u)
            << error;
        EXPECT_LE(error.size(), kMaxMailErrorChars);
        EXPECT_FALSE(listener.HasPendingConnection());
    }
}

TEST_F(MailSenderTest, SilentServerFailsWithinTheTimeOuts) {
    ServerProcess server({"silent"});
    ASSERT_NE(server.port(), 0);
    const auto start = Clock::now();
    EXPECT_EQ(SendMail(AlertMail(server.port())), 0);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(20));
    EXPECT_NE(GetLastMailError().find("Timeout"), std::string::npos) << GetLastMailError();
}

TEST_F(MailSenderTest, ClearingTheRunFlagEndsTheSendSoon) {
    ServerProcess server({"silent"});
    ASSERT_NE(server.port(), 0);
    std::atomic<int> run{1};
    std::thread stopper = ClearRunFlagSoon(&run);
    const auto start = Clock::now();
    EXPECT_EQ(SendMail(AlertMail(server.port()), &run), 0);
    // Far below the time-outs: the send ended because of the flag.
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(4));
    stopper.join();
    EXPECT_NE(GetLastMailError().find("aborted"), std::string::npos) << GetLastMailError();

    // A cleared flag stops a send before it starts.
    EXPECT_EQ(SendMail(AlertMail(server.port()), &run), 0);
}

}  // namespace
