// The AVX2 kernels of the converters; same arithmetic as the 8-pixel SSE2
// kernels, so the same bytes.

#include "media/color_avx2.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include <atomic>
#include <cstring>

#define QV_AVX2 __attribute__((target("avx2")))

namespace {

// 16 luma and the 8 chroma samples under them as 16-bit lanes, in pixel order.
QV_AVX2 inline void Load16(const uint8_t* y, const uint8_t* u, const uint8_t* v, __m256i& yy,
                           __m256i& uu, __m256i& vv) {
    __m128i u8 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(u));
    __m128i v8 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(v));
    yy = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(y)));
    uu = _mm256_cvtepu8_epi16(_mm_unpacklo_epi8(u8, u8));
    vv = _mm256_cvtepu8_epi16(_mm_unpacklo_epi8(v8, v8));
}

// The chroma parts of the 6-bit formula for 16 pixels, shared by both rows
// of a pair.
struct RgbChroma16 {
    __m256i r, g, b;
};

QV_AVX2 inline RgbChroma16 RgbChroma(const uint8_t* u, const uint8_t* v) {
    __m128i u8 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(u));
    __m128i v8 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(v));
    __m256i uu =
        _mm256_sub_epi16(_mm256_cvtepu8_epi16(_mm_unpacklo_epi8(u8, u8)), _mm256_set1_epi16(128));
    __m256i vv =
        _mm256_sub_epi16(_mm256_cvtepu8_epi16(_mm_unpacklo_epi8(v8, v8)), _mm256_set1_epi16(128));
    RgbChroma16 c;
    c.r = _mm256_mullo_epi16(vv, _mm256_set1_epi16(102));
    c.g = _mm256_adds_epi16(_mm256_mullo_epi16(uu, _mm256_set1_epi16(25)),
                            _mm256_mullo_epi16(vv, _mm256_set1_epi16(52)));
    c.b = _mm256_mullo_epi16(uu, _mm256_set1_epi16(129));
    return c;
}

// B, G, R, 0 of 16 pixels of one row: pixels 0-7 in first, 8-15 in second.
QV_AVX2 inline void Bgra16(const uint8_t* y, const RgbChroma16& c, __m256i& first,
                           __m256i& second) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i yy = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(y)));
    __m256i luma =
        _mm256_mullo_epi16(_mm256_sub_epi16(yy, _mm256_set1_epi16(16)), _mm256_set1_epi16(74));
    __m256i r = _mm256_srai_epi16(_mm256_adds_epi16(luma, c.r), 6);
    __m256i g = _mm256_srai_epi16(_mm256_subs_epi16(luma, c.g), 6);
    __m256i b = _mm256_srai_epi16(_mm256_adds_epi16(luma, c.b), 6);
    // Per 128-bit lane: pixels 0-7 in the low lane, 8-15 in the high one.
    __m256i bg = _mm256_unpacklo_epi8(_mm256_packus_epi16(b, zero), _mm256_packus_epi16(g, zero));
    __m256i r0 = _mm256_unpacklo_epi8(_mm256_packus_epi16(r, zero), zero);
    __m256i lo = _mm256_unpacklo_epi16(bg, r0);  // pixels 0-3 | 8-11
    __m256i hi = _mm256_unpackhi_epi16(bg, r0);  // pixels 4-7 | 12-15
    first = _mm256_permute2x128_si256(lo, hi, 0x20);
    second = _mm256_permute2x128_si256(lo, hi, 0x31);
}

QV_AVX2 inline __m256i Shift13(__m256i lo, __m256i hi) {
    return _mm256_packs_epi32(_mm256_srai_epi32(lo, 13), _mm256_srai_epi32(hi, 13));
}

// Diffuses two components of 16 pixels at once: c = t + low 3 bits of the
// running sum before it (see color_rgb16.cpp). Only the low 3 bits of the
// sums matter, so they are taken in bytes, in the byte order of a pack of
// the two: a0-7, b0-7 | a8-15, b8-15. The sums within each 8 bytes use
// 64-bit shifts, which keeps the shuffle unit free for the rest.
// carry: the low 3 bits carried in, a's in the a bytes, b's in the b bytes.
// Returns the diffused values clamped to 0..255, in the same byte order.
QV_AVX2 inline __m256i Diffuse2(__m256i ta, __m256i tb, __m256i& carry) {
    const __m256i seven16 = _mm256_set1_epi16(7);
    __m256i m = _mm256_packus_epi16(_mm256_and_si256(ta, seven16), _mm256_and_si256(tb, seven16));
    __m256i p = _mm256_add_epi8(m, _mm256_slli_epi64(m, 8));
    p = _mm256_add_epi8(p, _mm256_slli_epi64(p, 16));
    p = _mm256_add_epi8(p, _mm256_slli_epi64(p, 32));
    // Each 8-byte run's total, spread over its run; the high lane's runs
    // continue those of the low lane.
    const __m256i lastOfRun =
        _mm256_setr_epi8(7, 7, 7, 7, 7, 7, 7, 7, 15, 15, 15, 15, 15, 15, 15, 15, 7, 7, 7, 7, 7, 7,
                         7, 7, 15, 15, 15, 15, 15, 15, 15, 15);
    __m256i totals = _mm256_shuffle_epi8(p, lastOfRun);
    p = _mm256_add_epi8(p, _mm256_permute2x128_si256(totals, totals, 0x08));
    const __m256i seven8 = _mm256_set1_epi8(7);
    p = _mm256_add_epi8(p, carry);
    __m256i low = _mm256_and_si256(_mm256_sub_epi8(p, m), seven8);
    __m256i full = _mm256_shuffle_epi8(p, lastOfRun);
    carry = _mm256_and_si256(_mm256_permute2x128_si256(full, full, 0x11), seven8);
    const __m256i zero = _mm256_setzero_si256();
    ta = _mm256_add_epi16(ta, _mm256_unpacklo_epi8(low, zero));
    tb = _mm256_add_epi16(tb, _mm256_unpackhi_epi8(low, zero));
    return _mm256_packus_epi16(ta, tb);  // the clamp
}

struct Chroma16 {
    __m256i buLo, buHi, guvLo, guvHi, rvLo, rvHi;
};

QV_AVX2 inline Chroma16 ChromaTerms(__m256i uu, __m256i vv) {
    uu = _mm256_sub_epi16(uu, _mm256_set1_epi16(128));
    vv = _mm256_sub_epi16(vv, _mm256_set1_epi16(128));
    // (U, V) pairs, one per pixel, against (U factor, V factor) pairs.
    __m256i lo = _mm256_unpacklo_epi16(uu, vv);
    __m256i hi = _mm256_unpackhi_epi16(uu, vv);
    const __m256i kb = _mm256_set1_epi32(16531);
    const __m256i kr = _mm256_set1_epi32(13074 << 16);
    const __m256i kg = _mm256_set1_epi32((6660 << 16) | 3203);
    Chroma16 c;
    c.buLo = _mm256_madd_epi16(lo, kb);
    c.buHi = _mm256_madd_epi16(hi, kb);
    c.rvLo = _mm256_madd_epi16(lo, kr);
    c.rvHi = _mm256_madd_epi16(hi, kr);
    c.guvLo = _mm256_madd_epi16(lo, kg);
    c.guvHi = _mm256_madd_epi16(hi, kg);
    return c;
}

struct T16 {
    __m256i r, g, b;  // the new 8-bit values before diffusion, one row
};

QV_AVX2 inline T16 RowTerms(__m256i yy, const Chroma16& ct) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i yc = _mm256_sub_epi16(yy, _mm256_set1_epi16(16));
    __m256i yLo = _mm256_madd_epi16(_mm256_unpacklo_epi16(yc, zero), _mm256_set1_epi32(9535));
    __m256i yHi = _mm256_madd_epi16(_mm256_unpackhi_epi16(yc, zero), _mm256_set1_epi32(9535));
    T16 t;
    t.b = Shift13(_mm256_add_epi32(yLo, ct.buLo), _mm256_add_epi32(yHi, ct.buHi));
    t.g = Shift13(_mm256_sub_epi32(yLo, ct.guvLo), _mm256_sub_epi32(yHi, ct.guvHi));
    t.r = Shift13(_mm256_add_epi32(yLo, ct.rvLo), _mm256_add_epi32(yHi, ct.rvHi));
    return t;
}

// Packs both rows at once from the diffused bytes of each component (upper
// row in the first 8 bytes of each lane, lower row in the last 8): the low
// and high bytes of the words are formed bytewise (16-bit shifts, then
// masks that drop what crossed a byte), then interleaved.
QV_AVX2 inline __m256i mask(int m) {
    return _mm256_set1_epi8(static_cast<char>(m));
}

template <bool k565>
QV_AVX2 inline void StorePair16(uint8_t* out0, uint8_t* out1, __m256i r, __m256i g, __m256i b) {
    __m256i lo, hi;
    const __m256i blue = _mm256_and_si256(_mm256_srli_epi16(b, 3), mask(0x1F));
    if constexpr (k565) {
        lo = _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi16(g, 3), mask(0xE0)), blue);
        hi = _mm256_or_si256(_mm256_and_si256(r, mask(0xF8)),
                             _mm256_and_si256(_mm256_srli_epi16(g, 5), mask(0x07)));
    } else {
        lo = _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi16(g, 2), mask(0xE0)), blue);
        hi = _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi16(r, 1), mask(0x7C)),
                             _mm256_and_si256(_mm256_srli_epi16(g, 6), mask(0x03)));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out0), _mm256_unpacklo_epi8(lo, hi));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out1), _mm256_unpackhi_epi8(lo, hi));
}

QV_AVX2 inline __m256i CarryPair(int a, int b) {
    __m128i half = _mm_unpacklo_epi64(_mm_set1_epi8(static_cast<char>(a)),
                                      _mm_set1_epi8(static_cast<char>(b)));
    return _mm256_set_m128i(half, half);
}

QV_AVX2 inline int CarryA(__m256i c) {
    return _mm256_cvtsi256_si32(c) & 7;
}
QV_AVX2 inline int CarryB(__m256i c) {
    return _mm_cvtsi128_si32(_mm_srli_si128(_mm256_castsi256_si128(c), 8)) & 7;
}

template <bool k565>
QV_AVX2 int RowPair16(uint8_t* out0, uint8_t* out1, const uint8_t* y0, const uint8_t* y1,
                      const uint8_t* u, const uint8_t* v, int width, int carry[6]) {
    // carry order: upper r, g, b, lower r, g, b; each component diffused for
    // both rows at once.
    __m256i cr = CarryPair(carry[0], carry[3]);
    __m256i cg = CarryPair(carry[1], carry[4]);
    __m256i cb = CarryPair(carry[2], carry[5]);
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        __m256i yy0, uu, vv;
        Load16(y0 + x, u + x / 2, v + x / 2, yy0, uu, vv);
        __m256i yy1 =
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(y1 + x)));
        Chroma16 ct = ChromaTerms(uu, vv);
        T16 up = RowTerms(yy0, ct);
        T16 lo = RowTerms(yy1, ct);
        __m256i r = Diffuse2(up.r, lo.r, cr);
        __m256i g = Diffuse2(up.g, lo.g, cg);
        __m256i b = Diffuse2(up.b, lo.b, cb);
        StorePair16<k565>(out0 + 2 * x, out1 + 2 * x, r, g, b);
    }
    carry[0] = CarryA(cr);
    carry[3] = CarryB(cr);
    carry[1] = CarryA(cg);
    carry[4] = CarryB(cg);
    carry[2] = CarryA(cb);
    carry[5] = CarryB(cb);
    return x;
}

}  // namespace

namespace {
std::atomic<bool> g_avx2Allowed{true};
}  // namespace

bool ColorUseAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has && g_avx2Allowed.load(std::memory_order_relaxed);
}

void ColorAllowAvx2(bool allow) {
    g_avx2Allowed = allow;
}

QV_AVX2 int BgraRowPairAvx2(uint8_t* out0, uint8_t* out1, const uint8_t* y0, const uint8_t* y1,
                            const uint8_t* u, const uint8_t* v, int width) {
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        RgbChroma16 c = RgbChroma(u + x / 2, v + x / 2);
        __m256i a, b;
        Bgra16(y0 + x, c, a, b);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out0 + 4 * x), a);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out0 + 4 * x + 32), b);
        Bgra16(y1 + x, c, a, b);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out1 + 4 * x), a);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out1 + 4 * x + 32), b);
    }
    return x;
}

namespace {

// Drops every fourth byte of four B, G, R, 0 quads; 12 bytes per group of
// 4 pixels, written exactly.
QV_AVX2 inline void StoreBgr16(uint8_t* o, __m256i a, __m256i b) {
    const __m256i pick = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0,
                                          1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    a = _mm256_shuffle_epi8(a, pick);
    b = _mm256_shuffle_epi8(b, pick);
    __m128i parts[4] = {_mm256_castsi256_si128(a), _mm256_extracti128_si256(a, 1),
                        _mm256_castsi256_si128(b), _mm256_extracti128_si256(b, 1)};
    for (int k = 0; k < 4; ++k) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o + 12 * k), parts[k]);
        int32_t last = _mm_cvtsi128_si32(_mm_srli_si128(parts[k], 8));
        std::memcpy(o + 12 * k + 8, &last, 4);
    }
}

}  // namespace

QV_AVX2 int BgrRowPairAvx2(uint8_t* out0, uint8_t* out1, const uint8_t* y0, const uint8_t* y1,
                           const uint8_t* u, const uint8_t* v, int width) {
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        RgbChroma16 c = RgbChroma(u + x / 2, v + x / 2);
        __m256i a, b;
        Bgra16(y0 + x, c, a, b);
        StoreBgr16(out0 + 3 * x, a, b);
        Bgra16(y1 + x, c, a, b);
        StoreBgr16(out1 + 3 * x, a, b);
    }
    return x;
}

int Rgb565RowPairAvx2(uint8_t* out0, uint8_t* out1, const uint8_t* y0, const uint8_t* y1,
                      const uint8_t* u, const uint8_t* v, int width, int carry[6]) {
    return RowPair16<true>(out0, out1, y0, y1, u, v, width, carry);
}

int Rgb555RowPairAvx2(uint8_t* out0, uint8_t* out1, const uint8_t* y0, const uint8_t* y1,
                      const uint8_t* u, const uint8_t* v, int width, int carry[6]) {
    return RowPair16<false>(out0, out1, y0, y1, u, v, width, carry);
}

#else

bool ColorUseAvx2() {
    return false;
}
int BgraRowPairAvx2(uint8_t*, uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*,
                    const uint8_t*, int) {
    return 0;
}
int BgrRowPairAvx2(uint8_t*, uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*,
                   const uint8_t*, int) {
    return 0;
}
int Rgb565RowPairAvx2(uint8_t*, uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*,
                      const uint8_t*, int, int*) {
    return 0;
}
int Rgb555RowPairAvx2(uint8_t*, uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*,
                      const uint8_t*, int, int*) {
    return 0;
}

#endif
