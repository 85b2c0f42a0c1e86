#pragma once
// Posts to the main window from any thread. The window installs a poster
// while it exists and removes it before it goes; a post while none is
// installed fails quietly (false), as a post to a destroyed window does.

#include "platform/threads/thread_queue.h"

class IMainWindowPoster {
public:
    virtual ~IMainWindowPoster() = default;
    // Queues the message for the window's thread; false when it cannot.
    virtual bool Post(unsigned message, WPARAM wParam, LPARAM lParam) = 0;
};

// Null removes the poster; the call returns once no post is running in it,
// so the old poster may be destroyed right after.
void SetMainWindowPoster(IMainWindowPoster* poster);

// False when no window is there or its queue refused the message.
bool PostToMainWindow(unsigned message, WPARAM wParam, LPARAM lParam);

// A poster into a thread queue: the user-interface thread's own queue, or
// a test thread that plays the window.
class CThreadQueuePoster final : public IMainWindowPoster {
public:
    explicit CThreadQueuePoster(ThreadId thread) : m_thread(thread) {}
    bool Post(unsigned message, WPARAM wParam, LPARAM lParam) override {
        return PostThreadMessage(m_thread, message, wParam, lParam);
    }

private:
    ThreadId m_thread;
};
