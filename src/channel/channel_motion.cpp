// Motion detection on the 8 x 8 grid and the motion alarm with its log
// lines and alerts; runs in the display step on DrawVideo.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "channel/av_channel.h"
#include "channel/channel_config.h"
#include "channel/media_calls.h"
#include "settings/globals.h"
#include "settings/log_entry.h"

void CAVChannel::DetectMotion(const uint8_t* y, int stride, int width, int height) {
    uint8_t means[MOTION_CELLS] = {};
    if (width == 352 && height == 288) {
        SampleMotionGrid352x288(y, stride, means);
    } else if (width == 176 && height == 144) {
        SampleMotionGrid176x144(y, stride, means);
    } else if (width == 320 && height == 240) {
        SampleMotionGrid320x240(y, stride, means);
    } else if (width == 160 && height == 120) {
        SampleMotionGrid160x120(y, stride, means);
    }
    if (byWarmupFrames < MOTION_HISTORY_ROWS) {
        for (auto& level : byMotionLevels) {
            level.store(0, std::memory_order_relaxed);
        }
        ++byWarmupFrames;
    } else {
        for (int i = 0; i < MOTION_CELLS; ++i) {
            int largest = 0;
            for (const auto& row : byMotionHistory) {
                largest = std::max(largest, std::abs(row[i] - means[i]));
            }
            byMotionLevels[i].store(static_cast<uint8_t>(largest), std::memory_order_relaxed);
        }
    }
    for (int i = 0; i < MOTION_CELLS; ++i) {
        byMotionHistory[byHistoryIndex][i] = means[i];
    }
    byHistoryIndex = static_cast<uint8_t>((byHistoryIndex + 1) % MOTION_HISTORY_ROWS);
}

int CAVChannel::CheckMotionAlarm(const uint8_t motionMask[MOTION_CELLS], uint8_t threshold,
                                 int recordTime) {
    const int now = g_nUptimeSeconds.load();
    for (int i = 0; i < MOTION_CELLS; ++i) {
        if (motionMask[i] != 0 && byMotionLevels[i].load(std::memory_order_relaxed) > threshold) {
            nAlarmStamp = now;
            break;
        }
    }
    return static_cast<long long>(now) - nAlarmStamp < recordTime ? 1 : 0;
}

void CAVChannel::LogMotion(bool start) {
    char text[64];
    std::snprintf(text, sizeof text,
                  start ? "Ch%02d start video motion alarm record!"
                        : "Ch%02d stop video motion alarm record!",
                  nChannel + 1);
    ChannelHost().WriteLogEntry(LOGTYPE_MOTION, nChannel + 1, text);
}

void CAVChannel::MotionStep(const uint8_t* y, int stride, int width, int height) {
    UpdateMotionAlarm(SampleMotion(y, stride, width, height));
}

bool CAVChannel::SampleMotion(const uint8_t* y, int stride, int width, int height) {
    if (bMotionDetect.load() != 0) {
        DetectMotion(y, stride, width, height);
        return true;
    }
    if (bMotionTest.load() != 0) {
        DetectMotion(y, stride, width, height);
    } else {
        byWarmupFrames = 0;
    }
    return false;
}

void CAVChannel::UpdateMotionAlarm(bool detecting) {
    if (detecting) {
        const ChannelMotionConfig config = ReadChannelMotionConfig(nChannel);
        const int alarm = CheckMotionAlarm(config.byMask, config.byThreshold, config.nRecordTime);
        if (alarm != bMotionAlarm.load()) {
            if (alarm != 0) {
                AlertSink().RaiseMotionAlert(nChannel);
            }
            LogMotion(alarm != 0);
        }
        bMotionAlarm = alarm;
        return;
    }
    if (bMotionAlarm.load() != 0) {
        LogMotion(false);
    }
    bMotionAlarm = 0;
}

int CAVChannel::GetMotionLevels(uint8_t* levels) const {
    if (levels == nullptr) {
        return 0;
    }
    for (int i = 0; i < MOTION_CELLS; ++i) {
        levels[i] = byMotionLevels[i].load(std::memory_order_relaxed);
    }
    return 1;
}
