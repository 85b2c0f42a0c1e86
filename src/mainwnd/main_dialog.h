#pragma once
// The one window of the recorder: the skinned 1024 x 768 main dialog. It
// owns the engine state (main_dialog_state.h), fills its hooks with its own
// window steps (skin buttons, video wall, window timers), and answers the
// buttons, the tray icon and the window frame.

#include <atomic>
#include <map>
#include <memory>

#include "alerts/alert_sink.h"
#include "mainwnd/alert_workers.h"
#include "mainwnd/main_dialog_state.h"
#include "mainwnd/main_window_poster.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"
#include "platform/ui/gdi.h"
#include "platform/ui/tray_icon.h"
#include "res/main_window_controls.h"

class CVideoWallDialog;

constexpr UINT ID_SYSMENU_ABOUT = 0x10;

constexpr int CLOCK_LEFT = 850;
constexpr int CLOCK_TOP = 23;
constexpr int CLOCK_RIGHT = 1000;
constexpr int CLOCK_BOTTOM = 100;
constexpr int CAPTION_BAND_HEIGHT = 16;
// The version text keeps to the caption band, left of this.
constexpr int VERSION_RIGHT = 300;

struct ChannelButton {
    CBitmapButton button;
    int nId = 0;
    UINT nBitmap[4] = {};
};

class CMainDialog : public CDialog {
public:
    CMainDialog();
    ~CMainDialog() override;

    CMainDialogState& State() { return m_State; }

    // The exit sequence; runs once (a second request while it runs, from a
    // nested loop of a notification, does nothing). It marks the program as
    // ending, so no modal window opens and SIGTERM and SIGINT are ignored
    // until it is done.
    void OnOK() override;
    // SIGTERM or SIGINT: once every modal run opened from here has returned,
    // the window's run ends with the exit.
    void OnProgramEnding() override { OnOK(); }
    INT_PTR ResultWhenProgramEnds() const override { return IDOK; }

    // Layouts and paging.
    void OnLayout(int layout);
    void OnPagePrev();
    void OnPageNext();
    int Layout() const { return m_nLayout; }

    // Buttons.
    void OnMute();
    void OnHelp();
    void OnSnap();
    void OnHomePage();
    void OnLogfile();
    // byteIndex 0 brightness .. 3 hue; up: "+".
    void OnPictureControl(int byteIndex, bool up);
    void OnColorDefault();
    void ToggleManualRecord(int channel);
    void OnClockUpdate();
    LRESULT OnChannelSelected();

    // Tray.
    void OnTrayShowWindow();
    void OnTrayExit();
    // True while the window is hidden to the tray.
    bool IsInTray() const { return m_bInTray; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL OnInitDialog() override;
    void OnSysCommand(UINT nID, LPARAM lParam) override;
    void OnPaint(CDC& dc) override;
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) override;
    void OnMove(int x, int y) override;
    void OnSize(UINT nType, int cx, int cy) override;
    void OnLButtonDown(UINT nFlags, POINT point) override;
    void OnTimer(UINT_PTR nIDEvent) override;

private:
    // The first channel shown by a paged layout; null for the 16-channel one.
    int* FirstChannelOfLayout(int layout);
    void TurnPage(int direction);
    void MapHandlers();
    void FillHooks();
    void InitSkinButtons();
    void SetChannelButtonFaces(int channel, int normalFace, int pressedFace);
    void CreateVideoWall();
    void DestroyVideoWall();
    void HideToTray();
    void ShowFromTray();
    void TellDrawVideoWindowMoved();
    void ShowValue(int byteIndex, uint32_t packed);

    CMainDialogState m_State;
    std::unique_ptr<IEventLog> m_pStateLog;
    std::unique_ptr<CAlertWorkers> m_pWorkers;
    CAlertSink m_AlertSink;
    std::unique_ptr<IMainWindowPoster> m_pPoster;

    CBitmap m_bmBackground;
    CBitmap m_bmStatic;
    CBrush m_brBackground;
    CBrush m_brEdit;
    CBrush m_brListBox;
    CBrush m_brStatic;
    HICON m_hAppIcon = nullptr;
    NOTIFYICONDATA m_nidTray;
    bool m_bInTray = false;

    std::map<int, std::unique_ptr<CBitmapButton>> m_SkinButtons;
    ChannelButton m_ChannelButtons[16];

    int m_nLayout = 4;
    int m_nFirst1 = 0;
    int m_nFirst2 = 0;
    int m_nFirst4 = 0;
    int m_nFirst6 = 0;
    int m_nFirst9 = 0;

    std::atomic<HWND> m_hVideoWall{nullptr};
    bool m_bExiting = false;
};
