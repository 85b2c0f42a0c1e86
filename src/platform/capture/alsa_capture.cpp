#include "platform/capture/alsa_capture.h"

#include <algorithm>
#include <cerrno>

#include "platform/capture/named_device_moniker.h"
#include "platform/capture/source_filter.h"

namespace {

// Offered formats, the recorder's own first.
constexpr std::pair<uint32_t, uint16_t> kFormats[] = {{22050, 1}, {22050, 2}, {44100, 1},
                                                      {44100, 2}, {48000, 1}, {48000, 2}};

std::vector<Capability> AlsaCaps() {
    std::vector<Capability> caps;
    for (const auto& [rate, channels] : kFormats) {
        Capability cap;
        cap.type = MakePcmType(rate, channels, 16);
        cap.caps.audio.MinimumChannels = cap.caps.audio.MaximumChannels = channels;
        cap.caps.audio.MinimumBitsPerSample = cap.caps.audio.MaximumBitsPerSample = 16;
        cap.caps.audio.MinimumSampleFrequency = cap.caps.audio.MaximumSampleFrequency = rate;
        caps.push_back(cap);
    }
    return caps;
}

class AlsaCaptureFilter : public CaptureSourceFilter {
public:
    AlsaCaptureFilter(std::shared_ptr<AlsaPcmIo> io, AlsaCaptureDevice device)
        : CaptureSourceFilter(MajorType::Audio, AlsaCaps(), MakePcmType(44100, 2, 16)),
          m_io(std::move(io)),
          m_device(std::move(device)) {}
    ~AlsaCaptureFilter() override { Stop(); }

    bool OffersBufferNegotiation() const override { return true; }

protected:
    HRESULT StartDevice() override {
        const MediaType mt = CurrentFormat();
        m_blockAlign = std::max<uint16_t>(2, mt.wave.nBlockAlign);
        const AllocatorProperties a = SuggestedAllocator();
        // Without a suggestion: a tenth of a second.
        size_t bytes = a.cbBuffer > 0 ? static_cast<size_t>(a.cbBuffer)
                                      : mt.wave.nSamplesPerSec / 10 * m_blockAlign;
        bytes = std::max<size_t>(m_blockAlign, bytes / m_blockAlign * m_blockAlign);
        m_buffer.assign(bytes, 0);
        m_filled = 0;
        m_rate = mt.wave.nSamplesPerSec;
        m_channels = mt.wave.nChannels;
        // A device that is busy now is tried again from the streaming
        // thread, so one microphone cannot keep the cameras from running.
        OpenStream();
        return S_OK;
    }

    void OpenStream() {
        m_stream = m_io->Open(m_device.id, m_rate, m_channels,
                              static_cast<unsigned>(m_buffer.size() / m_blockAlign));
    }

    void StopDevice() override { m_stream.reset(); }

    bool StreamOnce() override {
        if (!m_stream) {
            OpenStream();
            if (!m_stream) {
                return WaitUntil(std::chrono::steady_clock::now() + std::chrono::seconds(1));
            }
        }
        const size_t frames = (m_buffer.size() - m_filled) / m_blockAlign;
        const long r = m_stream->Read(reinterpret_cast<int16_t*>(m_buffer.data() + m_filled),
                                      static_cast<unsigned long>(frames));
        if (r < 0) {
            // An overrun (or a suspend) loses some sound; capture goes on.
            if (m_stream->Recover(static_cast<int>(r)) < 0) {
                m_stream.reset();  // reopened on the next pass
            }
            return true;
        }
        m_filled += static_cast<size_t>(r) * m_blockAlign;
        if (m_filled >= m_buffer.size()) {
            Deliver(m_buffer.data(), static_cast<int32_t>(m_buffer.size()));
            m_filled = 0;
        }
        return true;
    }

private:
    std::shared_ptr<AlsaPcmIo> m_io;
    AlsaCaptureDevice m_device;
    std::unique_ptr<AlsaPcmStream> m_stream;
    std::vector<uint8_t> m_buffer;
    size_t m_filled = 0;
    uint16_t m_blockAlign = 2;
    uint32_t m_rate = 0;
    uint16_t m_channels = 1;
};

}  // namespace

std::shared_ptr<BaseFilter> CreateAlsaCaptureFilter(std::shared_ptr<AlsaPcmIo> io,
                                                    const AlsaCaptureDevice& device) {
    return std::make_shared<AlsaCaptureFilter>(std::move(io), device);
}

std::vector<std::unique_ptr<IMoniker>> EnumerateAlsa(std::shared_ptr<AlsaPcmIo> io) {
    std::vector<std::unique_ptr<IMoniker>> out;
    for (AlsaCaptureDevice& d : io->ListCaptureDevices()) {
        std::string name = d.name;
        out.push_back(MakeNamedDeviceMoniker(
            std::move(name), [io, d = std::move(d)] { return CreateAlsaCaptureFilter(io, d); }));
    }
    return out;
}
