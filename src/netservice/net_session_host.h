#pragma once
// What a login session reaches outside itself: the viewer accounts, the
// channel table, the viewer's stream sender and the event log. The login
// server hands the real ones (main dialog, channels) to every session it
// makes; tests hand a recording fake.

#include <cstdint>
#include <memory>

#include "platform/net/net_socket.h"

class CStreamQueue;

// The event log type of every network line (the log's LOGTYPE_NET).
constexpr int NET_LOG_TYPE = 2;

// The sender of one viewer's packets: owns the viewer's queue and the
// thread that writes it to the socket. Destroying it stops that thread.
class IViewerSender {
public:
    virtual ~IViewerSender() = default;
    virtual CStreamQueue* GetQueue() = 0;
    // Points the queue's notification at the sender thread (on) or nowhere;
    // false when the sender has no thread.
    virtual bool EnableNotify(bool on) = 0;
    // False once the sender thread has ended after a send error.
    virtual bool IsConnected() const = 0;
};

class INetSessionHost {
public:
    virtual ~INetSessionHost() = default;

    // The account checks: 1 = match, 0 = refused.
    virtual int CheckUserPassword(const char* user, const char* password) = 0;
    virtual int CheckUserChannelRight(const char* user, uint8_t channel) = 0;

    // The number of channel objects (0..16).
    virtual int GetChannelCount() = 0;
    // Channel c runs (local or remote); false when there is no such channel.
    virtual bool IsChannelActive(int channel) = 0;
    // Registers or unregisters a viewer queue with channel c under the
    // channel's mutex: 1 done, 0 refused (3 viewers, twice, not there, or no
    // such channel).
    virtual int AddViewer(int channel, CStreamQueue* queue) = 0;
    virtual int RemoveViewer(int channel, CStreamQueue* queue) = 0;

    // A new sender writing to sock (not owned by it) for the viewer at
    // peerIp (host order); null when it cannot be made.
    virtual std::unique_ptr<IViewerSender> CreateStreamSender(uint32_t peerIp, NetSocket sock) = 0;

    // One event log line.
    virtual void WriteLogEntry(int type, int channel, const char* text) = 0;
};
