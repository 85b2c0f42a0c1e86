#pragma once
// SIGTERM and SIGINT (a service manager, a logout, Ctrl+C) as a window
// message: the signal only writes a byte into a pipe; the user-interface
// thread reads it and posts the message, so the window runs its orderly
// exit. Every further signal posts again.

#include "platform/ui/win_types.h"

// User-interface thread, with the application object running. FALSE when
// the pipe or the handlers cannot be set up.
BOOL InstallExitSignalHandler(HWND hTarget, UINT message, WPARAM wParam, LPARAM lParam);

// Puts back the signals' default handling.
void RemoveExitSignalHandler();
