#include "capture/capture_graph.h"

#include <cstring>
#include <vector>

#include "capture/ansi_text.h"
#include "capture/capture_formats.h"
#include "capture/crossbar_helper.h"
#include "platform/msgbox/message_box.h"

CaptureDevice::CaptureDevice() = default;
CaptureDevice::~CaptureDevice() = default;

CaptureDevice g_CaptureDevices[MAX_CAPTURE_DEVICES];
std::unique_ptr<FilterGraph> g_pGraphBuilder;
IMediaControl* g_pMediaControl = nullptr;
std::unique_ptr<ICaptureGraphBuilder2> g_pCaptureBuilder;
std::atomic<int32_t> g_nCaptureDeviceCount{0};
std::mutex g_csVideoCapture;
std::mutex g_csAudioCapture;

namespace {

void ShowError(const char* text) {
    ShowMessageBox(text, "ERROR", MB_OK);
}

void ClearEntry(CaptureDevice& entry, uint8_t index) {
    entry.byIndex = index;
    entry.byType = 0;
    entry.pCaptureFilter.reset();
    entry.pCrossbar.reset();
    entry.nCrossbarInputs = 0;
    entry.pSinkFilter = nullptr;
    std::memset(entry.szName, 0, sizeof(entry.szName));
    entry.pfnFrameCallback.store(nullptr);
    entry.pModeList.reset();
    entry.byModeCount = 0;
    entry.bVideoModeFound = false;
}

}  // namespace

CaptureDevice* CaptureDeviceInUse(int device) {
    if (device < 0 || device >= g_nCaptureDeviceCount.load() || device >= MAX_CAPTURE_DEVICES) {
        return nullptr;
    }
    return &g_CaptureDevices[device];
}

// Creates the builder and the graph and joins them; both stay null when the
// graph cannot be created.
static void InitCaptureGraphBuilder(std::unique_ptr<FilterGraph>* graph,
                                    std::unique_ptr<ICaptureGraphBuilder2>* builder) {
    if (FAILED(CoCreateCaptureGraphBuilder(builder))) {
        builder->reset();
        return;
    }
    if (FAILED(CoCreateFilterGraph(graph))) {
        builder->reset();
        graph->reset();
        return;
    }
    (*builder)->SetFiltergraph(graph->get());
    g_pMediaControl = (*graph)->QueryMediaControl();
    if (g_pMediaControl == nullptr) {
        ShowError("Get Media Control Failed!");
    }
}

int InitCaptureDevices() {
    if (FAILED(CoInitialize())) {
        ShowError("CoInitialize Failed!");
        return 0;
    }
    InitCaptureGraphBuilder(&g_pGraphBuilder, &g_pCaptureBuilder);
    if (!g_pGraphBuilder || !g_pCaptureBuilder) {
        ShowError("InitCaptureGraphBuilder");
        return 0;
    }
    for (int i = 0; i < MAX_CAPTURE_DEVICES; ++i) {
        ClearEntry(g_CaptureDevices[i], static_cast<uint8_t>(i));
    }
    g_nCaptureDeviceCount.store(0);
    EnumCaptureDevices(CAPDEV_VIDEO);
    EnumCaptureDevices(CAPDEV_AUDIO);
    for (int i = 0; i < g_nCaptureDeviceCount.load(); ++i) {
        if (g_CaptureDevices[i].byType == CAPDEV_AUDIO) {
            if (SetAudioCaptureMode(i) != 0) {
                ShowError("SetAudioCaptureMode Failed!!!");
            }
        } else if (g_CaptureDevices[i].byType == CAPDEV_VIDEO) {
            g_CaptureDevices[i].bVideoModeFound = FindVideoDevMode(i) == 0;
            if (!g_CaptureDevices[i].bVideoModeFound) {
                ShowError("FindVideoDevMode Failed!!!");
            }
        }
    }
    return 1;
}

void EnumCaptureDevices(uint8_t kind) {
    std::unique_ptr<ICreateDevEnum> devEnum;
    if (FAILED(CoCreateSystemDeviceEnum(&devEnum))) {
        return;
    }
    DeviceCategory category;
    if (kind == CAPDEV_AUDIO) {
        category = DeviceCategory::AudioInput;
    } else if (kind == CAPDEV_VIDEO) {
        category = DeviceCategory::VideoInput;
    } else {
        return;
    }
    std::vector<std::unique_ptr<IMoniker>> monikers;
    if (devEnum->CreateClassEnumerator(category, &monikers) != S_OK) {
        return;
    }
    for (auto& moniker : monikers) {
        const int count = g_nCaptureDeviceCount.load();
        if (count >= MAX_CAPTURE_DEVICES) {
            break;
        }
        std::unique_ptr<IPropertyBag> bag;
        if (FAILED(moniker->BindToPropertyBag(&bag)) || !bag) {
            continue;
        }
        std::u16string text;
        if (FAILED(bag->Read("Description", &text)) && FAILED(bag->Read("FriendlyName", &text))) {
            text.clear();
        }
        std::shared_ptr<BaseFilter> filter;
        if (FAILED(moniker->BindToFilter(&filter)) || !filter) {
            continue;
        }
        g_pGraphBuilder->AddFilter(filter, "Capture Filter");
        CaptureDevice& entry = g_CaptureDevices[count];
        Utf16ToAnsi(text, entry.szName, sizeof(entry.szName));
        entry.byType = kind;
        entry.pCaptureFilter = std::move(filter);
        if (kind == CAPDEV_VIDEO) {
            FindCrossbar(count);
        }
        g_nCaptureDeviceCount.store(count + 1);
    }
}

int FreeCaptureDevices() {
    if (g_pMediaControl != nullptr) {
        g_pMediaControl->Stop();
    }
    for (int i = 0; i < MAX_CAPTURE_DEVICES; ++i) {
        CaptureDevice& entry = g_CaptureDevices[i];
        entry.pCaptureFilter.reset();
        entry.pCrossbar.reset();
        entry.pModeList.reset();
        entry.byModeCount = 0;
        entry.bVideoModeFound = false;
    }
    g_pCaptureBuilder.reset();
    g_pMediaControl = nullptr;
    // The graph holds the only reference of each sink: they go with it.
    g_pGraphBuilder.reset();
    for (int i = 0; i < MAX_CAPTURE_DEVICES; ++i) {
        g_CaptureDevices[i].pSinkFilter = nullptr;
    }
    CoUninitialize();
    return 1;
}

int RunCapture() {
    if (g_pMediaControl == nullptr || g_nCaptureDeviceCount.load() == 0) {
        return 0;
    }
    return SUCCEEDED(g_pMediaControl->Run()) ? 1 : 0;
}

int StopCapture() {
    if (g_pMediaControl == nullptr) {
        return 0;
    }
    return SUCCEEDED(g_pMediaControl->Stop()) ? 1 : 0;
}

int SetFrameCallback(uint8_t device, FrameCallback callback) {
    if (device >= g_nCaptureDeviceCount.load()) {
        return 0;
    }
    CaptureDevice& entry = g_CaptureDevices[device];
    // The lock the device's sink delivers under: once this returns, no
    // delivery of the device is still inside the old receiver, which the
    // exit relies on before it frees the receivers.
    std::mutex& delivery = entry.byType == CAPDEV_VIDEO ? g_csVideoCapture : g_csAudioCapture;
    std::lock_guard<std::mutex> lock(delivery);
    entry.pfnFrameCallback.store(callback);
    return 1;
}

uint8_t GetCaptureDeviceCount() {
    return static_cast<uint8_t>(g_nCaptureDeviceCount.load());
}

int IsVideoDevice(uint8_t device) {
    const CaptureDevice* entry = CaptureDeviceInUse(device);
    return entry != nullptr && entry->byType == CAPDEV_VIDEO ? 1 : 0;
}

int IsPictureSource(uint8_t device) {
    const CaptureDevice* entry = CaptureDeviceInUse(device);
    return entry != nullptr && entry->byType == CAPDEV_VIDEO && entry->bVideoModeFound ? 1 : 0;
}

int GetCaptureDeviceInfo(uint8_t device, char* name, char* inputs, int32_t inputsSize) {
    const CaptureDevice* entry = CaptureDeviceInUse(device);
    if (entry == nullptr || !entry->pCaptureFilter || entry->pSinkFilter == nullptr ||
        name == nullptr || inputs == nullptr || inputsSize < 1) {
        return 0;
    }
    std::memcpy(name, entry->szName, sizeof(entry->szName));
    name[CAPTURE_NAME_SIZE - 1] = '\0';
    inputs[0] = 0;
    if (!entry->pCrossbar || entry->nCrossbarInputs <= 0) {
        return 1;
    }
    // Names are written whole while they fit; the count says how many did.
    int32_t used = 1;
    int count = 0;
    for (int32_t i = 0; i < entry->nCrossbarInputs && count < 255; ++i) {
        char text[CAPTURE_NAME_SIZE] = {};
        if (FAILED(entry->pCrossbar->GetInputName(i, text, sizeof(text)))) {
            break;
        }
        const auto len = static_cast<int32_t>(std::strlen(text)) + 1;
        if (len > inputsSize - used) {
            break;
        }
        std::memcpy(inputs + used, text, static_cast<size_t>(len));
        used += len;
        ++count;
    }
    inputs[0] = static_cast<char>(count);
    return 1;
}
