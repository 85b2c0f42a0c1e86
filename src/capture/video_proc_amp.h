#pragma once
// The picture controls of a video device as one packed word: brightness in
// bits 0-7, contrast 8-15, saturation 16-23, hue 24-31. 0 doubles as "none"
// and as failure. All on the user-interface thread, also while running.

#include <cstdint>

// Packed current values; 0 when the index is not a video device in use or
// the device has no picture controls.
uint32_t GetVideoProcAmp(uint8_t device);
// Sets each byte, clamped to the device's range and raised to its step
// grid (never past the maximum); returns the packed values set, 0 on any
// failure (properties set before the failure stay set).
uint32_t SetVideoProcAmp(uint8_t device, uint32_t values);
// Sets every control to the device's default; the packed defaults, 0 on
// failure.
uint32_t ResetVideoProcAmp(uint8_t device);

// The value a byte becomes on a range [min, max] with the given step.
int32_t FitToProcAmpRange(int32_t value, int32_t min, int32_t max, int32_t step);
