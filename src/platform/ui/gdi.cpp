#include "platform/ui/gdi.h"

#include <QFontMetrics>
#include <QPixmap>
#include <cmath>

#include "platform/textcodec/gb2312_codec.h"
#include "platform/ui/resources.h"

QColor ToQColor(COLORREF color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

BOOL CBitmap::LoadBitmap(UINT id) {
    const IResourceProvider* provider = GetResourceProvider();
    m_image = provider != nullptr ? provider->LoadBitmap(id) : QImage();
    return IsLoaded();
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* /*pDC*/, int nWidth, int nHeight) {
    if (nWidth <= 0 || nHeight <= 0) {
        return FALSE;
    }
    m_image = QImage(nWidth, nHeight, QImage::Format_RGB32);
    return TRUE;
}

BOOL CBrush::CreateSolidBrush(COLORREF color) {
    m_brush = QBrush(ToQColor(color));
    m_bCreated = true;
    return TRUE;
}

BOOL CBrush::CreatePatternBrush(const CBitmap* pBitmap) {
    if (pBitmap == nullptr || !pBitmap->IsLoaded()) {
        return FALSE;
    }
    m_brush = QBrush(QPixmap::fromImage(pBitmap->GetImage()));
    m_bCreated = true;
    return TRUE;
}

BOOL CPen::CreatePen(int /*style*/, int width, COLORREF color) {
    m_pen = QPen(ToQColor(color));
    m_pen.setWidth(width);
    return TRUE;
}

HICON LoadIcon(UINT id) {
    const IResourceProvider* provider = GetResourceProvider();
    if (provider == nullptr) {
        return nullptr;
    }
    QIcon icon = provider->LoadIcon(id);
    if (icon.isNull()) {
        return nullptr;
    }
    return new IconObject{icon};
}

void DestroyIcon(HICON hIcon) {
    delete hIcon;
}

CDC::~CDC() = default;

BOOL CDC::CreateCompatibleDC(CDC* /*pDC*/) {
    if (m_painter != nullptr || m_bMemory) {
        return FALSE;
    }
    m_bMemory = true;
    return TRUE;
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    if (!m_bMemory) {
        return nullptr;
    }
    CBitmap* old = m_pBitmap;
    m_ownPainter.reset();
    m_painter = nullptr;
    m_pBitmap = pBitmap;
    if (pBitmap != nullptr && !pBitmap->m_image.isNull()) {
        m_ownPainter = std::make_unique<QPainter>(&pBitmap->m_image);
        m_painter = m_ownPainter.get();
        if (m_pFont != nullptr) {
            m_painter->setFont(m_pFont->GetFont());
        }
    }
    return old;
}

BOOL CDC::DeleteDC() {
    if (!m_bMemory) {
        return FALSE;
    }
    m_ownPainter.reset();
    m_painter = nullptr;
    m_pBitmap = nullptr;
    m_bMemory = false;
    return TRUE;
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                 DWORD dwRop) {
    if (m_painter == nullptr || pSrcDC == nullptr || pSrcDC->m_pBitmap == nullptr ||
        pSrcDC->m_pBitmap->m_image.isNull() || dwRop != SRCCOPY) {
        return FALSE;
    }
    m_painter->drawImage(QPoint(x, y), pSrcDC->m_pBitmap->m_image,
                         QRect(xSrc, ySrc, nWidth, nHeight));
    return TRUE;
}

COLORREF CDC::SetTextColor(COLORREF color) {
    COLORREF old = m_textColor.value_or(RGB(0, 0, 0));
    m_textColor = color;
    return old;
}

COLORREF CDC::SetBkColor(COLORREF color) {
    COLORREF old = m_bkColor.value_or(RGB(255, 255, 255));
    m_bkColor = color;
    return old;
}

int CDC::SetBkMode(int mode) {
    int old = m_bkMode;
    m_bkMode = mode;
    return old;
}

void CDC::FillRect(const RECT& rect, const CBrush* pBrush) {
    if (m_painter == nullptr || pBrush == nullptr) {
        return;
    }
    QRect area(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    m_painter->fillRect(area, pBrush->GetBrush());
}

void CDC::FillSolidRect(const RECT& rect, COLORREF color) {
    if (m_painter == nullptr) {
        return;
    }
    QRect area(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    m_painter->fillRect(area, ToQColor(color));
}

void CDC::PaintText(const QRect& box, int flags, const QString& text) {
    if (m_bkMode == OPAQUE) {
        m_painter->fillRect(box, ToQColor(m_bkColor.value_or(RGB(255, 255, 255))));
    }
    m_painter->setPen(ToQColor(m_textColor.value_or(RGB(0, 0, 0))));
    m_painter->drawText(box, flags, text);
}

void CDC::FrameRect(const RECT& rect, const CBrush* pBrush) {
    if (m_painter == nullptr || pBrush == nullptr || rect.right <= rect.left ||
        rect.bottom <= rect.top) {
        return;
    }
    const QBrush& brush = pBrush->GetBrush();
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    m_painter->fillRect(QRect(rect.left, rect.top, w, 1), brush);
    m_painter->fillRect(QRect(rect.left, rect.bottom - 1, w, 1), brush);
    m_painter->fillRect(QRect(rect.left, rect.top, 1, h), brush);
    m_painter->fillRect(QRect(rect.right - 1, rect.top, 1, h), brush);
}

void CDC::DrawText(const char* text, const RECT& rect, UINT format) {
    if (m_painter == nullptr || text == nullptr) {
        return;
    }
    const QRect box(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    const QString s = QString::fromStdString(Gb2312ToUtf8(text));
    int flags = Qt::TextSingleLine;
    flags |= (format & DT_CENTER) != 0  ? Qt::AlignHCenter
             : (format & DT_RIGHT) != 0 ? Qt::AlignRight
                                        : Qt::AlignLeft;
    const bool single = (format & DT_SINGLELINE) != 0;
    flags |= single && (format & DT_VCENTER) != 0  ? Qt::AlignVCenter
             : single && (format & DT_BOTTOM) != 0 ? Qt::AlignBottom
                                                   : Qt::AlignTop;
    m_painter->save();
    m_painter->setClipRect(box, Qt::IntersectClip);
    PaintText(m_painter->boundingRect(box, flags, s) & box, flags, s);
    m_painter->restore();
}

void CDC::TextOut(int x, int y, const char* text) {
    if (m_painter == nullptr || text == nullptr) {
        return;
    }
    QString s = QString::fromStdString(Gb2312ToUtf8(text));
    QFontMetrics metrics(m_painter->font());
    // The point is the text's top-left corner, not its base line.
    QRect box(QPoint(x, y), metrics.size(Qt::TextSingleLine, s));
    PaintText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, s);
}

void CDC::ApplyFigureTools() {
    static const QBrush white(Qt::white);
    m_painter->setBrush(m_pBrush != nullptr ? m_pBrush->GetBrush() : white);
    m_painter->setPen(m_pPen != nullptr ? m_pPen->GetPen() : QPen(Qt::black));
}

namespace {

// A GDI figure's box: the rectangle without its right and bottom edges,
// as Qt's outline spans width + 1 pixels.
QRect FigureBox(const RECT& rect) {
    return QRect(rect.left, rect.top, rect.right - rect.left - 1, rect.bottom - rect.top - 1);
}

}  // namespace

BOOL CDC::Ellipse(const RECT& rect) {
    if (m_painter == nullptr) {
        return FALSE;
    }
    ApplyFigureTools();
    m_painter->drawEllipse(FigureBox(rect));
    return TRUE;
}

BOOL CDC::Pie(const RECT& rect, double startDegrees, double sweepDegrees) {
    constexpr int kFullTurn = 360 * 16;  // Qt counts angles in 1/16 degree
    const long sweep = std::lround(sweepDegrees * 16.0);
    if (m_painter == nullptr || sweep == 0) {
        return FALSE;
    }
    ApplyFigureTools();
    if (sweep >= kFullTurn) {
        m_painter->drawEllipse(FigureBox(rect));
    } else {
        m_painter->drawPie(FigureBox(rect), static_cast<int>(std::lround(startDegrees * 16.0)),
                           static_cast<int>(sweep));
    }
    return TRUE;
}

void CDC::DrawIcon(int x, int y, HICON hIcon) {
    if (m_painter == nullptr || hIcon == nullptr) {
        return;
    }
    m_painter->drawPixmap(x, y, hIcon->icon.pixmap(32, 32));
}

void CDC::DrawBitmap(int x, int y, const CBitmap& bitmap) {
    if (m_painter == nullptr || !bitmap.IsLoaded()) {
        return;
    }
    m_painter->drawImage(x, y, bitmap.GetImage());
}

const CBrush* CDC::SelectObject(const CBrush* pBrush) {
    const CBrush* old = m_pBrush;
    m_pBrush = pBrush;
    return old;
}

const CPen* CDC::SelectObject(const CPen* pPen) {
    const CPen* old = m_pPen;
    m_pPen = pPen;
    return old;
}

const CBrush* CDC::SelectStockObject(int nIndex) {
    static const CBrush hollow;  // an empty QBrush fills nothing
    if (nIndex != HOLLOW_BRUSH) {
        return nullptr;
    }
    return SelectObject(&hollow);
}

const CFont* CDC::SelectObject(const CFont* pFont) {
    const CFont* old = m_pFont;
    m_pFont = pFont;
    if (m_painter != nullptr && pFont != nullptr) {
        m_painter->setFont(pFont->GetFont());
    }
    return old;
}

namespace {

QFont MeasuringFont(const CFont* pFont, const QPainter* painter) {
    if (pFont != nullptr && pFont->IsCreated()) {
        return pFont->GetFont();
    }
    if (painter != nullptr) {
        return painter->font();
    }
    return QFont();  // the application's
}

}  // namespace

SIZE CDC::GetTextExtent(const char* text) const {
    QFontMetrics metrics(MeasuringFont(m_pFont, m_painter));
    QString s = QString::fromStdString(Gb2312ToUtf8(text != nullptr ? text : ""));
    return SIZE{metrics.horizontalAdvance(s), metrics.height()};
}

SIZE CDC::GetTabbedTextExtent(const char* text) const {
    QFontMetrics metrics(MeasuringFont(m_pFont, m_painter));
    QString s = QString::fromStdString(Gb2312ToUtf8(text != nullptr ? text : ""));
    const int stop = 8 * metrics.averageCharWidth();
    int width = 0;
    QStringList pieces = s.split('\t');
    for (int i = 0; i < pieces.size(); ++i) {
        if (i > 0 && stop > 0) {
            width = (width / stop + 1) * stop;  // to the next stop
        }
        width += metrics.horizontalAdvance(pieces[i]);
    }
    return SIZE{width, metrics.height()};
}

void CDC::MoveTo(int x, int y) {
    m_pos = QPoint(x, y);
}

void CDC::LineTo(int x, int y) {
    QPoint to(x, y);
    if (m_painter != nullptr) {
        m_painter->setPen(m_pPen != nullptr ? m_pPen->GetPen() : QPen(Qt::black));
        m_painter->drawLine(m_pos, to);
    }
    m_pos = to;
}
