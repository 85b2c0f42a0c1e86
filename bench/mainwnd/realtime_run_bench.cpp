// The running recorder in real time: 16 local channels on synthetic
// cameras that deliver 25 pictures a second, the real 40 ms heartbeat, the
// DrawVideo thread without a display, every channel recording. After the
// run (QV_REALTIME_SECONDS, default 30) each channel's recorded pictures
// are counted with ffprobe; "ratio" is the least channel's count over the
// pictures the cameras should have delivered in that time (goal: at least
// 0.98), "recorded_min" and "recorded_max" the counts themselves.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "channel/av_channel.h"
#include "mainwnd/main_dialog_state.h"
#include "platform/display/display_device.h"
#include "platform/drives/drives.h"
#include "platform/msgbox/message_box.h"
#include "platform/sound/pcm_output.h"
#include "realtime_cameras.h"
#include "settings/channel_ini.h"
#include "settings/globals.h"
#include "settings/settings.h"

namespace {

constexpr int kChannels = 16;
constexpr int kFps = 25;

int RecordedPictures(const std::string& folder, int n) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "CH%02d_", n + 1);
    int total = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0) {
            continue;
        }
        const std::string cmd =
            "/usr/bin/ffprobe -v error -count_packets -select_streams v:0 "
            "-show_entries stream=nb_read_packets -of csv=p=0 '" +
            entry.path().string() + "' 2>/dev/null";
        FILE* p = popen(cmd.c_str(), "r");
        if (p == nullptr) {
            continue;
        }
        int count = 0;
        if (std::fscanf(p, "%d", &count) == 1) {
            total += count;
        }
        pclose(p);
    }
    return total;
}

void BM_RealtimeRun(benchmark::State& state) {
    const char* env = std::getenv("QV_REALTIME_SECONDS");
    const int seconds = env != nullptr ? std::max(1, std::atoi(env)) : 30;
    std::string folder = (std::filesystem::temp_directory_path() / "qvbench.XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr || chdir(folder.c_str()) != 0) {
        state.SkipWithError("no work folder");
        return;
    }
    SetMessageBoxUiThread();
    SetMessageBoxHandler([](const MessageBoxRequest& r) {
        std::fprintf(stderr, "[%s] %s\n", r.caption.c_str(), r.text.c_str());
        return IDOK;
    });
    SetPcmOutputService(MakeNullOutput(0));
    SetDefaultDisplayDevice(nullptr);
    InstallRealtimeCameras(kChannels, kFps);
    InitSettingsPaths();
    g_Settings = Settings{};
    g_Settings.System.byRecordDrive[0] = 1;
    for (int n = 0; n < kChannels; ++n) {
        ChannelEntry& c = g_Settings.Channel[n];
        c.status = 1;
        c.mode = SOURCE_LOCAL;
        c.videoin = static_cast<uint8_t>(n + 1);
        c.width = 352;
        c.height = 288;
        c.framenum = kFps;
        g_Settings.Record[n].bitrate = 384;
        g_Settings.Record[n].audbitrate = 32;
        g_Settings.Record[n].osdtime = 1;
    }
    g_Settings.nChConfigNum = kChannels;
    SaveChannelIni();
    SaveRecordIni(kChannels);

    int least = 0;
    int most = 0;
    double elapsed = 0;
    for (auto _ : state) {
        CMainDialogState dialog;
        dialog.m_LoginServer.port = 0;
        dialog.m_LoginServer.bindIp = 0x7F000001;
        if (!dialog.RunStartup()) {
            state.SkipWithError("start-up failed");
            break;
        }
        for (int n = 0; n < kChannels; ++n) {
            g_pAVChannel[n].load()->bManualRecord = 1;
        }
        // The cameras run from the start-up tick to the exit's first steps.
        const auto t0 = std::chrono::steady_clock::now();
        dialog.OnTimer(IDT_STARTUP);
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        dialog.RunExit();
        least = 1 << 30;
        for (int n = 0; n < kChannels; ++n) {
            const int count = RecordedPictures(folder + "/OstVA_Rec", n);
            least = std::min(least, count);
            most = std::max(most, count);
        }
    }
    state.counters["seconds"] = elapsed;
    state.counters["recorded_min"] = least;
    state.counters["recorded_max"] = most;
    state.counters["ratio"] = elapsed > 0 ? least / (elapsed * kFps) : 0;
    RemoveRealtimeCameras();
    SetPcmOutputService(nullptr);
    SetMessageBoxHandler({});
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

BENCHMARK(BM_RealtimeRun)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
