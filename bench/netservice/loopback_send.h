#pragma once
// What the stream benches share: a connected loopback pair, a reader that
// drains it, and the reference they are measured against, a raw send of
// the same bytes from one thread.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <thread>

#include "platform/net/net_socket.h"

constexpr uint32_t kBenchLoopback = 0x7F000001u;

// A listener and both ends of one accepted connection, closed together.
struct LoopbackConnection {
    NetSocket listener;
    NetSocket writer;
    NetSocket reader;
    LoopbackConnection();
    ~LoopbackConnection();
    LoopbackConnection(const LoopbackConnection&) = delete;
    LoopbackConnection& operator=(const LoopbackConnection&) = delete;
};

// Reads until `bytes` arrived or the connection ended; *received (when
// given) follows the count and wakes its waiters.
std::thread DrainLoopback(NetSocket sock, size_t bytes, std::atomic<size_t>* received = nullptr);

// How many packets of `payload` bytes a producer keeps on their way to the
// reader: unread bytes count as queued, which keeps a stream queue far from
// an overflow and below its entry limit.
int StreamWindow(int payload);

// Blocks until fewer than `window` of the `pushed` packets (header plus
// payload each) are unread. The producer sleeps as the raw sender sleeps in
// a full socket, rather than polling, which on a loaded machine would hand
// its time slice to whatever else runs.
void WaitForReader(const std::atomic<size_t>& received, int pushed, int payload, int window);

double SecondsSince(std::chrono::steady_clock::time_point since);

// Packets per second of `packets` sends of header plus payload each, one
// call per packet, on a fresh connection.
double RawSendRate(int payload, int packets);
