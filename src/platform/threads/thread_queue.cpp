#include "platform/threads/thread_queue.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <utility>

#include "platform/threads/message_queue.h"

namespace {

std::atomic<ThreadId> g_nextThreadId{1};

// Every live queue by thread id.
std::shared_mutex g_registryLock;
std::unordered_map<ThreadId, std::shared_ptr<CMessageQueue>> g_registry;

ThreadId NewThreadId() {
    return g_nextThreadId.fetch_add(1);
}

void AddQueue(ThreadId id, std::shared_ptr<CMessageQueue> queue) {
    std::unique_lock<std::shared_mutex> lock(g_registryLock);
    g_registry[id] = std::move(queue);
}

void RemoveQueue(ThreadId id) {
    std::shared_ptr<CMessageQueue> queue;
    {
        std::unique_lock<std::shared_mutex> lock(g_registryLock);
        auto it = g_registry.find(id);
        if (it == g_registry.end()) {
            return;
        }
        queue = std::move(it->second);
        g_registry.erase(it);
    }
    queue->Close();
}

// The calling thread's id and queue. The holder ends the queue when the
// thread ends, also for a thread that registered itself and never
// unregistered.
struct CurrentThread {
    ThreadId id = 0;
    std::shared_ptr<CMessageQueue> queue;

    ~CurrentThread() {
        if (queue) {
            RemoveQueue(id);
        }
    }
};

thread_local CurrentThread t_current;

// What a handle refers to; shared with the running thread, so either may
// go first.
struct ThreadState {
    ThreadId id = 0;
    std::mutex lock;
    std::condition_variable ended;
    bool bEnded = false;
};

}  // namespace

struct ThreadObject {
    std::shared_ptr<ThreadState> state;
};

ThreadHandle CreateThread(std::function<uint32_t()> body, ThreadId* pThreadId) {
    if (pThreadId != nullptr) {
        *pThreadId = 0;
    }
    if (!body) {
        return nullptr;
    }
    auto state = std::make_shared<ThreadState>();
    state->id = NewThreadId();
    auto queue = std::make_shared<CMessageQueue>();
    AddQueue(state->id, queue);

    try {
        std::thread([state, queue, body = std::move(body)]() mutable {
            t_current.id = state->id;
            t_current.queue = std::move(queue);
            body();
            // Posts fail from here on, before anybody sees the thread ended.
            RemoveQueue(t_current.id);
            t_current.queue.reset();
            {
                std::lock_guard<std::mutex> lock(state->lock);
                state->bEnded = true;
            }
            state->ended.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        RemoveQueue(state->id);
        return nullptr;
    }
    if (pThreadId != nullptr) {
        *pThreadId = state->id;
    }
    return new ThreadObject{std::move(state)};
}

ThreadHandle CreateThread(ThreadProc proc, void* param, ThreadId* pThreadId) {
    if (proc == nullptr) {
        if (pThreadId != nullptr) {
            *pThreadId = 0;
        }
        return nullptr;
    }
    return CreateThread([proc, param] { return proc(param); }, pThreadId);
}

bool WaitForThread(ThreadHandle hThread, uint32_t timeoutMs) {
    if (hThread == nullptr) {
        return false;
    }
    ThreadState& state = *hThread->state;
    std::unique_lock<std::mutex> lock(state.lock);
    if (state.bEnded) {
        return true;
    }
    if (state.id == t_current.id) {
        return false;  // the thread itself would wait forever
    }
    auto ended = [&state] { return state.bEnded; };
    if (timeoutMs == INFINITE) {
        state.ended.wait(lock, ended);
        return true;
    }
    return state.ended.wait_for(lock, std::chrono::milliseconds(timeoutMs), ended);
}

void CloseThreadHandle(ThreadHandle hThread) {
    delete hThread;
}

namespace {

std::shared_ptr<CMessageQueue> FindQueue(ThreadId id) {
    std::shared_lock<std::shared_mutex> lock(g_registryLock);
    auto it = g_registry.find(id);
    return it == g_registry.end() ? nullptr : it->second;
}

// The poster's last target. Ids are never reused, so the cached queue stays
// the right one until it is closed; a closed queue refuses the post and the
// registry is asked again (a thread may register a new queue).
thread_local ThreadId t_lastTargetId = 0;
thread_local std::shared_ptr<CMessageQueue> t_lastTarget;

}  // namespace

bool PostThreadMessage(ThreadId id, unsigned message, WPARAM wParam, LPARAM lParam) {
    if (id == 0) {
        return false;
    }
    const ThreadMessage msg{message, wParam, lParam};
    if (id == t_lastTargetId && t_lastTarget->Post(msg)) {
        return true;
    }
    std::shared_ptr<CMessageQueue> queue = FindQueue(id);
    if (!queue) {
        return false;
    }
    t_lastTargetId = id;
    t_lastTarget = queue;
    return queue->Post(msg);
}

ThreadId GetCurrentThreadId() {
    if (t_current.id == 0) {
        t_current.id = NewThreadId();
    }
    return t_current.id;
}

bool GetMessageTimeout(ThreadMessage* pMsg, uint32_t timeoutMs) {
    if (pMsg == nullptr || !t_current.queue) {
        return false;
    }
    return t_current.queue->Take(pMsg, timeoutMs);
}

bool GetMessage(ThreadMessage* pMsg) {
    return GetMessageTimeout(pMsg, INFINITE);
}

bool PeekMessage(ThreadMessage* pMsg) {
    return GetMessageTimeout(pMsg, 0);
}

ThreadId RegisterThreadQueue() {
    const ThreadId id = GetCurrentThreadId();
    if (!t_current.queue) {
        t_current.queue = std::make_shared<CMessageQueue>();
        AddQueue(id, t_current.queue);
    }
    return id;
}

void UnregisterThreadQueue() {
    if (t_current.queue) {
        RemoveQueue(t_current.id);
        t_current.queue.reset();
    }
}
