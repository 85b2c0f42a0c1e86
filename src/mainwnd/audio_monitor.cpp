#include "mainwnd/audio_monitor.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "settings/globals.h"

CAudioMonitor g_AudioMonitor;
std::atomic<CPcmRingBuffer*> g_pAudioMonitorRing{nullptr};
std::atomic<int> g_bAudioMonitorOpen{0};
uint8_t g_AudioMonitorLastBlock[AUDIO_MONITOR_LAST_BLOCK_BYTES];
int g_bAudioMonitorHaveLast = 0;

bool CAudioMonitor::Open(int channels, int samplesPerSec, int bitsPerSample,
                         AudioFillFunction fill) {
    m_nChannels = channels;
    m_nSamplesPerSec = samplesPerSec;
    m_nBitsPerSample = bitsPerSample;
    if (m_hWaveOut != nullptr || fill == nullptr || waveOutGetNumDevs() == 0) {
        return false;
    }
    // A monitor stopped earlier in this run plays again once reopened.
    m_bStopping = 0;
    m_wfx = WAVEFORMATEX{};
    m_wfx.wFormatTag = WAVE_FORMAT_PCM;
    m_wfx.nChannels = static_cast<uint16_t>(channels);
    m_wfx.nSamplesPerSec = static_cast<uint32_t>(samplesPerSec);
    m_wfx.wBitsPerSample = static_cast<uint16_t>(bitsPerSample);
    m_wfx.nAvgBytesPerSec = static_cast<uint32_t>(samplesPerSec * channels * bitsPerSample / 8);
    m_wfx.nBlockAlign = static_cast<uint16_t>(channels * bitsPerSample / 8);
    if (waveOutOpen(&m_hWaveOut, WAVE_MAPPER, &m_wfx, AudioMonitorWaveOutProc,
                    reinterpret_cast<uintptr_t>(this), CALLBACK_FUNCTION) != MMSYSERR_NOERROR ||
        m_hWaveOut == nullptr) {
        m_hWaveOut = nullptr;
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        m_hdr[i] = WAVEHDR{};
        m_pBuffer[i] = new uint8_t[AUDIO_MONITOR_BUFFER_BYTES];
        m_hdr[i].lpData = m_pBuffer[i];
        m_hdr[i].dwBufferLength = AUDIO_MONITOR_BUFFER_BYTES;
        m_hdr[i].dwFlags = 0;
        m_hdr[i].dwLoops = 0;
        if (waveOutPrepareHeader(m_hWaveOut, &m_hdr[i], sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
            Close();
            return false;
        }
    }
    m_pfnFill = fill;
    for (int i = 0; i < 2; ++i) {
        m_pfnFill(m_hdr[i].lpData, static_cast<int>(m_hdr[i].dwBufferLength));
        waveOutWrite(m_hWaveOut, &m_hdr[i], sizeof(WAVEHDR));
    }
    return true;
}

void CAudioMonitor::Close() {
    if (m_hWaveOut == nullptr) {
        return;
    }
    // A device that has not finished its buffers yet would still write
    // into them: take them back before they are freed.
    waveOutReset(m_hWaveOut);
    for (int i = 0; i < 2; ++i) {
        if (m_pBuffer[i] != nullptr) {
            waveOutUnprepareHeader(m_hWaveOut, &m_hdr[i], sizeof(WAVEHDR));
            delete[] m_pBuffer[i];
            m_pBuffer[i] = nullptr;
        }
    }
    waveOutClose(m_hWaveOut);
    m_hWaveOut = nullptr;
}

void CAudioMonitor::Refill(HWAVEOUT hwo, WAVEHDR* hdr) {
    if (m_pfnFill != nullptr) {
        m_pfnFill(hdr->lpData, static_cast<int>(hdr->dwBufferLength));
    }
    waveOutWrite(hwo, hdr, sizeof(WAVEHDR));
}

void AudioMonitorWaveOutProc(HWAVEOUT hwo, unsigned msg, uintptr_t instance, uintptr_t param1,
                             uintptr_t /*param2*/) {
    auto* monitor = reinterpret_cast<CAudioMonitor*>(instance);
    if (msg != WOM_DONE || monitor == nullptr || monitor->IsStopping()) {
        return;
    }
    monitor->Refill(hwo, reinterpret_cast<WAVEHDR*>(param1));
}

int AudioMonitorFill(uint8_t* buffer, int bytes) {
    if (buffer == nullptr || bytes <= 0) {
        return 0;
    }
    if (g_bAudioMonitorOpen == 0 || bytes > AUDIO_MONITOR_LAST_BLOCK_BYTES) {
        std::memset(buffer, 0, static_cast<size_t>(bytes));
        return 0;
    }
    CPcmRingBuffer* ring = g_pAudioMonitorRing;
    if (ring != nullptr && ring->Read(buffer, bytes) == bytes) {
        std::memcpy(g_AudioMonitorLastBlock, buffer, static_cast<size_t>(bytes));
        g_bAudioMonitorHaveLast = 1;
        return 1;
    }
    if (g_bAudioMonitorHaveLast == 1) {
        std::memcpy(buffer, g_AudioMonitorLastBlock, static_cast<size_t>(bytes));
    } else {
        std::memset(buffer, 0, static_cast<size_t>(bytes));
    }
    g_bAudioMonitorHaveLast = 0;
    return 1;
}

int StartAudioMonitor() {
    g_pAudioMonitorRing = new CPcmRingBuffer;
    g_bAudioMonitorOpen = g_AudioMonitor.Open(1, 22050, 16, AudioMonitorFill) ? 1 : 0;
    return 1;
}

int StopAudioMonitor() {
    g_AudioMonitor.Stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(AUDIO_MONITOR_STOP_WAIT_MS));
    g_AudioMonitor.Close();
    g_bAudioMonitorOpen = 0;
    delete g_pAudioMonitorRing.exchange(nullptr);
    return 1;
}

bool AudioMonitorFeed(int channel, const uint8_t* pcm, int bytes) {
    if (channel != g_nSelectedChannel || g_bAudioMute != 0) {
        return false;
    }
    CPcmRingBuffer* ring = g_pAudioMonitorRing;
    return ring != nullptr && ring->Write(pcm, bytes) == 1;
}
