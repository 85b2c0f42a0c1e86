#pragma once
// Time-outs of the blocking waits (locks, thread ends), in milliseconds.

#include <cstdint>

// Wait without a time limit.
constexpr uint32_t INFINITE = 0xFFFFFFFFu;
