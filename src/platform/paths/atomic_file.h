#pragma once
// Replacing a whole file so that a reader sees either the old or the new
// contents, never a half-written file, and a failed write leaves the old file.

#include <string>
#include <string_view>

// Writes bytes to a temporary file next to nativePath, checks every write and
// the close, then renames it over nativePath. With syncToDisk the data is
// also flushed to the device before the rename. The new file is readable by
// its owner only: mode 0600, or an old file's owner bits (whatever the
// umask). Returns false, with the old file untouched and no temporary left,
// on any failure.
bool ReplaceFileContents(const std::string& nativePath, std::string_view bytes, bool syncToDisk);
