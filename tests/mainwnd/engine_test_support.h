#pragma once
// Stand-ins for the main window in the engine tests: a poster that keeps
// what was posted, a worker thread that counts its messages, and message
// boxes kept for assertions.

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "mainwnd/main_window_poster.h"
#include "platform/msgbox/message_box.h"
#include "platform/threads/thread_messages.h"
#include "platform/threads/thread_queue.h"

namespace engine_test {

class RecordingPoster final : public IMainWindowPoster {
public:
    RecordingPoster() { SetMainWindowPoster(this); }
    ~RecordingPoster() override { SetMainWindowPoster(nullptr); }
    bool Post(unsigned message, WPARAM, LPARAM) override {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.push_back(message);
        return true;
    }
    int Count(unsigned message) {
        std::lock_guard<std::mutex> lock(mutex_);
        int n = 0;
        for (unsigned m : messages_) {
            n += m == message ? 1 : 0;
        }
        return n;
    }

private:
    std::mutex mutex_;
    std::vector<unsigned> messages_;
};

// A thread with a queue that counts each message number until
// WM_THREAD_QUIT.
class CountingWorker {
public:
    CountingWorker() {
        handle_ = CreateThread(
            [this]() -> uint32_t {
                ThreadMessage msg;
                while (GetMessage(&msg) && msg.message != WM_THREAD_QUIT) {
                    std::lock_guard<std::mutex> lock(mutex_);
                    ++counts_[msg.message];
                }
                return 0;
            },
            &id_);
    }
    ~CountingWorker() { Stop(); }
    void Stop() {
        if (handle_ != nullptr) {
            PostThreadMessage(id_, WM_THREAD_QUIT, 0, 0);
            WaitForThread(handle_, INFINITE);
            CloseThreadHandle(handle_);
            handle_ = nullptr;
        }
    }
    ThreadId Id() const { return id_; }
    ThreadHandle Handle() const { return handle_; }
    // The count once every message posted so far was handled.
    int Count(unsigned message) {
        Drain();
        std::lock_guard<std::mutex> lock(mutex_);
        return counts_[message];
    }

private:
    void Drain() {
        // A marker posted last is counted after everything before it.
        constexpr unsigned kMarker = WM_USER + 0x3FF;
        int before = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            before = counts_[kMarker];
        }
        PostThreadMessage(id_, kMarker, 0, 0);
        for (int i = 0; i < 5000; ++i) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (counts_[kMarker] > before) {
                    return;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    std::mutex mutex_;
    std::map<unsigned, int> counts_;
    ThreadHandle handle_ = nullptr;
    ThreadId id_ = 0;
};

class BoxRecorder {
public:
    BoxRecorder() {
        SetMessageBoxUiThread();
        SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            std::lock_guard<std::mutex> lock(mutex_);
            boxes_.push_back(r);
            return IDOK;
        });
    }
    ~BoxRecorder() {
        FlushPendingMessageBoxes();
        SetMessageBoxHandler({});
    }
    std::vector<MessageBoxRequest> Boxes() {
        FlushPendingMessageBoxes();
        std::lock_guard<std::mutex> lock(mutex_);
        return boxes_;
    }
    int Count(const std::string& text) {
        int n = 0;
        for (const auto& b : Boxes()) {
            n += b.text == text ? 1 : 0;
        }
        return n;
    }

private:
    std::mutex mutex_;
    std::vector<MessageBoxRequest> boxes_;
};

// Polls until cond holds or about ten seconds passed.
inline bool WaitUntil(const std::function<bool()>& cond) {
    for (int i = 0; i < 10000; ++i) {
        if (cond()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return cond();
}

}  // namespace engine_test
