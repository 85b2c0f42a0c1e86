// The main dialog's life: construction, the start-up and exit sequences
// with the window's own steps, the window frame and the tray icon.

#include "mainwnd/main_dialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <string>

#include "channel/av_channel.h"
#include "mainwnd/about_dialog.h"
#include "mainwnd/video_wall.h"
#include "platform/ui/display_checks.h"
#include "platform/ui/exit_signals.h"
#include "platform/ui/menu.h"
#include "platform/ui/program_ending.h"
#include "platform/ui/text_fit.h"
#include "platform/ui/window_registry.h"
#include "res/main_window_controls.h"
#include "res/skin_resources.h"
#include "res/skin_table.h"
#include "settings/globals.h"
#include "settings/settings.h"

namespace {

// Posts to the main window by handle, so a post after the window went
// fails quietly.
class CWindowPoster final : public IMainWindowPoster {
public:
    explicit CWindowPoster(HWND hWnd) : m_hWnd(hWnd) {}
    bool Post(unsigned message, WPARAM wParam, LPARAM lParam) override {
        return ::PostMessage(m_hWnd, message, wParam, lParam);
    }

private:
    HWND m_hWnd;
};

// The engine's log calls through the dialog's state, so an injected log
// sees the alert threads' lines too.
class CStateLog final : public IEventLog {
public:
    explicit CStateLog(CMainDialogState& state) : m_state(state) {}
    void WriteLogEntry(int type, int channel, const char* text) override {
        m_state.WriteLogEntry(type, channel, text);
    }

private:
    CMainDialogState& m_state;
};

}  // namespace

CMainDialog::CMainDialog() : CDialog(IDD_MAIN_DIALOG) {
    m_hAppIcon = ::LoadIcon(IDR_MAINFRAME);
    for (int n = 0; n < 16; ++n) {
        const ChannelBitmapIds ids = ChannelButtonBitmaps(n);
        m_ChannelButtons[n].nId = ChannelButtonControlId(n);
        m_ChannelButtons[n].nBitmap[0] = ids.resting;
        m_ChannelButtons[n].nBitmap[1] = ids.manual;
        m_ChannelButtons[n].nBitmap[2] = ids.motion;
        m_ChannelButtons[n].nBitmap[3] = ids.schedule;
    }
    m_pStateLog = std::make_unique<CStateLog>(m_State);
    m_pWorkers = std::make_unique<CAlertWorkers>(m_pStateLog.get());
    m_State.SetWorkers(m_pWorkers.get());
    MapHandlers();
    FillHooks();
}

CMainDialog::~CMainDialog() {
    if (m_hAppIcon != nullptr) {
        DestroyIcon(m_hAppIcon);
    }
}

void CMainDialog::FillHooks() {
    MainDialogHooks& h = m_State.hooks;
    h.setChannelButtonFaces = [this](int channel, int normalFace, int pressedFace) {
        SetChannelButtonFaces(channel, normalFace, pressedFace);
    };
    h.messageBeep = [](unsigned) { QApplication::beep(); };
    h.selectLayout4 = [this] { OnLayout(4); };
    h.repaintControlStrip = [this] {
        const RECT strip{0, 710, 1024, 768};
        InvalidateRect(&strip, TRUE);
    };
    h.videoWallWindow = []() -> DisplayWindowHandle {
        CVideoWallDialog* wall = g_pVideoWall.load();
        return wall != nullptr ? wall->DisplayHandle() : nullptr;
    };
    h.invalidateVideoWall = [this] {
        ::PostMessage(m_hVideoWall.load(), WM_VIDEO_WALL_REPAINT, 0, 0);
    };
    h.initSkinButtons = [this] { InitSkinButtons(); };
    h.createVideoWall = [this] { CreateVideoWall(); };
    h.destroyVideoWall = [this] { DestroyVideoWall(); };
    h.setTimer = [this](unsigned id, unsigned periodMs) {
        return static_cast<unsigned>(SetTimer(id, periodMs));
    };
    h.killTimer = [this](unsigned id) { KillTimer(id); };
    h.serveNotifications = [] {
        // Worker threads' message boxes and posts wait for this thread; the
        // window is disabled, so no button starts anything meanwhile.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    h.endDialog = [this] { CDialog::OnOK(); };
    h.exitProgram = [this] { OnOK(); };
}

BOOL CMainDialog::OnInitDialog() {
    CDialog::OnInitDialog();

    CMenu* pSysMenu = GetSystemMenu(FALSE);
    const IResourceProvider* res = GetResourceProvider();
    const std::string about = res != nullptr ? res->LoadString(IDS_ABOUTBOX) : std::string();
    if (pSysMenu != nullptr && !about.empty()) {
        pSysMenu->AppendMenu(MF_SEPARATOR);
        pSysMenu->AppendMenu(MF_STRING, ID_SYSMENU_ABOUT, about.c_str());
    }
    SetIcon(m_hAppIcon, TRUE);
    SetIcon(m_hAppIcon, FALSE);

    m_bmBackground.LoadBitmap(IDB_BACKGROUND);
    m_brBackground.CreatePatternBrush(&m_bmBackground);
    m_brEdit.CreateSolidBrush(RGB(0, 0, 0));
    m_brListBox.CreateSolidBrush(RGB(136, 176, 226));
    m_bmStatic.LoadBitmap(IDB_STATIC_PATTERN);
    m_brStatic.CreatePatternBrush(&m_bmStatic);

    MoveWindow(0, 0, 1024, 768);
    const std::string title = std::string("Quorvalindex ") + g_sVersion;
    SetWindowText(title.c_str());
    CenterWindow();

    // Posts from other threads reach this window from here on.
    m_pPoster = std::make_unique<CWindowPoster>(GetSafeHwnd());
    SetMainWindowPoster(m_pPoster.get());
    SetAlertSink(&m_AlertSink);
    InstallExitSignalHandler();

    return m_State.RunStartup() ? TRUE : FALSE;
}

void CMainDialog::OnOK() {
    if (m_bExiting) {
        return;
    }
    m_bExiting = true;
    // Nothing may stop the exit half way: a box it raises is not waited
    // for, and a further SIGTERM or SIGINT, which would kill the process
    // with its record files unfinished, is ignored.
    BeginProgramEnding();
    // A notification's nested loop must not start the exit a second time.
    EnableWindow(FALSE);
    // The exit ends the dialog through the endDialog hook at its end.
    m_State.RunExit();
    if (m_bInTray) {
        Shell_NotifyIcon(NIM_DELETE, &m_nidTray);
        m_bInTray = false;
    }
    SetAlertSink(nullptr);
    SetMainWindowPoster(nullptr);
    RemoveExitSignalHandler();
}

void CMainDialog::CreateVideoWall() {
    auto* wall = new CVideoWallDialog(this);
    g_pVideoWall = wall;
    wall->Create();
    wall->MoveWindow(VIDEO_WALL_X, VIDEO_WALL_Y, VIDEO_WALL_WIDTH, VIDEO_WALL_HEIGHT);
    wall->ShowWindow(SW_SHOW);
    wall->UpdateScreenPosition();
    m_hVideoWall = wall->GetSafeHwnd();
}

void CMainDialog::DestroyVideoWall() {
    CVideoWallDialog* wall = g_pVideoWall.exchange(nullptr);
    if (wall == nullptr) {
        return;
    }
    m_hVideoWall = nullptr;
    wall->SendMessage(WM_CLOSE);
    wall->DestroyWindow();
    delete wall;
}

// --- Window frame.

LRESULT CMainDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && (wParam == IDOK || wParam == IDCANCEL) && lParam == 0) {
        return 0;  // Enter and Esc never end the recorder
    }
    if (message == WM_SYSCOMMAND && wParam == SC_CLOSE) {
        HideToTray();
        return 0;
    }
    if (message == WM_TRAY_NOTIFY) {
        if (lParam == WM_LBUTTONDBLCLK) {
            ShowFromTray();
        } else if (lParam == WM_RBUTTONDOWN) {
            CMenu menu;
            if (menu.LoadMenu(IDR_TRAY_MENU)) {
                CMenu* popup = menu.GetSubMenu(0);
                POINT pt;
                GetCursorPos(&pt);
                if (popup != nullptr) {
                    popup->TrackPopupMenu(TPM_RIGHTBUTTON, pt.x, pt.y, AfxGetMainWnd());
                }
            }
        }
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CMainDialog::HideToTray() {
    m_nidTray = NOTIFYICONDATA{};
    m_nidTray.cbSize = 88;
    m_nidTray.hWnd = GetSafeHwnd();
    m_nidTray.uID = IDR_MAINFRAME;
    m_nidTray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nidTray.uCallbackMessage = WM_TRAY_NOTIFY;
    HICON icon = ::LoadIcon(IDR_MAINFRAME);
    m_nidTray.hIcon = icon;
    std::snprintf(m_nidTray.szTip, sizeof m_nidTray.szTip, "%s", "Quorvalind");
    const BOOL added = m_bInTray ? TRUE : Shell_NotifyIcon(NIM_ADD, &m_nidTray);
    DestroyIcon(icon);
    if (added) {
        m_bInTray = true;
        ShowWindow(SW_HIDE);
    } else {
        // Without a tray a hidden window could only be got back by killing
        // the process, which loses the end of every recording.
        ShowWindow(SW_MINIMIZE);
    }
}

void CMainDialog::ShowFromTray() {
    if (m_bInTray) {
        Shell_NotifyIcon(NIM_DELETE, &m_nidTray);
        m_bInTray = false;
    }
    if (CWnd* main = AfxGetMainWnd(); main != nullptr) {
        main->ShowWindow(SW_SHOW);
    } else {
        ShowWindow(SW_SHOW);
    }
}

void CMainDialog::OnTrayShowWindow() {
    ShowFromTray();
}

void CMainDialog::OnTrayExit() {
    OnOK();
}

void CMainDialog::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == ID_SYSMENU_ABOUT) {
        CAboutDialog about;
        about.DoModal();
        return;
    }
    CDialog::OnSysCommand(nID, lParam);
}

void CMainDialog::OnLButtonDown(UINT nFlags, POINT point) {
    if (point.y < CAPTION_BAND_HEIGHT && point.x > 983) {
        if (point.x > 1000 && point.x < 1016) {
            PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        } else if (point.x < 998) {
            PostMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
        }
    }
    CDialog::OnLButtonDown(nFlags, point);
}

void CMainDialog::OnPaint(CDC& dc) {
    RECT rc;
    GetClientRect(&rc);
    if (IsIconic()) {
        const int x = (rc.right - rc.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (rc.bottom - rc.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
        dc.DrawIcon(x, y, m_hAppIcon);
        return;
    }
    dc.FillRect(rc, &m_brBackground);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(40, 90, 160));
    TextOutInBox(dc, RECT{10, 0, VERSION_RIGHT, CAPTION_BAND_HEIGHT}, 10, 0, g_sVersion);
}

HBRUSH CMainDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    HBRUSH base = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    switch (nCtlColor) {
        case CTLCOLOR_EDIT:
            pDC->SetTextColor(RGB(0, 255, 255));
            pDC->SetBkColor(RGB(60, 154, 240));
            pDC->SetBkMode(TRANSPARENT);
            return &m_brEdit;
        case CTLCOLOR_LISTBOX:
            pDC->SetTextColor(RGB(55, 80, 120));
            pDC->SetBkMode(TRANSPARENT);
            return &m_brListBox;
        case CTLCOLOR_STATIC:
            pDC->SetTextColor(RGB(80, 80, 80));
            pDC->SetBkMode(TRANSPARENT);
            return &m_brStatic;
        default:
            return base;
    }
}

void CMainDialog::TellDrawVideoWindowMoved() {
    if (CVideoWallDialog* wall = g_pVideoWall.load(); wall != nullptr) {
        wall->UpdateScreenPosition();
    }
    if (g_hDrawVideoThread.load() != nullptr) {
        PostThreadMessage(g_dwDrawVideoThreadId.load(), WM_VIDEO_WINDOW_MOVED, 0, 0);
    }
}

void CMainDialog::OnMove(int x, int y) {
    CDialog::OnMove(x, y);
    TellDrawVideoWindowMoved();
}

void CMainDialog::OnSize(UINT nType, int cx, int cy) {
    CDialog::OnSize(nType, cx, cy);
    TellDrawVideoWindowMoved();
}

void CMainDialog::OnTimer(UINT_PTR nIDEvent) {
    m_State.OnTimer(static_cast<unsigned>(nIDEvent));
}

LRESULT CMainDialog::OnChannelSelected() {
    const int n = g_nSelectedChannel.load();
    if (n >= g_nChannelCount.load()) {
        return 0;
    }
    CAVChannel* channel = g_pAVChannel[n].load();
    if (channel == nullptr) {
        return 0;
    }
    const uint32_t packed = channel->dwVideoColor.load();
    for (int k = 0; k < 4; ++k) {
        ShowValue(k, packed);
    }
    return 0;
}
