#include "dialogs/setup_dialog.h"

#include "platform/msgbox/message_box.h"
#include "res/skin_table.h"

namespace {

// The frame's colours (COLORREF values).
constexpr COLORREF kEditText = 0xFFFF00;
constexpr COLORREF kEditBack = 0xF09A3C;
constexpr COLORREF kStaticText = 0xFFFFFF;
constexpr UINT kCheckTypeBit = 0x2;  // BS_CHECKBOX within the low byte

}  // namespace

CSetupDialog::CSetupDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(nIDTemplate, pParentWnd) {}

BOOL CSetupDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_bmpSkin.LoadBitmap(IDB_SETUP_BACKGROUND);
    m_brSkin.CreatePatternBrush(&m_bmpSkin);
    return TRUE;
}

HBRUSH CSetupDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    HBRUSH base = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    switch (nCtlColor) {
        case CTLCOLOR_EDIT:
            pDC->SetTextColor(kEditText);
            pDC->SetBkColor(kEditBack);
            pDC->SetBkMode(TRANSPARENT);
            return &m_brSkin;
        case CTLCOLOR_LISTBOX:
        case CTLCOLOR_BTN:
        case CTLCOLOR_DLG:
            pDC->SetBkMode(TRANSPARENT);
            return &m_brSkin;
        case CTLCOLOR_STATIC:
            pDC->SetTextColor(kStaticText);
            pDC->SetBkMode(TRANSPARENT);
            return &m_brSkin;
        default:
            return base;
    }
}

void CSetupDialog::OnSave() {
    StoreControls();
    CopyWorkingToLive();
    m_bSaved = 1;
}

void CSetupDialog::OnOK() {
    StoreControls();
    if (WorkingDiffersFromLive() &&
        AfxMessageBox("Setting is changed! Back to save?", MB_YESNO | MB_ICONQUESTION) == IDYES) {
        return;  // back to the dialog, to press Save
    }
    if (m_bSaved == 0) {
        EndSetupDialog(IDCANCEL);
        return;
    }
    if (UpdateData(TRUE)) {
        EndSetupDialog(IDOK);
    }
}

void CSetupDialog::OnCancel() {
    EndSetupDialog(m_bSaved != 0 ? IDOK : IDCANCEL);
}

INT_PTR CSetupDialog::ResultWhenProgramEnds() const {
    return m_bSaved != 0 ? IDOK : IDCANCEL;
}

void CSetupDialog::OnProgramEnding() {
    ReleaseOnLeave();
}

void CSetupDialog::EndSetupDialog(int nResult) {
    ReleaseOnLeave();
    EndDialog(nResult);
}

BOOL CSetupDialog::SpinStep(int& value, int iDelta, int nMin, int nMax) {
    if (iDelta < 0) {
        if (value < nMax) {
            ++value;
            return TRUE;
        }
    } else if (value > nMin) {
        --value;
        return TRUE;
    }
    return FALSE;
}

void CSetupDialog::SelectRowButton(int nID) {
    auto* button = static_cast<CButton*>(GetDlgItem(nID));
    if (button == nullptr) {
        return;
    }
    button->SetButtonStyle((button->GetButtonStyle() & 0xFF) | kCheckTypeBit, TRUE);
    button->SetCheck(BST_CHECKED);
}

void CSetupDialog::ReleaseRowButton(int nID) {
    auto* button = static_cast<CButton*>(GetDlgItem(nID));
    if (button == nullptr) {
        return;
    }
    button->SetCheck(BST_UNCHECKED);
    button->SetButtonStyle(button->GetButtonStyle() & ~kCheckTypeBit & 0xFF, TRUE);
    button->SetState(FALSE);
}
