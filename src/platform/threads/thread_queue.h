#pragma once
// Worker threads with message queues, in place of the kernel's threads and
// thread messages.
//
// Every thread has a plain unsigned id (0 = none), handed out from one
// counter and never reused within a run. A thread has a message queue when
// it was started with CreateThread (the queue exists before its body runs,
// so a post made right after CreateThread is kept) or when it registered
// itself with RegisterThreadQueue (the user-interface thread, or a test
// thread playing a thread's role). A thread's queue ends with the thread
// (or with UnregisterThreadQueue); from then on posts to it fail.
//
// Queues have no size limit. Messages from one sender arrive in the order
// they were posted.

#include <cstdint>
#include <functional>

#include "platform/sync/wait_timeout.h"

using ThreadId = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;

struct ThreadMessage {
    unsigned message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Opaque handle of a started thread; null = no thread.
using ThreadHandle = struct ThreadObject*;

// A thread procedure: one pointer parameter, exit code as result.
using ThreadProc = uint32_t (*)(void* param);

// Starts proc(param) on a new thread with its own queue. Returns its handle
// and stores its id into *pThreadId (when given); null and id 0 when the
// thread cannot be started.
ThreadHandle CreateThread(ThreadProc proc, void* param, ThreadId* pThreadId);
ThreadHandle CreateThread(std::function<uint32_t()> body, ThreadId* pThreadId);

// Waits for the thread to end: timeoutMs, or INFINITE. True when it has
// ended; false on time-out, for a null handle, and when a thread would wait
// for itself. A timed-out wait may be repeated later.
bool WaitForThread(ThreadHandle hThread, uint32_t timeoutMs);

// Releases the handle. The thread itself runs on when it has not ended.
void CloseThreadHandle(ThreadHandle hThread);

// Puts (message, wParam, lParam) at the end of the queue of thread id.
// False when the id is 0, unknown, or its thread has no queue (any more).
bool PostThreadMessage(ThreadId id, unsigned message, WPARAM wParam, LPARAM lParam);

// The calling thread's id (one is handed out on the first call).
ThreadId GetCurrentThreadId();

// Waits for the next message of the calling thread's own queue and removes
// it. False at once when the calling thread has no queue.
bool GetMessage(ThreadMessage* pMsg);

// As GetMessage, but gives up after timeoutMs (INFINITE: no limit).
bool GetMessageTimeout(ThreadMessage* pMsg, uint32_t timeoutMs);

// Removes the next message when one waits; never blocks.
bool PeekMessage(ThreadMessage* pMsg);

// Gives the calling thread a queue (kept when it has one) and returns its
// id. The queue ends when the thread ends or calls UnregisterThreadQueue;
// messages still in it are dropped.
ThreadId RegisterThreadQueue();
void UnregisterThreadQueue();
