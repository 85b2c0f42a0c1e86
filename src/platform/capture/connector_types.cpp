#include "platform/capture/connector_types.h"

#include <cctype>

#include "platform/capture/interfaces.h"

namespace {

constexpr ConnectorTypeInfo kConnectors[] = {
    {PhysConn_Video_Tuner, "Video Tuner", "tuner"},
    {PhysConn_Video_Composite, "Video Composite", "composite"},
    {PhysConn_Video_SVideo, "Video SVideo", "svideo"},
    {PhysConn_Video_RGB, "Video RGB", "rgb"},
    {PhysConn_Video_YRYBY, "Video YRYBY", "yryby"},
    {PhysConn_Video_SerialDigital, "Video SerialDigital", "serialdigital"},
    {PhysConn_Video_ParallelDigital, "Video ParallelDigital", "paralleldigital"},
    {PhysConn_Video_SCSI, "Video SCSI", "scsi"},
    {PhysConn_Video_AUX, "Video AUX", "aux"},
    {PhysConn_Video_1394, "Video 1394", "1394"},
    {PhysConn_Video_USB, "Video USB", "usb"},
    {PhysConn_Video_VideoDecoder, "Video Decoder", "decoder"},
    {PhysConn_Video_VideoEncoder, "Video Encoder", "encoder"},
    {PhysConn_Audio_Tuner, "Audio Tuner", "audiotuner"},
    {PhysConn_Audio_Line, "Audio Line", "audioline"},
    {PhysConn_Audio_Mic, "Audio Mic", "audiomic"},
    {PhysConn_Audio_AESDigital, "Audio AESDigital", "audioaesdigital"},
    {PhysConn_Audio_SPDIFDigital, "Audio SPDIFDigital", "audiospdifdigital"},
    {PhysConn_Audio_SCSI, "Audio SCSI", "audioscsi"},
    {PhysConn_Audio_AUX, "Audio AUX", "audioaux"},
    {PhysConn_Audio_1394, "Audio 1394", "audio1394"},
    {PhysConn_Audio_USB, "Audio USB", "audiousb"},
    {PhysConn_Audio_AudioDecoder, "Audio Decoder", "audiodecoder"},
};

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

const ConnectorTypeInfo* FindConnectorType(int32_t type) {
    for (const ConnectorTypeInfo& c : kConnectors) {
        if (c.type == type) {
            return &c;
        }
    }
    return nullptr;
}

const ConnectorTypeInfo* FindConnectorWord(std::string_view word) {
    for (const ConnectorTypeInfo& c : kConnectors) {
        if (SameWord(c.word, word)) {
            return &c;
        }
    }
    return nullptr;
}
