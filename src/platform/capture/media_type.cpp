#include "platform/capture/media_type.h"

#include <cstdlib>

int32_t FrameBytes(Subtype subtype, int32_t width, int32_t height) {
    const int64_t w = std::abs(static_cast<int64_t>(width));
    const int64_t h = std::abs(static_cast<int64_t>(height));
    switch (subtype) {
        case Subtype::I420:
        case Subtype::YV12:
            return static_cast<int32_t>(w * h + 2 * ((w / 2) * (h / 2)));
        case Subtype::YUY2:
            return static_cast<int32_t>(w * h * 2);
        case Subtype::RGB24:
            return static_cast<int32_t>(((w * 3 + 3) & ~int64_t{3}) * h);
        default:
            return 0;
    }
}

static uint32_t FourCCOf(Subtype subtype) {
    switch (subtype) {
        case Subtype::I420:
            return MakeFourCC('I', '4', '2', '0');
        case Subtype::YV12:
            return MakeFourCC('Y', 'V', '1', '2');
        case Subtype::YUY2:
            return MakeFourCC('Y', 'U', 'Y', '2');
        case Subtype::MJPG:
            return MakeFourCC('M', 'J', 'P', 'G');
        default:
            return 0;
    }
}

static uint16_t BitCountOf(Subtype subtype) {
    switch (subtype) {
        case Subtype::I420:
        case Subtype::YV12:
            return 12;
        case Subtype::YUY2:
            return 16;
        case Subtype::RGB24:
            return 24;
        default:
            return 0;
    }
}

MediaType MakeVideoType(Subtype subtype, int32_t width, int32_t height, int64_t avgTimePerFrame) {
    MediaType mt;
    mt.majortype = MajorType::Video;
    mt.subtype = subtype;
    mt.formattype = FormatType::VideoInfo;
    mt.cbFormat = kVideoInfoSize;
    mt.video.AvgTimePerFrame = avgTimePerFrame;
    mt.video.bmiHeader.biWidth = width;
    mt.video.bmiHeader.biHeight = height;
    mt.video.bmiHeader.biBitCount = BitCountOf(subtype);
    mt.video.bmiHeader.biCompression = FourCCOf(subtype);
    mt.video.bmiHeader.biSizeImage = static_cast<uint32_t>(FrameBytes(subtype, width, height));
    return mt;
}

MediaType MakePcmType(uint32_t samplesPerSec, uint16_t channels, uint16_t bitsPerSample) {
    MediaType mt;
    mt.majortype = MajorType::Audio;
    mt.subtype = Subtype::PCM;
    mt.formattype = FormatType::WaveFormatEx;
    mt.cbFormat = kWaveFormatExSize;
    mt.wave.wFormatTag = WAVE_FORMAT_PCM;
    mt.wave.nChannels = channels;
    mt.wave.nSamplesPerSec = samplesPerSec;
    mt.wave.wBitsPerSample = bitsPerSample;
    mt.wave.nBlockAlign = static_cast<uint16_t>(channels * bitsPerSample / 8);
    mt.wave.nAvgBytesPerSec = samplesPerSec * mt.wave.nBlockAlign;
    return mt;
}
