#include "mainwnd/demo_config.h"

#include <cstdio>

#include "settings/settings.h"

namespace {

constexpr int kDemoChannels = 4;

}  // namespace

int MakeDemoConfig(const std::vector<int>& cameras, int microphones) {
    g_Settings.System.byRecordDrive[0] = 1;
    std::snprintf(g_Settings.System.sUserName[0], sizeof g_Settings.System.sUserName[0], "viewer");
    std::snprintf(g_Settings.System.sUserPassword[0], sizeof g_Settings.System.sUserPassword[0],
                  "viewer");
    const int count = cameras.empty() ? 0 : kDemoChannels;
    for (int n = 0; n < count; ++n) {
        g_Settings.System.byUserChannel[0][n] = 1;
        ChannelEntry& c = g_Settings.Channel[n];
        c.status = 1;
        c.mode = SOURCE_LOCAL;
        c.videoin = static_cast<uint8_t>(cameras[static_cast<size_t>(n) % cameras.size()]);
        // Channels name a microphone by its place among the microphones.
        c.audioin = n == 0 && microphones > 0 ? 1 : 0;
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
    return count;
}
