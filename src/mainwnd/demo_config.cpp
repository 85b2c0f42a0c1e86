#include "mainwnd/demo_config.h"

#include <cstdio>
#include <cstring>

#include "settings/settings.h"

namespace {

constexpr int kDemoChannels = 4;
// The ini file gives back this many bytes of a device name.
constexpr size_t kStoredNameBytes = 117;

// Copies name, cut to what the ini file keeps without splitting a
// two-byte GB2312 character.
template <size_t N>
void StoreDeviceName(char (&field)[N], const std::string& name) {
    static_assert(N > kStoredNameBytes);
    size_t end = 0;
    while (end < name.size()) {
        const size_t width = static_cast<unsigned char>(name[end]) >= 0x80 ? 2 : 1;
        if (end + width > kStoredNameBytes || end + width > name.size()) {
            break;
        }
        end += width;
    }
    std::memset(field, 0, N);
    std::memcpy(field, name.data(), end);
}

}  // namespace

int MakeDemoConfig(const std::vector<DemoCamera>& cameras,
                   const std::vector<std::string>& microphones) {
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
        const DemoCamera& camera = cameras[static_cast<size_t>(n) % cameras.size()];
        c.videoin = static_cast<uint8_t>(camera.place);
        StoreDeviceName(c.videoname, camera.name);
        // Channels name a microphone by its place among the microphones.
        if (n == 0 && !microphones.empty()) {
            c.audioin = 1;
            StoreDeviceName(c.audioname, microphones[0]);
        }
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
