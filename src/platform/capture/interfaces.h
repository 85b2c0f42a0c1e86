#pragma once
// The device-side services a capture filter or one of its pins may offer:
// stream configuration, buffer negotiation, crossbar switching and the
// picture controls. Each is an abstract class; a filter or pin that lacks a
// service returns null when asked for it.

#include <cstdint>

#include "platform/capture/hresult.h"
#include "platform/capture/media_type.h"

class IAMStreamConfig {
public:
    virtual ~IAMStreamConfig() = default;
    // Number of capability records and the size of one record.
    virtual HRESULT GetNumberOfCapabilities(int* count, int* size) = 0;
    // The index-th capability, in the device's order.
    virtual HRESULT GetStreamCaps(int index, MediaType* mt, StreamCaps* caps) = 0;
    virtual HRESULT GetFormat(MediaType* mt) = 0;
    // On a connected pin the downstream filter must accept the type first.
    virtual HRESULT SetFormat(const MediaType& mt) = 0;
};

class IAMBufferNegotiation {
public:
    virtual ~IAMBufferNegotiation() = default;
    // Only before the pin is connected.
    virtual HRESULT SuggestAllocatorProperties(const AllocatorProperties& props) = 0;
};

// Physical connector types of crossbar pins.
enum PhysicalConnectorType : int32_t {
    PhysConn_Video_Tuner = 1,
    PhysConn_Video_Composite = 2,
    PhysConn_Video_SVideo = 3,
    PhysConn_Video_RGB = 4,
    PhysConn_Video_YRYBY = 5,
    PhysConn_Video_SerialDigital = 6,
    PhysConn_Video_ParallelDigital = 7,
    PhysConn_Video_SCSI = 8,
    PhysConn_Video_AUX = 9,
    PhysConn_Video_1394 = 10,
    PhysConn_Video_USB = 11,
    PhysConn_Video_VideoDecoder = 12,
    PhysConn_Video_VideoEncoder = 13,
    PhysConn_Audio_Tuner = 4096,
    PhysConn_Audio_Line = 4097,
    PhysConn_Audio_Mic = 4098,
    PhysConn_Audio_AESDigital = 4099,
    PhysConn_Audio_SPDIFDigital = 4100,
    PhysConn_Audio_SCSI = 4101,
    PhysConn_Audio_AUX = 4102,
    PhysConn_Audio_1394 = 4103,
    PhysConn_Audio_USB = 4104,
    PhysConn_Audio_AudioDecoder = 4105,
};

class IAMCrossbar {
public:
    virtual ~IAMCrossbar() = default;
    virtual HRESULT get_PinCounts(int32_t* outputCount, int32_t* inputCount) = 0;
    // Related pin index (-1 none) and physical type of an input or output.
    virtual HRESULT get_CrossbarPinInfo(bool isInput, int32_t index, int32_t* related,
                                        int32_t* physicalType) = 0;
    // S_OK when the output can be fed from the input, S_FALSE when not.
    virtual HRESULT CanRoute(int32_t output, int32_t input) = 0;
    virtual HRESULT Route(int32_t output, int32_t input) = 0;
    // The input that now feeds the output (-1 none).
    virtual HRESULT get_IsRoutedTo(int32_t output, int32_t* input) = 0;
};

// Picture-control property ids and flags.
enum VideoProcAmpProperty : int32_t {
    VideoProcAmp_Brightness = 0,
    VideoProcAmp_Contrast = 1,
    VideoProcAmp_Hue = 2,
    VideoProcAmp_Saturation = 3,
};
constexpr int32_t VideoProcAmp_Flags_Auto = 1;
constexpr int32_t VideoProcAmp_Flags_Manual = 2;

class IAMVideoProcAmp {
public:
    virtual ~IAMVideoProcAmp() = default;
    // E_PROP_ID_UNSUPPORTED for a property the device does not have.
    virtual HRESULT GetRange(int32_t property, int32_t* min, int32_t* max, int32_t* step,
                             int32_t* def, int32_t* flags) = 0;
    virtual HRESULT Get(int32_t property, int32_t* value, int32_t* flags) = 0;
    virtual HRESULT Set(int32_t property, int32_t value, int32_t flags) = 0;
};
