#include "fake_alsa.h"

#include <cerrno>
#include <chrono>
#include <thread>

namespace {

class FakeStream : public AlsaPcmStream {
public:
    FakeStream(FakeAlsa* owner, unsigned channels) : m_owner(owner), m_channels(channels) {
        ++m_owner->openStreams;
    }
    ~FakeStream() override { --m_owner->openStreams; }
    long Read(int16_t* buffer, unsigned long frames) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const int every = m_owner->overrunEvery.load();
        if (every > 0 && ++m_reads % every == 0) {
            return -EPIPE;
        }
        // Deliver in small pieces, as a sound card does.
        const unsigned long n = std::min<unsigned long>(frames, 500);
        for (unsigned long i = 0; i < n * m_channels; ++i) {
            buffer[i] = static_cast<int16_t>(m_counter++);
        }
        return static_cast<long>(n);
    }
    int Recover(int error) override {
        ++m_owner->recovers;
        return error == -EPIPE ? 0 : error;
    }

private:
    FakeAlsa* m_owner;
    unsigned m_channels;
    int m_reads = 0;
    int16_t m_counter = 0;
};

}  // namespace

std::unique_ptr<AlsaPcmStream> FakeAlsa::Open(const std::string& id, unsigned rate,
                                              unsigned channels, unsigned periodFrames) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_opens.push_back({id, rate, channels, periodFrames});
    }
    if (failOpens.load() > 0) {
        --failOpens;
        return nullptr;
    }
    return std::make_unique<FakeStream>(this, channels);
}
