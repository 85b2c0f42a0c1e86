#include "mainwnd/draw_video.h"

#include <algorithm>

#include "channel/av_channel.h"
#include "mainwnd/main_dialog_state.h"
#include "platform/msgbox/message_box.h"
#include "platform/threads/thread_messages.h"
#include "settings/globals.h"
#include "settings/settings.h"

namespace {

std::atomic<uint64_t> g_nPasses{0};
std::atomic<uint64_t> g_nMessages{0};

}  // namespace

CDrawVideo::CDrawVideo(DisplayWindowHandle wall, std::function<void()> invalidateWall)
    : m_invalidateWall(std::move(invalidateWall)) {
    m_nChannels = std::min<uint8_t>(g_nChannelCount.load(), MAX_DISPLAY_SURFACES);
    m_pRenderer = std::make_unique<CVideoDisplay>(m_nChannels);
    // A failed initialisation leaves a renderer without surfaces; the
    // thread goes on (see DisplayStep).
    m_pRenderer->Init(wall, CHANNEL_SURFACE_WIDTH, CHANNEL_SURFACE_HEIGHT);
    m_byFormat = m_pRenderer->GetFormatCode();
}

CDrawVideo::~CDrawVideo() = default;

bool CDrawVideo::Handle(const ThreadMessage& msg) {
    switch (msg.message) {
        case WM_THREAD_QUIT:
            return false;
        case WM_DRAW_VIDEO:
            DisplayPass();
            break;
        case WM_VIDEO_LAYOUT:
            TakeLayout(msg.wParam, msg.lParam);
            break;
        case WM_VIDEO_WINDOW_MOVED:
            m_pRenderer->OnWindowMoved();
            break;
        case WM_CHANNEL_STOPPED:
            ChannelStopped(msg.wParam);
            break;
        default:
            break;
    }
    g_nMessages.fetch_add(1);
    return true;
}

void CDrawVideo::DisplayStep(int n) {
    CAVChannel* channel = g_pAVChannel[n].load();
    if (channel == nullptr) {
        return;
    }
    int width = 0;
    int height = 0;
    int result = 0;
    if (m_byFormat == 0) {
        // No surfaces at all: the display step still runs, since it alone
        // hands pictures on to the encoder.
        result = channel->GetDisplayFrame(nullptr, 0, &width, &height, 0);
    } else if (m_pRenderer->LockSurface(n)) {
        result = channel->GetDisplayFrame(m_pRenderer->GetSurfacePointer(n), m_byFormat, &width,
                                          &height, m_pRenderer->GetPitch());
        m_pRenderer->UnlockSurface(n);
    } else {
        return;  // a passing lock failure: the picture waits for the next pass
    }
    if (result != 0 && width > 0 && height > 0) {
        // Never more than the surface holds, whatever the channel reports.
        m_nWidth[n] = std::min(width, CHANNEL_SURFACE_WIDTH);
        m_nHeight[n] = std::min(height, CHANNEL_SURFACE_HEIGHT);
    }
}

void CDrawVideo::DisplayPass() {
    for (int n = 0; n < m_nChannels; ++n) {
        DisplayStep(n);
        if (!m_bShown[n]) {
            continue;
        }
        if (m_bPip) {
            if (n == m_byMain && m_byMain + 1 < m_nChannels) {
                continue;  // drawn together with the small picture
            }
            if (n == m_byMain + 1) {
                m_pRenderer->BlitPictureInPicture(m_byMain, m_rect[m_byMain], m_nWidth[m_byMain],
                                                  m_nHeight[m_byMain], m_rect[n], m_nWidth[n],
                                                  m_nHeight[n]);
            }
        }
        m_pRenderer->BlitChannel(n, m_rect[n], m_nWidth[n], m_nHeight[n]);
    }
    m_pRenderer->Present();
    g_nPasses.fetch_add(1);
}

void CDrawVideo::TakeLayout(WPARAM wParam, LPARAM lParam) {
    for (int n = 0; n < m_nChannels; ++n) {
        m_rect[n] = g_Settings.rcChannel[n];
        m_bShown[n] = m_rect[n].left != m_rect[n].right;
    }
    m_bPip = wParam != 0;
    if (m_bPip) {
        m_byMain = static_cast<uint8_t>(lParam & 0xFF);
    }
    m_pRenderer->ClearOverlay();
    if (m_invalidateWall) {
        m_invalidateWall();
    }
}

void CDrawVideo::ChannelStopped(WPARAM wParam) {
    const int n = static_cast<int>(wParam & 0xFF);
    if (n >= m_nChannels || !m_pRenderer->LockSurface(n)) {
        return;
    }
    m_pRenderer->ClearSurface(m_pRenderer->GetSurfacePointer(n), m_pRenderer->GetPitch(),
                              CHANNEL_SURFACE_WIDTH, CHANNEL_SURFACE_HEIGHT);
    m_pRenderer->UnlockSurface(n);
}

uint32_t DrawVideo(void* param) {
    auto* dialog = static_cast<CMainDialogState*>(param);
    DisplayWindowHandle wall = nullptr;
    std::function<void()> invalidate;
    if (dialog != nullptr) {
        if (dialog->hooks.videoWallWindow) {
            wall = dialog->hooks.videoWallWindow();
        }
        invalidate = dialog->hooks.invalidateVideoWall;
    }
    CDrawVideo draw(wall, std::move(invalidate));
    while (g_bDrawVideoRun.load() != 0) {
        ThreadMessage msg;
        if (!GetMessage(&msg) || !draw.Handle(msg)) {
            break;
        }
    }
    return 0;
}

int StartDrawVideoThread(CMainDialogState* dialog) {
    g_bDrawVideoRun = 1;
    ThreadId id = 0;
    ThreadHandle h = CreateThread(&DrawVideo, dialog, &id);
    if (h == nullptr) {
        g_bDrawVideoRun = 0;
        ShowMessageBox("Create DrawVideo Thread Failed!", "ERROR", MB_OK);
        return 0;
    }
    g_dwDrawVideoThreadId = id;
    g_hDrawVideoThread = h;
    return 1;
}

void StopDrawVideoThread(const std::function<void()>& serve) {
    ThreadHandle h = g_hDrawVideoThread.load();
    if (h == nullptr) {
        return;
    }
    g_bDrawVideoRun = 0;
    PostThreadMessage(g_dwDrawVideoThreadId.load(), WM_THREAD_QUIT, 0, 0);
    constexpr uint32_t kServeEveryMs = 10;
    while (!WaitForThread(h, serve ? kServeEveryMs : INFINITE)) {
        serve();
    }
    g_hDrawVideoThread = nullptr;
    g_dwDrawVideoThreadId = 0;
    CloseThreadHandle(h);
}

uint64_t GetDrawVideoPassCount() {
    return g_nPasses.load();
}

uint64_t GetDrawVideoMessageCount() {
    return g_nMessages.load();
}
