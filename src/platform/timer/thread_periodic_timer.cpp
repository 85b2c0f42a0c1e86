#include "platform/timer/thread_periodic_timer.h"

#include "platform/timer/tick_grid.h"

#include <chrono>
#include <condition_variable>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace {

std::atomic<unsigned> g_nextTimerId{1};

}  // namespace

struct CThreadPeriodicTimer::Timer {
    unsigned id = 0;
    std::chrono::steady_clock::duration period{};
    TimerTick tick;
    std::mutex lock;
    std::condition_variable wake;
    bool bStop = false;      // guarded by lock
    bool bDetached = false;  // guarded by lock: the thread frees the timer
    std::thread thread;
};

CThreadPeriodicTimer::CThreadPeriodicTimer() = default;

CThreadPeriodicTimer::~CThreadPeriodicTimer() {
    std::vector<unsigned> ids;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        for (auto& entry : m_timers) {
            ids.push_back(entry.first);
        }
    }
    for (unsigned id : ids) {
        Stop(id);
    }
}

unsigned CThreadPeriodicTimer::Start(unsigned periodMs, TimerTick tick) {
    if (periodMs == 0 || !tick) {
        return 0;
    }
    auto timer = std::make_unique<Timer>();
    timer->id = g_nextTimerId.fetch_add(1);
    timer->period = std::chrono::milliseconds(periodMs);
    timer->tick = std::move(tick);
    Timer& ref = *timer;

    std::lock_guard<std::mutex> lock(m_lock);
    try {
        ref.thread = std::thread([this, &ref] { Run(ref); });
    } catch (const std::system_error&) {
        return 0;
    }
    m_timers.emplace(ref.id, std::move(timer));
    return ref.id;
}

bool CThreadPeriodicTimer::Stop(unsigned timerId) {
    std::unique_ptr<Timer> timer;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        auto it = m_timers.find(timerId);
        if (it == m_timers.end()) {
            return false;
        }
        timer = std::move(it->second);
        m_timers.erase(it);
    }
    const bool fromOwnTick = timer->thread.get_id() == std::this_thread::get_id();
    {
        std::lock_guard<std::mutex> lock(timer->lock);
        timer->bStop = true;
        timer->bDetached = fromOwnTick;
    }
    timer->wake.notify_all();
    if (fromOwnTick) {
        // Stopped from inside its own tick: the thread leaves after the tick
        // returns and frees the timer itself.
        timer->thread.detach();
        timer.release();
        return true;
    }
    timer->thread.join();
    return true;
}

void CThreadPeriodicTimer::Run(Timer& timer) {
    using Clock = std::chrono::steady_clock;
    Clock::time_point due = Clock::now() + timer.period;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(timer.lock);
            if (timer.wake.wait_until(lock, due, [&timer] { return timer.bStop; })) {
                break;
            }
        }
        timer.tick(timer.id);
        {
            std::lock_guard<std::mutex> lock(timer.lock);
            if (timer.bStop) {
                break;
            }
        }
        long skipped = 0;
        due = NextTickDue(due, Clock::now(), timer.period, static_cast<long>(kMaxLateTicks),
                          &skipped);
        m_nSkipped += static_cast<unsigned long>(skipped);
    }
    bool detached = false;
    {
        std::lock_guard<std::mutex> lock(timer.lock);
        detached = timer.bDetached;
    }
    if (detached) {
        delete &timer;
    }
}
