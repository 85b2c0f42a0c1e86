#include "capture/capture_formats.h"

#include "capture/capture_device.h"
#include "capture/sink_filters.h"
#include "platform/msgbox/message_box.h"

namespace {

void ShowError(const char* text) {
    ShowMessageBox(text, "ERROR", MB_OK);
}

uint8_t KindOfSubtype(Subtype subtype) {
    switch (subtype) {
        case Subtype::I420:
            return VMODE_I420;
        case Subtype::YV12:
            return VMODE_YV12;
        case Subtype::YUY2:
            return VMODE_YUY2;
        default:
            return 0;
    }
}

IAMStreamConfig* CaptureStreamConfig(const CaptureDevice& entry) {
    IAMStreamConfig* config = nullptr;
    if (!g_pCaptureBuilder ||
        FAILED(g_pCaptureBuilder->FindInterface(PinCategory::Capture, MajorType::Any,
                                                entry.pCaptureFilter.get(), &config))) {
        return nullptr;
    }
    return config;
}

}  // namespace

uint8_t MaxFpsOfInterval(int64_t minFrameInterval) {
    if (minFrameInterval <= 0) {
        return kUnstatedMaxFps;
    }
    const int64_t fps = 10000000 / minFrameInterval;
    return static_cast<uint8_t>(fps > 255 ? 255 : fps);
}

int32_t FindVideoDevMode(int32_t device) {
    CaptureDevice* entry = CaptureDeviceInUse(device);
    if (entry == nullptr || !entry->pCaptureFilter) {
        return E_FAIL;
    }
    entry->pModeList.reset();
    entry->byModeCount = 0;
    if (IAMStreamConfig* config = CaptureStreamConfig(*entry)) {
        int count = 0;
        int size = 0;
        std::unique_ptr<VideoDevMode>* tail = &entry->pModeList;
        if (SUCCEEDED(config->GetNumberOfCapabilities(&count, &size)) &&
            size == kVideoCapsRecordSize) {
            for (int i = 0; i < count && entry->byModeCount < 255; ++i) {
                MediaType mt;
                StreamCaps caps;
                if (config->GetStreamCaps(i, &mt, &caps) != S_OK) {
                    continue;
                }
                const uint8_t kind = KindOfSubtype(mt.subtype);
                if (mt.majortype != MajorType::Video || mt.formattype != FormatType::VideoInfo ||
                    mt.cbFormat < kVideoInfoSize || kind == 0 ||
                    mt.video.bmiHeader.biWidth > kMaxModeWidth ||
                    mt.video.bmiHeader.biHeight > kMaxModeHeight) {
                    continue;
                }
                auto node = std::make_unique<VideoDevMode>();
                node->byKind = kind;
                node->nWidth = mt.video.bmiHeader.biWidth;
                node->nHeight = mt.video.bmiHeader.biHeight;
                node->byMinFps = kMinModeFps;
                node->byMaxFps = MaxFpsOfInterval(caps.video.MinFrameInterval);
                *tail = std::move(node);
                tail = &(*tail)->pNext;
                ++entry->byModeCount;
            }
        }
    }
    if (!entry->pModeList) {
        return E_FAIL;
    }
    auto sink = std::make_shared<CVideoSinkFilter>(static_cast<uint8_t>(device));
    if (FAILED(g_pGraphBuilder->AddFilter(sink, "VideoDataSource Renderer"))) {
        return E_FAIL;
    }
    entry->pSinkFilter = sink.get();
    // A device with a crossbar is connected too: its routed input is what
    // the channel shows.
    const HRESULT hr = g_pCaptureBuilder->RenderStream(
        PinCategory::Capture, MajorType::Video, entry->pCaptureFilter.get(), nullptr, sink.get());
    return SUCCEEDED(hr) ? 0 : E_FAIL;
}

int32_t SetAudioCaptureMode(int32_t device) {
    CaptureDevice* entry = CaptureDeviceInUse(device);
    if (entry == nullptr || !entry->pCaptureFilter) {
        return E_FAIL;
    }
    IAMStreamConfig* config = CaptureStreamConfig(*entry);
    if (config == nullptr) {
        ShowError("SetAudio 22.05K Failed!!!");
        return E_FAIL;
    }
    bool set = false;
    int count = 0;
    int size = 0;
    if (SUCCEEDED(config->GetNumberOfCapabilities(&count, &size)) && size == kAudioCapsRecordSize) {
        for (int i = 0; i < count; ++i) {
            MediaType mt;
            StreamCaps caps;
            if (config->GetStreamCaps(i, &mt, &caps) != S_OK) {
                continue;
            }
            if (mt.majortype == MajorType::Audio && mt.formattype == FormatType::WaveFormatEx &&
                mt.cbFormat >= kWaveFormatExSize && mt.subtype == Subtype::PCM &&
                mt.wave.wFormatTag == WAVE_FORMAT_PCM &&
                mt.wave.nSamplesPerSec == kAudioSamplesPerSec && mt.wave.nChannels == 1 &&
                mt.wave.wBitsPerSample == 16) {
                if (SUCCEEDED(config->SetFormat(mt))) {
                    set = true;
                }
            }
        }
    }
    if (!set) {
        ShowError("SetAudio 22.05K Failed!!!");
        return E_FAIL;
    }
    // Small buffers keep the sound close to the pictures; this must happen
    // before the pin is connected.
    for (const auto& pin : entry->pCaptureFilter->Pins()) {
        if (pin->Direction() != PinDirection::Output) {
            continue;
        }
        IAMBufferNegotiation* negotiation = pin->BufferNegotiation();
        if (negotiation == nullptr) {
            break;
        }
        AllocatorProperties props;
        props.cBuffers = kAudioBufferCount;
        props.cbBuffer = kAudioBufferBytes;
        props.cbAlign = 2;
        props.cbPrefix = 0;
        negotiation->SuggestAllocatorProperties(props);
    }
    auto sink = std::make_shared<CAudioSinkFilter>(static_cast<uint8_t>(device));
    if (FAILED(g_pGraphBuilder->AddFilter(sink, "AudioDataSource Renderer"))) {
        return E_FAIL;
    }
    entry->pSinkFilter = sink.get();
    const HRESULT hr = g_pCaptureBuilder->RenderStream(
        PinCategory::Capture, MajorType::Audio, entry->pCaptureFilter.get(), nullptr, sink.get());
    return SUCCEEDED(hr) ? 0 : E_FAIL;
}

int32_t ListVideoDevModes(uint8_t device, VideoModeItem* items, int32_t bufferBytes) {
    const CaptureDevice* entry = CaptureDeviceInUse(device);
    if (entry == nullptr) {
        return -1;
    }
    if (entry->byType != CAPDEV_VIDEO) {
        return -2;
    }
    int32_t n = 0;
    for (const VideoDevMode* node = entry->pModeList.get(); node != nullptr;
         node = node->pNext.get()) {
        bool seen = false;
        for (int32_t k = 0; k < n && !seen; ++k) {
            seen = items[k].wWidth == static_cast<uint16_t>(node->nWidth) &&
                   items[k].wHeight == static_cast<uint16_t>(node->nHeight);
        }
        if (seen) {
            continue;
        }
        if (items == nullptr ||
            bufferBytes < (n + 1) * static_cast<int32_t>(sizeof(VideoModeItem))) {
            return -3;
        }
        items[n].wWidth = static_cast<uint16_t>(node->nWidth);
        items[n].wHeight = static_cast<uint16_t>(node->nHeight);
        items[n].wMinFps = node->byMinFps;
        items[n].wMaxFps = node->byMaxFps;
        ++n;
    }
    return n;
}

int32_t SelectVideoMode(uint8_t device, int32_t width, int32_t height, uint8_t fps) {
    const CaptureDevice* entry = CaptureDeviceInUse(device);
    if (entry == nullptr || entry->byType != CAPDEV_VIDEO) {
        return 0;
    }
    for (uint8_t kind : {VMODE_I420, VMODE_YV12, VMODE_YUY2}) {
        for (VideoDevMode* node = entry->pModeList.get(); node != nullptr;
             node = node->pNext.get()) {
            if (node->byKind != kind || node->nWidth != width || node->nHeight != height ||
                fps < node->byMinFps || fps > node->byMaxFps) {
                continue;
            }
            node->byFps = fps;
            if (ApplyVideoMode(device, node) == 0) {
                return 1;
            }
        }
    }
    return 0;
}

int32_t ApplyVideoMode(int32_t device, VideoDevMode* mode) {
    const CaptureDevice* entry = CaptureDeviceInUse(device);
    if (entry == nullptr || mode == nullptr) {
        return E_FAIL;
    }
    Subtype subtype;
    switch (mode->byKind) {
        case VMODE_I420:
            subtype = Subtype::I420;
            break;
        case VMODE_YV12:
            subtype = Subtype::YV12;
            break;
        case VMODE_YUY2:
            subtype = Subtype::YUY2;
            break;
        default:
            return E_FAIL;
    }
    IAMStreamConfig* config = CaptureStreamConfig(*entry);
    MediaType mt;
    if (config == nullptr || mode->byFps == 0 || config->GetFormat(&mt) != S_OK ||
        mt.formattype != FormatType::VideoInfo) {
        ShowError("Set Video Mode Failed!!!");
        return E_FAIL;
    }
    mt.subtype = subtype;
    mt.video.bmiHeader.biWidth = mode->nWidth;
    mt.video.bmiHeader.biHeight = mode->nHeight;
    mt.video.AvgTimePerFrame = 10000000 / mode->byFps;
    if (FAILED(config->SetFormat(mt))) {
        ShowError("Set Video Mode Failed!!!");
        return E_FAIL;
    }
    return 0;
}
