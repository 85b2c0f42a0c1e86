#pragma once
// The one way the program takes an object's CMutex: construct a CScopedLock
// on it as the first step of an operation; the mutex is released when the
// guard goes out of scope, on every way out (return, exception).
//
// Lock order, when two are held at once (always in this direction):
//   channel mutex -> codec layer critical section
//   channel mutex -> motion preview mutex
//   channel mutex -> an alert job table mutex
// The two alert job table mutexes are never held together. A thread that
// holds a channel mutex may wait for another thread to end only when that
// thread never takes the channel mutex.
//
// Users link qv_platform_sync.

#include "platform/sync/mutex.h"
#include "platform/sync/wait_timeout.h"

class CScopedLock {
public:
    // Waits without a time limit; every return of the wait counts as
    // ownership.
    explicit CScopedLock(CMutex& mutex) : m_lock(&mutex) { m_lock.Lock(INFINITE); }
    ~CScopedLock() { m_lock.Unlock(); }

    CScopedLock(const CScopedLock&) = delete;
    CScopedLock& operator=(const CScopedLock&) = delete;

private:
    CSingleLock m_lock;
};
