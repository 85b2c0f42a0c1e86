#pragma once
// How a viewer stream queue tells its sender thread that a packet waits.

#include <cstdint>

// Posts WM_STREAM_FRAME_READY (wParam 0, lParam 0) to the thread.
void PostStreamFrameReady(uint32_t threadId);
