#include "alerts/ftp_session.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "alerts/server_process.h"
#include "support/refusing_port.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kSnapshotName[] = "Ch01_2026_12_10__09_25_49.jpg";  // 29 characters

std::string PictureBytes() {
    std::string bytes = "\xff\xd8\xff\xe0";
    for (int i = 0; i < 70000; ++i) {
        bytes += static_cast<char>((i * 13) & 0xFF);  // every value, CR LF included
    }
    return bytes + "\xff\xd9";
}

class FtpSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(Root() + "/alerts/in");
        std::filesystem::create_directories(dir_.path() + "/snap");
        WriteWholeFile(dir_.path() + "/snap/" + kSnapshotName, PictureBytes());
    }

    std::string Root() const { return dir_.path() + "/root"; }
    std::string Commands() const { return Root() + ".commands"; }
    static std::string StoredSnapshotPath() { return std::string("C:\\snap\\") + kSnapshotName; }

    // Puts the snapshot through an open session and checks that it arrived
    // unchanged in root/alerts/in under its name.
    void ExpectUploadArrives(FtpSession* s, const std::string& remoteName) {
        ASSERT_EQ(PutFtpFile(s, StoredSnapshotPath(), remoteName), 1);
        const std::string arrived = Root() + "/alerts/in/" + remoteName;
        ASSERT_TRUE(WaitForFile(arrived, 5000));
        EXPECT_EQ(ReadWholeFile(arrived), PictureBytes());
    }

    TempWorkDir dir_;
};

TEST_F(FtpSessionTest, UploadArrivesInTheDirectoryUnderItsName) {
    struct Case {
        const char* name;
        bool passive;
        bool login;
    };
    const Case cases[] = {
        {"passive with login", true, true},
        {"active with login", false, true},
        {"passive anonymous", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(Root() + "/alerts/in");
        std::filesystem::create_directories(Root() + "/alerts/in");
        std::vector<std::string> args = {"ftp", Root()};
        if (c.login) {
            args.insert(args.end(), {"cam", "pw"});
        }
        ServerProcess server(args);
        ASSERT_NE(server.port(), 0);

        std::filesystem::remove(Commands());
        FtpSession* s =
            OpenFtpSession("127.0.0.1", static_cast<std::uint16_t>(server.port()),
                           c.login ? "cam" : "", c.login ? "pw" : "", "alerts/in", c.passive, "");
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->bOk, 1) << s->szError;
        EXPECT_STREQ(s->szError, "");
        // Opening alone logged in and changed into the directory.
        EXPECT_EQ(ReadWholeFile(Commands()), "USER\nPASS\nPWD\nCWD\n");
        ExpectUploadArrives(s, kSnapshotName);
        // The second put runs on the connection the first one used.
        ExpectUploadArrives(s, "Quorvalind.jpg");
        EXPECT_EQ(CloseFtpSession(s), 1);

        const std::string commands = ReadWholeFile(Commands());
        EXPECT_EQ(commands.find("USER"), commands.rfind("USER")) << commands;
        const bool sawPassive = commands.find("PASV") != std::string::npos ||
                                commands.find("EPSV") != std::string::npos;
        const bool sawActive = commands.find("PORT") != std::string::npos ||
                               commands.find("EPRT") != std::string::npos;
        EXPECT_EQ(sawPassive, c.passive) << commands;
        EXPECT_EQ(sawActive, !c.passive) << commands;
        EXPECT_NE(commands.find("TYPE I"), std::string::npos) << commands;
    }
}

TEST_F(FtpSessionTest, AbsoluteDirectoryAndEmptyDirectory) {
    ServerProcess server({"ftp", Root(), "cam", "pw"});
    ASSERT_NE(server.port(), 0);
    const auto port = static_cast<std::uint16_t>(server.port());

    FtpSession* s = OpenFtpSession("127.0.0.1", port, "cam", "pw", "/alerts/in", true, "");
    EXPECT_EQ(s->bOk, 1) << s->szError;
    ExpectUploadArrives(s, kSnapshotName);
    CloseFtpSession(s);

    // No directory: files go where the login put us.
    s = OpenFtpSession("127.0.0.1", port, "cam", "pw", "", true, "");
    EXPECT_EQ(s->bOk, 1) << s->szError;
    EXPECT_EQ(PutFtpFile(s, StoredSnapshotPath(), kSnapshotName), 1);
    EXPECT_TRUE(WaitForFile(Root() + "/" + kSnapshotName, 5000));
    CloseFtpSession(s);
}

TEST_F(FtpSessionTest, FailedOpeningsGiveTheirErrorText) {
    ServerProcess server({"ftp", Root(), "cam", "pw"});
    ASSERT_NE(server.port(), 0);
    const auto port = static_cast<std::uint16_t>(server.port());
    const RefusingLoopbackPort refusing;
    ASSERT_NE(refusing.port(), 0);
    const auto refused = refusing.port();
    const std::string longDir(126, 'd');

    struct Case {
        const char* name;
        std::uint16_t port;
        const char* password;
        std::string directory;
        std::string error;
    };
    const Case cases[] = {
        {"missing directory", port, "pw", "alerts/nope", "Set directory: alerts/nope Failed!"},
        {"wrong password", port, "bad", "alerts/in", "Login 127.0.0.1 Failed!"},
        {"refused port", refused, "pw", "alerts/in", "Login 127.0.0.1 Failed!"},
        // The text is cut to the 119 characters the error field holds.
        {"long missing directory", port, "pw", longDir,
         ("Set directory: " + longDir + " Failed!").substr(0, kFtpErrorSize - 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FtpSession* s =
            OpenFtpSession("127.0.0.1", c.port, "cam", c.password, c.directory, true, "");
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->bOk, 0);
        EXPECT_EQ(std::string(s->szError), c.error);
        EXPECT_EQ(PutFtpFile(s, StoredSnapshotPath(), kSnapshotName), 0);
        EXPECT_EQ(CloseFtpSession(s), 1);
    }
    EXPECT_EQ(PutFtpFile(nullptr, StoredSnapshotPath(), kSnapshotName), 0);
    EXPECT_EQ(CloseFtpSession(nullptr), 0);
}

// Texts that would change the URL or add FTP commands never reach the wire.
TEST_F(FtpSessionTest, UnsafeTextsAreRefusedWithoutConnecting) {
    LoopbackListener listener;
    ASSERT_NE(listener.port(), 0);
    const auto port = static_cast<std::uint16_t>(listener.port());
    struct Case {
        const char* name;
        std::string server, user, password, directory, proxy;
        std::string error;
    };
    const Case cases[] = {
        {"server with a login", "u:p@127.0.0.1", "", "", "in", "", "Login u:p@127.0.0.1 Failed!"},
        {"server with a path", "127.0.0.1/x", "", "", "in", "", "Login 127.0.0.1/x Failed!"},
        {"server with a port", "127.0.0.1:21", "", "", "in", "", "Login 127.0.0.1:21 Failed!"},
        {"CR LF in the user", "127.0.0.1", "cam\r\nDELE x", "pw", "in", "",
         "Login 127.0.0.1 Failed!"},
        {"CR LF in the directory", "127.0.0.1", "cam", "pw", "in\r\nDELE x", "",
         "Set directory: in??DELE x Failed!"},
        {"NUL in the directory", "127.0.0.1", "cam", "pw", std::string("in\0x", 4), "",
         "Set directory: in?x Failed!"},
        {"LF in the proxy", "127.0.0.1", "cam", "pw", "in", "127.0.0.1:1\n",
         "Open Ftp Upload Failed!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FtpSession* s =
            OpenFtpSession(c.server, port, c.user, c.password, c.directory, true, c.proxy);
        EXPECT_EQ(s->bOk, 0);
        EXPECT_EQ(std::string(s->szError), c.error);
        EXPECT_EQ(s->hInternet, nullptr);
        CloseFtpSession(s);
        EXPECT_FALSE(listener.HasPendingConnection());
    }

    ServerProcess server({"ftp", Root(), "cam", "pw"});
    ASSERT_NE(server.port(), 0);
    FtpSession* s = OpenFtpSession("127.0.0.1", static_cast<std::uint16_t>(server.port()), "cam",
                                   "pw", "alerts/in", true, "");
    ASSERT_EQ(s->bOk, 1) << s->szError;
    EXPECT_EQ(PutFtpFile(s, StoredSnapshotPath(), "x.jpg\r\nDELE y"), 0);
    EXPECT_EQ(PutFtpFile(s, "C:\\snap\\missing.jpg", kSnapshotName), 0);
    CloseFtpSession(s);
}

TEST_F(FtpSessionTest, ProxyTextTunnelsThroughThatProxyAndEnvironmentProxiesAreIgnored) {
    ServerProcess server({"ftp", Root(), "cam", "pw"});
    ASSERT_NE(server.port(), 0);
    const auto port = static_cast<std::uint16_t>(server.port());
    const std::string log = dir_.path() + "/proxy.log";
    ServerProcess proxy({"proxy", log});
    ASSERT_NE(proxy.port(), 0);

    // Proxy variables pointing nowhere must not matter to a direct session.
    const RefusingLoopbackPort nowhere;
    ASSERT_NE(nowhere.port(), 0);
    const std::string dead = "http://127.0.0.1:" + std::to_string(nowhere.port());
    for (const char* name : {"ftp_proxy", "FTP_PROXY", "all_proxy", "ALL_PROXY"}) {
        setenv(name, dead.c_str(), 1);
    }
    FtpSession* s = OpenFtpSession("127.0.0.1", port, "cam", "pw", "alerts/in", true, "");
    EXPECT_EQ(s->bOk, 1) << s->szError;
    CloseFtpSession(s);
    EXPECT_FALSE(std::filesystem::exists(log));

    s = OpenFtpSession("127.0.0.1", port, "cam", "pw", "alerts/in", true,
                       "127.0.0.1:" + std::to_string(proxy.port()));
    ASSERT_EQ(s->bOk, 1) << s->szError;
    ExpectUploadArrives(s, kSnapshotName);
    CloseFtpSession(s);
    const std::string requests = ReadWholeFile(log);
    EXPECT_NE(requests.find("CONNECT 127.0.0.1:" + std::to_string(port)), std::string::npos)
        << requests;
    EXPECT_NE(requests.find("User-Agent: Quorvalind\r\n"), std::string::npos) << requests;
}

TEST_F(FtpSessionTest, SilentServerFailsWithinTheTimeOuts) {
    ServerProcess server({"silent"});
    ASSERT_NE(server.port(), 0);
    const auto start = Clock::now();
    FtpSession* s = OpenFtpSession("127.0.0.1", static_cast<std::uint16_t>(server.port()), "cam",
                                   "pw", "alerts/in", true, "");
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(s->bOk, 0);
    EXPECT_STREQ(s->szError, "Login 127.0.0.1 Failed!");
    CloseFtpSession(s);
}

TEST_F(FtpSessionTest, ClearingTheRunFlagEndsTheOpeningSoon) {
    ServerProcess server({"silent"});
    ASSERT_NE(server.port(), 0);
    std::atomic<int> run{1};
    std::thread stopper = ClearRunFlagSoon(&run);
    const auto start = Clock::now();
    FtpSession* s = OpenFtpSession("127.0.0.1", static_cast<std::uint16_t>(server.port()), "cam",
                                   "pw", "alerts/in", true, "", &run);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(4));
    stopper.join();
    EXPECT_EQ(s->bOk, 0);
    CloseFtpSession(s);
}

// At exit the alert thread clears its flag while an upload may be under
// way on a server that stopped answering, or while its session sits idle on
// such a server: the put and the close both end without waiting for it.
TEST_F(FtpSessionTest, StoppingWhileTheServerIsSilentEndsPutAndClose) {
    ServerProcess server({"ftp", Root(), "cam", "pw"});
    ASSERT_NE(server.port(), 0);
    const auto port = static_cast<std::uint16_t>(server.port());
    std::atomic<int> runBusy{1};
    std::atomic<int> runIdle{1};
    FtpSession* busy =
        OpenFtpSession("127.0.0.1", port, "cam", "pw", "alerts/in", true, "", &runBusy);
    FtpSession* idle =
        OpenFtpSession("127.0.0.1", port, "cam", "pw", "alerts/in", true, "", &runIdle);
    ASSERT_EQ(busy->bOk, 1) << busy->szError;
    ASSERT_EQ(idle->bOk, 1) << idle->szError;
    ExpectUploadArrives(idle, kSnapshotName);

    server.Pause();
    std::thread stopper = ClearRunFlagSoon(&runBusy);
    auto start = Clock::now();
    EXPECT_EQ(PutFtpFile(busy, StoredSnapshotPath(), "Quorvalind.jpg"), 0);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(4));
    stopper.join();
    start = Clock::now();
    EXPECT_EQ(CloseFtpSession(busy), 1);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));

    // The idle session's connection is still up; its goodbye would wait for
    // the frozen server.
    runIdle = 0;
    start = Clock::now();
    EXPECT_EQ(CloseFtpSession(idle), 1);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
