#pragma once
// The DrawVideo thread: owns the multi-channel renderer and, on every
// WM_DRAW_VIDEO of the heartbeat, runs each channel's display step into
// its locked surface and draws the shown channels into their rectangles.
//
// A renderer without surfaces still runs every channel's display step
// (with no surface), so pictures keep reaching the encoder, the record
// files and the viewers when there is no display.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "mainwnd/draw_video_thread.h"
#include "mainwnd/video_display.h"
#include "platform/threads/thread_queue.h"

constexpr int CHANNEL_SURFACE_WIDTH = 352;
constexpr int CHANNEL_SURFACE_HEIGHT = 288;

// The display thread's state; one thread alone uses it.
class CDrawVideo {
public:
    // Makes the renderer for g_nChannelCount channels on the wall window.
    CDrawVideo(DisplayWindowHandle wall, std::function<void()> invalidateWall);
    ~CDrawVideo();
    CDrawVideo(const CDrawVideo&) = delete;
    CDrawVideo& operator=(const CDrawVideo&) = delete;

    // Handles one thread message; false for WM_THREAD_QUIT.
    bool Handle(const ThreadMessage& msg);
    void DisplayPass();
    void TakeLayout(WPARAM wParam, LPARAM lParam);
    void ChannelStopped(WPARAM wParam);

    uint8_t Format() const { return m_byFormat; }
    CVideoDisplay& Renderer() { return *m_pRenderer; }
    int PictureWidth(int n) const { return m_nWidth[n]; }
    int PictureHeight(int n) const { return m_nHeight[n]; }

private:
    void DisplayStep(int n);

    std::unique_ptr<CVideoDisplay> m_pRenderer;
    std::function<void()> m_invalidateWall;
    uint8_t m_nChannels = 0;
    uint8_t m_byFormat = 0;
    RECT m_rect[MAX_DISPLAY_SURFACES] = {};
    bool m_bShown[MAX_DISPLAY_SURFACES] = {};
    int m_nWidth[MAX_DISPLAY_SURFACES] = {};
    int m_nHeight[MAX_DISPLAY_SURFACES] = {};
    bool m_bPip = false;
    uint8_t m_byMain = 0;
};

// The thread procedure; param is the main dialog state (its hooks give the
// wall window), or null for no window.
uint32_t DrawVideo(void* param);
