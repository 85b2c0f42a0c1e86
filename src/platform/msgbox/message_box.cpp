#include "platform/msgbox/message_box.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/textcodec/gb2312_codec.h"

namespace {

int DefaultHandler(const MessageBoxRequest& request) {
    PrintMessageBoxOnConsole(request);
    unsigned buttons = request.type & 0x0Fu;
    return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDYES : IDOK;
}

// Hands worker-thread boxes to the handler, one at a time, in order.
class WorkerBoxDispatcher {
public:
    ~WorkerBoxDispatcher() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }

    void Post(MessageBoxRequest request) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(std::move(request));
        if (!m_thread.joinable()) {
            m_thread = std::thread([this] { Run(); });
        }
        m_wake.notify_all();
    }

    void Flush() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_idle.wait(lock, [this] { return m_queue.empty() && !m_busy; });
    }

private:
    void Run() {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
            if (m_queue.empty()) {
                return;
            }
            MessageBoxRequest request = std::move(m_queue.front());
            m_queue.pop_front();
            m_busy = true;
            lock.unlock();
            CallHandler(request);
            lock.lock();
            m_busy = false;
            m_idle.notify_all();
        }
    }

public:
    static int CallHandler(const MessageBoxRequest& request);

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<MessageBoxRequest> m_queue;
    bool m_busy = false;
    bool m_stop = false;
    std::thread m_thread;
};

std::atomic<bool> g_refused{false};
std::mutex g_handlerMutex;
MessageBoxHandler g_handler;
std::mutex g_uiThreadMutex;
std::optional<std::thread::id> g_uiThread;

int WorkerBoxDispatcher::CallHandler(const MessageBoxRequest& request) {
    MessageBoxHandler handler;
    {
        std::lock_guard<std::mutex> lock(g_handlerMutex);
        handler = g_handler;
    }
    return handler ? handler(request) : DefaultHandler(request);
}

WorkerBoxDispatcher& Dispatcher() {
    static WorkerBoxDispatcher dispatcher;
    return dispatcher;
}

bool OnUiThread() {
    std::lock_guard<std::mutex> lock(g_uiThreadMutex);
    return !g_uiThread || *g_uiThread == std::this_thread::get_id();
}

}  // namespace

// Box texts are GB2312 bytes, as the recorder stores them; a console
// reads UTF-8.
void PrintMessageBoxOnConsole(const MessageBoxRequest& request) {
    std::fprintf(stderr, "[%s] %s\n", Gb2312ToUtf8(request.caption).c_str(),
                 Gb2312ToUtf8(request.text).c_str());
}

int ShowMessageBox(const char* text, const char* caption, unsigned type) {
    MessageBoxRequest request;
    request.text = text ? text : "";
    request.caption = caption ? caption : "";
    request.type = type;
    const bool uiThread = OnUiThread();
    if (g_refused.load()) {
        PrintMessageBoxOnConsole(request);
        return uiThread ? IDCANCEL : IDOK;
    }
    if (uiThread) {
        return WorkerBoxDispatcher::CallHandler(request);
    }
    request.fromWorkerThread = true;
    Dispatcher().Post(std::move(request));
    return IDOK;
}

int AfxMessageBox(const char* text, unsigned type) {
    return ShowMessageBox(text, "Quorvalind", type);
}

void SetMessageBoxHandler(MessageBoxHandler handler) {
    std::lock_guard<std::mutex> lock(g_handlerMutex);
    g_handler = std::move(handler);
}

void SetMessageBoxUiThread() {
    std::lock_guard<std::mutex> lock(g_uiThreadMutex);
    g_uiThread = std::this_thread::get_id();
}

void FlushPendingMessageBoxes() {
    Dispatcher().Flush();
}

void SetMessageBoxesRefused(bool refused) {
    g_refused = refused;
}
