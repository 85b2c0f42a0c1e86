#pragma once
// Connecting with a bounded wait: the connect runs non-blocking, the caller
// waits in steps (checking its stop flag between them), and the result is
// read from the socket's pending error. On Linux a refused connect is
// reported by the first wait.

#include <cstdint>

#include "platform/net/net_socket.h"
#include "platform/net/net_wait.h"

enum class ConnectState {
    Connected,   // the socket is connected and blocking again
    InProgress,  // not decided yet: wait again
    Failed,      // refused, unreachable or another error: give up
};

// Starts connecting sock to ip:port (host order). Connected when it
// completed at once, InProgress when the caller is to WaitConnect, Failed
// otherwise.
ConnectState BeginConnect(NetSocket sock, uint32_t ip, uint16_t port);

// Waits up to timeoutMs for a connect that BeginConnect left in progress.
// On Connected the socket is blocking again.
ConnectState WaitConnect(NetSocket sock, int timeoutMs = NET_WAIT_MS);
