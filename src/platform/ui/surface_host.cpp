#include "platform/ui/surface_host.h"

#include <QImage>
#include <QPainter>

CSurfaceHost::~CSurfaceHost() {
    ReleaseTarget();
}

BOOL CSurfaceHost::Attach(UINT nID, CWnd* pParent, int nBorder, int depth) {
    if (m_pTarget || !SubclassDlgItem(nID, pParent)) {
        return FALSE;
    }
    SetBorder(nBorder);
    RECT window;
    GetWindowRect(&window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    m_pTarget = std::make_shared<DisplayTarget>(width, height, depth);
    const RECT client{nBorder, nBorder, width - nBorder, height - nBorder};
    m_pDisplayWindow = std::make_unique<DisplayWindow>(m_pTarget, client, nBorder);
    Present();
    return TRUE;
}

void CSurfaceHost::ReleaseTarget() {
    // The window goes first, so a renderer that checks its handle finds it
    // gone rather than stale.
    m_pDisplayWindow.reset();
    m_pTarget.reset();
}

void CSurfaceHost::OnPaint(CDC& dc) {
    QPainter* painter = dc.GetPainter();
    if (painter == nullptr || !m_pTarget || !m_pDisplayWindow) {
        return;
    }
    const RECT client = m_pDisplayWindow->ClientOnScreen();
    QImage screen(m_pTarget->Width(), m_pTarget->Height(), QImage::Format_RGB32);
    m_pTarget->ComposeInto(reinterpret_cast<uint32_t*>(screen.bits()),
                           static_cast<int>(screen.bytesPerLine() / 4));
    // The painter already stands inside the frame, at the client's corner.
    painter->drawImage(
        QPoint(0, 0), screen,
        QRect(client.left, client.top, client.right - client.left, client.bottom - client.top));
}
