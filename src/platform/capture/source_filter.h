#pragma once
// Base class of every capture filter: one capture output pin with stream
// configuration over a capability list and, optionally, buffer negotiation;
// a streaming thread (when the device paces itself) that hands samples to
// the connected renderer. Back ends derive from it and supply the device.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/capture/filter.h"
#include "platform/capture/renderer.h"

struct Capability {
    MediaType type;
    StreamCaps caps;
};

class CaptureSourceFilter : public BaseFilter, public IAMStreamConfig, public IAMBufferNegotiation {
public:
    CaptureSourceFilter(MajorType major, std::vector<Capability> caps, MediaType current);
    ~CaptureSourceFilter() override;

    Pin* CapturePin() const { return m_capturePin; }
    BaseRenderer* ConnectedSink() const { return m_sink; }
    MediaType CurrentFormat() const;
    AllocatorProperties SuggestedAllocator() const;
    bool IsRunning() const { return m_running.load(); }

    // IAMStreamConfig
    HRESULT GetNumberOfCapabilities(int* count, int* size) override;
    HRESULT GetStreamCaps(int index, MediaType* mt, StreamCaps* caps) override;
    HRESULT GetFormat(MediaType* mt) override;
    HRESULT SetFormat(const MediaType& mt) override;
    // IAMBufferNegotiation
    HRESULT SuggestAllocatorProperties(const AllocatorProperties& props) override;

    // Connects the capture pin to the renderer with the given type (the
    // renderer has accepted it); called by the capture graph builder.
    HRESULT ConnectTo(BaseRenderer* sink, const MediaType& mt);

    HRESULT Run() override;
    HRESULT Stop() override;

    // Offered services; back ends can withhold them.
    virtual bool OffersStreamConfig() const { return true; }
    virtual bool OffersBufferNegotiation() const { return false; }

protected:
    // Size of one capability record (video 128, audio 52 by default).
    virtual int CapsRecordSize() const;
    // Whether the device itself can take the format (before any sink check).
    virtual HRESULT CheckDeviceFormat(const MediaType& mt) const;
    // Puts the format into the device; called with the graph stopped.
    virtual HRESULT ApplyDeviceFormat(const MediaType& /*mt*/) { return S_OK; }
    // Connection refusal of the device itself.
    virtual HRESULT CheckConnect() const { return S_OK; }
    // Prepares the device for streaming; failure keeps the filter stopped.
    virtual HRESULT StartDevice() { return S_OK; }
    virtual void StopDevice() {}
    // Whether Run starts a streaming thread that calls StreamOnce.
    virtual bool PacesItself() const { return true; }
    // Waits for and delivers one sample; false ends the thread.
    virtual bool StreamOnce() { return false; }

    // Hands one sample to the connected renderer; the buffer is read only
    // during the call.
    HRESULT Deliver(uint8_t* data, int32_t length);
    bool StopRequested() const { return m_stopRequested.load(); }
    // Sleeps until the deadline or a stop request; false on a stop request.
    bool WaitUntil(std::chrono::steady_clock::time_point deadline);

    const std::vector<Capability>& Capabilities() const { return m_caps; }

private:
    class OutputPin;

    Pin* m_capturePin;
    std::vector<Capability> m_caps;
    mutable std::mutex m_formatMutex;
    MediaType m_current;
    AllocatorProperties m_allocator;
    BaseRenderer* m_sink = nullptr;

    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stopRequested{false};
    std::mutex m_waitMutex;
    std::condition_variable m_waitCv;
    std::thread m_thread;
};
