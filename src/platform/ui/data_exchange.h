#pragma once
// Dialog data exchange: DoDataExchange binds members to controls with the
// DDX_ routines and checks them with the DDV_ ones, in one fixed order.
// UpdateData(FALSE) shows every member in its control; UpdateData(TRUE)
// reads the controls back into the members and checks them.
//
// A read stops at the first control that fails: the framework's prompt
// shows (the application's message box, caption "Quorvalind", OK, the
// exclamation icon), the focus goes to that control, and every later
// exchange of the same read does nothing. So the members bound before the
// failing control hold the new values, those after it keep theirs, and the
// failing control's own member keeps the value it had before the read: a
// refused value is never stored.

#include "platform/ui/cstring.h"
#include "platform/ui/ctime.h"
#include "platform/ui/win_types.h"

#include <functional>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;  // TRUE: controls -> members
    CWnd* m_pDlgWnd;

    // The control the following checks belong to; null when the dialog has
    // no such control.
    CWnd* PrepareCtrl(int nIDC);
    CWnd* PrepareEditCtrl(int nIDC) { return PrepareCtrl(nIDC); }

    // Puts the focus on the last prepared control and ends this read.
    void Fail();
    // True once a read has failed; every exchange after that does nothing.
    bool Failed() const { return m_nFailedControl != 0; }
    // The id of the control the read failed at, 0 while none has.
    int FailedControl() const { return m_nFailedControl; }
    // How to give the last read member its value back (a check that fails
    // after the member was set calls it).
    void RememberOldValue(std::function<void()> restore) { m_restore = std::move(restore); }
    void RestoreOldValue();

    int LastControl() const { return m_nLastControl; }

private:
    int m_nLastControl = 0;
    int m_nFailedControl = 0;
    std::function<void()> m_restore;
};

// Texts of edits and statics: the text itself, or a decimal number.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
// A check box: 0 unchecked, 1 checked, 2 indeterminate.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// The radio group that starts at nIDC: the index of the checked radio among
// the group's radios in template order, -1 for none.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// A drop-down list's chosen index, -1 for none.
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_DateTimeCtrl(CDataExchange* pDX, int nIDC, CTime& value);
// Makes the object the control nIDC (once).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control);

// After the DDX_Text of the same member.
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
// The typing limit of the edit, in stored (GB2312) bytes, when showing;
// a text longer than that when reading. A text the program put into the
// edit is never cut.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
// The prompt DDV_MaxChars shows, for a text refused before it reaches an
// edit (one the program was handed from elsewhere).
void PromptMaxChars(int nChars);
