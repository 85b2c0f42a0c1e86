// Writes a first configuration into the current directory for a user who
// has not set the recorder up yet: a local channel on each capture
// device found (up to four), C: (the current
// directory) as the record drive, recording all day, and one viewer
// account "viewer" / "viewer" for every channel. An existing ini file is
// left alone.

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "capture/capture_graph.h"
#include "platform/capture/backend_factory.h"
#include "platform/capture/device_enum.h"
#include "settings/channel_ini.h"
#include "settings/settings.h"

int main() {
    if (InitSettingsPaths() == 0) {
        std::fprintf(stderr, "The current directory path is too long.\n");
        return 1;
    }
    struct stat st;
    if (stat("Quorvalind.ini", &st) == 0) {
        std::printf("Quorvalind.ini exists; the configuration is kept.\n");
        return 0;
    }
    // The same devices the recorder will find.
    SetCaptureBackend(CreateCaptureBackend(std::getenv(kSyntheticDevicesEnv)));
    InitCaptureDevices();
    std::vector<int> cameras;
    const int devices = GetCaptureDeviceCount();
    for (int d = 0; d < devices; ++d) {
        if (IsVideoDevice(static_cast<uint8_t>(d))) {
            cameras.push_back(d + 1);
        }
    }
    FreeCaptureDevices();
    if (cameras.empty()) {
        std::fprintf(stderr, "No camera found: no channel is configured.\n");
    }

    LoadSettingsFile();  // the defaults, or what a settings file holds
    g_Settings.System.byRecordDrive[0] = 1;
    std::snprintf(g_Settings.System.sUserName[0], sizeof g_Settings.System.sUserName[0], "viewer");
    std::snprintf(g_Settings.System.sUserPassword[0], sizeof g_Settings.System.sUserPassword[0],
                  "viewer");
    // One channel per camera: a camera feeds the first channel that opens it.
    const int count = static_cast<int>(std::min<size_t>(cameras.size(), 4));
    for (int n = 0; n < count; ++n) {
        g_Settings.System.byUserChannel[0][n] = 1;
        ChannelEntry& c = g_Settings.Channel[n];
        c.status = 1;
        c.mode = SOURCE_LOCAL;
        c.videoin = static_cast<uint8_t>(cameras[n]);
        c.width = 352;
        c.height = 288;
        c.framenum = 25;
        RecordEntry& r = g_Settings.Record[n];
        r.bitrate = 384;
        r.audbitrate = 32;
        r.osdtime = 1;
        r.osddate = 1;
        std::snprintf(r.chname, sizeof r.chname, "Camera %d", n + 1);
        ScheduleEntry& s = g_Settings.Schedule[n];
        s.bySchedRecord[0] = 1;
        s.SchedTimes[0] = ScheduleTimes{0, 0, 23, 59, 0, 0, 23, 59};
    }
    g_Settings.nChConfigNum = static_cast<uint8_t>(count);
    if (SaveSettingsFile() != 1 || SaveChannelIni() != 1 || SaveRecordIni(count) != 1) {
        std::fprintf(stderr, "The configuration could not be written.\n");
        return 1;
    }
    std::printf("Configured %d channels on %zu camera(s).\n", count, cameras.size());
    return 0;
}
