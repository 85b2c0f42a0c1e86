#include "platform/sound/wave_out.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

struct WaveOutDevice {
    std::unique_ptr<PcmSink> sink;
    WaveOutProc callback = nullptr;
    uintptr_t instance = 0;
    uint32_t bytesPerSecond = 0;

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<WAVEHDR*> queue;  // front: the buffer playing
    bool busy = false;           // the worker plays or hands back a buffer
    bool resetting = false;
    bool quit = false;
    std::thread worker;

    void Notify(unsigned msg, WAVEHDR* hdr) {
        if (callback != nullptr) {
            callback(this, msg, instance, reinterpret_cast<uintptr_t>(hdr), 0);
        }
    }
    void Run();
};

namespace {

// Never destroyed: a device closed by a static object's destructor at exit
// still finds them.
std::mutex& DevicesMutex() {
    static auto* m = new std::mutex;
    return *m;
}
std::set<WaveOutDevice*>& Devices() {
    static auto* devices = new std::set<WaveOutDevice*>;
    return *devices;
}

bool Live(HWAVEOUT hwo) {
    std::lock_guard<std::mutex> lock(DevicesMutex());
    return hwo != nullptr && Devices().count(hwo) != 0;
}

}  // namespace

// Plays the queue front to back and hands each buffer back once played.
// The callback runs without the lock, so it may queue buffers again.
void WaveOutDevice::Run() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        changed.wait(lock, [&] { return quit || (!queue.empty() && !resetting); });
        if (quit) {
            return;
        }
        WAVEHDR* hdr = queue.front();
        busy = true;
        lock.unlock();
        const bool played = sink->Write(hdr->lpData, hdr->dwBufferLength);
        if (!played && bytesPerSecond != 0) {
            // A device that fails still takes the buffer's time, so a
            // refilling caller does not spin.
            std::this_thread::sleep_for(std::chrono::microseconds(uint64_t{hdr->dwBufferLength} *
                                                                  1000000 / bytesPerSecond));
        }
        lock.lock();
        if (resetting || quit) {
            busy = false;  // the reset hands it back
            changed.notify_all();
            continue;
        }
        queue.pop_front();
        hdr->dwFlags = (hdr->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
        lock.unlock();
        Notify(WOM_DONE, hdr);
        lock.lock();
        busy = false;
        changed.notify_all();
    }
}

unsigned waveOutGetNumDevs() {
    return GetPcmOutputService()->DeviceCount();
}

MMRESULT waveOutOpen(HWAVEOUT* phwo, unsigned deviceId, const WAVEFORMATEX* format,
                     WaveOutProc callback, uintptr_t instance, uint32_t flags) {
    if (phwo == nullptr || format == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    *phwo = nullptr;
    if ((flags & CALLBACK_FUNCTION) != 0 && callback == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    std::shared_ptr<PcmOutputService> service = GetPcmOutputService();
    const unsigned count = service->DeviceCount();
    if (count == 0) {
        return MMSYSERR_NODRIVER;
    }
    if (deviceId != WAVE_MAPPER && deviceId >= count) {
        return MMSYSERR_BADDEVICEID;
    }
    const WAVEFORMATEX& f = *format;
    if (f.wFormatTag != WAVE_FORMAT_PCM || f.wBitsPerSample != 16 || f.nChannels < 1 ||
        f.nChannels > 2 || f.nSamplesPerSec < 8000 || f.nSamplesPerSec > 48000 ||
        f.nBlockAlign != f.nChannels * 2 || f.nAvgBytesPerSec != f.nSamplesPerSec * f.nBlockAlign) {
        return WAVERR_BADFORMAT;
    }
    std::unique_ptr<PcmSink> sink = service->Open(f);
    if (sink == nullptr) {
        return MMSYSERR_ERROR;
    }
    auto* dev = new WaveOutDevice;
    dev->sink = std::move(sink);
    dev->callback = (flags & CALLBACK_FUNCTION) != 0 ? callback : nullptr;
    dev->instance = instance;
    dev->bytesPerSecond = f.nAvgBytesPerSec;
    dev->worker = std::thread([dev] { dev->Run(); });
    {
        std::lock_guard<std::mutex> lock(DevicesMutex());
        Devices().insert(dev);
    }
    *phwo = dev;
    dev->Notify(WOM_OPEN, nullptr);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT hwo, WAVEHDR* hdr, uint32_t size) {
    if (!Live(hwo)) {
        return MMSYSERR_INVALHANDLE;
    }
    if (hdr == nullptr || size < sizeof(WAVEHDR) || hdr->lpData == nullptr ||
        hdr->dwBufferLength == 0) {
        return MMSYSERR_INVALPARAM;
    }
    std::lock_guard<std::mutex> lock(hwo->mutex);
    hdr->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT hwo, WAVEHDR* hdr, uint32_t size) {
    if (!Live(hwo)) {
        return MMSYSERR_INVALHANDLE;
    }
    if (hdr == nullptr || size < sizeof(WAVEHDR)) {
        return MMSYSERR_INVALPARAM;
    }
    std::lock_guard<std::mutex> lock(hwo->mutex);
    if ((hdr->dwFlags & WHDR_INQUEUE) != 0) {
        return WAVERR_STILLPLAYING;
    }
    hdr->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutWrite(HWAVEOUT hwo, WAVEHDR* hdr, uint32_t size) {
    if (!Live(hwo)) {
        return MMSYSERR_INVALHANDLE;
    }
    if (hdr == nullptr || size < sizeof(WAVEHDR)) {
        return MMSYSERR_INVALPARAM;
    }
    std::lock_guard<std::mutex> lock(hwo->mutex);
    if ((hdr->dwFlags & WHDR_PREPARED) == 0) {
        return WAVERR_UNPREPARED;
    }
    if ((hdr->dwFlags & WHDR_INQUEUE) != 0) {
        return MMSYSERR_INVALPARAM;
    }
    hdr->dwFlags = (hdr->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    hwo->queue.push_back(hdr);
    hwo->changed.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutReset(HWAVEOUT hwo) {
    if (!Live(hwo)) {
        return MMSYSERR_INVALHANDLE;
    }
    if (std::this_thread::get_id() == hwo->worker.get_id()) {
        return MMSYSERR_ERROR;  // it would wait for itself
    }
    std::vector<WAVEHDR*> handedBack;
    {
        std::unique_lock<std::mutex> lock(hwo->mutex);
        hwo->resetting = true;
        hwo->sink->Interrupt();
        hwo->changed.wait(lock, [&] { return !hwo->busy; });
        for (WAVEHDR* hdr : hwo->queue) {
            hdr->dwFlags = (hdr->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
            handedBack.push_back(hdr);
        }
        hwo->queue.clear();
        hwo->sink->Resume();
        hwo->resetting = false;
    }
    for (WAVEHDR* hdr : handedBack) {
        hwo->Notify(WOM_DONE, hdr);
    }
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT hwo) {
    if (!Live(hwo)) {
        return MMSYSERR_INVALHANDLE;
    }
    if (std::this_thread::get_id() == hwo->worker.get_id()) {
        return MMSYSERR_ERROR;  // not from the device's own callback
    }
    {
        std::unique_lock<std::mutex> lock(hwo->mutex);
        if (!hwo->queue.empty()) {
            return WAVERR_STILLPLAYING;
        }
        // The last buffer's callback may still be running.
        hwo->changed.wait(lock, [&] { return !hwo->busy; });
        hwo->quit = true;
        hwo->changed.notify_all();
    }
    {
        std::lock_guard<std::mutex> lock(DevicesMutex());
        Devices().erase(hwo);
    }
    hwo->worker.join();
    hwo->sink.reset();
    hwo->Notify(WOM_CLOSE, nullptr);
    delete hwo;
    return MMSYSERR_NOERROR;
}
