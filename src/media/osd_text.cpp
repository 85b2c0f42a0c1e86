#include "media/osd_text.h"

#include <bit>
#include <cstddef>

namespace {

constexpr uint8_t kInk = 250;
constexpr uint8_t kShadow = 10;

struct Clip {
    uint8_t* plane;
    int stride;
    int xLimit;
    int height;
};

// One glyph with its left edge at column left: row by row, first the ink of
// the row, then its shadow one down and one right, so a glyph's shadow never
// covers its own ink; a later glyph covers an earlier one's shadow.
void DrawOsdGlyph(const Clip& clip, int left, int top, const uint8_t* glyph) {
    for (int r = 0; r < 16; ++r) {
        auto bits = static_cast<uint16_t>((glyph[2 * r] << 8) | glyph[2 * r + 1]);
        if (bits == 0) {
            continue;
        }
        for (int pass = 0; pass < 2; ++pass) {
            const int row = top + r + pass;
            if (row >= clip.height) {
                break;
            }
            uint8_t* line = clip.plane + static_cast<ptrdiff_t>(row) * clip.stride;
            const uint8_t value = pass == 0 ? kInk : kShadow;
            // Only the set bits: the leftmost remaining one each time.
            for (uint16_t rest = bits; rest != 0;) {
                const int c = std::countl_zero(rest);
                rest = static_cast<uint16_t>(rest & ~(0x8000u >> c));
                const int col = left + c + pass;
                if (col >= 0 && col < clip.xLimit) {
                    line[col] = value;
                }
            }
        }
    }
}

}  // namespace

OsdFont g_OsdFont = {16, g_OsdFontSpacing, g_OsdFontBitmap};

void InitOsdFont() {
    g_OsdFont.byCellWidth = 16;
    g_OsdFont.pSpacing = g_OsdFontSpacing;
    g_OsdFont.pBitmap = g_OsdFontBitmap;
}

int DrawOsdText(uint8_t* plane, const char* text, int x, int y, int stride, int xLimit,
                int height) {
    if (plane == nullptr || text == nullptr) {
        return 0;
    }
    const int rowBytes = static_cast<uint16_t>(stride);
    const int limit = static_cast<uint16_t>(xLimit);
    // Ink never lands past the end of a row either, whatever xLimit says.
    const Clip clip{plane, rowBytes, limit < rowBytes ? limit : rowBytes, height};
    const int top = static_cast<uint16_t>(y);
    int pen = static_cast<uint16_t>(x);
    int count = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0) {
        unsigned char c = *p++;
        uint8_t row;
        unsigned char trail;
        if (c & 0x80) {
            trail = *p;
            if (trail == 0) {
                break;  // a lone lead byte ends the text
            }
            ++p;
            row = static_cast<uint8_t>(c - 0xA1);
        } else {
            row = 2;  // full-width ASCII
            trail = c;
        }
        // The trail's high bit does not count: 0xA9 0x70 is 0xA9 0xF0.
        const auto col = static_cast<uint8_t>((trail & 0x7F) - 0x21);
        if (row >= OSD_FONT_ROWS || col >= OSD_FONT_COLUMNS) {
            continue;  // no glyph: no drawing, no advance (ASCII spaces too)
        }
        const int index = row * OSD_FONT_COLUMNS + col;
        int left = 0;
        int right = 0;
        if (index < OSD_FONT_SPACED_GLYPHS) {
            left = g_OsdFont.pSpacing[index] >> 8;
            right = g_OsdFont.pSpacing[index] & 0xFF;
        }
        const int advance = 16 - left - right + 1;
        if (pen + advance > limit) {
            break;
        }
        DrawOsdGlyph(clip, pen - left, top, g_OsdFont.pBitmap + index * 32);
        ++count;
        pen += advance;
    }
    return count;
}
