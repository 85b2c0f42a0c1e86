#pragma once
// The settings a channel reads while it runs, copied out of g_Settings under
// the settings mutex so that a dialog's Save never tears them.

#include <cstdint>
#include <string>

// On-screen text of a channel's pictures.
struct ChannelOsdConfig {
    std::string title;  // chname
    bool bDate = false;
    bool bTime = false;
};
ChannelOsdConfig ReadChannelOsdConfig(int channel);

// Motion detection inputs of a channel.
struct ChannelMotionConfig {
    uint8_t byMask[64] = {};  // watched cells, row * 8 + column
    uint8_t byThreshold = 0;
    int nRecordTime = 0;  // seconds an alarm lasts after the last motion
};
ChannelMotionConfig ReadChannelMotionConfig(int channel);

// JPEG quality of snapshots: (bySnapshotQuality + 1) * 10.
int ReadSnapshotQuality();

// The stored picture-control word of a channel (0 = none stored).
uint32_t ReadChannelVideoColor(int channel);
void StoreChannelVideoColor(int channel, uint32_t packed);
