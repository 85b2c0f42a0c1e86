// The built recorder program on a real X server (Xvfb), driven with the
// mouse as a user drives it: a box raised on a worker thread is answered
// with its own button, and SIGTERM ends the program in order while a modal
// window (a box, the About box, the record dialog) is open; a setup saved
// while its file cannot be written says so in a box.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "netservice/login_server.h"
#include "program_process.h"
#include "support/chdir_temp_dir.h"
#include "support/own_network.h"

using namespace program_test;

extern char** environ;

namespace {

bool HaveTool(const char* name) {
    return RunCommand(std::string("command -v ") + name + " 2>/dev/null").find(name) !=
           std::string::npos;
}

// An X server of the test's own, inside the test's own network.
class VirtualScreen {
public:
    VirtualScreen() {
        int fds[2];
        if (pipe(fds) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        // Only the abstract socket, which belongs to the test's own network:
        // no socket file or lock in /tmp that another server could meet.
        std::vector<std::string> args = {"Xvfb",        "-displayfd", "3",   "-screen",   "0",
                                         "1024x768x24", "-nolisten",  "tcp", "-nolisten", "unix"};
        std::vector<char*> argv;
        for (auto& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (spawned != 0) {
            pid_ = -1;
            close(fds[0]);
            return;
        }
        // The server writes its display number once it takes clients.
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&p, 1, 10000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        close(fds[0]);
        if (!number.empty()) {
            display_ = ":" + number;
        }
    }
    ~VirtualScreen() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }
    VirtualScreen(const VirtualScreen&) = delete;
    VirtualScreen& operator=(const VirtualScreen&) = delete;

    const std::string& Display() const { return display_; }

    // Each call is a connection of its own, limited in time: the server may
    // never answer one that arrives while a client holds a server grab (Qt
    // takes one while it looks for a tray), and the next call goes through.
    std::string Xdo(const std::string& args) const {
        return RunCommand("DISPLAY=" + display_ + " timeout 5 xdotool " + args + " 2>/dev/null");
    }
    // The id of a shown window whose whole name matches, or "".
    std::string FindWindow(const std::string& name) const {
        std::istringstream ids(Xdo("search --onlyvisible --name '^" + name + "$'"));
        std::string id;
        ids >> id;
        return id;
    }
    std::string WaitForWindow(const std::string& name, std::chrono::seconds limit) const {
        const auto until = Clock::now() + limit;
        std::string id;
        while ((id = FindWindow(name)).empty() && Clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return id;
    }
    bool WaitUntilGone(const std::string& name, std::chrono::seconds limit) const {
        const auto until = Clock::now() + limit;
        while (!FindWindow(name).empty()) {
            if (Clock::now() >= until) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return true;
    }
    struct Rect {
        int x = 0, y = 0, width = 0, height = 0;
    };
    Rect Geometry(const std::string& window) const {
        Rect r;
        std::istringstream lines(Xdo("getwindowgeometry --shell " + window));
        std::string line;
        while (std::getline(lines, line)) {
            const size_t eq = line.find('=');
            if (eq == std::string::npos) {
                continue;
            }
            const std::string key = line.substr(0, eq);
            const int value = std::atoi(line.c_str() + eq + 1);
            if (key == "X") {
                r.x = value;
            } else if (key == "Y") {
                r.y = value;
            } else if (key == "WIDTH") {
                r.width = value;
            } else if (key == "HEIGHT") {
                r.height = value;
            }
        }
        return r;
    }
    void Click(int x, int y) const {
        Xdo("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
    }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// Holds the recorder's port, so that its login server cannot bind it and
// says so in a box raised on its own thread.
class PortHolder {
public:
    PortHolder() {
        m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(LOGIN_SERVER_PORT);
        addr.sin_addr.s_addr = htonl(INADDR_ANY);
        m_bHeld = m_fd >= 0 && bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
                  listen(m_fd, 1) == 0;
    }
    ~PortHolder() {
        if (m_fd >= 0) {
            close(m_fd);
        }
    }
    bool Held() const { return m_bHeld; }

private:
    int m_fd = -1;
    bool m_bHeld = false;
};

// SIGTERM runs the exit sequence: the program ends with status 0 (the
// time limit only guards against a hang).
void EndsInOrderOnSigterm(Program& recorder) {
    recorder.Signal(SIGTERM);
    int status = 0;
    ASSERT_TRUE(recorder.WaitEnd(std::chrono::seconds(30), &status)) << recorder.Output();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << recorder.Output();
}

// The main window's title and the captions of the boxes and windows here.
constexpr char kMainWindow[] = "Quorvalindex ver1.51";
constexpr char kApplicationBox[] = "Quorvalind";

class RecorderDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        if (!EnterOwnNetwork(&why)) {
            GTEST_SKIP() << why;
        }
        if (!HaveTool("Xvfb") || !HaveTool("xdotool")) {
            GTEST_SKIP() << "needs Xvfb and xdotool (scripts/packages.txt)";
        }
        screen_ = std::make_unique<VirtualScreen>();
        ASSERT_FALSE(screen_->Display().empty()) << "Xvfb did not start";
    }

    std::vector<std::string> OnScreen() const {
        return {"QT_QPA_PLATFORM=xcb", "DISPLAY=" + screen_->Display()};
    }

    std::unique_ptr<VirtualScreen> screen_;
};

TEST_F(RecorderDisplayTest, WorkerThreadBoxIsAnsweredWithItsOkButton) {
    ChdirTempDir dir;
    PrepareDemoFolder();
    PortHolder port;
    ASSERT_TRUE(port.Held());
    Program recorder(dir.path(), OnScreen(), "box");
    ASSERT_FALSE(screen_->WaitForWindow(kMainWindow, std::chrono::seconds(20)).empty())
        << recorder.Output();
    // "Socket bind failed!", with OK and Cancel, over the running window.
    const std::string box = screen_->WaitForWindow(kApplicationBox, std::chrono::seconds(20));
    ASSERT_FALSE(box.empty()) << recorder.Output();
    const VirtualScreen::Rect r = screen_->Geometry(box);
    ASSERT_GT(r.width, 0);
    // The OK button: the left one of the two in the box's bottom row.
    screen_->Click(r.x + 50, r.y + r.height - 24);
    EXPECT_TRUE(screen_->WaitUntilGone(kApplicationBox, std::chrono::seconds(5)));
    EXPECT_FALSE(screen_->FindWindow(kMainWindow).empty());

    EndsInOrderOnSigterm(recorder);
}

TEST_F(RecorderDisplayTest, TwoSignalsWithAModalWindowOpenEndTheProgramInOrder) {
    struct Case {
        const char* name;
        bool holdPort;       // the login server's bind fails: a worker-thread box
        bool failSetFormat;  // the second camera refuses its format: a box at start
        bool records;        // record files grow before the window is opened
        std::function<void(const VirtualScreen&)> open;
        const char* window;
        // What is done in the window once it shows, and what its opener
        // then logs before the exit.
        std::function<void(const VirtualScreen&, const VirtualScreen::Rect&)> inWindow;
        const char* openerLine;
    };
    const auto clickRecord = [](const VirtualScreen& s) { s.Click(957, 221); };
    const auto clickSave = [](const VirtualScreen& s, const VirtualScreen::Rect& r) {
        s.Click(r.x + 567, r.y + 540);  // the record dialog's "Save"
    };
    const Case cases[] = {
        {"About box", false, false, true,
         [](const VirtualScreen& s) { s.Click(426, 726); },  // "HomePage"
         "About Quorvalind", nullptr, nullptr},
        {"box of a worker thread", true, false, true, [](const VirtualScreen&) {}, kApplicationBox,
         nullptr, nullptr},
        {"box of the user-interface thread", false, true, false, [](const VirtualScreen&) {},
         "ERROR", nullptr, nullptr},
        {"record dialog", false, false, true, clickRecord, "Record Setup...", nullptr, nullptr},
        {"record dialog after its Save", false, false, true, clickRecord, "Record Setup...",
         clickSave, "Change and save record setup!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChdirTempDir dir;
        PrepareDemoFolder();
        std::string devices = QV_DEMO_DEVICES;
        if (c.failSetFormat) {
            devices = dir.path() + "/devices.ini";
            std::ifstream in(QV_DEMO_DEVICES);
            std::ofstream out(devices);
            std::string line;
            while (std::getline(in, line)) {
                out << line << "\n";
                if (line == "[Video2]") {
                    out << "Fail=setformat\n";
                }
            }
        }
        std::unique_ptr<PortHolder> port;
        if (c.holdPort) {
            port = std::make_unique<PortHolder>();
            ASSERT_TRUE(port->Held());
        }
        Program recorder(dir.path(), OnScreen(), "signals", devices);
        ASSERT_FALSE(screen_->WaitForWindow(kMainWindow, std::chrono::seconds(20)).empty())
            << recorder.Output();
        if (c.records) {
            ASSERT_TRUE(WaitForRecording(std::chrono::seconds(40))) << recorder.Output();
        }
        c.open(*screen_);
        const std::string window = screen_->WaitForWindow(c.window, std::chrono::seconds(20));
        ASSERT_FALSE(window.empty()) << recorder.Output();
        if (c.inWindow) {
            c.inWindow(*screen_, screen_->Geometry(window));
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }

        recorder.Signal(SIGTERM);
        recorder.Signal(SIGTERM);
        int status = 0;
        // Only a guard against a hang.
        ASSERT_TRUE(recorder.WaitEnd(std::chrono::seconds(30), &status)) << recorder.Output();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << recorder.Output();
        const auto texts = LogTexts("Quorvalind.001");
        EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string("Quorvalind Exit !")), 1);
        ASSERT_GE(texts.size(), 2u);
        EXPECT_EQ(texts.back(), "Quorvalind Exit !");
        if (c.openerLine != nullptr) {
            EXPECT_EQ(texts[texts.size() - 2], c.openerLine);
        }
        EXPECT_EQ(
            std::count(texts.begin(), texts.end(), std::string("Change and save record setup!")),
            c.openerLine != nullptr ? 1 : 0);
        ExpectRecordFilesWhole();
    }
}

// A folder where the settings file should be: the System setup's Save and
// Exit bring up the box that says the file could not be written, and the
// recorder runs on.
TEST_F(RecorderDisplayTest, ASystemSetupThatCannotBeWrittenSaysSo) {
    ChdirTempDir dir;
    PrepareDemoFolder();
    Program recorder(dir.path(), OnScreen(), "unwritable");
    ASSERT_FALSE(screen_->WaitForWindow(kMainWindow, std::chrono::seconds(20)).empty())
        << recorder.Output();
    std::filesystem::remove("Quorvalind.tmp");
    std::filesystem::create_directory("Quorvalind.tmp");

    screen_->Click(957, 304);  // "System"
    const std::string setup = screen_->WaitForWindow("System setup...", std::chrono::seconds(20));
    ASSERT_FALSE(setup.empty()) << recorder.Output();
    const VirtualScreen::Rect r = screen_->Geometry(setup);
    screen_->Click(r.x + 567, r.y + 540);  // "Save"
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    screen_->Click(r.x + 667, r.y + 540);  // "Exit"
    EXPECT_TRUE(screen_->WaitUntilGone("System setup...", std::chrono::seconds(10)));
    const std::string box = screen_->WaitForWindow(kApplicationBox, std::chrono::seconds(20));
    ASSERT_FALSE(box.empty()) << recorder.Output();
    screen_->Xdo("key --window " + box + " Return");
    EXPECT_TRUE(screen_->WaitUntilGone(kApplicationBox, std::chrono::seconds(5)));
    EXPECT_FALSE(screen_->FindWindow(kMainWindow).empty());

    ASSERT_NO_FATAL_FAILURE(EndsInOrderOnSigterm(recorder));
    const auto texts = LogTexts("Quorvalind.001");
    const auto count = [&texts](const char* text) {
        return std::count(texts.begin(), texts.end(), std::string(text));
    };
    EXPECT_EQ(count("Change system setup, but cannot write Quorvalind.tmp!"), 1);
    EXPECT_EQ(count("Change and save system setup!"), 0);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), "Quorvalind Exit !");
    EXPECT_TRUE(std::filesystem::is_directory("Quorvalind.tmp"));
}

}  // namespace
