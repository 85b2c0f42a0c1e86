#include "media/mp3_decoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

std::mutex g_hipMutex;

// One MPEG audio frame holds at most 1152 samples per channel.
constexpr int kMaxFrameSamples = 1152;

}  // namespace

struct Mp3Decoder {
    hip_t hip = nullptr;
};

Mp3Decoder* Mp3DecoderOpen() {
    std::lock_guard<std::mutex> lock(g_hipMutex);
    hip_t hip = hip_decode_init();
    if (hip == nullptr) {
        return nullptr;
    }
    // LAME prints its decoder complaints to stderr by default.
    hip_set_errorf(hip, nullptr);
    hip_set_debugf(hip, nullptr);
    hip_set_msgf(hip, nullptr);
    auto* decoder = new Mp3Decoder;
    decoder->hip = hip;
    return decoder;
}

void Mp3DecoderClose(Mp3Decoder* decoder) {
    if (decoder == nullptr) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(g_hipMutex);
        hip_decode_exit(decoder->hip);
    }
    delete decoder;
}

int Mp3DecoderDecode(Mp3Decoder* decoder, const uint8_t* data, int len, uint8_t* out,
                     int capacitySamples) {
    if (decoder == nullptr || data == nullptr || len <= 0 || out == nullptr) {
        return 0;
    }
    short left[kMaxFrameSamples * 4];
    short right[kMaxFrameSamples * 4];
    std::lock_guard<std::mutex> lock(g_hipMutex);
    // LAME only reads the input; its interface is not const-correct.
    auto* input = const_cast<unsigned char*>(data);
    int written = 0;
    int n = hip_decode1(decoder->hip, input, static_cast<size_t>(len), left, right);
    if (n < 0) {
        return -1;
    }
    // A call may decode a frame without output (the first two of a stream
    // give none), so more buffered frames are asked for until three calls in
    // a row give none.
    int emptyRun = n == 0 ? 1 : 0;
    while (emptyRun < 3) {
        int take = std::min(n, capacitySamples - written);
        if (take > 0) {
            std::memcpy(out + static_cast<size_t>(written) * 2, left,
                        static_cast<size_t>(take) * 2);
            written += take;
        }
        if (written >= capacitySamples ||
            (written > 0 && capacitySamples - written < kMaxFrameSamples)) {
            break;  // the rest stays queued for the next call
        }
        n = hip_decode1(decoder->hip, input, 0, left, right);
        if (n < 0) {
            break;  // what was decoded so far still counts
        }
        emptyRun = n == 0 ? emptyRun + 1 : 0;
    }
    return written;
}
