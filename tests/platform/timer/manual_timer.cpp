#include "platform/timer/manual_timer.h"

#include <utility>
#include <vector>

unsigned CManualTimer::Start(unsigned periodMs, TimerTick tick) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_bStartFails || periodMs == 0 || !tick) {
        return 0;
    }
    const unsigned id = m_nNextId++;
    m_timers.emplace(id, Entry{periodMs, std::move(tick)});
    return id;
}

bool CManualTimer::Stop(unsigned timerId) {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_timers.erase(timerId) > 0;
}

bool CManualTimer::Fire(unsigned timerId, int count) {
    for (int i = 0; i < count; ++i) {
        TimerTick tick;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            auto it = m_timers.find(timerId);
            if (it == m_timers.end()) {
                return false;
            }
            tick = it->second.tick;  // a copy: the tick may stop its timer
        }
        tick(timerId);
    }
    return true;
}

void CManualTimer::FireAll() {
    std::vector<unsigned> ids;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        for (const auto& entry : m_timers) {
            ids.push_back(entry.first);
        }
    }
    for (unsigned id : ids) {
        Fire(id);
    }
}

void CManualTimer::SetStartFails(bool fail) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_bStartFails = fail;
}

bool CManualTimer::IsRunning(unsigned timerId) const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_timers.count(timerId) > 0;
}

unsigned CManualTimer::PeriodOf(unsigned timerId) const {
    std::lock_guard<std::mutex> lock(m_lock);
    auto it = m_timers.find(timerId);
    return it == m_timers.end() ? 0 : it->second.periodMs;
}

int CManualTimer::RunningCount() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return static_cast<int>(m_timers.size());
}
