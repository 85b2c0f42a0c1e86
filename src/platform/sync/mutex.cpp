#include "platform/sync/mutex.h"

#include <chrono>

bool CMutex::Lock(uint32_t timeoutMs) {
    const std::thread::id self = std::this_thread::get_id();
    std::unique_lock<std::mutex> lock(m_state);
    if (m_nDepth > 0 && m_owner == self) {
        ++m_nDepth;
        return true;
    }
    auto isFree = [this] { return m_nDepth == 0; };
    if (timeoutMs == INFINITE) {
        m_released.wait(lock, isFree);
    } else if (!m_released.wait_for(lock, std::chrono::milliseconds(timeoutMs), isFree)) {
        return false;
    }
    m_owner = self;
    m_nDepth = 1;
    return true;
}

bool CMutex::Unlock() {
    std::unique_lock<std::mutex> lock(m_state);
    if (m_nDepth == 0 || m_owner != std::this_thread::get_id()) {
        return false;
    }
    if (--m_nDepth == 0) {
        m_owner = std::thread::id();
        lock.unlock();
        m_released.notify_one();
    }
    return true;
}

bool CMutex::IsOwnedByCurrentThread() const {
    std::lock_guard<std::mutex> lock(m_state);
    return m_nDepth > 0 && m_owner == std::this_thread::get_id();
}

CSingleLock::CSingleLock(CMutex* pMutex, bool bInitialLock) : m_pMutex(pMutex) {
    if (bInitialLock) {
        Lock();
    }
}

CSingleLock::~CSingleLock() {
    Unlock();
}

bool CSingleLock::Lock(uint32_t timeoutMs) {
    if (m_pMutex == nullptr) {
        return false;
    }
    if (!m_bLocked) {
        m_bLocked = m_pMutex->Lock(timeoutMs);
    }
    return m_bLocked;
}

bool CSingleLock::Unlock() {
    if (!m_bLocked) {
        return false;
    }
    m_bLocked = false;
    return m_pMutex->Unlock();
}
