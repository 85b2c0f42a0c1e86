#pragma once
// On-screen text: GB2312 or ASCII text drawn with a 16 x 16 bitmap font into
// an 8-bit plane (the luma plane of a picture), value 250 with a shadow of
// value 10 one pixel down and one to the right.

#include <cstdint>

// GB2312 rows 0xA1 to 0xF7, 94 columns each.
constexpr int OSD_FONT_ROWS = 87;
constexpr int OSD_FONT_COLUMNS = 94;
constexpr int OSD_FONT_GLYPHS = OSD_FONT_ROWS * OSD_FONT_COLUMNS;  // 8178
// Rows 0xA1 to 0xA9 (symbols, full-width ASCII, kana, Greek, Cyrillic,
// pinyin, box drawing) have spacing entries; the hanzi advance 17.
constexpr int OSD_FONT_SPACED_GLYPHS = 9 * OSD_FONT_COLUMNS;  // 846

// Glyph index = row index * 94 + column index; 32 bytes per glyph: 16 pixel
// rows, left byte first, most significant bit leftmost, a set bit is ink.
extern const uint8_t g_OsdFontBitmap[OSD_FONT_GLYPHS * 32];
// High byte: columns drawn left of the pen; low byte: columns at the right
// that the advance does not count. Advance = 17 - left - right.
extern const uint16_t g_OsdFontSpacing[OSD_FONT_SPACED_GLYPHS];

struct OsdFont {
    uint8_t byCellWidth;
    const uint16_t* pSpacing;
    const uint8_t* pBitmap;
};

// The font in use; read-only after InitOsdFont.
extern OsdFont g_OsdFont;

void InitOsdFont();

// Draws text from pen position x (the glyph cells' top at row y) and returns
// the number of glyphs drawn. x, y, stride and xLimit are taken as unsigned
// 16-bit values. No glyph's advance passes xLimit; nothing is drawn left of
// column 0, at or right of column xLimit, or at or below row height.
int DrawOsdText(uint8_t* plane, const char* text, int x, int y, int stride, int xLimit, int height);
