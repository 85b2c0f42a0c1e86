#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "media/color_convert.h"
#include "media/color_geometry.h"

namespace {

void Yuy2Row(uint8_t* out, const uint8_t* y, const uint8_t* u, const uint8_t* v, int width) {
    int x = 0;
#if defined(__SSE2__)
    for (; x + 16 <= width; x += 16) {
        __m128i yy = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + x));
        __m128i uu = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(u + x / 2));
        __m128i vv = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(v + x / 2));
        __m128i uv = _mm_unpacklo_epi8(uu, vv);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * x), _mm_unpacklo_epi8(yy, uv));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * x + 16), _mm_unpackhi_epi8(yy, uv));
    }
    for (; x + 8 <= width; x += 8) {
        int32_t u4, v4;
        std::memcpy(&u4, u + x / 2, 4);
        std::memcpy(&v4, v + x / 2, 4);
        __m128i yy = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(y + x));
        __m128i uv = _mm_unpacklo_epi8(_mm_cvtsi32_si128(u4), _mm_cvtsi32_si128(v4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * x), _mm_unpacklo_epi8(yy, uv));
    }
#endif
    for (; x + 2 <= width; x += 2) {
        out[2 * x] = y[x];
        out[2 * x + 1] = u[x / 2];
        out[2 * x + 2] = y[x + 1];
        out[2 * x + 3] = v[x / 2];
    }
}

}  // namespace

void Yv12ToYuy2(uint8_t* dst, int dstStride, const uint8_t* y, const uint8_t* u, const uint8_t* v,
                int yStride, int uvStride, int width, int height) {
    RowPairWalk w = MakeRowPairWalk(y, u, v, yStride, uvStride, height);
    const ptrdiff_t outStride = static_cast<ptrdiff_t>(dstStride) * 2;
    for (int p = 0; p < w.pairs; ++p) {
        const uint8_t* y0 = w.y + 2 * p * w.yStride;
        const uint8_t* uRow = w.u + p * w.uvStride;
        const uint8_t* vRow = w.v + p * w.uvStride;
        uint8_t* out = dst + 2 * p * outStride;
        Yuy2Row(out, y0, uRow, vRow, width);
        Yuy2Row(out + outStride, y0 + w.yStride, uRow, vRow, width);
    }
}
