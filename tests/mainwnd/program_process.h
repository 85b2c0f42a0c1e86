#pragma once
// The built recorder program as a child process, started as a user starts
// it in a prepared folder, and what it leaves there: record files checked
// with ffprobe and the texts of its event log.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "settings/channel_ini.h"
#include "settings/settings.h"

namespace program_test {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The offscreen platform with one screen of the given width and 768 high.
inline std::string OffscreenPlatform(const std::string& folder, int screenWidth,
                                     const std::string& tag) {
    const std::string screen = folder + "/screen-" + tag + ".json";
    std::ofstream(screen) << "{\"screens\":[{\"name\":\"s\",\"x\":0,\"y\":0,\"width\":"
                          << screenWidth << ",\"height\":768,\"logicalDpi\":96}]}";
    return "QT_QPA_PLATFORM=offscreen:configfile=" + screen;
}

// A child process with its own environment, output into files of the folder.
class Program {
public:
    // platform: the QT_QPA_PLATFORM setting and whatever else the display
    // needs; the devices are the synthetic ones of devicesFile.
    Program(const std::string& folder, const std::vector<std::string>& platform,
            const std::string& tag, const std::string& devicesFile = QV_DEMO_DEVICES) {
        // Leaks of system libraries, not the program's: fontconfig's
        // configuration, and D-Bus, which Qt uses on a real X server.
        const std::string lsan = folder + "/lsan.supp";
        std::ofstream(lsan) << "leak:libfontconfig.so\nleak:libdbus-1.so\n";
        std::vector<std::string> env = {
            "QUORVALIND_SYNTHETIC_DEVICES=" + devicesFile,
            // The single-copy lock of this test alone.
            "XDG_RUNTIME_DIR=" + folder,
            "HOME=" + folder,
            "LSAN_OPTIONS=suppressions=" + lsan,
            "PATH=/usr/bin:/bin",
        };
        env.insert(env.end(), platform.begin(), platform.end());
        std::vector<char*> envp;
        for (auto& e : env) {
            envp.push_back(e.data());
        }
        envp.push_back(nullptr);
        std::string program = QV_PROGRAM;
        char* argv[] = {program.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string out = folder + "/out-" + tag + ".txt";
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        EXPECT_EQ(posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, envp.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
        outPath_ = out;
    }
    // Under the offscreen platform with a screen of the given width.
    Program(const std::string& folder, int screenWidth, const std::string& tag)
        : Program(folder, {OffscreenPlatform(folder, screenWidth, tag)}, tag) {}
    ~Program() {
        if (pid_ > 0 && !ended_) {
            kill(pid_, SIGKILL);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // True when the process ended within the time; its exit status in *status.
    bool WaitEnd(std::chrono::milliseconds limit, int* status) {
        const auto until = Clock::now() + limit;
        while (Clock::now() < until) {
            const pid_t r = waitpid(pid_, status, WNOHANG);
            if (r == pid_) {
                ended_ = true;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }
    void Signal(int sig) { kill(pid_, sig); }
    std::string Output() const {
        std::ifstream in(outPath_);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    pid_t pid_ = -1;
    bool ended_ = false;
    std::string outPath_;
};

// Two local channels on the demo's synthetic cameras, recording all day on
// C: (the current folder), and one viewer account.
inline void PrepareDemoFolder() {
    ASSERT_EQ(InitSettingsPaths(), 1);
    g_Settings = Settings{};
    LoadSettingsFile();  // the defaults
    g_Settings.System.byRecordDrive[0] = 1;
    std::snprintf(g_Settings.System.sUserName[0], 18, "viewer");
    std::snprintf(g_Settings.System.sUserPassword[0], 18, "viewer");
    for (int n = 0; n < 2; ++n) {
        g_Settings.System.byUserChannel[0][n] = 1;
        ChannelEntry& c = g_Settings.Channel[n];
        c.status = 1;
        c.mode = SOURCE_LOCAL;
        c.videoin = static_cast<uint8_t>(n + 1);
        c.width = 352;
        c.height = 288;
        c.framenum = 25;
        RecordEntry& r = g_Settings.Record[n];
        r.bitrate = 256;
        r.audbitrate = 32;
        r.osdtime = 1;
        ScheduleEntry& s = g_Settings.Schedule[n];
        s.bySchedRecord[0] = 1;
        s.SchedTimes[0] = ScheduleTimes{0, 0, 23, 59, 0, 0, 23, 59};
    }
    g_Settings.nChConfigNum = 2;
    ASSERT_EQ(SaveSettingsFile(), 1);
    ASSERT_EQ(SaveChannelIni(), 1);
    ASSERT_EQ(SaveRecordIni(2), 1);
}

inline std::vector<fs::path> AviFiles() {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(".", ec)) {
        if (e.path().extension() == ".avi") {
            files.push_back(e.path());
        }
    }
    return files;
}

inline uintmax_t TotalBytes(const std::vector<fs::path>& files) {
    uintmax_t total = 0;
    for (const auto& f : files) {
        std::error_code ec;
        total += fs::file_size(f, ec);
    }
    return total;
}

// Waits until the program records: two files that have grown by more than
// a few pictures.
inline bool WaitForRecording(std::chrono::seconds limit) {
    uintmax_t first = 0;
    const auto until = Clock::now() + limit;
    while (Clock::now() < until) {
        const auto files = AviFiles();
        if (files.size() >= 2 && first == 0 && TotalBytes(files) > 0) {
            first = TotalBytes(files);
        } else if (first != 0 && TotalBytes(files) > first + 20000) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

inline std::string RunCommand(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (p == nullptr) {
        return out;
    }
    char buf[512];
    while (fgets(buf, sizeof buf, p) != nullptr) {
        out += buf;
    }
    pclose(p);
    return out;
}

// Every record file has its index, and its duration agrees with its frames.
inline void ExpectRecordFilesWhole() {
    for (const auto& f : AviFiles()) {
        const std::string out = RunCommand(
            "ffprobe -v error -count_frames -select_streams v:0 "
            "-show_entries stream=nb_read_frames,nb_frames:format=duration "
            "-of default=nw=1 '" +
            f.string() + "' 2>&1");
        EXPECT_NE(out.find("duration="), std::string::npos) << f << "\n" << out;
        EXPECT_EQ(out.find("N/A"), std::string::npos) << f << "\n" << out;
        EXPECT_EQ(RunCommand("ffprobe -v error '" + f.string() + "' 2>&1"), "") << f;
    }
}

// The texts of the event log, oldest first (length byte, then the text).
inline std::vector<std::string> LogTexts(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> texts;
    size_t i = 0;
    // Each entry: type, channel, 4-byte time, length (with the zero), text.
    while (i + 7 <= bytes.size()) {
        const size_t len = static_cast<unsigned char>(bytes[i + 6]);
        if (len == 0 || i + 7 + len > bytes.size()) {
            break;
        }
        texts.emplace_back(&bytes[i + 7], len - 1);
        i += 7 + len;
    }
    return texts;
}

}  // namespace program_test
