#pragma once
// Rewrites dwScale and dwRate of every video stream header ("strh" with
// fccType "vids") of a closed AVI file. The header is found by walking the
// RIFF chunks (RIFF AVI, LIST hdrl, LIST strl), never by fixed offsets.

#include <cstdint>
#include <string>

// Returns the number of video stream headers rewritten; -1 when the file
// cannot be opened or is not an AVI file.
int PatchAviVideoRate(const std::string& nativePath, uint32_t dwScale, uint32_t dwRate);
