#pragma once
// The 40 ms heartbeat: every tick asks DrawVideo to draw; every 25th tick
// counts a second of uptime, asks the main window to repaint its clock (at
// most two repaints unanswered) and gives the alert threads that are on
// their one-second tick.

#include <cstdint>

constexpr unsigned PAL_TIMER_PERIOD = 40;
constexpr int PAL_TICKS_PER_SECOND = 25;

// The multimedia timer's callback (timer thread). The user value and the
// other arguments are not used: the main window is reached through its
// poster.
void PalTimerProc(unsigned timerId, unsigned msg, uintptr_t user, uintptr_t dw1, uintptr_t dw2);

// Starts the heartbeat; its timer id, 0 when it cannot be started.
unsigned StartHeartbeat(uintptr_t user);
void StopHeartbeat(unsigned timerId);
