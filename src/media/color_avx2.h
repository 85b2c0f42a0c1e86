#pragma once
// 16 pixels per step with AVX2, chosen at run time when the processor has
// it. Each function converts the leading multiple of 16 pixels of a row pair
// and returns how many it converted; the callers finish the rest.

#include <cstdint>

bool ColorUseAvx2();

// Turns the AVX2 kernels off (or back on, where the processor has them), so
// that the 8-pixel kernels of older processors can be checked on any machine.
void ColorAllowAvx2(bool allow);

// Both rows of a pair share their chroma.
int BgraRowPairAvx2(uint8_t* out0, uint8_t* out1, const uint8_t* y0, const uint8_t* y1,
                    const uint8_t* u, const uint8_t* v, int width);
int BgrRowPairAvx2(uint8_t* out0, uint8_t* out1, const uint8_t* y0, const uint8_t* y1,
                   const uint8_t* u, const uint8_t* v, int width);

// carry: low 3 bits carried per row and component, in the order upper r, g,
// b, lower r, g, b; read at the start and updated at the end.
int Rgb565RowPairAvx2(uint8_t* out0, uint8_t* out1, const uint8_t* y0, const uint8_t* y1,
                      const uint8_t* u, const uint8_t* v, int width, int carry[6]);
int Rgb555RowPairAvx2(uint8_t* out0, uint8_t* out1, const uint8_t* y0, const uint8_t* y1,
                      const uint8_t* u, const uint8_t* v, int width, int carry[6]);
