#include <alsa/asoundlib.h>

#include <atomic>

#include "platform/sound/pcm_output.h"

namespace {

class AlsaSink : public PcmSink {
public:
    AlsaSink(snd_pcm_t* pcm, unsigned frameBytes) : pcm_(pcm), frameBytes_(frameBytes) {}
    ~AlsaSink() override {
        snd_pcm_drop(pcm_);
        snd_pcm_close(pcm_);
    }

    // Writes whole frames in the device's own period, however the bytes
    // were cut; an underrun (or a suspend) is recovered from and the write
    // goes on.
    bool Write(const uint8_t* data, size_t bytes) override {
        snd_pcm_uframes_t frames = bytes / frameBytes_;
        while (frames > 0) {
            if (interrupted_) {
                return false;
            }
            const snd_pcm_sframes_t n = snd_pcm_writei(pcm_, data, frames);
            if (n < 0) {
                if (snd_pcm_recover(pcm_, static_cast<int>(n), 1) < 0) {
                    return false;
                }
                continue;
            }
            data += static_cast<size_t>(n) * frameBytes_;
            frames -= static_cast<snd_pcm_uframes_t>(n);
        }
        return true;
    }

    // A blocked write ends within one device period.
    void Interrupt() override { interrupted_ = true; }
    void Resume() override {
        snd_pcm_drop(pcm_);
        snd_pcm_prepare(pcm_);
        interrupted_ = false;
    }

private:
    snd_pcm_t* const pcm_;
    const unsigned frameBytes_;
    std::atomic<bool> interrupted_{false};
};

class AlsaOutput : public PcmOutputService {
public:
    explicit AlsaOutput(std::string name) : name_(name.empty() ? "default" : std::move(name)) {}

    unsigned DeviceCount() override {
        if (name_ != "default") {
            return 1;  // a named PCM needs no card of its own (e.g. "null")
        }
        int card = -1;
        return snd_card_next(&card) == 0 && card >= 0 ? 1 : 0;
    }

    std::unique_ptr<PcmSink> Open(const WAVEFORMATEX& format) override {
        if (format.wBitsPerSample != 16 || format.nChannels == 0) {
            return nullptr;
        }
        snd_pcm_t* pcm = nullptr;
        if (snd_pcm_open(&pcm, name_.c_str(), SND_PCM_STREAM_PLAYBACK, 0) < 0) {
            return nullptr;
        }
        // 100 ms of latency: room for the two 40 ms buffers of the feeder,
        // whatever period the device prefers.
        if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED,
                               format.nChannels, format.nSamplesPerSec, 1, 100000) < 0) {
            snd_pcm_close(pcm);
            return nullptr;
        }
        return std::make_unique<AlsaSink>(pcm, 2u * format.nChannels);
    }

private:
    const std::string name_;
};

}  // namespace

std::shared_ptr<PcmOutputService> MakeAlsaOutput(const std::string& pcmName) {
    return std::make_shared<AlsaOutput>(pcmName);
}
