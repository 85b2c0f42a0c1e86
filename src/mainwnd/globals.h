#pragma once
// Process-wide state of the main window that every thread reaches.

#include <atomic>

// Whole seconds of heartbeat ticks since the heartbeat started; written by
// the heartbeat only.
extern std::atomic<int> g_nUptimeSeconds;

int GetUptimeSeconds();
