#include "capture/video_proc_amp.h"

#include "capture/capture_device.h"

namespace {

struct Control {
    int32_t property;
    int shift;
};

// Handled in this order: brightness, contrast, saturation, hue.
constexpr Control kControls[] = {{VideoProcAmp_Brightness, 0},
                                 {VideoProcAmp_Contrast, 8},
                                 {VideoProcAmp_Saturation, 16},
                                 {VideoProcAmp_Hue, 24}};

IAMVideoProcAmp* ProcAmpOf(uint8_t device) {
    const CaptureDevice* entry = CaptureDeviceInUse(device);
    if (entry == nullptr || entry->byType != CAPDEV_VIDEO || !entry->pCaptureFilter) {
        return nullptr;
    }
    return entry->pCaptureFilter->ProcAmp();
}

uint32_t Pack(uint32_t word, int32_t value, int shift) {
    return word + (static_cast<uint32_t>(value) << shift);
}

struct Range {
    int32_t min = 0;
    int32_t max = 0;
    int32_t step = 0;
    int32_t def = 0;
};

// Sets every control the device has to choose(control, its range) and packs
// the values set; 0 as soon as a range or a set fails. A control the device
// lacks (often hue) stays 0.
template <typename Choose>
uint32_t SetEachControl(uint8_t device, Choose choose) {
    IAMVideoProcAmp* amp = ProcAmpOf(device);
    if (amp == nullptr) {
        return 0;
    }
    uint32_t word = 0;
    for (const Control& c : kControls) {
        Range r;
        int32_t caps = 0;
        const HRESULT hr = amp->GetRange(c.property, &r.min, &r.max, &r.step, &r.def, &caps);
        if (hr == E_PROP_ID_UNSUPPORTED) {
            continue;
        }
        if (FAILED(hr)) {
            return 0;
        }
        const int32_t v = choose(c, r);
        if (FAILED(amp->Set(c.property, v, VideoProcAmp_Flags_Manual))) {
            return 0;
        }
        word = Pack(word, v, c.shift);
    }
    return word;
}

}  // namespace

int32_t FitToProcAmpRange(int32_t value, int32_t min, int32_t max, int32_t step) {
    if (value > max) {
        return max;
    }
    if (value < min) {
        return min;
    }
    if (step > 1) {
        const int64_t up = static_cast<int64_t>(value) + step - 1;
        const int64_t v = up - ((up - min) % step);
        // A maximum off the grid would be passed: stop at the maximum.
        return v > max ? max : static_cast<int32_t>(v);
    }
    return value;
}

uint32_t GetVideoProcAmp(uint8_t device) {
    IAMVideoProcAmp* amp = ProcAmpOf(device);
    if (amp == nullptr) {
        return 0;
    }
    uint32_t word = 0;
    for (const Control& c : kControls) {
        int32_t value = 0;
        int32_t flags = 0;
        if (FAILED(amp->Get(c.property, &value, &flags))) {
            value = 0;
        }
        word = Pack(word, value, c.shift);
    }
    return word;
}

uint32_t SetVideoProcAmp(uint8_t device, uint32_t values) {
    return SetEachControl(device, [values](const Control& c, const Range& r) {
        return FitToProcAmpRange(static_cast<int32_t>((values >> c.shift) & 0xFF), r.min, r.max,
                                 r.step);
    });
}

uint32_t ResetVideoProcAmp(uint8_t device) {
    return SetEachControl(device, [](const Control& /*c*/, const Range& r) { return r.def; });
}
