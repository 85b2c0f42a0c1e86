#pragma once
// The arithmetic of the 32- and 24-bit converters, shared by the 4:2:0 and
// the YUY2 ones: 6 fraction bits, eight pixels per step in saturating
// 16-bit lanes, which gives the same bytes as the plain integer formula
// with a final clamp.

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace color_kernel {

inline uint8_t Clamp255(int v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

// B, G, R of one pixel.
inline void PixelBgr(uint8_t* out, int Y, int U, int V) {
    int y = 74 * (Y - 16);
    out[0] = Clamp255((y + 129 * (U - 128)) >> 6);
    out[1] = Clamp255((y - (25 * (U - 128) + 52 * (V - 128))) >> 6);
    out[2] = Clamp255((y + 102 * (V - 128)) >> 6);
}

#if defined(__SSE2__)
// Eight pixels into B, G, R, 0 quads (32 bytes); yy, uu and vv hold each
// pixel's Y, U and V sample in a 16-bit lane.
inline void EightBgra(uint8_t* out, __m128i yy, __m128i uu, __m128i vv) {
    const __m128i zero = _mm_setzero_si128();
    uu = _mm_sub_epi16(uu, _mm_set1_epi16(128));
    vv = _mm_sub_epi16(vv, _mm_set1_epi16(128));
    __m128i luma = _mm_mullo_epi16(_mm_sub_epi16(yy, _mm_set1_epi16(16)), _mm_set1_epi16(74));
    __m128i r = _mm_srai_epi16(_mm_adds_epi16(luma, _mm_mullo_epi16(vv, _mm_set1_epi16(102))), 6);
    __m128i g = _mm_srai_epi16(
        _mm_subs_epi16(luma, _mm_adds_epi16(_mm_mullo_epi16(uu, _mm_set1_epi16(25)),
                                            _mm_mullo_epi16(vv, _mm_set1_epi16(52)))),
        6);
    __m128i b = _mm_srai_epi16(_mm_adds_epi16(luma, _mm_mullo_epi16(uu, _mm_set1_epi16(129))), 6);
    __m128i b8 = _mm_packus_epi16(b, zero);
    __m128i g8 = _mm_packus_epi16(g, zero);
    __m128i r8 = _mm_packus_epi16(r, zero);
    __m128i bg = _mm_unpacklo_epi8(b8, g8);
    __m128i r0 = _mm_unpacklo_epi8(r8, zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi16(bg, r0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm_unpackhi_epi16(bg, r0));
}
#endif

}  // namespace color_kernel
