#pragma once
// How a window's widget hands Qt's events to its CWnd.

#include <QPainter>

#include "platform/ui/wnd.h"

class WndEventBridge {
public:
    static void Paint(CWnd* pWnd, QPainter& painter);
    static int Border(const CWnd* pWnd) { return pWnd->m_nBorder; }
    static bool HasSystemMenu(const CWnd* pWnd) { return pWnd->m_bHasSystemMenu; }
    static void TrackSystemMenu(CWnd* pWnd, int x, int y) { pWnd->TrackSystemMenu(x, y); }
};
