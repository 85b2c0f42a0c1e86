#pragma once
// One thread's queue of messages. Any thread posts; only the owning thread
// takes. The owner swaps out everything posted so far in one step and then
// serves that batch without the lock, and a poster wakes the owner only
// when it is actually waiting, so heavy posting costs one short lock per
// message and few wake-ups.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

#include "platform/threads/thread_queue.h"

class CMessageQueue {
public:
    // False when the queue was closed.
    bool Post(const ThreadMessage& msg);

    // Owner only. timeoutMs 0 = do not wait, INFINITE = no limit.
    bool Take(ThreadMessage* pMsg, uint32_t timeoutMs);

    // Later posts fail; queued messages are dropped.
    void Close();

private:
    std::mutex m_lock;
    std::condition_variable m_posted;
    std::deque<ThreadMessage> m_pending;  // guarded by m_lock
    bool m_bClosed = false;               // guarded by m_lock
    bool m_bWaiting = false;              // guarded by m_lock

    std::deque<ThreadMessage> m_batch;  // owner only
    size_t m_nBatchPos = 0;             // owner only
};
