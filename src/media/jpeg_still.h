#pragma once
// JPEG stills: one packed 24-bit picture (B, G, R per pixel, rows top to
// bottom, 3 x width bytes per row) into a JPEG file. Only the low 8 bits of
// quality are used (the snapshot callers pass 10 to 80).

#include <cstdint>

// Returns the size of the JPEG data written, or 0 when nothing could be
// written. The file appears complete or not at all: it is written under a
// temporary name in the same folder and renamed when finished.
int WriteJpegFile(const uint8_t* bgr, int width, int height, const char* path, int quality);
