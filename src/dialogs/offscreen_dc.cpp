#include "dialogs/offscreen_dc.h"

COffscreenDC::COffscreenDC(CDC* pDC, const RECT& rect)
    : m_pBitmap(std::make_unique<CBitmap>()), m_pTargetDC(pDC), m_rect(rect) {
    CreateCompatibleDC(pDC);
    m_pBitmap->CreateCompatibleBitmap(pDC, rect.right - rect.left, rect.bottom - rect.top);
    m_pOldBitmap = SelectObject(m_pBitmap.get());
}

COffscreenDC::~COffscreenDC() {
    if (m_pTargetDC != nullptr) {
        m_pTargetDC->BitBlt(m_rect.left, m_rect.top, m_rect.right - m_rect.left,
                            m_rect.bottom - m_rect.top, this, m_rect.left, m_rect.top, SRCCOPY);
    }
    SelectObject(m_pOldBitmap);
    DeleteDC();
}
