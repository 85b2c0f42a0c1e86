// CListBox and CComboBox: messages to the control, so that a class
// derived from one sees every change its owner makes.

#include "platform/ui/controls.h"

namespace {

LPARAM TextParam(const char* text) {
    return reinterpret_cast<LPARAM>(text);
}

template <typename Control>
LRESULT Ask(const Control* control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return const_cast<Control*>(control)->SendMessage(message, wParam, lParam);
}

// Reads item nIndex through the length and text messages of its kind.
template <typename Control>
int ReadItem(const Control* control, UINT lengthMessage, UINT textMessage, LRESULT error,
             int nIndex, CString& text) {
    const LRESULT length = Ask(control, lengthMessage, static_cast<WPARAM>(nIndex));
    if (length == error || length < 0) {
        text.Empty();
        return static_cast<int>(error);
    }
    std::string buffer(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied =
        Ask(control, textMessage, static_cast<WPARAM>(nIndex), TextParam(buffer.data()));
    if (copied < 0) {
        text.Empty();
        return static_cast<int>(copied);
    }
    buffer.resize(static_cast<size_t>(copied));
    text = CString(std::move(buffer));
    return static_cast<int>(copied);
}

}  // namespace

int CListBox::AddString(const char* text) {
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, TextParam(text)));
}
int CListBox::InsertString(int nIndex, const char* text) {
    return static_cast<int>(
        SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(nIndex), TextParam(text)));
}
int CListBox::DeleteString(UINT nIndex) {
    return static_cast<int>(SendMessage(LB_DELETESTRING, nIndex));
}
void CListBox::ResetContent() {
    SendMessage(LB_RESETCONTENT);
}
int CListBox::GetCount() const {
    return static_cast<int>(Ask(this, LB_GETCOUNT));
}
int CListBox::GetCurSel() const {
    return static_cast<int>(Ask(this, LB_GETCURSEL));
}
int CListBox::SetCurSel(int nSelect) {
    return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nSelect)));
}
int CListBox::GetText(int nIndex, CString& text) const {
    return ReadItem(this, LB_GETTEXTLEN, LB_GETTEXT, LB_ERR, nIndex, text);
}
int CListBox::GetTextLen(int nIndex) const {
    return static_cast<int>(Ask(this, LB_GETTEXTLEN, static_cast<WPARAM>(nIndex)));
}
int CListBox::SetItemData(int nIndex, DWORD_PTR dwItemData) {
    return static_cast<int>(
        SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(nIndex), static_cast<LPARAM>(dwItemData)));
}
DWORD_PTR CListBox::GetItemData(int nIndex) const {
    return static_cast<DWORD_PTR>(Ask(this, LB_GETITEMDATA, static_cast<WPARAM>(nIndex)));
}
int CListBox::GetHorizontalExtent() const {
    return static_cast<int>(Ask(this, LB_GETHORIZONTALEXTENT));
}
void CListBox::SetHorizontalExtent(int cxExtent) {
    SendMessage(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(cxExtent));
}
int CListBox::Dir(UINT attr, const char* pattern) {
    return static_cast<int>(SendMessage(LB_DIR, attr, TextParam(pattern)));
}

int CComboBox::AddString(const char* text) {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, TextParam(text)));
}
int CComboBox::InsertString(int nIndex, const char* text) {
    return static_cast<int>(
        SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(nIndex), TextParam(text)));
}
int CComboBox::DeleteString(UINT nIndex) {
    return static_cast<int>(SendMessage(CB_DELETESTRING, nIndex));
}
void CComboBox::ResetContent() {
    SendMessage(CB_RESETCONTENT);
}
int CComboBox::GetCount() const {
    return static_cast<int>(Ask(this, CB_GETCOUNT));
}
int CComboBox::GetCurSel() const {
    return static_cast<int>(Ask(this, CB_GETCURSEL));
}
int CComboBox::SetCurSel(int nSelect) {
    return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(nSelect)));
}
int CComboBox::GetLBText(int nIndex, CString& text) const {
    return ReadItem(this, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_ERR, nIndex, text);
}
int CComboBox::GetLBTextLen(int nIndex) const {
    return static_cast<int>(Ask(this, CB_GETLBTEXTLEN, static_cast<WPARAM>(nIndex)));
}
int CComboBox::FindStringExact(int nStartAfter, const char* text) const {
    return static_cast<int>(
        Ask(this, CB_FINDSTRINGEXACT, static_cast<WPARAM>(nStartAfter), TextParam(text)));
}
