#include "dialogs/disk_space_pie.h"

#include <algorithm>

#include "dialogs/offscreen_dc.h"
#include "platform/drives/drives.h"
#include "res/string_ids.h"

namespace {

constexpr COLORREF kUsedColour = 0xFF0000;  // blue
constexpr COLORREF kFreeColour = 0xFF14FF;  // pink
constexpr COLORREF kBackground = 0xFFFFFF;
constexpr std::uint64_t kMegabyte = 1048576;
constexpr std::uint64_t kGigabyte = 1073741824;

// A size in the unit it is just above (KB up to and including 1 MB).
CString SizeText(std::uint64_t bytes, UINT idGb, UINT idMb, UINT idKb) {
    CString format;
    double value = static_cast<double>(bytes) / 1024.0;
    if (bytes > kGigabyte) {
        format.LoadString(idGb);
        value /= 1024.0 * 1024.0;
    } else if (bytes > kMegabyte) {
        format.LoadString(idMb);
        value /= 1024.0;
    } else {
        format.LoadString(idKb);
    }
    CString text;
    text.Format(format, value);
    return text;
}

int Height(const RECT& r) {
    return r.bottom - r.top;
}
int Width(const RECT& r) {
    return r.right - r.left;
}

}  // namespace

CDiskSpacePie::Layout CDiskSpacePie::LayoutFor(int nWidth, int nHeight) {
    Layout l;
    RECT q{1, 1, nWidth - 1, nHeight - 1};
    const int h = Height(q);
    q.top += h * 2 / 5 + 5;
    q.right -= 5;
    q.left += 5;
    q.bottom -= 5;
    l.pieArea = q;
    l.centre = POINT{q.left + Width(q) / 2, q.top + Height(q) / 2 - 16};
    l.radius = std::min(Height(q), Width(q)) / 2;
    l.square = RECT{l.centre.x - l.radius, l.centre.y - l.radius, l.centre.x + l.radius,
                    l.centre.y + l.radius};

    RECT r{0, 0, nWidth, nHeight};
    r.top += 5;
    r.right -= 5;
    r.left += 5;
    r.bottom -= Height(r) * 3 / 5 + 5;
    l.legend = r;
    const int band = Height(r) / 3;
    l.bandTop[0] = r.top;
    l.bandTop[1] = r.top + band;
    l.bandTop[2] = r.bottom - band;
    const int x = r.left + Width(r) / 5 + 5;
    l.capacityText = POINT{r.left + 5, l.bandTop[0] + 5};
    l.usedText = POINT{x, l.bandTop[1]};
    l.freeText = POINT{x, l.bandTop[2] - 5};
    l.usedKey = RECT{r.left + 10, l.bandTop[1], r.left + 23, l.bandTop[1] + 13};
    l.freeKey = RECT{r.left + 10, l.bandTop[2] - 5, r.left + 23, l.bandTop[2] + 8};
    return l;
}

void CDiskSpacePie::SetDrive(const char* drive) {
    m_sDrive = drive;
    QueryDiskSpace();
    Invalidate(TRUE);
}

void CDiskSpacePie::QueryDiskSpace() {
    m_nUsedBytes = 0;
    m_nTotalBytes = 0;
    m_nFreeBytes = 0;
    std::uint64_t available = 0;
    // A failed query leaves the sizes at 0: nothing is drawn.
    if (GetDiskFreeSpaceExA(m_sDrive, &available, &m_nTotalBytes, &m_nFreeBytes) == 0) {
        m_nTotalBytes = 0;
        m_nFreeBytes = 0;
    }
    m_nFreeBytes = std::min(m_nFreeBytes, m_nTotalBytes);
    m_nUsedBytes = m_nTotalBytes - m_nFreeBytes;
}

CDiskSpacePie::Texts CDiskSpacePie::GetTexts() const {
    Texts t;
    if (!HasPicture()) {
        return t;
    }
    CString format;
    format.LoadString(IDS_PIE_FREE_PERCENT);
    t.caption.Format(
        format, static_cast<double>(m_nFreeBytes) / static_cast<double>(m_nTotalBytes) * 100.0);
    t.capacity = SizeText(m_nTotalBytes, IDS_CAPACITY_GB, IDS_CAPACITY_MB, IDS_CAPACITY_KB);
    t.used = SizeText(m_nUsedBytes, IDS_USED_GB, IDS_USED_MB, IDS_USED_KB);
    t.free = SizeText(m_nFreeBytes, IDS_FREE_GB, IDS_FREE_MB, IDS_FREE_KB);
    return t;
}

void CDiskSpacePie::OnPaint(CDC& dc) {
    RECT client;
    GetClientRect(&client);
    const Layout layout = LayoutFor(client.right, client.bottom);
    COffscreenDC offscreen(&dc, client);
    offscreen.FillSolidRect(client, kBackground);
    DrawPie(offscreen, layout);
    DrawLegend(offscreen, layout);
    CBrush black(RGB(0, 0, 0));
    offscreen.FrameRect(client, &black);
}

void CDiskSpacePie::DrawPie(CDC& dc, const Layout& layout) {
    if (!HasPicture()) {
        return;
    }
    const double total = static_cast<double>(m_nTotalBytes);
    const struct {
        double fraction;
        COLORREF colour;
    } sectors[] = {{static_cast<double>(m_nUsedBytes) / total, kUsedColour},
                   {static_cast<double>(m_nFreeBytes) / total, kFreeColour}};
    // Each sector by its angles, counter-clockwise from three o'clock, used
    // first. A sector too small to show is left out (Pie draws nothing for
    // it), rather than taken for a full turn as end points that meet would
    // be: a full or nearly full drive shows blue, not as an empty one.
    double start = 0;
    for (const auto& sector : sectors) {
        CBrush brush(sector.colour);
        CPen pen(PS_SOLID, 1, sector.colour);
        const CBrush* oldBrush = dc.SelectObject(&brush);
        const CPen* oldPen = dc.SelectObject(&pen);
        dc.Pie(layout.square, start, sector.fraction * 360.0);
        dc.SelectObject(oldPen);
        dc.SelectObject(oldBrush);
        start += sector.fraction * 360.0;
    }
    const CBrush* oldBrush = dc.SelectStockObject(HOLLOW_BRUSH);
    dc.Ellipse(layout.square);
    dc.SelectObject(oldBrush);

    const CFont* oldFont =
        dc.SelectObject(GetParent() != nullptr ? GetParent()->GetFont() : nullptr);
    dc.DrawText(GetTexts().caption, layout.pieArea, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
    dc.SelectObject(oldFont);
}

void CDiskSpacePie::DrawLegend(CDC& dc, const Layout& layout) {
    if (!HasPicture()) {
        return;
    }
    const Texts texts = GetTexts();
    const CFont* oldFont =
        dc.SelectObject(GetParent() != nullptr ? GetParent()->GetFont() : nullptr);
    dc.TextOut(layout.capacityText.x, layout.capacityText.y, texts.capacity);
    dc.TextOut(layout.usedText.x, layout.usedText.y, texts.used);
    dc.TextOut(layout.freeText.x, layout.freeText.y, texts.free);
    dc.SelectObject(oldFont);
    dc.FillSolidRect(layout.usedKey, kUsedColour);
    dc.FillSolidRect(layout.freeKey, kFreeColour);
}
