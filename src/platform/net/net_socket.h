#pragma once
// TCP/IPv4 sockets of the recorder: creating, listening, accepting, ending.
// Every address crossing this interface is an IPv4 address in host byte
// order (127.0.0.1 is 0x7F000001); ports are in host byte order too.

#include <cstdint>

using NetSocket = int;
constexpr NetSocket INVALID_NET_SOCKET = -1;

// Makes a write to a connection the peer has closed fail with an error
// instead of ending the process. Idempotent; called once at start-up.
void IgnoreBrokenPipeSignal();

// A new blocking IPv4 TCP socket, or INVALID_NET_SOCKET.
NetSocket CreateTcpSocket();

// A socket bound to bindIp:port (SO_REUSEADDR, so a restart right after a
// run can bind again) and listening with the given backlog; port 0 lets the
// system choose (see GetLocalPort). INVALID_NET_SOCKET on failure, with
// *failedStep (when given) saying which step failed.
enum class ListenStep { Socket, Bind, Listen };
NetSocket OpenListener(uint16_t port, int backlog, uint32_t bindIp = 0,
                       ListenStep* failedStep = nullptr);

// The local port a socket is bound to, 0 when unknown.
uint16_t GetLocalPort(NetSocket sock);

// Accepts one waiting connection as a blocking socket; *peerIp (when given)
// receives the peer's address. INVALID_NET_SOCKET on failure.
NetSocket AcceptConnection(NetSocket listener, uint32_t* peerIp = nullptr);

// Options of an accepted viewer connection, so that a peer that stops
// reading or vanishes cannot hold its connection for ever.
struct AcceptedSocketOptions {
    int sendTimeoutMs = 5000;    // a send that makes no progress this long fails
    int keepAliveIdleS = 10;     // first keep-alive probe after this much silence
    int keepAliveIntervalS = 5;  // between probes
    int keepAliveCount = 3;      // unanswered probes before the connection drops
    int userTimeoutMs = 20000;   // unacknowledged sent data this long drops it
    // Bytes the system may hold for a peer that reads slowly. Kept small so
    // a slow viewer falls behind in its own packet queue, which skips to the
    // next key frame, rather than seconds deep in the socket (0 = system's).
    int sendBufferBytes = 128 * 1024;
};

// Applies all options; false when any of them could not be set.
bool SetAcceptedSocketOptions(NetSocket sock, const AcceptedSocketOptions& options = {});

// Ends both directions of a connection. A thread blocked in send or recv on
// the socket returns at once; the descriptor stays valid until CloseSocket,
// so the owner joins such a thread between the two calls and the number is
// never reused under it.
void ShutdownSocket(NetSocket sock);

// Releases the descriptor. Ignores INVALID_NET_SOCKET.
void CloseSocket(NetSocket sock);
