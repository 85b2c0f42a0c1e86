// Posting throughput of the thread message queues: 8 senders, one
// receiver. The reference is a plain queue that takes the lock for every
// message on both sides and wakes the receiver on every post; "ratio" is
// our time over the reference's, measured in the same run.

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/threads/thread_messages.h"
#include "platform/threads/thread_queue.h"

namespace {

constexpr int kSenders = 8;
constexpr int kPerSender = 50000;

class ReferenceQueue {
public:
    void Post(const ThreadMessage& msg) {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_queue.push_back(msg);
        }
        m_posted.notify_one();
    }
    ThreadMessage Take() {
        std::unique_lock<std::mutex> lock(m_lock);
        m_posted.wait(lock, [this] { return !m_queue.empty(); });
        ThreadMessage msg = m_queue.front();
        m_queue.pop_front();
        return msg;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_posted;
    std::deque<ThreadMessage> m_queue;
};

template <class PostFn, class TakeFn>
double TimeRun(PostFn post, TakeFn take) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> senders;
    for (int s = 0; s < kSenders; ++s) {
        senders.emplace_back([&post, s] {
            for (int i = 0; i < kPerSender; ++i) {
                post(ThreadMessage{WM_USER + static_cast<unsigned>(s), static_cast<WPARAM>(i), 0});
            }
        });
    }
    long sum = 0;
    for (long n = 0; n < static_cast<long>(kSenders) * kPerSender; ++n) {
        sum += static_cast<long>(take().wParam);
    }
    for (std::thread& t : senders) {
        t.join();
    }
    benchmark::DoNotOptimize(sum);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_PostFromEightSenders(benchmark::State& state) {
    const ThreadId self = RegisterThreadQueue();
    double ours = 0;
    double reference = 0;
    for (auto _ : state) {
        const double t = TimeRun(
            [self](const ThreadMessage& m) {
                PostThreadMessage(self, m.message, m.wParam, m.lParam);
            },
            [] {
                ThreadMessage m;
                GetMessage(&m);
                return m;
            });
        state.SetIterationTime(t);
        ours += t;

        ReferenceQueue ref;
        reference +=
            TimeRun([&ref](const ThreadMessage& m) { ref.Post(m); }, [&ref] { return ref.Take(); });
    }
    UnregisterThreadQueue();
    state.counters["ratio"] = reference > 0 ? ours / reference : 0;
    state.SetItemsProcessed(state.iterations() * kSenders * kPerSender);
}

BENCHMARK(BM_PostFromEightSenders)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
