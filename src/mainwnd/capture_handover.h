#pragma once
// Binds capture devices to channels: every picture or sound buffer of a
// device goes to each channel bound to that device. Channels name video
// devices by table index and audio devices by their place among the audio
// devices (the table lists every video device first).

#include <cstdint>

// FrameCallbacks of the capture layer (streaming threads); both return 0.
int32_t OnVideoCaptureFrame(int32_t device, uint8_t* data, int32_t length, int32_t width,
                            int32_t height, int32_t rowBytes, int32_t kind);
int32_t OnAudioCaptureData(int32_t device, uint8_t* data, int32_t length, int32_t channels,
                           int32_t samplesPerSec, int32_t bitsPerSample, int32_t kind);

// Gives every capture device its callback and finds g_byFirstAudioDevice.
void AttachCaptureCallbacks();
// Takes every device's callback away.
void DetachCaptureCallbacks();
