// Stream packets to a loopback reader two ways in the same run: written
// straight to the socket (the reference), and pushed into a CStreamQueue
// whose consumer thread, woken by WM_STREAM_FRAME_READY, pops what is
// queued and writes it to the socket. Reports both rates and queued / raw.

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "loopback_send.h"
#include "netservice/stream_queue.h"
#include "platform/net/net_connect.h"
#include "platform/net/net_transfer.h"
#include "platform/threads/thread_messages.h"
#include "platform/threads/thread_queue.h"

namespace {

constexpr int kPackets = 4000;

double QueuedRate(int payload) {
    LoopbackConnection c;
    CStreamQueue queue;
    std::atomic<ThreadId> senderId{0};
    std::thread sender([&] {
        senderId = RegisterThreadQueue();
        std::vector<uint8_t> buf(256000 + 4);
        ThreadMessage m;
        int sent = 0;
        while (sent < kPackets && GetMessage(&m)) {
            if (m.message != WM_STREAM_FRAME_READY)
                continue;
            // One message per turn to non-empty: take all that is queued.
            uint32_t header = 0;
            int n = 0;
            while ((n = queue.Pop(buf.data() + 4, &header, 256000)) > 0) {
                std::memcpy(buf.data(), &header, 4);
                SendAll(c.writer, buf.data(), n + 4);
                ++sent;
            }
        }
        UnregisterThreadQueue();
    });
    while (senderId.load() == 0)
        std::this_thread::yield();
    queue.SetNotifyThread(senderId.load());
    std::atomic<size_t> received{0};
    std::thread reader =
        DrainLoopback(c.reader, static_cast<size_t>(kPackets) * (payload + 4), &received);
    std::vector<uint8_t> data(payload, 0x44);
    auto start = std::chrono::steady_clock::now();
    // The fan-out skips a full queue; here the producer waits for the
    // reader instead, so that no packet is lost.
    const int window = StreamWindow(payload);
    for (int i = 0; i < kPackets; ++i) {
        WaitForReader(received, i, payload, window);
        queue.Push(data.data(), 0x51000001u, payload);
    }
    reader.join();
    double rate = kPackets / SecondsSince(start);
    sender.join();
    return rate;
}

void BM_StreamQueueVersusRawSend(benchmark::State& state) {
    IgnoreBrokenPipeSignal();
    const int payload = static_cast<int>(state.range(0));
    // Both ways run in every iteration, so that a busy machine slows both.
    double raw = 0, queued = 0;
    for (auto _ : state) {
        raw += RawSendRate(payload, kPackets);
        queued += QueuedRate(payload);
    }
    raw /= static_cast<double>(state.iterations());
    queued /= static_cast<double>(state.iterations());
    state.counters["raw_pps"] = raw;
    state.counters["queued_pps"] = queued;
    state.counters["queued_over_raw"] = queued / raw;
}
BENCHMARK(BM_StreamQueueVersusRawSend)
    ->Arg(1200)
    ->Arg(5000)
    ->Arg(60000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(8);

}  // namespace

namespace {

// The queue alone on one thread: a push and a pop per packet against the
// two copies they make, to tell the queue's own cost from the hand-over.
void BM_StreamQueuePushPopVersusCopies(benchmark::State& state) {
    const int payload = static_cast<int>(state.range(0));
    CStreamQueue queue;
    std::vector<uint8_t> in(payload, 1), area(payload), out(payload);
    uint32_t header = 0;
    double queued = 0, copies = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kPackets; ++i) {
            queue.Push(in.data(), 0x51000001u, payload);
            queue.Pop(out.data(), &header, payload);
        }
        queued += SecondsSince(start);
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < kPackets; ++i) {
            std::memcpy(area.data(), in.data(), payload);
            benchmark::DoNotOptimize(area.data());
            std::memcpy(out.data(), area.data(), payload);
            benchmark::DoNotOptimize(out.data());
        }
        copies += SecondsSince(start);
    }
    state.counters["copies_over_queued"] = copies / queued;
}
BENCHMARK(BM_StreamQueuePushPopVersusCopies)->Arg(1200)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
