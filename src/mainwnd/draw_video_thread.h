#pragma once
// Starting and stopping the DrawVideo thread (draw_video.h holds the
// thread's own state), without the display headers.

#include <cstdint>
#include <functional>

class CMainDialogState;

// Starts the thread into the DrawVideo globals; 0 with "Create DrawVideo
// Thread Failed!" when it cannot be started.
int StartDrawVideoThread(CMainDialogState* dialog);
// Stops it (no time limit) when it runs. While it waits, serve (when set)
// is called every few milliseconds so that the waiting user-interface
// thread keeps answering the notifications queued for it.
void StopDrawVideoThread(const std::function<void()>& serve = {});

// Display passes and handled messages since the program started (for tests
// and benchmarks that must know a posted pass is done).
uint64_t GetDrawVideoPassCount();
uint64_t GetDrawVideoMessageCount();
