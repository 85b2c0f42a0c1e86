#include "media/osd_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kW = 352;
constexpr int kH = 288;

struct Plane {
    int width, height;
    std::vector<uint8_t> px;
    Plane(int w = kW, int h = kH, uint8_t fill = 128)
        : width(w), height(h), px(static_cast<size_t>(w) * h, fill) {}
    uint8_t at(int r, int c) const { return px[static_cast<size_t>(r) * width + c]; }
    int Draw(const std::string& text, int x, int y, int xLimit = -1) {
        return DrawOsdText(px.data(), text.c_str(), x, y, width, xLimit < 0 ? width : xLimit,
                           height);
    }
    // Leftmost and rightmost columns that are not the background.
    std::pair<int, int> Span() const {
        int lo = width, hi = -1;
        for (int r = 0; r < height; ++r) {
            for (int c = 0; c < width; ++c) {
                if (at(r, c) != 128) {
                    lo = std::min(lo, c);
                    hi = std::max(hi, c);
                }
            }
        }
        return {lo, hi};
    }
};

// A synthetic font whose glyphs are solid 16 x 16 blocks, with the real
// spacing table unless told otherwise: its geometry is plain to check.
class SyntheticFont {
public:
    SyntheticFont() : bitmap_(OSD_FONT_GLYPHS * 32, 0xFF), spacing_(OSD_FONT_SPACED_GLYPHS) {
        for (int i = 0; i < OSD_FONT_SPACED_GLYPHS; ++i) {
            spacing_[i] = g_OsdFontSpacing[i];
        }
        saved_ = g_OsdFont;
        g_OsdFont = OsdFont{16, spacing_.data(), bitmap_.data()};
    }
    ~SyntheticFont() { g_OsdFont = saved_; }
    uint8_t* glyph(int index) { return &bitmap_[static_cast<size_t>(index) * 32]; }
    void SetSpacing(int index, int left, int right) {
        spacing_[index] = static_cast<uint16_t>((left << 8) | right);
    }

private:
    std::vector<uint8_t> bitmap_;
    std::vector<uint16_t> spacing_;
    OsdFont saved_;
};

int Index(int lead, int trail) {
    return (lead - 0xA1) * 94 + (trail - 0xA1);
}
int Left(int lead, int trail) {
    return g_OsdFontSpacing[Index(lead, trail)] >> 8;
}
int Right(int lead, int trail) {
    return g_OsdFontSpacing[Index(lead, trail)] & 0xFF;
}

}  // namespace

TEST(OsdFont, KeepsTheTellingSpacingEntries) {
    InitOsdFont();
    EXPECT_EQ(g_OsdFont.byCellWidth, 16);
    EXPECT_EQ(g_OsdFont.pSpacing, g_OsdFontSpacing);
    const struct {
        int lead, trail, left, right;
    } table[] = {
        {0xA1, 0xA1, 4, 4}, {0xA1, 0xF4, 0, 0}, {0xA3, 0xA1, 5, 5}, {0xA3, 0xAD, 3, 1},
        {0xA3, 0xAE, 1, 9}, {0xA3, 0xAF, 1, 0}, {0xA3, 0xBA, 3, 7}, {0xA3, 0xC1, 3, 1},
        {0xA3, 0xE9, 6, 6}, {0xA9, 0xF0, 4, 4},
    };
    for (const auto& t : table) {
        EXPECT_EQ(Left(t.lead, t.trail), t.left) << std::hex << t.lead << t.trail;
        EXPECT_EQ(Right(t.lead, t.trail), t.right) << std::hex << t.lead << t.trail;
    }
    for (int d = 0xB0; d <= 0xB9; ++d) {
        EXPECT_EQ(17 - Left(0xA3, d) - Right(0xA3, d), 9);
    }
}

// Every spaced glyph's ink stays inside its blank columns, so the advance
// covers it; the largest blank counts are 9.
TEST(OsdFont, InkLiesWithinTheAdvance) {
    for (int i = 0; i < OSD_FONT_SPACED_GLYPHS; ++i) {
        int left = g_OsdFontSpacing[i] >> 8, right = g_OsdFontSpacing[i] & 0xFF;
        ASSERT_LE(left, 9) << i;
        ASSERT_LE(right, 9) << i;
        for (int r = 0; r < 16; ++r) {
            int bits = (g_OsdFontBitmap[i * 32 + 2 * r] << 8) | g_OsdFontBitmap[i * 32 + 2 * r + 1];
            for (int c = 0; c < 16; ++c) {
                if (bits & (0x8000 >> c)) {
                    ASSERT_GE(c, left) << "glyph " << i;
                    ASSERT_LE(c, 15 - right) << "glyph " << i;
                }
            }
        }
    }
    // The characters the recorder draws have ink: digits, letters, the mark, a hanzi.
    for (int idx : {Index(0xA3, 0xB0), Index(0xA3, 0xC1), Index(0xA1, 0xF4), Index(0xB0, 0xA1)}) {
        int ink = 0;
        for (int b = 0; b < 32; ++b) {
            ink |= g_OsdFontBitmap[idx * 32 + b];
        }
        EXPECT_NE(ink, 0) << idx;
    }
}

TEST(OsdText, GlyphPlacementAndAdvance) {
    SyntheticFont font;
    Plane p;
    EXPECT_EQ(p.Draw("AB", 6, 10), 2);
    // A: left 3, so its cell starts at column 3; B follows 13 columns on.
    EXPECT_EQ(p.at(10, 2), 128);
    EXPECT_EQ(p.at(10, 3), 250);
    int bStart = 6 + 13 - Left(0xA3, 0xC2);
    EXPECT_EQ(p.at(10, bStart + 15), 250);
    EXPECT_EQ(p.at(11, bStart + 16), 10);  // shadow: one down, one right
    EXPECT_EQ(p.at(9, 3), 128);
    EXPECT_EQ(p.at(26, 4), 10);  // the row under the glyph holds only shadow
    EXPECT_EQ(p.at(27, 4), 128);

    // ASCII spaces take no room; a lone lead byte ends the text; bytes after
    // the terminating zero are never read.
    for (const std::string& same : std::vector<std::string>{"A B", "A  B", "AB\xB0"}) {
        Plane q;
        EXPECT_EQ(q.Draw(same, 6, 10), 2) << same;
        EXPECT_EQ(q.px, p.px) << same;
    }
    // Lead bytes without a row draw nothing and do not advance, together
    // with their trail byte.
    for (const std::string& same : std::vector<std::string>{"\xF8\xA1"
                                                            "AB",
                                                            "\xFF\xC1"
                                                            "AB",
                                                            "\x80\xC1"
                                                            "AB",
                                                            "A\xA0\xC1"
                                                            "B"}) {
        Plane q;
        EXPECT_EQ(q.Draw(same, 6, 10), 2);
        EXPECT_EQ(q.px, p.px);
    }
    // The trail's high bit does not count: 0xA9 0x70 is the spacer 0xA9 0xF0.
    Plane a, b;
    a.Draw(
        "1\xA9\x70"
        "2",
        20, 20);
    b.Draw(
        "1\xA9\xF0"
        "2",
        20, 20);
    EXPECT_EQ(a.px, b.px);
}

TEST(OsdText, AdvancesDecideWhatFits) {
    InitOsdFont();
    const struct {
        std::string text;
        int width;  // sum of the advances
        int glyphs;
    } table[] = {
        {"12:34:56", 6 * 9 + 2 * 7, 8},
        {"\xA1\xF4", 17, 1},  // the motion mark
        {"\xB0\xA1", 17, 1},  // a hanzi
        {"\xA1\xA1", 9, 1},   // ideographic space
        {"i!.", 5 + 7 + 7, 3},
    };
    for (const auto& t : table) {
        Plane fits, cut;
        EXPECT_EQ(fits.Draw(t.text, 40, 30, 40 + t.width), t.glyphs) << t.text;
        EXPECT_EQ(cut.Draw(t.text, 40, 30, 40 + t.width - 1), t.glyphs - 1) << t.text;
    }
    // A title too long for the picture stops at the last glyph that fits.
    Plane title;
    EXPECT_EQ(title.Draw(std::string(40, 'A'), 6, 6), (kW - 6) / 13);
    EXPECT_LT(title.Span().second, kW);
}

TEST(OsdText, InkCoversShadow) {
    SyntheticFont font;
    // "!": ink at (0, 8) and (1, 9); the first one's shadow falls on the
    // second one's ink, which stays ink.
    uint8_t* bang = font.glyph(Index(0xA3, 0xA1));
    std::fill(bang, bang + 32, 0);
    bang[0 * 2 + 1] = 0x80;
    bang[1 * 2 + 1] = 0x40;
    font.SetSpacing(Index(0xA3, 0xA1), 0, 0);
    Plane p;
    EXPECT_EQ(p.Draw("!", 100, 50), 1);
    EXPECT_EQ(p.at(50, 108), 250);
    EXPECT_EQ(p.at(51, 109), 250);
    EXPECT_EQ(p.at(52, 110), 10);

    // '"': ink at (0, 8) and (1, 8), advance 1: the second glyph's ink covers
    // the first glyph's shadow; a pixel only under a shadow ends as 10.
    uint8_t* quote = font.glyph(Index(0xA3, 0xA2));
    std::fill(quote, quote + 32, 0);
    quote[0 * 2 + 1] = 0x80;
    quote[1 * 2 + 1] = 0x80;
    font.SetSpacing(Index(0xA3, 0xA2), 0, 16);
    Plane q;
    EXPECT_EQ(q.Draw("\"\"", 100, 50), 2);
    EXPECT_EQ(q.at(51, 109), 250);  // first's shadow, then second's ink
    EXPECT_EQ(q.at(52, 109), 10);   // first's shadow only
    EXPECT_EQ(q.at(52, 110), 10);   // second's shadow
    EXPECT_EQ(q.at(51, 110), 10);
}

// Nothing is written left of column 0, at or past xLimit, or below the
// plane: the plane is allocated to its exact size (checked by the address
// sanitizer build) and the bytes around the text are compared.
TEST(OsdText, ClipsAtThePlaneEdges) {
    SyntheticFont font;
    Plane p(64, 40);
    // Left blank 3 at pen 0: the cell starts 3 columns left of the plane.
    EXPECT_EQ(p.Draw("A", 0, 2, 32), 1);
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 64; ++c) {
            ASSERT_EQ(p.at(r, c), 128) << r << "," << c;  // the row above, incl. its end
        }
    }
    EXPECT_EQ(p.at(2, 0), 250);
    // The shadow column at xLimit stays untouched.
    Plane q(64, 40);
    EXPECT_EQ(q.Draw("A", 32 - 13, 2, 32), 1);
    for (int r = 0; r < 40; ++r) {
        for (int c = 32; c < 64; ++c) {
            ASSERT_EQ(q.at(r, c), 128) << r << "," << c;
        }
    }
    // Rows at or below the plane's height are never written.
    Plane s(64, 20);
    EXPECT_EQ(s.Draw("AB", 6, 10), 2);
    EXPECT_EQ(s.at(19, 10), 250);
    // A stride narrower than xLimit: ink stays inside each row.
    std::vector<uint8_t> narrow(16 * 20, 128);
    EXPECT_EQ(DrawOsdText(narrow.data(), "A", 8, 0, 16, 64, 20), 1);  // cell at columns 5-20
    for (int r = 1; r < 17; ++r) {
        EXPECT_EQ(narrow[16 * r + 5], r < 16 ? 250 : 128);
        for (int c = 0; c < 5; ++c) {
            ASSERT_EQ(narrow[16 * r + c], 128) << r << "," << c;  // would be a wrapped column
        }
    }
}
