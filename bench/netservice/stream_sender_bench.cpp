// Stream packets through a CStreamQueue and its real CStreamSender thread
// to a loopback reader, against a raw loopback send of the same bytes in
// the same run. Reports both rates and sender / raw (goal: at least 0.8).

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "loopback_send.h"
#include "netservice/stream_sender.h"
#include "platform/net/net_connect.h"

namespace {

constexpr int kPackets = 3000;

double SenderRate(int payload) {
    LoopbackConnection c;
    auto sender = std::make_unique<CStreamSender>(kBenchLoopback, c.writer);
    sender->EnableNotify(true);
    CStreamQueue* queue = sender->GetQueue();
    std::atomic<size_t> received{0};
    std::thread reader =
        DrainLoopback(c.reader, static_cast<size_t>(kPackets) * (payload + 4), &received);
    std::vector<uint8_t> data(payload, 0x44);
    auto start = std::chrono::steady_clock::now();
    // The fan-out skips a full queue; here the producer waits for the
    // reader instead, so that every packet is sent and counted.
    const int window = StreamWindow(payload);
    for (int i = 0; i < kPackets; ++i) {
        WaitForReader(received, i, payload, window);
        queue->Push(data.data(), 0x51000001u, payload);
    }
    reader.join();
    const double rate = kPackets / SecondsSince(start);
    ShutdownSocket(c.writer);
    sender.reset();
    return rate;
}

void BM_StreamSenderVersusRawSend(benchmark::State& state) {
    IgnoreBrokenPipeSignal();
    const int payload = static_cast<int>(state.range(0));
    double raw = 0, sent = 0;
    for (auto _ : state) {
        raw += RawSendRate(payload, kPackets);
        sent += SenderRate(payload);
    }
    raw /= static_cast<double>(state.iterations());
    sent /= static_cast<double>(state.iterations());
    state.counters["raw_pps"] = raw;
    state.counters["sender_pps"] = sent;
    state.counters["sender_over_raw"] = sent / raw;
}
BENCHMARK(BM_StreamSenderVersusRawSend)
    ->Arg(1200)
    ->Arg(5000)
    ->Arg(60000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace
