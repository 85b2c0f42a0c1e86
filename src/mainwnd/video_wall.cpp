#include "mainwnd/video_wall.h"

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "mainwnd/draw_video_thread.h"
#include "mainwnd/video_wall_layout.h"
#include "platform/ui/display_checks.h"
#include "platform/ui/window_registry.h"
#include "res/skin_resources.h"
#include "settings/globals.h"
#include "settings/settings.h"

namespace {

constexpr UINT_PTR kPresentTimer = 1;

// The screen's own word for a colour: 0xRRGGBB.
uint32_t ScreenRgb(COLORREF c) {
    return (static_cast<uint32_t>(GetRValue(c)) << 16) |
           (static_cast<uint32_t>(GetGValue(c)) << 8) | static_cast<uint32_t>(GetBValue(c));
}

// A frame of the given width along the inside of rc.
void FrameInside(DisplayTarget& target, const RECT& rc, int width, uint32_t rgb) {
    target.FillRect(RECT{rc.left, rc.top, rc.right, rc.top + width}, rgb);
    target.FillRect(RECT{rc.left, rc.bottom - width, rc.right, rc.bottom}, rgb);
    target.FillRect(RECT{rc.left, rc.top, rc.left + width, rc.bottom}, rgb);
    target.FillRect(RECT{rc.right - width, rc.top, rc.right, rc.bottom}, rgb);
}

void PostToDrawVideo(UINT message) {
    if (g_hDrawVideoThread.load() != nullptr) {
        PostThreadMessage(g_dwDrawVideoThreadId.load(), message, 0, 0);
    }
}

}  // namespace

CVideoWallDialog::CVideoWallDialog(CWnd* pOwner) : CDialog(IDD_VIDEO_WALL), m_pOwner(pOwner) {}

CVideoWallDialog::~CVideoWallDialog() {
    // The display window goes before the widget, so DrawVideo, which checks
    // the handle on each pass, finds it gone rather than stale.
    m_pDisplayWindow.reset();
}

BOOL CVideoWallDialog::Create(CWnd* pParentWnd) {
    if (pParentWnd == nullptr) {
        pParentWnd = AfxGetMainWnd();
    }
    return CDialog::Create(IDD_VIDEO_WALL, pParentWnd);
}

BOOL CVideoWallDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_brWallBackground.CreateSolidBrush(VIDEO_WALL_KEY_COLOUR);
    m_brWallFrame.CreateSolidBrush(VIDEO_WALL_FRAME_COLOUR);
    MapMessage(WM_VIDEO_WALL_REPAINT, [this](WPARAM, LPARAM) {
        RepaintWall();
        return LRESULT{0};
    });
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0) {
        width = 1024;
        height = 768;
    }
    m_pTarget = std::make_shared<DisplayTarget>(width, height, 32);
    m_pDisplayWindow = std::make_unique<DisplayWindow>(m_pTarget, ClientOnScreen(), GetBorder());
    // The paint covers the whole client area (the border is drawn around
    // it), so nothing underneath needs painting first.
    if (QWidget* widget = GetWidget()) {
        widget->setAttribute(Qt::WA_OpaquePaintEvent);
    }
    SetTimer(kPresentTimer, VIDEO_WALL_PRESENT_MS);
    return TRUE;
}

RECT CVideoWallDialog::ClientOnScreen() const {
    RECT rc;
    GetClientRect(&rc);
    ClientToScreen(&rc);
    return rc;
}

void CVideoWallDialog::UpdateScreenPosition() {
    if (m_pDisplayWindow) {
        m_pDisplayWindow->MoveTo(ClientOnScreen());
    }
    RepaintWall();
}

void CVideoWallDialog::RepaintWall() {
    if (!m_pTarget) {
        return;
    }
    const RECT wall = ClientOnScreen();
    m_pTarget->FillRect(wall, ScreenRgb(VIDEO_WALL_KEY_COLOUR));
    const int count = std::min<int>(g_nChannelCount.load(), LAYOUT_CHANNELS);
    for (int n = 0; n < count; ++n) {
        const RECT rc = g_Settings.rcChannel[n];
        if (IsChannelRectShown(rc)) {
            FrameInside(*m_pTarget, rc, 1, ScreenRgb(VIDEO_WALL_FRAME_COLOUR));
        }
    }
    const int selected = g_nSelectedChannel.load();
    if (selected < count && IsChannelRectShown(g_Settings.rcChannel[selected])) {
        // A 2-pixel pen along the rectangle's outline reaches one pixel
        // either side of it.
        const RECT rc = g_Settings.rcChannel[selected];
        FrameInside(*m_pTarget, RECT{rc.left - 1, rc.top - 1, rc.right + 1, rc.bottom + 1}, 2,
                    ScreenRgb(VIDEO_WALL_SELECTED_COLOUR));
    }
    InvalidateChanged();
}

void CVideoWallDialog::InvalidateChanged() {
    if (!m_pTarget) {
        return;
    }
    const RECT wall = ClientOnScreen();
    for (const RECT& changed : m_pTarget->TakeChanged()) {
        RECT rc{std::max(changed.left, wall.left), std::max(changed.top, wall.top),
                std::min(changed.right, wall.right), std::min(changed.bottom, wall.bottom)};
        if (rc.left < rc.right && rc.top < rc.bottom) {
            ScreenToClient(&rc);
            InvalidateRect(&rc, FALSE);
        }
    }
}

void CVideoWallDialog::OnPaint(CDC& dc) {
    QPainter* painter = dc.GetPainter();
    if (painter == nullptr || !m_pTarget) {
        return;
    }
    // What the screen shows under the client area, the overlay keyed in,
    // drawn straight from the target's picture (the painter keeps to the
    // part being repainted).
    const RECT wall = ClientOnScreen();
    m_pTarget->ShowComposed([&](const uint32_t* pixels, int strideWords) {
        const QImage screen(reinterpret_cast<const uchar*>(pixels), m_pTarget->Width(),
                            m_pTarget->Height(), static_cast<qsizetype>(strideWords) * 4,
                            QImage::Format_RGB32);
        painter->drawImage(
            QPoint(0, 0), screen,
            QRect(wall.left, wall.top, wall.right - wall.left, wall.bottom - wall.top));
    });
}

void CVideoWallDialog::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kPresentTimer) {
        InvalidateChanged();
        return;
    }
    CDialog::OnTimer(nIDEvent);
}

void CVideoWallDialog::OnLButtonDown(UINT nFlags, POINT point) {
    POINT pt = point;
    ClientToScreen(&pt);
    const int count = std::min<int>(g_nChannelCount.load(), LAYOUT_CHANNELS);
    const int hit = HitChannel(g_Settings.rcChannel, count, pt.x, pt.y);
    if (hit >= 0 && hit != g_nSelectedChannel.load()) {
        g_nSelectedChannel = static_cast<uint8_t>(hit);
        RepaintWall();
        CWnd* owner = m_pOwner != nullptr ? m_pOwner : AfxGetMainWnd();
        if (owner != nullptr) {
            owner->PostMessage(WM_CHANNEL_SELECTED, 0, 0);
        }
    }
    CDialog::OnLButtonDown(nFlags, point);
}

void CVideoWallDialog::OnShowWindow(BOOL bShow, UINT nStatus) {
    CDialog::OnShowWindow(bShow, nStatus);
    PostToDrawVideo(WM_VIDEO_WINDOW_MOVED);
}
