#pragma once
// Waiting for sockets with a time-out (the recorder's loops wait one second
// at a time so that they notice their stop flags).

#include "platform/net/net_socket.h"

constexpr int NET_WAIT_MS = 1000;

enum class WaitResult { Ready, TimedOut, Failed };

// Waits until sock has data, a pending connection, or an end or error that
// the next recv or accept reports.
WaitResult WaitReadable(NetSocket sock, int timeoutMs = NET_WAIT_MS);

// Waits until sock can take more bytes, or has an error.
WaitResult WaitWritable(NetSocket sock, int timeoutMs = NET_WAIT_MS);

// Waits on several sockets at once. readable[i] is set for each socket that
// has data, a pending connection, an end or an error; entries holding
// INVALID_NET_SOCKET are skipped. Returns the number of such sockets, 0 on
// time-out, -1 on failure (readable[] is then all false).
int WaitReadableAny(const NetSocket* socks, bool* readable, int count, int timeoutMs = NET_WAIT_MS);
