#pragma once
// Dialogs made from a template of the installed resources: modal with
// DoModal, or modeless (a child window such as the video wall) with
// Create. WM_COMMAND IDOK runs OnOK and IDCANCEL OnCancel, unless the
// message map takes them first; WM_CLOSE is IDCANCEL. Enter is IDOK unless
// a push button has the focus (then it presses that button), Esc IDCANCEL.
//
// Members are bound to controls through DoDataExchange (data_exchange.h):
// OnInitDialog shows them, OnOK reads and checks them and ends the dialog
// only when that read succeeds.

#include "platform/ui/data_exchange.h"
#include "platform/ui/wnd.h"

class QEventLoop;

using INT_PTR = intptr_t;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Builds the window, runs OnInitDialog and, unless that already ended
    // the dialog, a modal loop until EndDialog. Returns the EndDialog
    // result; -1 when no application object runs. The window is gone when
    // it returns.
    virtual INT_PTR DoModal();
    // A modeless window (shown by ShowWindow); FALSE when no application
    // object runs or the window exists already.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Ends the modal loop with nResult (a modeless dialog is hidden).
    void EndDialog(int nResult);

    UINT GetTemplateId() const { return m_nIDTemplate; }

    // FALSE shows the members in the controls; TRUE reads the controls into
    // the members and checks them. FALSE when a read failed.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // When the program is told to end (SIGTERM, SIGINT) while this dialog
    // runs modally, its loop returns at once, without the Exit or Esc
    // handlers: OnProgramEnding does the dialog's own clean-up first, and
    // DoModal returns ResultWhenProgramEnds(). A dialog asked for while the
    // program ends opens no window (no OnInitDialog, no OnProgramEnding)
    // and DoModal returns ResultWhenProgramEnds() at once.
    virtual INT_PTR ResultWhenProgramEnds() const { return IDCANCEL; }
    virtual void OnProgramEnding() {}

protected:
    // Called with every control made; shows the members (UpdateData(FALSE)).
    // TRUE lets the framework set the focus.
    virtual BOOL OnInitDialog();
    // Reads the controls; ends the dialog with IDOK when that succeeded.
    virtual void OnOK();
    virtual void OnCancel();
    // The bindings of members to controls; nothing by default.
    virtual void DoDataExchange(CDataExchange* pDX);

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool BuildWindow(CWnd* pParentWnd);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    int m_nModalResult = -1;
    bool m_bEnded = false;
    QEventLoop* m_pModalLoop = nullptr;
};
