#pragma once
// How a viewer stream queue tells its sender thread that a packet waits.

#include <cstdint>
#include <functional>

constexpr unsigned WM_STREAM_FRAME_READY = 0x722;

// Posts WM_STREAM_FRAME_READY (wParam 0, lParam 0) to the thread.
void PostStreamFrameReady(uint32_t threadId);

// Replaces the post (tests count notifications with it); an empty function
// restores the thread-message post.
using StreamFrameReadyPoster = std::function<void(uint32_t threadId)>;
void SetStreamFrameReadyPoster(StreamFrameReadyPoster poster);
