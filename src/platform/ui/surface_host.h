#pragma once
// A custom-drawn control that shows a display target of its own: a screen
// the size of the control on which the renderers' surfaces land, with one
// display window over the control's client area. A renderer given
// DisplayHandle() draws only here, never onto another window's target, and
// the control shows the target's picture under its client area each time
// it paints (Present repaints it). Target coordinates are the control's own
// window coordinates, so moving the dialog changes nothing.
//
// Clicks are the control's default ones: they go on to the dialog in the
// dialog's coordinates. User-interface thread only.

#include <memory>

#include "platform/display/display_target.h"
#include "platform/ui/wnd.h"

class CSurfaceHost : public CWnd {
public:
    CSurfaceHost() = default;
    ~CSurfaceHost() override;

    // Becomes the custom control nID of pParent, with a frame of nBorder
    // pixels inside the control's rectangle. FALSE when pParent has no such
    // control or this object holds one already.
    BOOL Attach(UINT nID, CWnd* pParent, int nBorder, int depth = 32);
    // Gives the display window up (renderers find it gone); the control
    // stays, blank. Safe to call more than once.
    void ReleaseTarget();

    DisplayWindowHandle DisplayHandle() const { return m_pDisplayWindow.get(); }
    std::shared_ptr<DisplayTarget> Target() const { return m_pTarget; }
    // Shows what the target now holds.
    void Present() { Invalidate(FALSE); }

protected:
    void OnPaint(CDC& dc) override;

private:
    std::shared_ptr<DisplayTarget> m_pTarget;
    std::unique_ptr<DisplayWindow> m_pDisplayWindow;
};
