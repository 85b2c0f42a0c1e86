#pragma once
// The typed controls the dialogs use. Each is a window object over a
// control of a dialog template, reached by subclassing (DDX_Control,
// SubclassDlgItem) or as the object GetDlgItem returns for its kind: they
// keep nothing of their own, every state lives in the control, so a class
// derived from one sees the messages its owner sends through it.
//
// Texts are GB2312 bytes.

#include <cstdint>

#include "platform/ui/control_messages.h"
#include "platform/ui/cstring.h"
#include "platform/ui/ctime.h"
#include "platform/ui/gdi.h"
#include "platform/ui/wnd.h"

class SkinButtonWidget;

// Push buttons, check boxes, radios and group boxes.
class CButton : public CWnd {
public:
    int GetCheck() const;  // BST_UNCHECKED, BST_CHECKED
    void SetCheck(int nCheck);
    UINT GetState() const;  // the check state, BST_PUSHED while held down
    void SetState(BOOL bHighlight);
    // BS_ type in the low bits. A push button given a check box type shows
    // its check as a selected look (the channel button rows).
    UINT GetButtonStyle() const;
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE);
};

class CStatic : public CWnd {
public:
    // Shows the icon in place of text.
    void SetIcon(HICON hIcon);
};

class CEdit : public CWnd {
public:
    // The most GB2312 bytes the user may type; 0 = no limit. Text the
    // program sets is never cut.
    void SetLimitText(UINT nMax);
    UINT GetLimitText() const;
};

class CListBox : public CWnd {
public:
    int AddString(const char* text);
    int InsertString(int nIndex, const char* text);
    int DeleteString(UINT nIndex);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    int GetText(int nIndex, CString& text) const;
    int GetTextLen(int nIndex) const;
    // A value kept with a line (0 until set); LB_ERR for a line that is
    // not there.
    int SetItemData(int nIndex, DWORD_PTR dwItemData);
    DWORD_PTR GetItemData(int nIndex) const;
    int GetHorizontalExtent() const;
    void SetHorizontalExtent(int cxExtent);
    // Adds the names of the files of the current folder that match the
    // pattern ("*.avi"); the index of the last one added, LB_ERR for none.
    int Dir(UINT attr, const char* pattern);
};

// A drop-down list: one of its items is chosen, or none (-1).
class CComboBox : public CWnd {
public:
    int AddString(const char* text);
    int InsertString(int nIndex, const char* text);
    int DeleteString(UINT nIndex);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    int GetLBText(int nIndex, CString& text) const;
    int GetLBTextLen(int nIndex) const;
    // The first item after nStartAfter (-1: from the top) whose text equals
    // the text, ignoring case; CB_ERR for none.
    int FindStringExact(int nStartAfter, const char* text) const;
};

constexpr DWORD LVS_EX_FULLROWSELECT = 0x00000020;
constexpr int LVCFMT_LEFT = 0;
constexpr int LVCFMT_RIGHT = 1;
constexpr int LVCFMT_CENTER = 2;
constexpr UINT LVIS_FOCUSED = 0x0001;
constexpr UINT LVIS_SELECTED = 0x0002;
// Walks the selected rows: 0 once past the last.
using POSITION = intptr_t;

// A list view in report form: rows of texts in columns.
class CListCtrl : public CWnd {
public:
    DWORD SetExtendedStyle(DWORD dwNewStyle);
    DWORD GetExtendedStyle() const;
    BOOL SetBkColor(COLORREF color);
    BOOL SetTextColor(COLORREF color);
    BOOL SetTextBkColor(COLORREF color);
    COLORREF GetBkColor() const;
    COLORREF GetTextColor() const;
    COLORREF GetTextBkColor() const;

    // nWidth -1: as wide as the heading.
    int InsertColumn(int nCol, const char* heading, int nFormat = LVCFMT_LEFT, int nWidth = -1);
    int GetColumnWidth(int nCol) const;
    int InsertItem(int nItem, const char* text);
    BOOL SetItemText(int nItem, int nSubItem, const char* text);
    CString GetItemText(int nItem, int nSubItem) const;
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    int GetItemCount() const;
    // LVIS_SELECTED in the mask sets or clears the row's selection.
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    UINT GetSelectedCount() const;
    POSITION GetFirstSelectedItemPosition() const;
    int GetNextSelectedItem(POSITION& pos) const;
};

// An up-down control. Its position runs from lower to upper (by default
// 100 to 0, so the up arrow lowers it).
class CSpinButtonCtrl : public CWnd {
public:
    void SetRange(int nLower, int nUpper);
    void GetRange(int& lower, int& upper) const;
    int SetPos(int nPos);
    int GetPos() const;
};

// A date or time picker.
class CDateTimeCtrl : public CWnd {
public:
    BOOL SetTime(const CTime& time);
    DWORD GetTime(CTime& time) const;
    // The earliest and latest time the user can pick; null lifts that
    // side's limit. A time shown outside the new range moves to its bound.
    BOOL SetRange(const CTime* pMinRange, const CTime* pMaxRange);
    // GDTR_MIN and GDTR_MAX for the bounds that are set (and filled in).
    DWORD GetRange(CTime* pMinRange, CTime* pMaxRange) const;
};

// A button drawn with pictures from the resources: up, down while pressed,
// focus while focused (0 = none; no disabled picture).
class CBitmapButton : public CButton {
public:
    // FALSE when the up picture cannot be loaded; the pictures that did
    // load are kept.
    BOOL LoadBitmaps(UINT nIDUp, UINT nIDDown = 0, UINT nIDFocus = 0, UINT nIDDisabled = 0);
    // Sizes the button to its up picture.
    void SizeToContent();

    const CBitmap& GetUpBitmap() const { return m_up; }
    const CBitmap& GetDownBitmap() const { return m_down; }
    const CBitmap& GetFocusBitmap() const { return m_focus; }

    BOOL SubclassDlgItem(UINT nID, CWnd* pParent) {
        BOOL ok = CWnd::SubclassDlgItem(nID, pParent);
        if (ok) {
            UpdatePictures();
        }
        return ok;
    }

    // Pushes the loaded pictures to the button's widget (after attaching).
    void UpdatePictures();

private:
    CBitmap m_up;
    CBitmap m_down;
    CBitmap m_focus;
};
