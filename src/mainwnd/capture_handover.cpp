#include "mainwnd/capture_handover.h"

#include "capture/capture_graph.h"
#include "channel/av_channel.h"
#include "settings/globals.h"

int32_t OnVideoCaptureFrame(int32_t device, uint8_t* data, int32_t length, int32_t width,
                            int32_t height, int32_t rowBytes, int32_t /*kind*/) {
    const int index = device & 0xFF;
    const int count = g_nChannelCount.load();
    for (int n = 0; n < count; ++n) {
        CAVChannel* channel = g_pAVChannel[n].load();
        if (channel != nullptr && channel->nVideoDevice.load() == index) {
            channel->OnVideoFrame(data, length, width, height, rowBytes);
        }
    }
    return 0;
}

int32_t OnAudioCaptureData(int32_t device, uint8_t* data, int32_t length, int32_t /*channels*/,
                           int32_t /*samplesPerSec*/, int32_t /*bitsPerSample*/, int32_t /*kind*/) {
    const int ordinal = (device & 0xFF) - static_cast<int>(g_byFirstAudioDevice.load());
    const int count = g_nChannelCount.load();
    for (int n = 0; n < count; ++n) {
        CAVChannel* channel = g_pAVChannel[n].load();
        if (channel != nullptr && channel->nAudioDevice.load() == ordinal) {
            channel->OnAudioData(data, length);
        }
    }
    return 0;
}

void AttachCaptureCallbacks() {
    const int count = GetCaptureDeviceCount();
    for (int d = 0; d < count; ++d) {
        const auto device = static_cast<uint8_t>(d);
        if (IsVideoDevice(device)) {
            SetFrameCallback(device, &OnVideoCaptureFrame);
        } else {
            SetFrameCallback(device, &OnAudioCaptureData);
            if (g_byFirstAudioDevice.load() > 200) {
                g_byFirstAudioDevice = device;
            }
        }
    }
}

void DetachCaptureCallbacks() {
    const int count = GetCaptureDeviceCount();
    for (int d = 0; d < count; ++d) {
        SetFrameCallback(static_cast<uint8_t>(d), nullptr);
    }
}
