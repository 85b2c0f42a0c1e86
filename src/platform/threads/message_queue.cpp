#include "platform/threads/message_queue.h"

#include <chrono>

bool CMessageQueue::Post(const ThreadMessage& msg) {
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_bClosed) {
            return false;
        }
        m_pending.push_back(msg);
        if (m_bWaiting) {
            // One wake-up per wait: later posts find the flag clear.
            m_bWaiting = false;
            wake = true;
        }
    }
    if (wake) {
        m_posted.notify_one();
    }
    return true;
}

bool CMessageQueue::Take(ThreadMessage* pMsg, uint32_t timeoutMs) {
    if (m_nBatchPos < m_batch.size()) {
        *pMsg = m_batch[m_nBatchPos++];
        return true;
    }
    m_batch.clear();
    m_nBatchPos = 0;

    std::unique_lock<std::mutex> lock(m_lock);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_pending.empty()) {
        if (m_bClosed || timeoutMs == 0) {
            return false;
        }
        m_bWaiting = true;
        if (timeoutMs == INFINITE) {
            m_posted.wait(lock);
        } else if (m_posted.wait_until(lock, deadline) == std::cv_status::timeout &&
                   m_pending.empty()) {
            m_bWaiting = false;
            return false;
        }
    }
    m_bWaiting = false;
    m_batch.swap(m_pending);
    lock.unlock();

    *pMsg = m_batch[m_nBatchPos++];
    return true;
}

void CMessageQueue::Close() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_bClosed = true;
    m_pending.clear();
}
