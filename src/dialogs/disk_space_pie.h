#pragma once
// How full one drive is, in a custom-drawn control: a pie of the used
// (blue) and free (pink) space captioned with the free share in percent,
// and above it a legend of the capacity, the used and the free space in
// GB, MB or KB. Drawn off screen and shown in one copy. A drive that is
// not there (or not given) shows only the white area and its frame.

#include <cstdint>

#include "platform/ui/controls.h"
#include "platform/ui/cstring.h"

class CDiskSpacePie : public CStatic {
public:
    // Where the parts go in a control of a given client size.
    struct Layout {
        RECT pieArea;  // the lower three fifths; the caption sits at its bottom
        POINT centre;
        int radius = 0;
        RECT square;          // the circle's bounding square
        RECT legend;          // the upper two fifths
        int bandTop[3] = {};  // capacity, used, free
        POINT capacityText;
        POINT usedText;
        POINT freeText;
        RECT usedKey;  // the colour keys left of the used and free lines
        RECT freeKey;
    };
    static Layout LayoutFor(int nWidth, int nHeight);

    // The caption and the three legend lines as drawn.
    struct Texts {
        CString caption;
        CString capacity;
        CString used;
        CString free;
    };

    // The drive as "X:"; its sizes are read at once and the control
    // repainted.
    void SetDrive(const char* drive);
    void QueryDiskSpace();

    const CString& GetDrive() const { return m_sDrive; }
    std::uint64_t GetTotalBytes() const { return m_nTotalBytes; }
    std::uint64_t GetUsedBytes() const { return m_nUsedBytes; }
    std::uint64_t GetFreeBytes() const { return m_nFreeBytes; }
    // Empty texts while nothing is drawn (no drive, or a capacity of 0).
    Texts GetTexts() const;

protected:
    void OnPaint(CDC& dc) override;

private:
    bool HasPicture() const { return !m_sDrive.IsEmpty() && m_nTotalBytes != 0; }
    void DrawPie(CDC& dc, const Layout& layout);
    void DrawLegend(CDC& dc, const Layout& layout);

    CString m_sDrive;
    std::uint64_t m_nUsedBytes = 0;
    std::uint64_t m_nTotalBytes = 0;
    std::uint64_t m_nFreeBytes = 0;
};
