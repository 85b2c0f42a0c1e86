#pragma once
// Sending and receiving on a connected socket. A stream connection carries
// framed packets, so a send either puts every byte out or reports how far it
// got: a short send is never taken for a whole one.

#include <cstddef>

#include "platform/net/net_socket.h"

enum class SendResult {
    Complete,  // every byte is out
    TimedOut,  // the socket's send time-out passed without room; *sent says how far
    Failed,    // the connection is broken or closed
};

enum class SendWait {
    UpToTimeout,  // a full socket buffer waits (up to the socket's send time-out)
    Never,        // a full socket buffer ends the send at once with TimedOut
};

// Sends len bytes, looping over partial sends. *sent (when given) receives
// the number of bytes handed to the system, also on TimedOut and Failed.
SendResult SendAllProgress(NetSocket sock, const void* data, size_t len, size_t* sent = nullptr,
                           SendWait wait = SendWait::UpToTimeout);

// True only when all len bytes went out.
bool SendAll(NetSocket sock, const void* data, size_t len);

// Receives at most maxLen bytes: the count (> 0), 0 when the peer closed
// the connection, -1 on error (a receive time-out counts as an error).
int RecvSome(NetSocket sock, void* buffer, int maxLen);
