// The 16-bit converters with error diffusion along each row: every pixel
// adds the low 3 bits left over from the previous pixel of its row before
// the value is cut to 5 or 6 bits.
//
// The carried value after pixel i is c(i) = (c(i-1) AND 7) + t(i), so its low
// 3 bits are those of the running sum t(0) + ... + t(i). The vector path uses
// that to diffuse 8 pixels at once with a prefix sum; the bytes are the same
// as those of the pixel-by-pixel walk of the scalar path.

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "media/color_avx2.h"
#include "media/color_convert.h"
#include "media/color_geometry.h"

namespace {

enum class Layout { k565, k555 };

template <Layout L>
inline uint16_t Pack(int r, int g, int b) {
    r = std::clamp(r, 0, 255);
    g = std::clamp(g, 0, 255);
    b = std::clamp(b, 0, 255);
    if constexpr (L == Layout::k565) {
        return static_cast<uint16_t>(((r << 8) & 0xF800) | ((g << 3) & 0x07E0) | ((b >> 3) & 0x1F));
    } else {
        return static_cast<uint16_t>(((r << 7) & 0x7C00) | ((g << 2) & 0x03E0) | ((b >> 3) & 0x1F));
    }
}

struct Carry {
    int r = 0, g = 0, b = 0;
};

template <Layout L>
inline void ScalarPixel(uint8_t* out, int Y, int bu, int guv, int rv, Carry& c) {
    int y = g_YToRgb[Y];
    c.b = (c.b & 7) + ((y + bu) >> 13);
    c.g = (c.g & 7) + ((y - guv) >> 13);
    c.r = (c.r & 7) + ((y + rv) >> 13);
    uint16_t w = Pack<L>(c.r, c.g, c.b);
    out[0] = static_cast<uint8_t>(w);
    out[1] = static_cast<uint8_t>(w >> 8);
}

#if defined(__SSE2__)
struct VecCarry {
    __m128i r = _mm_setzero_si128(), g = _mm_setzero_si128(), b = _mm_setzero_si128();
};

inline int Lane0(__m128i v) {
    return _mm_cvtsi128_si32(v) & 7;
}

// t + (low 3 bits of everything carried before it), 8 lanes in row order.
inline __m128i Diffuse(__m128i t, __m128i& carry) {
    __m128i p = _mm_add_epi16(t, _mm_slli_si128(t, 2));
    p = _mm_add_epi16(p, _mm_slli_si128(p, 4));
    p = _mm_add_epi16(p, _mm_slli_si128(p, 8));
    const __m128i seven = _mm_set1_epi16(7);
    __m128i before = _mm_add_epi16(_mm_sub_epi16(p, t), carry);
    __m128i c = _mm_add_epi16(_mm_and_si128(before, seven), t);
    __m128i last = _mm_shufflehi_epi16(p, 0xFF);
    carry = _mm_and_si128(_mm_add_epi16(carry, _mm_unpackhi_epi64(last, last)), seven);
    return _mm_min_epi16(_mm_max_epi16(c, _mm_setzero_si128()), _mm_set1_epi16(255));
}

inline __m128i Shift13(__m128i lo, __m128i hi) {
    return _mm_packs_epi32(_mm_srai_epi32(lo, 13), _mm_srai_epi32(hi, 13));
}

struct ChromaTerms {
    __m128i buLo, buHi, guvLo, guvHi, rvLo, rvHi;  // 32-bit, one per pixel
};

inline ChromaTerms Chroma(const uint8_t* u, const uint8_t* v) {
    const __m128i zero = _mm_setzero_si128();
    int32_t u4, v4;
    std::memcpy(&u4, u, 4);
    std::memcpy(&v4, v, 4);
    __m128i uc = _mm_sub_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(u4), zero), _mm_set1_epi16(128));
    __m128i vc = _mm_sub_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(v4), zero), _mm_set1_epi16(128));
    __m128i bu = _mm_madd_epi16(_mm_unpacklo_epi16(uc, zero), _mm_set1_epi32(16531));
    __m128i rv = _mm_madd_epi16(_mm_unpacklo_epi16(vc, zero), _mm_set1_epi32(13074));
    __m128i guv = _mm_madd_epi16(_mm_unpacklo_epi16(uc, vc), _mm_set1_epi32((6660 << 16) | 3203));
    ChromaTerms t;
    t.buLo = _mm_shuffle_epi32(bu, _MM_SHUFFLE(1, 1, 0, 0));
    t.buHi = _mm_shuffle_epi32(bu, _MM_SHUFFLE(3, 3, 2, 2));
    t.guvLo = _mm_shuffle_epi32(guv, _MM_SHUFFLE(1, 1, 0, 0));
    t.guvHi = _mm_shuffle_epi32(guv, _MM_SHUFFLE(3, 3, 2, 2));
    t.rvLo = _mm_shuffle_epi32(rv, _MM_SHUFFLE(1, 1, 0, 0));
    t.rvHi = _mm_shuffle_epi32(rv, _MM_SHUFFLE(3, 3, 2, 2));
    return t;
}

template <Layout L>
inline void EightPixels(uint8_t* out, const uint8_t* y, const ChromaTerms& ct, VecCarry& carry) {
    const __m128i zero = _mm_setzero_si128();
    __m128i yc =
        _mm_sub_epi16(_mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(y)), zero),
                      _mm_set1_epi16(16));
    __m128i yLo = _mm_madd_epi16(_mm_unpacklo_epi16(yc, zero), _mm_set1_epi32(9535));
    __m128i yHi = _mm_madd_epi16(_mm_unpackhi_epi16(yc, zero), _mm_set1_epi32(9535));
    __m128i b = Diffuse(Shift13(_mm_add_epi32(yLo, ct.buLo), _mm_add_epi32(yHi, ct.buHi)), carry.b);
    __m128i g =
        Diffuse(Shift13(_mm_sub_epi32(yLo, ct.guvLo), _mm_sub_epi32(yHi, ct.guvHi)), carry.g);
    __m128i r = Diffuse(Shift13(_mm_add_epi32(yLo, ct.rvLo), _mm_add_epi32(yHi, ct.rvHi)), carry.r);
    __m128i w;
    if constexpr (L == Layout::k565) {
        w = _mm_or_si128(
            _mm_or_si128(_mm_and_si128(_mm_slli_epi16(r, 8), _mm_set1_epi16(-2048)),  // 0xF800
                         _mm_and_si128(_mm_slli_epi16(g, 3), _mm_set1_epi16(0x07E0))),
            _mm_srli_epi16(b, 3));
    } else {
        w = _mm_or_si128(_mm_or_si128(_mm_and_si128(_mm_slli_epi16(r, 7), _mm_set1_epi16(0x7C00)),
                                      _mm_and_si128(_mm_slli_epi16(g, 2), _mm_set1_epi16(0x03E0))),
                         _mm_srli_epi16(b, 3));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), w);
}
#endif

template <Layout L>
void ConvertRowPair(uint8_t* out0, uint8_t* out1, const uint8_t* y0, const uint8_t* y1,
                    const uint8_t* u, const uint8_t* v, int width) {
    int x = 0;
    Carry upper, lower;
    if (ColorUseAvx2()) {
        int c[6] = {};
        x = L == Layout::k565 ? Rgb565RowPairAvx2(out0, out1, y0, y1, u, v, width, c)
                              : Rgb555RowPairAvx2(out0, out1, y0, y1, u, v, width, c);
        upper = Carry{c[0], c[1], c[2]};
        lower = Carry{c[3], c[4], c[5]};
    }
#if defined(__SSE2__)
    VecCarry vu{_mm_set1_epi16(static_cast<int16_t>(upper.r)),
                _mm_set1_epi16(static_cast<int16_t>(upper.g)),
                _mm_set1_epi16(static_cast<int16_t>(upper.b))};
    VecCarry vl{_mm_set1_epi16(static_cast<int16_t>(lower.r)),
                _mm_set1_epi16(static_cast<int16_t>(lower.g)),
                _mm_set1_epi16(static_cast<int16_t>(lower.b))};
    for (; x + 8 <= width; x += 8) {
        ChromaTerms ct = Chroma(u + x / 2, v + x / 2);
        EightPixels<L>(out0 + 2 * x, y0 + x, ct, vu);
        EightPixels<L>(out1 + 2 * x, y1 + x, ct, vl);
    }
    upper = Carry{Lane0(vu.r), Lane0(vu.g), Lane0(vu.b)};
    lower = Carry{Lane0(vl.r), Lane0(vl.g), Lane0(vl.b)};
#endif
    for (; x + 2 <= width; x += 2) {
        int U = u[x / 2];
        int V = v[x / 2];
        int bu = g_UToB[U];
        int guv = g_UToG[U] + g_VToG[V];
        int rv = g_VToR[V];
        ScalarPixel<L>(out0 + 2 * x, y0[x], bu, guv, rv, upper);
        ScalarPixel<L>(out0 + 2 * x + 2, y0[x + 1], bu, guv, rv, upper);
        ScalarPixel<L>(out1 + 2 * x, y1[x], bu, guv, rv, lower);
        ScalarPixel<L>(out1 + 2 * x + 2, y1[x + 1], bu, guv, rv, lower);
    }
}

template <Layout L>
void Convert16(uint8_t* dst, int dstStride, const uint8_t* y, const uint8_t* u, const uint8_t* v,
               int yStride, int uvStride, int width, int height) {
    RowPairWalk w = MakeRowPairWalk(y, u, v, yStride, uvStride, height);
    const ptrdiff_t outStride = static_cast<ptrdiff_t>(dstStride) * 2;
    for (int p = 0; p < w.pairs; ++p) {
        const uint8_t* y0 = w.y + 2 * p * w.yStride;
        uint8_t* out = dst + 2 * p * outStride;
        ConvertRowPair<L>(out, out + outStride, y0, y0 + w.yStride, w.u + p * w.uvStride,
                          w.v + p * w.uvStride, width);
    }
}

}  // namespace

void Yv12ToRgb565(uint8_t* dst, int dstStride, const uint8_t* y, const uint8_t* u, const uint8_t* v,
                  int yStride, int uvStride, int width, int height) {
    Convert16<Layout::k565>(dst, dstStride, y, u, v, yStride, uvStride, width, height);
}

void Yv12ToRgb555(uint8_t* dst, int dstStride, const uint8_t* y, const uint8_t* u, const uint8_t* v,
                  int yStride, int uvStride, int width, int height) {
    Convert16<Layout::k555>(dst, dstStride, y, u, v, yStride, uvStride, width, height);
}
