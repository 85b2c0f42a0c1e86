#pragma once
// SIGTERM and SIGINT (a service manager, a logout, Ctrl+C) end the program
// in order: the signal only writes a byte into a pipe; the user-interface
// thread reads it, in whatever loop it runs, and begins the program's end
// (program_ending.h), which cuts short every open modal run, the main
// window's last, so the main window's exit follows. A signal while the
// program is ending already is ignored: a second one must not kill the
// process in the middle of the exit.

#include "platform/ui/win_types.h"

// User-interface thread, with the application object running. FALSE when
// the pipe or the handlers cannot be set up.
BOOL InstallExitSignalHandler();

// Puts back the signals' default handling.
void RemoveExitSignalHandler();
