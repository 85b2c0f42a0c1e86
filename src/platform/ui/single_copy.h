#pragma once
// One running copy per executable name and user: the first copy holds an
// exclusive lock on a file named after the executable for its whole life
// (the lock goes with the process, however it ends); a later copy finds
// it held and ends.

#include <string>

// The executable's file name without folder and extension.
std::string GetExecutableName();

// "<name>.lock" in $XDG_RUNTIME_DIR, else "/tmp/<name>-<uid>.lock".
std::string SingleCopyLockPath(const std::string& name);

// True when this process now holds the lock (or the lock file cannot be
// made at all, which must not keep the recorder from starting; a line on
// stderr says so); false when another process holds it.
bool AcquireSingleCopyLock(const std::string& lockPath);
