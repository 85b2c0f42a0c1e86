#include <alsa/asoundlib.h>

#include <string>

#include "platform/capture/alsa_pcm.h"

namespace {

constexpr int kWaitMs = 200;

class SystemAlsaStream : public AlsaPcmStream {
public:
    explicit SystemAlsaStream(snd_pcm_t* pcm) : m_pcm(pcm) {}
    ~SystemAlsaStream() override {
        snd_pcm_drop(m_pcm);
        snd_pcm_close(m_pcm);
    }
    long Read(int16_t* buffer, unsigned long frames) override {
        // Waiting with a limit keeps a stalled device from holding up a stop.
        const int ready = snd_pcm_wait(m_pcm, kWaitMs);
        if (ready == 0) {
            return 0;
        }
        if (ready < 0) {
            return ready;
        }
        const snd_pcm_sframes_t n = snd_pcm_readi(m_pcm, buffer, frames);
        return n == -EAGAIN ? 0 : static_cast<long>(n);
    }
    int Recover(int error) override {
        const int r = snd_pcm_recover(m_pcm, error, 1);
        if (r == 0) {
            snd_pcm_start(m_pcm);
        }
        return r;
    }

private:
    snd_pcm_t* m_pcm;
};

class SystemAlsaIo : public AlsaPcmIo {
public:
    std::vector<AlsaCaptureDevice> ListCaptureDevices() override {
        std::vector<AlsaCaptureDevice> out;
        int card = -1;
        while (snd_card_next(&card) == 0 && card >= 0) {
            snd_ctl_t* ctl = nullptr;
            const std::string hw = "hw:" + std::to_string(card);
            if (snd_ctl_open(&ctl, hw.c_str(), 0) < 0) {
                continue;
            }
            snd_ctl_card_info_t* info = nullptr;
            snd_ctl_card_info_alloca(&info);
            std::string cardName = hw;
            if (snd_ctl_card_info(ctl, info) == 0) {
                cardName = snd_ctl_card_info_get_name(info);
            }
            int dev = -1;
            while (snd_ctl_pcm_next_device(ctl, &dev) == 0 && dev >= 0) {
                snd_pcm_info_t* pcm = nullptr;
                snd_pcm_info_alloca(&pcm);
                snd_pcm_info_set_device(pcm, static_cast<unsigned>(dev));
                snd_pcm_info_set_subdevice(pcm, 0);
                snd_pcm_info_set_stream(pcm, SND_PCM_STREAM_CAPTURE);
                if (snd_ctl_pcm_info(ctl, pcm) < 0) {
                    continue;
                }
                AlsaCaptureDevice d;
                d.id = "plughw:" + std::to_string(card) + "," + std::to_string(dev);
                d.name = cardName + " - " + snd_pcm_info_get_name(pcm);
                out.push_back(std::move(d));
            }
            snd_ctl_close(ctl);
        }
        return out;
    }

    std::unique_ptr<AlsaPcmStream> Open(const std::string& id, unsigned rate, unsigned channels,
                                        unsigned periodFrames) override {
        snd_pcm_t* pcm = nullptr;
        if (snd_pcm_open(&pcm, id.c_str(), SND_PCM_STREAM_CAPTURE, 0) < 0) {
            return nullptr;
        }
        snd_pcm_hw_params_t* hw = nullptr;
        snd_pcm_hw_params_alloca(&hw);
        snd_pcm_uframes_t period = periodFrames;
        snd_pcm_uframes_t buffer = static_cast<snd_pcm_uframes_t>(periodFrames) * 4;
        unsigned actualRate = rate;
        if (snd_pcm_hw_params_any(pcm, hw) < 0 ||
            snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED) < 0 ||
            snd_pcm_hw_params_set_format(pcm, hw, SND_PCM_FORMAT_S16_LE) < 0 ||
            snd_pcm_hw_params_set_channels(pcm, hw, channels) < 0 ||
            snd_pcm_hw_params_set_rate_near(pcm, hw, &actualRate, nullptr) < 0 ||
            actualRate != rate ||
            snd_pcm_hw_params_set_period_size_near(pcm, hw, &period, nullptr) < 0 ||
            snd_pcm_hw_params_set_buffer_size_near(pcm, hw, &buffer) < 0 ||
            snd_pcm_hw_params(pcm, hw) < 0 || snd_pcm_prepare(pcm) < 0 || snd_pcm_start(pcm) < 0) {
            snd_pcm_close(pcm);
            return nullptr;
        }
        return std::make_unique<SystemAlsaStream>(pcm);
    }
};

}  // namespace

std::shared_ptr<AlsaPcmIo> CreateSystemAlsaPcmIo() {
    return std::make_shared<SystemAlsaIo>();
}
