#pragma once
// The table of live windows by handle. Posting looks the handle up, so a
// post to a window that is gone fails quietly instead of touching freed
// memory; a message queued for a window that goes before it is delivered
// is dropped.

#include "platform/ui/win_types.h"

class CWnd;
class QWidget;

// User-interface thread only.
HWND RegisterWindow(CWnd* pWnd);
void UnregisterWindow(HWND hWnd);
// The object of a live window; null when the handle is unknown.
CWnd* WindowFromHandle(HWND hWnd);

// Any thread.
bool IsWindow(HWND hWnd);

// Any thread: queues (message, wParam, lParam) for the window's WindowProc
// on the user-interface thread. False when the window does not exist (or
// no application object runs).
bool PostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// The application's main window: set on the user-interface thread, posted
// to from any thread.
void AfxSetMainWnd(CWnd* pWnd);
CWnd* AfxGetMainWnd();  // user-interface thread
HWND AfxGetMainHwnd();  // any thread; null while the main window has no window
// Called by CWnd when its window appears or goes.
void NotifyMainWndHandle(CWnd* pWnd, HWND hWnd);

// Points a live handle at another object (a control subclassed by a
// member of its dialog). User-interface thread only.
void RebindWindow(HWND hWnd, CWnd* pWnd);

// The window object of a widget (the control's current one once a member
// of its dialog subclassed it); null for a widget without a window.
// User-interface thread only.
CWnd* WndFromWidget(const QWidget* widget);
void SetWidgetHandle(QWidget* widget, HWND hWnd);
