#pragma once
// Picture-size codes: the 4-bit number of each picture size the system
// sends, carried in bits 28-31 of every stream packet header.

#include <cstdint>

constexpr uint8_t PICSIZE_OTHER = 0;
constexpr uint8_t PICSIZE_176X144 = 1;
constexpr uint8_t PICSIZE_160X120 = 2;
constexpr uint8_t PICSIZE_352X144 = 3;
constexpr uint8_t PICSIZE_320X120 = 4;
constexpr uint8_t PICSIZE_352X288 = 5;
constexpr uint8_t PICSIZE_320X240 = 6;
constexpr uint8_t PICSIZE_704X288 = 7;
constexpr uint8_t PICSIZE_640X240 = 8;
constexpr uint8_t PICSIZE_704X576 = 9;
constexpr uint8_t PICSIZE_640X480 = 10;

// The code of the exact size, else 0.
uint8_t GetPicSizeCode(int width, int height);

// 1 and the size for codes 1 to 10; 0 and 0 x 0 for any other code.
int GetPicSizeFromCode(uint8_t code, int* width, int* height);
