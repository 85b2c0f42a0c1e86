#pragma once
// The capture device table: 16 entries, video devices first, then audio
// devices, with each device's capture filter, crossbar helper, sink filter,
// name, frame callback and (video) list of usable formats; the one capture
// graph; and the two locks that serialise delivery.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/capture/device_enum.h"
#include "platform/capture/filter_graph.h"

constexpr uint8_t CAPDEV_AUDIO = 1;
constexpr uint8_t CAPDEV_VIDEO = 2;
constexpr int MAX_CAPTURE_DEVICES = 16;
constexpr int CAPTURE_NAME_SIZE = 512;

// Kinds of sample handed to a FrameCallback.
constexpr int32_t CAPTURE_KIND_AUDIO = 1;
constexpr int32_t CAPTURE_KIND_VIDEO = 2;

// device: table index (low 8 bits); data: valid only during the call;
// length: bytes. Video: a = width, b = height (positive), c = row bytes of a
// 24-bit row; the data is I420. Audio: a = channels, b = samples per second,
// c = bits per sample. Called on a streaming thread while the capture lock
// of its kind is held. The result is ignored.
using FrameCallback = int32_t (*)(int32_t device, uint8_t* data, int32_t length, int32_t a,
                                  int32_t b, int32_t c, int32_t kind);

class CCrossbarHelper;
struct VideoDevMode;

struct CaptureDevice {
    CaptureDevice();
    ~CaptureDevice();

    uint8_t byIndex = 0;
    uint8_t byType = 0;  // 0 free, CAPDEV_AUDIO, CAPDEV_VIDEO
    std::shared_ptr<BaseFilter> pCaptureFilter;
    std::unique_ptr<CCrossbarHelper> pCrossbar;
    int32_t nCrossbarInputs = 0;
    BaseFilter* pSinkFilter = nullptr;  // held by the graph
    char szName[CAPTURE_NAME_SIZE] = {};
    // Read by streaming threads of both kinds, replaced on the UI thread.
    std::atomic<FrameCallback> pfnFrameCallback{nullptr};
    std::unique_ptr<VideoDevMode> pModeList;
    uint8_t byModeCount = 0;
    // Video: its format step at start succeeded, so its sink is connected
    // and it delivers pictures. A sink may be there without it (the
    // connection failed).
    bool bVideoModeFound = false;
};

extern CaptureDevice g_CaptureDevices[MAX_CAPTURE_DEVICES];
extern std::unique_ptr<FilterGraph> g_pGraphBuilder;
extern IMediaControl* g_pMediaControl;
extern std::unique_ptr<ICaptureGraphBuilder2> g_pCaptureBuilder;
extern std::atomic<int32_t> g_nCaptureDeviceCount;
// Lock order: a channel's mutex may be held when one of these is taken,
// never the other way round.
extern std::mutex g_csVideoCapture;
extern std::mutex g_csAudioCapture;

// The entry when the index is in use, else null.
CaptureDevice* CaptureDeviceInUse(int device);
