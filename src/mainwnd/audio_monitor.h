#pragma once
// Live sound: the selected channel's PCM, 16-bit mono at 22050 Hz, played
// through the wave output from the monitor ring, in two 40 ms buffers that
// are refilled as the device finishes them.
//
// The selected channel writes into g_pAudioMonitorRing (AudioMonitorFeed);
// the device's callback thread reads it (AudioMonitorFill). A gap repeats
// the last 40 ms once, then plays silence until the ring again holds a
// whole buffer; playback itself never stops.

#include <atomic>
#include <cstdint>

#include "media/pcm_ring_buffer.h"
#include "platform/sound/wave_out.h"

constexpr int AUDIO_MONITOR_BUFFER_BYTES = 1764;  // 882 samples, 40 ms
constexpr int AUDIO_MONITOR_LAST_BLOCK_BYTES = 3200;
constexpr int AUDIO_MONITOR_STOP_WAIT_MS = 300;

using AudioFillFunction = int (*)(uint8_t* buffer, int bytes);

class CAudioMonitor {
public:
    CAudioMonitor() = default;
    ~CAudioMonitor() { Close(); }
    CAudioMonitor(const CAudioMonitor&) = delete;
    CAudioMonitor& operator=(const CAudioMonitor&) = delete;

    // Opens the wave output for the format and queues both buffers, each
    // filled first; false when there is no device or it cannot be opened.
    bool Open(int channels, int samplesPerSec, int bitsPerSample, AudioFillFunction fill);
    // Hands back every queued buffer, then frees them and closes the device.
    void Close();
    // From now on finished buffers are not queued again.
    void Stop() { m_bStopping = 1; }
    // Fills a finished buffer and queues it again.
    void Refill(HWAVEOUT hwo, WAVEHDR* hdr);

    bool IsStopping() const { return m_bStopping != 0; }
    bool IsOpen() const { return m_hWaveOut != nullptr; }

private:
    std::atomic<uint8_t> m_bStopping{0};
    HWAVEOUT m_hWaveOut = nullptr;
    WAVEFORMATEX m_wfx{};
    WAVEHDR m_hdr[2]{};
    int m_nChannels = 0;
    int m_nSamplesPerSec = 0;
    int m_nBitsPerSample = 0;
    uint8_t* m_pBuffer[2] = {};
    AudioFillFunction m_pfnFill = nullptr;
};

extern CAudioMonitor g_AudioMonitor;
// The monitor ring; null outside the main dialog's life.
extern std::atomic<CPcmRingBuffer*> g_pAudioMonitorRing;
extern std::atomic<int> g_bAudioMonitorOpen;
// The callback thread's own: the last block played, and whether it may be
// played once more.
extern uint8_t g_AudioMonitorLastBlock[AUDIO_MONITOR_LAST_BLOCK_BYTES];
extern int g_bAudioMonitorHaveLast;

// Creates the ring and opens the monitor (a failure is silent: the system
// runs without sound output). Returns 1.
int StartAudioMonitor();
// Stops the monitor, lets the queued buffers finish (300 ms), closes it and
// deletes the ring. Returns 1.
int StopAudioMonitor();

// The monitor's fill function: bytes from the ring, or the last block once,
// or silence. Silence and 0 for a request above 3200 bytes or before the
// monitor is open; 1 otherwise.
int AudioMonitorFill(uint8_t* buffer, int bytes);

// The wave output callback; instance is the monitor.
void AudioMonitorWaveOutProc(HWAVEOUT hwo, unsigned msg, uintptr_t instance, uintptr_t param1,
                             uintptr_t param2);

// The channels' sound hand-over: PCM of channel n goes into the ring while
// n is the selected channel and sound is not muted. True when written.
bool AudioMonitorFeed(int channel, const uint8_t* pcm, int bytes);
