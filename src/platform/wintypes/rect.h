#pragma once
// A screen rectangle in the Windows manner: left and top inside, right and
// bottom one past the last pixel. Plain data, so that records holding it stay
// trivially copyable.

#include <cstdint>

struct RECT {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};
