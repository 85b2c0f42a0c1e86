#pragma once
// Bitmaps, brushes, pens, icons and drawing contexts over Qt's painting.
// A CDC either paints (it wraps a QPainter) or only collects the colours a
// control-colour handler chooses (no painter).

#include <QBrush>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <optional>

#include "platform/ui/win_types.h"

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

private:
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

    QPainter* GetPainter() const { return m_painter; }

    COLORREF SetTextColor(COLORREF color);
    COLORREF SetBkColor(COLORREF color);
    int SetBkMode(int mode);
    std::optional<COLORREF> GetTextColor() const { return m_textColor; }
    std::optional<COLORREF> GetBkColor() const { return m_bkColor; }
    int GetBkMode() const { return m_bkMode; }

    // Drawing; nothing happens on an attribute-only context. Texts are
    // GB2312 bytes.
    void FillRect(const RECT& rect, const CBrush* pBrush);
    void FillSolidRect(const RECT& rect, COLORREF color);
    // A one-pixel frame along the inside of rect in the brush.
    void FrameRect(const RECT& rect, const CBrush* pBrush);
    void TextOut(int x, int y, const char* text);
    // One line of text inside rect (DT_ flags: DT_CENTER centres it
    // across, DT_VCENTER with DT_SINGLELINE down), cut off at its edges;
    // in the text colour, over the background colour unless TRANSPARENT.
    void DrawText(const char* text, const RECT& rect, UINT format);
    void DrawIcon(int x, int y, HICON hIcon);
    void DrawBitmap(int x, int y, const CBitmap& bitmap);
    // The current brush for FillRect-less calls, the pen for lines and the
    // font for text; each returns the one selected before (null: the
    // context's default).
    const CBrush* SelectObject(const CBrush* pBrush);
    const CPen* SelectObject(const CPen* pPen);
    const CFont* SelectObject(const CFont* pFont);

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
    QPainter* m_painter = nullptr;
    std::optional<COLORREF> m_textColor;
    std::optional<COLORREF> m_bkColor;
    int m_bkMode = OPAQUE;
    const CBrush* m_pBrush = nullptr;
    const CPen* m_pPen = nullptr;
    const CFont* m_pFont = nullptr;
    QPoint m_pos;
};

QColor ToQColor(COLORREF color);
