#pragma once
// The notification-area icon. Shell_NotifyIcon adds, changes and removes
// the icon of (window, id); a click on it is posted to the window as the
// record's callback message with wParam the icon id and lParam the mouse
// message (WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN).
//
// The icon itself is drawn by a back end: the desktop's tray through
// QSystemTrayIcon unless another one (a fake in tests) is installed. Where
// the desktop has no tray, NIM_ADD fails and the caller keeps the window
// reachable (minimised, not hidden).

#include <QIcon>
#include <functional>
#include <string>

#include "platform/ui/gdi.h"
#include "platform/ui/win_types.h"

constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;
constexpr UINT NIF_MESSAGE = 0x1;
constexpr UINT NIF_ICON = 0x2;
constexpr UINT NIF_TIP = 0x4;

struct NOTIFYICONDATA {
    DWORD cbSize = 88;
    HWND hWnd = nullptr;
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    HICON hIcon = nullptr;
    char szTip[64] = {};  // GB2312
};

// One tray icon as the back end sees it.
struct TrayIconState {
    QIcon icon;
    std::string tip;  // UTF-8
};

class ITrayBackend {
public:
    // The back end reports a click with the mouse message it stands for.
    using ClickSink = std::function<void(UINT mouseMessage)>;

    virtual ~ITrayBackend() = default;
    virtual bool IsAvailable() const = 0;
    // key names one icon; Show replaces an icon of the same key.
    virtual bool Show(uintptr_t key, const TrayIconState& state, ClickSink onClick) = 0;
    virtual bool Hide(uintptr_t key) = 0;
};

// Installs a back end (not owned); null returns to the desktop's tray.
void SetTrayBackend(ITrayBackend* backend);

// Whether the desktop (or the installed back end) has a tray.
bool IsTrayAvailable();

// User-interface thread. The icon is copied (the caller may destroy its
// handle at once). FALSE when there is no tray, NIM_ADD of an icon that
// is shown, NIM_MODIFY or NIM_DELETE of one that is not.
BOOL Shell_NotifyIcon(DWORD dwMessage, const NOTIFYICONDATA* pData);
