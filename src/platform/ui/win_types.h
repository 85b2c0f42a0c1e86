#pragma once
// The handful of window-system types and numbers the dialogs are written
// against. Windows are named by opaque handles that stay unique for the
// run; a handle of a window that is gone is simply unknown.

#include <cstdint>

#include "platform/msgbox/message_box.h"
#include "platform/threads/thread_messages.h"
#include "platform/threads/thread_queue.h"
#include "platform/wintypes/rect.h"  // one RECT for the settings, the display and the windows

using BOOL = int;
constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
using UINT = unsigned;
using UINT_PTR = uintptr_t;
using DWORD_PTR = uintptr_t;
using LRESULT = intptr_t;
using DWORD = uint32_t;
using COLORREF = uint32_t;

// Opaque window handle; null = no window.
using HWND = struct WindowHandleTag*;

constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

constexpr unsigned LOWORD(uintptr_t v) {
    return static_cast<unsigned>(v & 0xFFFF);
}
constexpr unsigned HIWORD(uintptr_t v) {
    return static_cast<unsigned>((v >> 16) & 0xFFFF);
}
constexpr WPARAM MAKEWPARAM(unsigned lo, unsigned hi) {
    return static_cast<WPARAM>((lo & 0xFFFF) | ((hi & 0xFFFFu) << 16));
}
constexpr LPARAM MAKELPARAM(int lo, int hi) {
    return static_cast<LPARAM>(static_cast<uint32_t>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)));
}
// Signed coordinates packed into an lParam.
constexpr int GET_X_LPARAM(LPARAM l) {
    return static_cast<int16_t>(l & 0xFFFF);
}
constexpr int GET_Y_LPARAM(LPARAM l) {
    return static_cast<int16_t>((l >> 16) & 0xFFFF);
}

struct POINT {
    int x = 0;
    int y = 0;
};

// Window messages.
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;

// WM_SYSCOMMAND commands (the low 4 bits are the system's own).
constexpr UINT SC_MINIMIZE = 0xF020;
constexpr UINT SC_CLOSE = 0xF060;
constexpr UINT SC_RESTORE = 0xF120;

// Notification code of a button click in the high word of WM_COMMAND.
constexpr UINT BN_CLICKED = 0;

// Mouse key flags.
constexpr UINT MK_LBUTTON = 0x0001;
constexpr UINT MK_RBUTTON = 0x0002;

// WM_SIZE kinds.
constexpr UINT SIZE_RESTORED = 0;
constexpr UINT SIZE_MINIMIZED = 1;
constexpr UINT SIZE_MAXIMIZED = 2;

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

// Control kinds handed to OnCtlColor.
constexpr UINT CTLCOLOR_MSGBOX = 0;
constexpr UINT CTLCOLOR_SCROLLBAR = 5;
constexpr UINT CTLCOLOR_BTN = 3;
constexpr UINT CTLCOLOR_DLG = 4;
constexpr UINT CTLCOLOR_EDIT = 1;
constexpr UINT CTLCOLOR_LISTBOX = 2;
constexpr UINT CTLCOLOR_STATIC = 6;

// Text background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// CDC::DrawText placement.
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_SINGLELINE = 0x0020;
