// The 32- and 24-bit converters of 4:2:0 pictures, on the arithmetic of
// color_bgra_kernel.h.

#include <cstring>

#include "media/color_avx2.h"
#include "media/color_bgra_kernel.h"
#include "media/color_convert.h"
#include "media/color_geometry.h"

namespace {

using color_kernel::PixelBgr;

#if defined(__SSE2__)
// Eight pixels of one row into B, G, R, 0 quads (32 bytes).
inline void EightPixelsBgra(uint8_t* out, const uint8_t* y, const uint8_t* u, const uint8_t* v) {
    const __m128i zero = _mm_setzero_si128();
    int32_t u4, v4;
    std::memcpy(&u4, u, 4);
    std::memcpy(&v4, v, 4);
    __m128i yy = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(y)), zero);
    __m128i uu = _mm_unpacklo_epi8(_mm_cvtsi32_si128(u4), zero);
    __m128i vv = _mm_unpacklo_epi8(_mm_cvtsi32_si128(v4), zero);
    color_kernel::EightBgra(out, yy, _mm_unpacklo_epi16(uu, uu), _mm_unpacklo_epi16(vv, vv));
}
#endif

void BgraRow(uint8_t* out, const uint8_t* y, const uint8_t* u, const uint8_t* v, int x, int width) {
#if defined(__SSE2__)
    for (; x + 8 <= width; x += 8) {
        EightPixelsBgra(out + 4 * x, y + x, u + x / 2, v + x / 2);
    }
#endif
    for (; x < width; ++x) {
        PixelBgr(out + 4 * x, y[x], u[x / 2], v[x / 2]);
        out[4 * x + 3] = 0;
    }
}

void BgrRow(uint8_t* out, const uint8_t* y, const uint8_t* u, const uint8_t* v, int x, int width) {
#if defined(__SSE2__)
    alignas(16) uint8_t quads[32];
    for (; x + 8 <= width; x += 8) {
        EightPixelsBgra(quads, y + x, u + x / 2, v + x / 2);
        uint8_t* o = out + 3 * x;
        for (int i = 0; i < 8; ++i) {
            o[3 * i] = quads[4 * i];
            o[3 * i + 1] = quads[4 * i + 1];
            o[3 * i + 2] = quads[4 * i + 2];
        }
    }
#endif
    for (; x < width; ++x) {
        PixelBgr(out + 3 * x, y[x], u[x / 2], v[x / 2]);
    }
}

// Converts a row from pixel x on.
using RowFn = void (*)(uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, int, int);
using PairFn = int (*)(uint8_t*, uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*,
                       const uint8_t*, int);

void ConvertPairs(PairFn pairAvx2, RowFn row, int bytesPerPixel, uint8_t* dst, int dstStride,
                  const uint8_t* y, const uint8_t* u, const uint8_t* v, int yStride, int uvStride,
                  int width, int height) {
    RowPairWalk w = MakeRowPairWalk(y, u, v, yStride, uvStride, height);
    const ptrdiff_t outStride = static_cast<ptrdiff_t>(dstStride) * bytesPerPixel;
    for (int p = 0; p < w.pairs; ++p) {
        const uint8_t* y0 = w.y + 2 * p * w.yStride;
        const uint8_t* uRow = w.u + p * w.uvStride;
        const uint8_t* vRow = w.v + p * w.uvStride;
        uint8_t* out = dst + 2 * p * outStride;
        int x = ColorUseAvx2()
                    ? pairAvx2(out, out + outStride, y0, y0 + w.yStride, uRow, vRow, width)
                    : 0;
        row(out, y0, uRow, vRow, x, width);
        row(out + outStride, y0 + w.yStride, uRow, vRow, x, width);
    }
}

}  // namespace

void Yv12ToBgra32(uint8_t* dst, int dstStride, const uint8_t* y, const uint8_t* u, const uint8_t* v,
                  int yStride, int uvStride, int width, int height) {
    ConvertPairs(BgraRowPairAvx2, BgraRow, 4, dst, dstStride, y, u, v, yStride, uvStride, width,
                 height);
}

void Yv12ToBgr24(uint8_t* dst, int dstStride, const uint8_t* y, const uint8_t* u, const uint8_t* v,
                 int yStride, int uvStride, int width, int height) {
    ConvertPairs(BgrRowPairAvx2, BgrRow, 3, dst, dstStride, y, u, v, yStride, uvStride, width,
                 height);
}
