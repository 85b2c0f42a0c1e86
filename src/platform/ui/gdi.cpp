#include "platform/ui/gdi.h"

#include <QFontMetrics>
#include <QPixmap>

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
    flags |= (format & DT_CENTER) != 0 ? Qt::AlignHCenter : Qt::AlignLeft;
    flags |= (format & DT_VCENTER) != 0 && (format & DT_SINGLELINE) != 0 ? Qt::AlignVCenter
                                                                         : Qt::AlignTop;
    if (m_bkMode == OPAQUE) {
        const QRect used = m_painter->boundingRect(box, flags, s) & box;
        m_painter->fillRect(used, ToQColor(m_bkColor.value_or(RGB(255, 255, 255))));
    }
    m_painter->save();
    m_painter->setClipRect(box, Qt::IntersectClip);
    m_painter->setPen(ToQColor(m_textColor.value_or(RGB(0, 0, 0))));
    m_painter->drawText(box, flags, s);
    m_painter->restore();
}

void CDC::TextOut(int x, int y, const char* text) {
    if (m_painter == nullptr || text == nullptr) {
        return;
    }
    QString s = QString::fromStdString(Gb2312ToUtf8(text));
    QFontMetrics metrics(m_painter->font());
    if (m_bkMode == OPAQUE) {
        QRect box(QPoint(x, y), metrics.size(Qt::TextSingleLine, s));
        m_painter->fillRect(box, ToQColor(m_bkColor.value_or(RGB(255, 255, 255))));
    }
    m_painter->setPen(ToQColor(m_textColor.value_or(RGB(0, 0, 0))));
    // The point is the text's top-left corner, not its base line.
    m_painter->drawText(QPoint(x, y + metrics.ascent()), s);
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
