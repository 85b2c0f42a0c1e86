#pragma once
// The login and channel server: listens on TCP port 9228, keeps one
// CNetSession for each accepted connection in a table of 16, feeds each
// session what its peer sends while it is in its command phase, and closes
// sessions that end. All of it runs on one thread, LoginServerThread.
//
// The main dialog starts it during its initialisation with
//     StartLoginServer(LOGIN_SERVER_PORT, GetChannelSessionHost());
// (mainwnd/channel_session_host.h) and stops it at exit, after DrawVideo
// and the alert threads and before the channels are deleted, with
//     StopLoginServer();
//
// Beyond the bare protocol, every accepted socket gets a send time-out,
// TCP keep-alive and a user time-out, and a connection still in its command
// phase 30 seconds after it was accepted is closed, so silent, stalled or
// half-open peers cannot hold the 16 places or a channel's viewer places.
// A session is ended by shutting its socket down, deleting the session
// (which joins the viewer's sender thread) and only then closing the
// descriptor, so a blocked send always returns and a reused descriptor
// never carries one viewer's stream to another.

#include <cstdint>

#include "netservice/net_session_host.h"
#include "platform/net/net_socket.h"

constexpr uint16_t LOGIN_SERVER_PORT = 9228;
constexpr int MAX_NET_SESSIONS = 16;
constexpr int LOGIN_LISTEN_BACKLOG = 15;
constexpr int NET_RECV_BYTES = 32768;
constexpr int LOGIN_COMMAND_PHASE_MS = 30000;

struct LoginServerConfig {
    uint16_t port = LOGIN_SERVER_PORT;  // 0: the system chooses (see GetLoginServerPort)
    uint32_t bindIp = 0;                // host order; 0 = every local address
    INetSessionHost* host = nullptr;    // must outlive the server
    int commandPhaseMs = LOGIN_COMMAND_PHASE_MS;
    AcceptedSocketOptions socketOptions;
};

// False when the server thread already exists or no host is given.
// Otherwise empties the session table and starts the thread; true when it
// was created. Socket, bind and listen failures are reported by the thread
// itself with a message box, and the program then runs without a server.
bool StartLoginServer(uint16_t port, INetSessionHost* host);
bool StartLoginServer(const LoginServerConfig& config);

// Stops the thread when it exists (within about a second), closing every
// session. Returns 1.
int StopLoginServer();

// The port the server listens on; 0 while it is not (yet) listening.
uint16_t GetLoginServerPort();
// True while the server thread runs its loop (false after a failed bind).
bool IsLoginServerListening();
// Sessions in the table (for observation).
int GetLoginSessionCount();
