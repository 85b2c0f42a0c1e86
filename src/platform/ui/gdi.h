#pragma once
// Bitmaps, brushes, pens, icons and drawing contexts over Qt's painting.
// A CDC either paints (it wraps a QPainter), or draws into the bitmap
// selected into it (a memory context), or only collects the colours a
// control-colour handler chooses (no painter).

#include <QBrush>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <memory>
#include <optional>

#include "platform/ui/win_types.h"

class CDC;

class CBitmap {
public:
    // From the installed resources; FALSE when the id is unknown.
    BOOL LoadBitmap(UINT id);
    void Attach(QImage image) { m_image = std::move(image); }
    BOOL IsLoaded() const { return m_image.isNull() ? FALSE : TRUE; }
    int GetWidth() const { return m_image.width(); }
    int GetHeight() const { return m_image.height(); }
    const QImage& GetImage() const { return m_image; }
    void DeleteObject() { m_image = QImage(); }
    // A bitmap to draw into through a memory context, in the screen's
    // 32-bit format; its pixels are undefined until drawn. FALSE for an
    // empty size.
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);

private:
    friend class CDC;  // a memory context paints into m_image
    QImage m_image;
};

class CBrush {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color);
    // Tiles the bitmap from each painted area's top-left corner.
    BOOL CreatePatternBrush(const CBitmap* pBitmap);
    BOOL IsCreated() const { return m_bCreated ? TRUE : FALSE; }
    const QBrush& GetBrush() const { return m_brush; }
    void DeleteObject() {
        m_brush = QBrush();
        m_bCreated = false;
    }

private:
    QBrush m_brush;
    bool m_bCreated = false;
};
using HBRUSH = const CBrush*;

// A font; a window's own comes from CWnd::GetFont.
class CFont {
public:
    CFont() = default;
    explicit CFont(const QFont& font) : m_font(font), m_bCreated(true) {}
    BOOL IsCreated() const { return m_bCreated ? TRUE : FALSE; }
    const QFont& GetFont() const { return m_font; }

private:
    QFont m_font;
    bool m_bCreated = false;
};

struct SIZE {
    int cx = 0;
    int cy = 0;
};

constexpr int PS_SOLID = 0;
constexpr int HOLLOW_BRUSH = 5;  // the stock brush that fills nothing
constexpr DWORD SRCCOPY = 0x00CC0020;

class CPen {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    BOOL CreatePen(int style, int width, COLORREF color);
    const QPen& GetPen() const { return m_pen; }

private:
    QPen m_pen{Qt::black};
};

// An icon handle; LoadIcon makes a new one, DestroyIcon frees it.
struct IconObject {
    QIcon icon;
};
using HICON = IconObject*;
HICON LoadIcon(UINT id);
void DestroyIcon(HICON hIcon);

class CDC {
public:
    CDC() = default;  // attribute-only
    explicit CDC(QPainter* painter) : m_painter(painter) {}
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    QPainter* GetPainter() const { return m_painter; }

    COLORREF SetTextColor(COLORREF color);
    COLORREF SetBkColor(COLORREF color);
    int SetBkMode(int mode);
    std::optional<COLORREF> GetTextColor() const { return m_textColor; }
    std::optional<COLORREF> GetBkColor() const { return m_bkColor; }
    int GetBkMode() const { return m_bkMode; }

    // Makes this context a memory one that draws into the bitmap selected
    // into it, in the same logical coordinates as pDC (which may be null).
    // FALSE when this context draws already.
    BOOL CreateCompatibleDC(CDC* pDC);
    // A memory context: draws into pBitmap from now on (null: into
    // nothing); returns the bitmap selected before.
    CBitmap* SelectObject(CBitmap* pBitmap);
    // Ends a memory context; its bitmap keeps what was drawn.
    BOOL DeleteDC();
    // Copies the rectangle at (xSrc, ySrc) of the bitmap selected into
    // pSrcDC to (x, y) here. Only SRCCOPY; FALSE when either side cannot
    // take part.
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                DWORD dwRop);

    // Drawing; nothing happens on an attribute-only context. Texts are
    // GB2312 bytes. Figures are outlined with the selected pen (default a
    // black one of 1 pixel) and filled with the selected brush (default
    // white), inside the bounding rectangle without its right and bottom
    // edges.
    void FillRect(const RECT& rect, const CBrush* pBrush);
    BOOL Ellipse(const RECT& rect);
    // A sector of the ellipse in the rectangle: from startDegrees
    // (0 = three o'clock) through sweepDegrees counter-clockwise, a sweep
    // of 360 or more the whole ellipse. The angles are kept to 1/16
    // degree: a sweep that is 0 at that step draws nothing and returns
    // FALSE.
    BOOL Pie(const RECT& rect, double startDegrees, double sweepDegrees);
    void FillSolidRect(const RECT& rect, COLORREF color);
    // A one-pixel frame along the inside of rect in the brush.
    void FrameRect(const RECT& rect, const CBrush* pBrush);
    void TextOut(int x, int y, const char* text);
    // One line of text inside rect (DT_ flags: DT_CENTER centres it
    // across, DT_RIGHT puts it at the right; with DT_SINGLELINE, DT_VCENTER
    // centres it down and DT_BOTTOM puts it at the bottom), cut off at its
    // edges; in the text colour, over the background colour unless
    // TRANSPARENT.
    void DrawText(const char* text, const RECT& rect, UINT format);
    void DrawIcon(int x, int y, HICON hIcon);
    void DrawBitmap(int x, int y, const CBitmap& bitmap);
    // The current brush for FillRect-less calls, the pen for lines and the
    // font for text; each returns the one selected before (null: the
    // context's default).
    const CBrush* SelectObject(const CBrush* pBrush);
    const CPen* SelectObject(const CPen* pPen);
    const CFont* SelectObject(const CFont* pFont);
    // HOLLOW_BRUSH: figures are outlined only. Returns the brush selected
    // before; null for any other stock object.
    const CBrush* SelectStockObject(int nIndex);

    // The size of a line of text in the selected font (or the painter's,
    // or the application's). The tabbed extent expands tabs to stops every
    // eight average character widths.
    SIZE GetTextExtent(const char* text) const;
    SIZE GetTabbedTextExtent(const char* text) const;
    void MoveTo(int x, int y);
    void LineTo(int x, int y);

protected:
    void SetPainter(QPainter* painter) { m_painter = painter; }

private:
    // The pen and brush of a figure, selected into the painter.
    void ApplyFigureTools();
    // The text's box in OPAQUE mode, then the text in the text colour.
    void PaintText(const QRect& box, int flags, const QString& text);

    QPainter* m_painter = nullptr;
    bool m_bMemory = false;
    CBitmap* m_pBitmap = nullptr;            // a memory context's bitmap
    std::unique_ptr<QPainter> m_ownPainter;  // painting into m_pBitmap
    std::optional<COLORREF> m_textColor;
    std::optional<COLORREF> m_bkColor;
    int m_bkMode = OPAQUE;
    const CBrush* m_pBrush = nullptr;
    const CPen* m_pPen = nullptr;
    const CFont* m_pFont = nullptr;
    QPoint m_pos;
};

QColor ToQColor(COLORREF color);
