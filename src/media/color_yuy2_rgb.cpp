#include "media/color_yuy2_rgb.h"

#include <cstddef>

#include "media/color_bgra_kernel.h"

namespace {

void Yuy2RowBgra(uint8_t* out, const uint8_t* in, int width) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    for (; x + 8 <= width; x += 8) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * x));
        const __m128i yy = _mm_and_si128(p, lowBytes);
        // U0 V0 U1 V1 U2 V2 U3 V3, each pair's chroma then spread over its
        // two pixels.
        const __m128i c = _mm_srli_epi16(p, 8);
        const __m128i uu = _mm_shufflehi_epi16(_mm_shufflelo_epi16(c, _MM_SHUFFLE(2, 2, 0, 0)),
                                               _MM_SHUFFLE(2, 2, 0, 0));
        const __m128i vv = _mm_shufflehi_epi16(_mm_shufflelo_epi16(c, _MM_SHUFFLE(3, 3, 1, 1)),
                                               _MM_SHUFFLE(3, 3, 1, 1));
        color_kernel::EightBgra(out + 4 * x, yy, uu, vv);
    }
#endif
    for (; x + 2 <= width; x += 2) {
        const uint8_t* pair = in + 2 * x;
        color_kernel::PixelBgr(out + 4 * x, pair[0], pair[1], pair[3]);
        color_kernel::PixelBgr(out + 4 * x + 4, pair[2], pair[1], pair[3]);
        out[4 * x + 3] = 0;
        out[4 * x + 7] = 0;
    }
}

}  // namespace

void Yuy2ToBgra32(uint8_t* dst, int dstStride, const uint8_t* src, int srcPitch, int width,
                  int height) {
    for (int y = 0; y < height; ++y) {
        Yuy2RowBgra(dst + static_cast<ptrdiff_t>(y) * dstStride * 4,
                    src + static_cast<ptrdiff_t>(y) * srcPitch, width);
    }
}
