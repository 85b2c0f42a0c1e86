#include "platform/display/surface_blit.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/display/pixel_math.h"

namespace px = display_pixels;

namespace {

// Source column of each destination column x0..x1-1.
std::vector<int> SourceColumns(const RECT& s, const RECT& d, int x0, int x1) {
    std::vector<int> cols(static_cast<size_t>(std::max(x1 - x0, 0)));
    const int64_t sw = s.right - s.left;
    const int64_t dw = d.right - d.left;
    for (int x = x0; x < x1; ++x) {
        cols[static_cast<size_t>(x - x0)] = s.left + static_cast<int>((x - d.left) * sw / dw);
    }
    return cols;
}

int SourceRow(const RECT& s, const RECT& d, int y) {
    const int64_t sh = s.bottom - s.top;
    const int64_t dh = d.bottom - d.top;
    return s.top + static_cast<int>((y - d.top) * sh / dh);
}

struct ReadRgb32 {
    uint32_t operator()(const uint8_t* row, int x) const {
        const uint8_t* p = row + x * 4;
        return px::MakeRgb(p[2], p[1], p[0]);
    }
};
struct ReadRgb24 {
    uint32_t operator()(const uint8_t* row, int x) const {
        const uint8_t* p = row + x * 3;
        return px::MakeRgb(p[2], p[1], p[0]);
    }
};

// Every 16-bit value's colour, built once per depth.
template <int Depth>
const uint32_t* Rgb16Table() {
    static const std::vector<uint32_t> table = [] {
        std::vector<uint32_t> t(65536);
        for (uint32_t v = 0; v < 65536; ++v) {
            t[v] = px::UnpackRgb(v, Depth);
        }
        return t;
    }();
    return table.data();
}

template <int Depth>
struct ReadRgb16 {
    const uint32_t* table = Rgb16Table<Depth>();
    uint32_t operator()(const uint8_t* row, int x) const {
        return table[row[x * 2] | (static_cast<uint32_t>(row[x * 2 + 1]) << 8)];
    }
};

// The YUY2 conversion of pixel_math.h in tables: the products per sample
// value and the clamp of every possible sum.
struct Yuy2Tables {
    int y[256], rv[256], gu[256], gv[256], bu[256];
    uint8_t clamp[1024];  // index (sum >> 6) + 512
    Yuy2Tables() {
        for (int i = 0; i < 256; ++i) {
            y[i] = 74 * (i - 16);
            rv[i] = 102 * (i - 128);
            gu[i] = 25 * (i - 128);
            gv[i] = 52 * (i - 128);
            bu[i] = 129 * (i - 128);
        }
        for (int i = 0; i < 1024; ++i) {
            clamp[i] = static_cast<uint8_t>(px::Clamp255(i - 512));
        }
    }
};

const Yuy2Tables& Yuy2Lookup() {
    static const Yuy2Tables tables;
    return tables;
}

// Fills destination rows y0..y1 (columns x0..x1) with fill(source row,
// destination row). Scaling up repeats a source row: its pixels are copied
// from the row above instead of converted again.
template <typename FillRow>
void ScaledRows(const SurfaceImage& src, const RECT& s, DisplayTarget& screen, const RECT& d,
                int x0, int x1, int y0, int y1, FillRow fill) {
    const int n = x1 - x0;
    int lastRow = -1;
    for (int y = y0; y < y1; ++y) {
        const int sy = SourceRow(s, d, y);
        uint32_t* drow = screen.Row(y) + x0;
        if (sy == lastRow) {
            std::memcpy(drow, screen.Row(y - 1) + x0, sizeof(uint32_t) * static_cast<size_t>(n));
            continue;
        }
        lastRow = sy;
        fill(src.pixels + static_cast<size_t>(sy) * src.pitch, drow);
    }
}

void Yuy2Rows(const SurfaceImage& src, const RECT& s, DisplayTarget& screen, const RECT& d, int x0,
              int x1, int y0, int y1, int quantizeDepth) {
    const std::vector<int> cols = SourceColumns(s, d, x0, x1);
    const Yuy2Tables& t = Yuy2Lookup();
    const int n = x1 - x0;
    // Byte offsets of each destination pixel's luma and of its pair.
    std::vector<int> lumaAt(static_cast<size_t>(n));
    std::vector<int> pairAt(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        lumaAt[static_cast<size_t>(i)] = cols[static_cast<size_t>(i)] * 2;
        pairAt[static_cast<size_t>(i)] = (cols[static_cast<size_t>(i)] & ~1) * 2;
    }
    const uint8_t* clamp = t.clamp + 512;
    ScaledRows(src, s, screen, d, x0, x1, y0, y1, [&](const uint8_t* srow, uint32_t* drow) {
        for (int i = 0; i < n; ++i) {
            const uint8_t* pair = srow + pairAt[static_cast<size_t>(i)];
            const int c = t.y[srow[lumaAt[static_cast<size_t>(i)]]];
            const int r = clamp[(c + t.rv[pair[3]]) >> 6];
            const int g = clamp[(c - t.gu[pair[1]] - t.gv[pair[3]]) >> 6];
            const int b = clamp[(c + t.bu[pair[1]]) >> 6];
            drow[i] = px::kOpaque | (static_cast<uint32_t>(r) << 16) |
                      (static_cast<uint32_t>(g) << 8) | static_cast<uint32_t>(b);
        }
        if (quantizeDepth != 0) {
            for (int i = 0; i < n; ++i) {
                drow[i] = px::QuantizeRgb(drow[i], quantizeDepth);
            }
        }
    });
}

template <typename Read>
void ScreenRows(const SurfaceImage& src, const RECT& s, DisplayTarget& screen, const RECT& d,
                int x0, int x1, int y0, int y1, int quantizeDepth) {
    const std::vector<int> cols = SourceColumns(s, d, x0, x1);
    const Read read;
    const int n = x1 - x0;
    ScaledRows(src, s, screen, d, x0, x1, y0, y1, [&](const uint8_t* srow, uint32_t* drow) {
        if (quantizeDepth != 0) {
            for (int i = 0; i < n; ++i) {
                drow[i] = px::QuantizeRgb(read(srow, cols[static_cast<size_t>(i)]), quantizeDepth);
            }
        } else {
            for (int i = 0; i < n; ++i) {
                drow[i] = read(srow, cols[static_cast<size_t>(i)]);
            }
        }
    });
}

}  // namespace

void StretchOntoScreen(const SurfaceImage& src, const RECT& s, DisplayTarget& screen, const RECT& d,
                       const RECT& clip) {
    const int x0 = std::max({d.left, clip.left, 0});
    const int x1 = std::min({d.right, clip.right, screen.Width()});
    const int y0 = std::max({d.top, clip.top, 0});
    const int y1 = std::min({d.bottom, clip.bottom, screen.Height()});
    if (x0 >= x1 || y0 >= y1) {
        return;
    }
    const int depth = screen.Depth();
    switch (src.depth) {
        case 0:
            Yuy2Rows(src, s, screen, d, x0, x1, y0, y1, depth == 15 || depth == 16 ? depth : 0);
            break;
        case 15:
            ScreenRows<ReadRgb16<15>>(src, s, screen, d, x0, x1, y0, y1, 0);
            break;
        case 16:
            ScreenRows<ReadRgb16<16>>(src, s, screen, d, x0, x1, y0, y1, 0);
            break;
        case 24:
            ScreenRows<ReadRgb24>(src, s, screen, d, x0, x1, y0, y1, 0);
            break;
        case 32:
            ScreenRows<ReadRgb32>(src, s, screen, d, x0, x1, y0, y1, 0);
            break;
        default:
            return;  // a palette screen shows nothing of ours
    }
    screen.DrawnLocked(RECT{x0, y0, x1, y1});
}

void StretchBetweenSurfaces(const SurfaceImage& src, const RECT& s, const SurfaceImage& dst,
                            const RECT& d) {
    const std::vector<int> cols = SourceColumns(s, d, d.left, d.right);
    const size_t n = static_cast<size_t>(d.right - d.left);
    const int bpp = px::BytesPerPixelOfDepth(src.depth);
    // Source byte of each destination byte of a row. In YUY2 each
    // destination pixel takes its luma and, by its place in the pair, the U
    // or V of the source pixel's pair.
    std::vector<int> from(n * static_cast<size_t>(bpp));
    for (size_t i = 0; i < n; ++i) {
        const int sx = cols[i];
        if (src.depth == 0) {
            const int x = d.left + static_cast<int>(i);
            from[2 * i] = sx * 2;
            from[2 * i + 1] = (sx & ~1) * 2 + ((x & 1) != 0 ? 3 : 1);
        } else {
            for (int b = 0; b < bpp; ++b) {
                from[i * static_cast<size_t>(bpp) + static_cast<size_t>(b)] = sx * bpp + b;
            }
        }
    }
    const size_t rowBytes = from.size();
    int lastRow = -1;
    for (int y = d.top; y < d.bottom; ++y) {
        const int sy = SourceRow(s, d, y);
        uint8_t* drow = dst.pixels + static_cast<size_t>(y) * dst.pitch +
                        static_cast<size_t>(d.left) * static_cast<size_t>(bpp);
        if (sy == lastRow) {
            std::memcpy(drow, drow - dst.pitch, rowBytes);
            continue;
        }
        lastRow = sy;
        const uint8_t* srow = src.pixels + static_cast<size_t>(sy) * src.pitch;
        for (size_t i = 0; i < rowBytes; ++i) {
            drow[i] = srow[from[i]];
        }
    }
}
