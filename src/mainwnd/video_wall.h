#pragma once
// The video wall: the child window of the main dialog in which the channel
// pictures appear. Its background (the overlay key colour), the green frame
// of every shown channel and the red outline of the selected one are drawn
// into the display target, as a window's painting lands on the screen the
// display surfaces draw on; the window then shows that screen's picture
// under its client area, so the pictures the DrawVideo thread blits, and the
// overlay keyed into the key colour, appear in it.

#include <memory>

#include "platform/display/display_target.h"
#include "platform/ui/dialog.h"
#include "platform/ui/gdi.h"

constexpr COLORREF VIDEO_WALL_KEY_COLOUR = RGB(8, 0, 8);
constexpr COLORREF VIDEO_WALL_FRAME_COLOUR = RGB(0, 250, 0);
constexpr COLORREF VIDEO_WALL_SELECTED_COLOUR = RGB(255, 0, 0);
constexpr int VIDEO_WALL_X = 18;
constexpr int VIDEO_WALL_Y = 15;
constexpr int VIDEO_WALL_WIDTH = 792;
constexpr int VIDEO_WALL_HEIGHT = 648;

// Posted to the wall (from any thread) to draw it again into the target.
constexpr UINT WM_VIDEO_WALL_REPAINT = 0x0401;
// How often the window shows what changed of the target's picture.
constexpr UINT VIDEO_WALL_PRESENT_MS = 40;

class CVideoWallDialog : public CDialog {
public:
    // The owner receives WM_CHANNEL_SELECTED after a click changed the
    // selection.
    explicit CVideoWallDialog(CWnd* pOwner);
    ~CVideoWallDialog() override;

    // The window from template 129 inside the parent (the owner when null).
    BOOL Create(CWnd* pParentWnd = nullptr);

    // The screen the pictures are drawn on and the wall's window on it;
    // made in OnInitDialog.
    std::shared_ptr<DisplayTarget> Target() const { return m_pTarget; }
    DisplayWindowHandle DisplayHandle() const { return m_pDisplayWindow.get(); }

    // Draws the background, frames and outline into the target and shows
    // the result (the user-interface thread; others post
    // WM_VIDEO_WALL_REPAINT).
    void RepaintWall();
    // Follows a move of the window on the screen.
    void UpdateScreenPosition();

protected:
    BOOL OnInitDialog() override;
    void OnPaint(CDC& dc) override;
    void OnLButtonDown(UINT nFlags, POINT point) override;
    void OnShowWindow(BOOL bShow, UINT nStatus) override;
    void OnTimer(UINT_PTR nIDEvent) override;

private:
    RECT ClientOnScreen() const;
    // Repaints the part of the client area whose picture changed.
    void InvalidateChanged();

    CWnd* m_pOwner;
    CBrush m_brWallBackground;
    CBrush m_brWallFrame;
    std::shared_ptr<DisplayTarget> m_pTarget;
    std::unique_ptr<DisplayWindow> m_pDisplayWindow;
};
