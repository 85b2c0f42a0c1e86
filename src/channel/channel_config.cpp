#include "channel/channel_config.h"

#include <cstring>
#include <mutex>

#include "settings/settings_lock.h"

namespace {

bool ValidChannel(int channel) {
    return channel >= 0 && channel < MAX_CHANNELS;
}

}  // namespace

ChannelOsdConfig ReadChannelOsdConfig(int channel) {
    ChannelOsdConfig config;
    if (!ValidChannel(channel)) {
        return config;
    }
    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    const RecordEntry& entry = g_Settings.Record[channel];
    config.title = ReadSettingsText(entry.chname);
    config.bDate = entry.osddate != 0;
    config.bTime = entry.osdtime != 0;
    return config;
}

ChannelMotionConfig ReadChannelMotionConfig(int channel) {
    ChannelMotionConfig config;
    if (!ValidChannel(channel)) {
        return config;
    }
    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    const ScheduleEntry& entry = g_Settings.Schedule[channel];
    std::memcpy(config.byMask, entry.byMotionMask, sizeof config.byMask);
    config.byThreshold = entry.byMotionSmart;
    config.nRecordTime = entry.nMotionRecordTime;
    return config;
}

int ReadSnapshotQuality() {
    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    return (g_Settings.System.bySnapshotQuality + 1) * 10;
}

uint32_t ReadChannelVideoColor(int channel) {
    if (!ValidChannel(channel)) {
        return 0;
    }
    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    return g_Settings.Record[channel].videocolor;
}

void StoreChannelVideoColor(int channel, uint32_t packed) {
    if (!ValidChannel(channel)) {
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(g_SettingsMutex);
    g_Settings.Record[channel].videocolor = packed;
}
