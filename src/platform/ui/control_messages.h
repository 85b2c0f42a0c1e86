#pragma once
// The messages, notification codes and styles of the dialog controls:
// what a dialog sends to a control, and what a control tells its dialog
// (WM_COMMAND with a notification code in the high word, or WM_NOTIFY with
// an NMHDR-headed record in lParam).

#include "platform/ui/win_types.h"

// Texts, for every kind of window (lParam a GB2312 text or a buffer).
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;  // wParam: buffer size; returns the length copied
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_MOUSEMOVE = 0x0200;

// Edits.
constexpr UINT EM_LIMITTEXT = 0x00C5;  // wParam: most GB2312 bytes the user may type; 0 = no limit
constexpr UINT EM_GETLIMITTEXT = 0x00D5;
constexpr UINT EN_CHANGE = 0x0300;  // the user changed the text

// Buttons (push buttons, check boxes, radios).
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_SETSTYLE = 0x00F4;  // wParam: style; lParam: redraw
constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;
constexpr int BST_INDETERMINATE = 2;
constexpr int BST_PUSHED = 0x0004;
constexpr UINT BS_PUSHBUTTON = 0x0;
constexpr UINT BS_CHECKBOX = 0x2;  // checked only by the program
constexpr UINT BS_AUTOCHECKBOX = 0x3;
constexpr UINT BS_RADIOBUTTON = 0x4;
constexpr UINT BS_GROUPBOX = 0x7;
constexpr UINT BS_AUTORADIOBUTTON = 0x9;
constexpr UINT BS_TYPEMASK = 0xF;

// List boxes.
constexpr UINT LB_ADDSTRING = 0x0180;     // lParam: text; returns its index
constexpr UINT LB_INSERTSTRING = 0x0181;  // wParam: index (-1 = at the end)
constexpr UINT LB_DELETESTRING = 0x0182;  // returns the count left
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETCURSEL = 0x0186;  // wParam: index, -1 = none
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;     // lParam: buffer of LB_GETTEXTLEN + 1 bytes
constexpr UINT LB_GETTEXTLEN = 0x018A;  // in GB2312 bytes
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_DIR = 0x018D;          // lParam: a file pattern such as "*.avi"
constexpr UINT LB_GETITEMDATA = 0x0199;  // wParam: index; the line's value
constexpr UINT LB_SETITEMDATA = 0x019A;  // wParam: index, lParam: the value kept with the line
constexpr UINT LB_GETHORIZONTALEXTENT = 0x0193;
constexpr UINT LB_SETHORIZONTALEXTENT = 0x0194;  // pixels the lines may be scrolled over
constexpr LRESULT LB_ERR = -1;
constexpr LRESULT LB_ERRSPACE = -2;
constexpr UINT LBN_SELCHANGE = 1;  // the user changed the selection

// Drop-down lists.
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;  // wParam: index to start after (-1 = all)
constexpr LRESULT CB_ERR = -1;
constexpr UINT CBN_SELCHANGE = 1;  // the user chose an item

// Up-down (spin) controls: the position runs from lower to upper, so with
// the default range (lower 100, upper 0) the up arrow lowers it.
constexpr UINT UDM_SETRANGE = 0x0465;  // lParam: MAKELPARAM(upper, lower)
constexpr UINT UDM_GETRANGE = 0x0466;  // returns MAKELONG(upper, lower)
constexpr UINT UDM_SETPOS = 0x0467;    // lParam: the position
constexpr UINT UDM_GETPOS = 0x0468;

// Date and time pickers (lParam: a SYSTEMTIME).
constexpr UINT DTM_GETSYSTEMTIME = 0x1001;  // returns GDT_VALID
constexpr UINT DTM_SETSYSTEMTIME = 0x1002;  // a time outside the range shows its nearest bound
constexpr DWORD GDT_VALID = 0;
constexpr DWORD GDT_NONE = 1;
// The range the user can pick from (lParam: SYSTEMTIME[2], earliest and
// latest). SET: wParam says which bounds are given, a missing one lifts
// that side's limit. GET: returns which bounds are set.
constexpr UINT DTM_GETRANGE = 0x1003;
constexpr UINT DTM_SETRANGE = 0x1004;
constexpr WPARAM GDTR_MIN = 0x0001;
constexpr WPARAM GDTR_MAX = 0x0002;

struct SYSTEMTIME {
    uint16_t wYear = 0;
    uint16_t wMonth = 0;
    uint16_t wDayOfWeek = 0;  // 0 Sunday
    uint16_t wDay = 0;
    uint16_t wHour = 0;
    uint16_t wMinute = 0;
    uint16_t wSecond = 0;
    uint16_t wMilliseconds = 0;
};

// WM_NOTIFY codes.
constexpr int NM_CLICK = -2;
constexpr int LVN_KEYDOWN = -155;
constexpr int UDN_DELTAPOS = -722;

// Virtual keys the list view reports.
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_PRIOR = 0x21;
constexpr UINT VK_NEXT = 0x22;
constexpr UINT VK_END = 0x23;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_INSERT = 0x2D;
constexpr UINT VK_DELETE = 0x2E;

struct NMHDR {
    HWND hwndFrom = nullptr;
    UINT_PTR idFrom = 0;
    int code = 0;
};

// UDN_DELTAPOS: a non-zero result keeps the position.
struct NMUPDOWN {
    NMHDR hdr;
    int iPos = 0;
    int iDelta = 0;
};

// NM_CLICK of a list view: the row under the click, -1 for none.
struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    POINT ptAction;
};

struct NMLVKEYDOWN {
    NMHDR hdr;
    uint16_t wVKey = 0;
    UINT flags = 0;
};
