#pragma once
// The sender of one viewer: owns the viewer's stream queue and the thread
// (StreamSendThread) that writes each queued packet to the viewer's socket,
// its 4-byte header word followed by the payload. The queue wakes the
// thread when it turns non-empty; the thread then drains it.
//
// The socket is not the sender's: its owner (the login server) shuts it
// down before it deletes the sender, so a send blocked on a viewer that
// stopped reading returns at once and the destructor's wait ends. A send
// that makes no progress within the socket's send time-out ends the thread
// as a send error does; a slow viewer that keeps taking bytes is never cut
// off here (its queue overflows and skips to a key frame instead).

#include <atomic>
#include <cstdint>
#include <memory>

#include "netservice/net_session_host.h"
#include "netservice/stream_queue.h"
#include "platform/net/net_socket.h"
#include "platform/threads/thread_queue.h"

// The largest payload a channel sends (the channel's packet buffer).
constexpr int STREAM_SEND_MAX_PAYLOAD = 256000;
// The sender hands the socket this many bytes per call and looks at its
// stop flag between them; small packets queued together share a block.
// Small blocks cost a system call and a segment each on a fast link; a
// stop never waits for a block anyway, because the owner shuts the socket
// down first.
constexpr int STREAM_SEND_BLOCK = 65536;

class CStreamSender final : public IViewerSender {
public:
    // peerIp in host order; sock is not owned.
    CStreamSender(uint32_t peerIp, NetSocket sock);
    // Stops the thread (it ends after the message or block it is sending)
    // and waits for it, then frees the queue.
    ~CStreamSender() override;
    CStreamSender(const CStreamSender&) = delete;
    CStreamSender& operator=(const CStreamSender&) = delete;

    CStreamQueue* GetQueue() override { return pQueue.get(); }
    bool EnableNotify(bool on) override;
    // False once the thread has ended; true also when none was ever made.
    bool IsConnected() const override { return bConnected.load(); }

    // Sends the oldest queued packet, with those behind it that fit the
    // same block; false when the connection failed or the sender is being
    // stopped. Runs on the sender thread.
    bool SendNextFrame();

    bool HasThread() const { return hThread != nullptr; }
    ThreadId GetThreadId() const { return dwThreadId; }
    uint32_t GetPeerIp() const { return dwPeerIp; }

private:
    static uint32_t StreamSendThread(void* param);
    void Run();

    std::atomic<int> bRun{1};
    const uint32_t dwPeerIp;
    ThreadHandle hThread = nullptr;
    ThreadId dwThreadId = 0;
    const NetSocket sock;
    std::atomic<bool> bConnected{true};
    std::unique_ptr<CStreamQueue> pQueue;
    std::unique_ptr<uint8_t[]> pSendBuffer;  // header slot + largest payload
};
