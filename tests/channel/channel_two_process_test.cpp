// Two copies on loopback, each its own process: one serves a local
// channel, the other's remote channel watches it and serves it again to a
// viewer of its own.
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "netservice/loopback_client.h"

extern char** environ;

namespace {

// A driver process with a pipe to its input (closing it ends the process)
// and one from its output (the first line is its server's port).
class Driver {
public:
    explicit Driver(std::vector<std::string> args) {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        args.insert(args.begin(), QV_REMOTE_DRIVER);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, QV_REMOTE_DRIVER, &actions, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        input_ = in[1];
        output_ = out[0];
    }
    ~Driver() { Stop(); }

    // The port on the first output line; 0 when none came in 10 seconds.
    uint16_t ReadPort() {
        std::string line;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        char c = 0;
        while (std::chrono::steady_clock::now() < end) {
            pollfd p{output_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            if (::read(output_, &c, 1) != 1)
                break;
            if (c == '\n')
                return static_cast<uint16_t>(std::stoi(line));
            line += c;
        }
        return 0;
    }

    // Closes the input and waits for the exit; true when it exited by itself
    // with code 0 within the limit.
    bool Stop(int timeoutMs = 5000) {
        if (pid_ <= 0)
            return false;
        ::close(input_);
        ::close(output_);
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        int status = 0;
        while (std::chrono::steady_clock::now() < end) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) && WEXITSTATUS(status) == 0;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return false;
    }

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
};

TEST(TwoProcessTest, RemoteChannelOfOneCopyRelaysTheOthersChannelToItsOwnViewer) {
    Driver server({"serve"});
    const uint16_t serverPort = server.ReadPort();
    ASSERT_NE(serverPort, 0);
    Driver relay({"relay", std::to_string(serverPort)});
    const uint16_t relayPort = relay.ReadPort();
    ASSERT_NE(relayPort, 0);

    // The relay's channel goes active once it streams; until then it
    // answers the open with a null channel.
    std::unique_ptr<LoopbackClient> viewer;
    uint8_t code = 0;
    std::string payload;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end) {
        viewer = std::make_unique<LoopbackClient>(relayPort);
        ASSERT_TRUE(viewer->connected());
        ASSERT_TRUE(viewer->Send(LoginBytes("viewer", "secret") + OpenBytes(0)));
        ASSERT_TRUE(viewer->ReadAnswer(&code, &payload));
        ASSERT_EQ(code, NETCMD_LOGIN_OK);
        ASSERT_TRUE(viewer->ReadAnswer(&code, &payload));
        if (code == NETCMD_OPEN_OK)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    ASSERT_EQ(code, NETCMD_OPEN_OK);

    int video = 0;
    for (int i = 0; i < 20; ++i) {
        StreamHeader h = 0;
        Bytes p;
        ASSERT_TRUE(viewer->ReadPacket(&h, &p, 5000)) << i;
        if (i == 0) {
            EXPECT_TRUE(IsVideoKeyFrame(h));
        }
        EXPECT_EQ(GetCodecType(h), 1);  // H.264, as the serving copy sends it
        EXPECT_EQ(GetPicSizeCodeOf(h), 5);
        EXPECT_EQ(p.size(), GetPayloadLength(h));
        video += IsVideoPacket(h) ? 1 : 0;
    }
    EXPECT_EQ(video, 20);
    viewer.reset();
    EXPECT_TRUE(relay.Stop());
    EXPECT_TRUE(server.Stop());
}

}  // namespace
