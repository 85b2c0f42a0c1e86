#pragma once
// The mutex that guards an object shared between threads (a channel, a
// frame queue, an alert job table, the motion preview). It is owned by one
// thread at a time; the owner may take it again and must release it as
// often as it took it. Take it through CScopedLock (settings/scoped_lock.h).

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/sync/wait_timeout.h"

class CMutex {
public:
    CMutex() = default;
    CMutex(const CMutex&) = delete;
    CMutex& operator=(const CMutex&) = delete;

    // Waits up to timeoutMs (INFINITE: no limit) for ownership. True when the
    // calling thread owns the mutex afterwards.
    bool Lock(uint32_t timeoutMs = INFINITE);

    // Releases one level of ownership. False (and nothing changes) when the
    // calling thread does not own the mutex.
    bool Unlock();

    // True when the calling thread owns the mutex.
    bool IsOwnedByCurrentThread() const;

private:
    mutable std::mutex m_state;
    std::condition_variable m_released;
    std::thread::id m_owner;  // default id = nobody
    unsigned m_nDepth = 0;
};

// A lock object over one CMutex, in the class library's manner: it is
// created unlocked (or locked when asked), tracks whether it holds the
// mutex, and releases it when destroyed.
class CSingleLock {
public:
    explicit CSingleLock(CMutex* pMutex, bool bInitialLock = false);
    ~CSingleLock();
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    // Waits for the mutex; true when it is held afterwards. A lock that
    // already holds its mutex returns true without taking it again.
    bool Lock(uint32_t timeoutMs = INFINITE);
    // Releases the mutex when this lock holds it; false when it did not.
    bool Unlock();
    bool IsLocked() const { return m_bLocked; }

private:
    CMutex* m_pMutex;
    bool m_bLocked = false;
};
