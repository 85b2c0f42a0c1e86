#include "netservice/stream_notify.h"

#include "platform/threads/thread_messages.h"
#include "platform/threads/thread_queue.h"

void PostStreamFrameReady(uint32_t threadId) {
    // A failed post means the sender thread has ended; its session is closed
    // by the login server when it sees the dead sender.
    PostThreadMessage(threadId, WM_STREAM_FRAME_READY, 0, 0);
}
