#pragma once
// A window: a Qt widget with a handle, a window procedure and a handler
// table (the message map). Everything here runs on the user-interface
// thread except PostMessage, which any thread may call.
//
// A message goes first to the handler registered for it (MapMessage; for
// WM_COMMAND the one registered for its control or menu id, MapCommand),
// otherwise to the virtual handler of its kind (OnTimer, OnSysCommand, ...),
// whose default is DefWindowProc.
//
// Controls are child windows found by their control id; the id is also the
// widget's object name as a decimal string. Texts are GB2312 bytes and are
// converted only where they meet Qt; a text read back unchanged from a
// control is the very bytes put there.
//
// Controls tell their dialog what the user did: WM_COMMAND with the
// control's id and a notification code (BN_CLICKED, EN_CHANGE,
// CBN_SELCHANGE, LBN_SELCHANGE; never for the program's own changes), or
// WM_NOTIFY with an NMHDR-headed record (UDN_DELTAPOS, NM_CLICK,
// LVN_KEYDOWN).

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/control_messages.h"
#include "platform/ui/gdi.h"
#include "platform/ui/resources.h"
#include "platform/ui/win_types.h"

class CMenu;
class QButtonGroup;
class QTimer;

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    QWidget* GetWidget() const { return m_widget.data(); }
    int GetDlgCtrlID() const { return m_nCtrlId; }
    CWnd* GetParent() const { return m_pParent; }

    // The window procedure, ahead of the message map.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The system's own handling of a message.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Any thread while this object lives; FALSE when the window does not
    // exist. Other threads better post by handle (::PostMessage), which
    // stays safe after the object is gone.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // The message map. A later registration for the same number replaces
    // the earlier one. MapCommand takes menu items and button clicks;
    // MapControlNotify a control's other WM_COMMAND codes; MapNotify its
    // WM_NOTIFY codes (the handler sets the result).
    using MessageHandler = std::function<LRESULT(WPARAM wParam, LPARAM lParam)>;
    using NotifyHandler = std::function<void(NMHDR* pNMHDR, LRESULT* pResult)>;
    void MapMessage(UINT message, MessageHandler handler);
    void MapCommand(UINT id, std::function<void()> handler);
    void MapControlNotify(UINT id, UINT code, std::function<void()> handler);
    void MapNotify(UINT id, int code, NotifyHandler handler);

    // Window timers: WM_TIMER (id) every nElapse ms (at least 10) until
    // KillTimer, which may be called from the timer's own tick. Setting a
    // running id again restarts it. 0 when the window does not exist or the
    // id is 0.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse);
    BOOL KillTimer(UINT_PTR nIDEvent);

    // Controls.
    CWnd* GetDlgItem(int nID) const;
    // Makes this object the control nID of pParent (the generic object
    // made for it steps aside). FALSE when pParent has no such control.
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    void SetDlgItemText(int nID, const char* text);
    std::string GetDlgItemText(int nID) const;
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // The control ids in template order.
    const std::vector<int>& GetControlOrder() const { return m_controlOrder; }
    // A control's template style (CTL_ flags); 0 for a window that is no
    // control.
    UINT GetStyle() const;
    // The kind of a control (a window that is no control answers Static).
    ControlKind GetControlKind() const;
    // Creates a child control from its template; null when this window
    // does not exist or the id is taken.
    CWnd* CreateControl(const ControlTemplate& control);
    // Asks OnCtlColor again for every control and applies the answers.
    void RefreshControlColors();

    // Window state.
    void SetWindowText(const char* text);
    std::string GetWindowText() const;
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    // For a top-level window the rectangle of its client area on the
    // screen, for a child its place in the parent's client area.
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void CenterWindow();
    void GetClientRect(RECT* pRect) const;
    void GetWindowRect(RECT* pRect) const;  // screen coordinates
    void ClientToScreen(POINT* pPoint) const;
    void ClientToScreen(RECT* pRect) const;
    void ScreenToClient(POINT* pPoint) const;
    void ScreenToClient(RECT* pRect) const;
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(const RECT* pRect, BOOL bErase = TRUE);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    // Moves the keyboard focus here; returns the window that had it.
    CWnd* SetFocus();
    // The window with the keyboard focus in the active window (or in the
    // modal one); null when it is none of ours.
    static CWnd* GetFocus();
    // The window's font, and a context to measure text with (drawing goes
    // through CClientDC); give the context back with ReleaseDC.
    CFont* GetFont();
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);
    void SetIcon(HICON hIcon, BOOL bBigIcon);
    // The window's system menu (Minimize and Close at first), shown by
    // Alt+Space and by a right click in the top 16 pixels; its items
    // arrive as WM_SYSCOMMAND. Null when the window has none.
    CMenu* GetSystemMenu(BOOL bRevert);
    BOOL DestroyWindow();

    // A lasting layer drawn over OnPaint's picture; CClientDC paints here.
    QImage& ClientLayer();

protected:
    // The handlers the standard dispatch calls; their defaults pass the
    // message to DefWindowProc.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // WM_NOTIFY: the handler mapped for the sender's id and code.
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void OnSysCommand(UINT nID, LPARAM lParam);
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual void OnClose();
    virtual void OnMove(int x, int y);
    virtual void OnSize(UINT nType, int cx, int cy);
    virtual void OnLButtonDown(UINT nFlags, POINT point);
    virtual void OnShowWindow(BOOL bShow, UINT nStatus);
    // Paints the client area (the layer follows). Default: nothing, the
    // window's background brush shows.
    virtual void OnPaint(CDC& dc);
    // The brush (and, through pDC, the text and background colours) for a
    // control or, with CTLCOLOR_DLG, the window itself. Null: the default.
    virtual HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    // For window classes: takes the widget as this window's, gives it a
    // handle. pParent and nCtrlId for controls.
    void AttachWidget(QWidget* widget, CWnd* pParent, int nCtrlId);
    // Drops the handle, the timers and the controls' handles; the widget
    // itself is left to the caller.
    void DetachWidget();
    void SetBorder(int nBorder) { m_nBorder = nBorder; }
    int GetBorder() const { return m_nBorder; }
    void SetHasSystemMenu(bool bHas) { m_bHasSystemMenu = bHas; }

private:
    friend class WndEventBridge;
    LRESULT DispatchStandard(UINT message, WPARAM wParam, LPARAM lParam);
    void ForgetControl(CWnd* pControl);
    void ApplyControlColor(CWnd* pControl, ControlKind kind);
    void ReapplyControlColor(CWnd* pControl);
    void WireControl(QWidget* widget, HWND hControl, int id);
    void TrackSystemMenu(int x, int y);

    std::atomic<HWND> m_hWnd{nullptr};  // read by posting threads
    QPointer<QWidget> m_widget;
    CWnd* m_pParent = nullptr;
    int m_nCtrlId = 0;
    int m_nBorder = 0;
    bool m_bHasSystemMenu = false;

    std::map<UINT, MessageHandler> m_messageMap;
    std::map<UINT, std::function<void()>> m_commandMap;
    std::map<std::pair<UINT, UINT>, std::function<void()>> m_controlNotifyMap;
    std::map<std::pair<UINT, int>, NotifyHandler> m_notifyMap;
    std::map<UINT_PTR, QTimer*> m_timers;

    struct ControlEntry {
        CWnd* pWnd = nullptr;  // the object that answers for the control now
        ControlKind kind = ControlKind::Static;
        UINT style = 0;
        std::unique_ptr<CWnd> generic;  // the object made with the control
    };
    std::map<int, ControlEntry> m_controls;
    std::vector<int> m_controlOrder;
    QButtonGroup* m_pRadioGroup = nullptr;  // the radios' group being built
    bool m_bColorsApplied = false;
    CFont m_font;
    std::unique_ptr<CMenu> m_pSystemMenu;
    QImage m_layer;
};

// Draws into a window outside its paint: into its lasting layer, shown at
// once (the area drawn is repainted when the context ends).
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC();
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

private:
    CWnd* m_pWnd;
    std::unique_ptr<QPainter> m_painter;
};
