#include "netservice/stream_notify.h"

#include <mutex>

namespace {

std::mutex g_posterLock;
StreamFrameReadyPoster g_poster;

void PostThreadMessageReady(uint32_t /*threadId*/) {
    // Thread-message post (wired to the platform thread queues).
}

}  // namespace

void PostStreamFrameReady(uint32_t threadId) {
    StreamFrameReadyPoster poster;
    {
        std::lock_guard<std::mutex> guard(g_posterLock);
        poster = g_poster;
    }
    if (poster) {
        poster(threadId);
    } else {
        PostThreadMessageReady(threadId);
    }
}

void SetStreamFrameReadyPoster(StreamFrameReadyPoster poster) {
    std::lock_guard<std::mutex> guard(g_posterLock);
    g_poster = std::move(poster);
}
