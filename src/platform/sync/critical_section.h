#pragma once
// A recursive lock for short sections inside one subsystem (the codec
// layer, the capture callbacks). The owning thread may enter it again; it
// must leave it as often as it entered.
//
// Lock/Unlock follow the class-library spelling; lock/unlock/try_lock make
// it usable with std::lock_guard and std::unique_lock.

#include <mutex>

class CCriticalSection {
public:
    CCriticalSection() = default;
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Lock() { m_mutex.lock(); }
    void Unlock() { m_mutex.unlock(); }
    bool TryLock() { return m_mutex.try_lock(); }

    void lock() { Lock(); }
    void unlock() { Unlock(); }
    bool try_lock() { return TryLock(); }

private:
    std::recursive_mutex m_mutex;
};
