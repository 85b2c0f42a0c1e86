#include "platform/ui/data_exchange.h"

#include <QLineEdit>
#include <cctype>
#include <climits>
#include <cstdio>

#include "platform/msgbox/message_box.h"
#include "platform/ui/controls.h"
#include "platform/ui/wnd.h"

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

CWnd* CDataExchange::PrepareCtrl(int nIDC) {
    m_nLastControl = nIDC;
    m_restore = nullptr;
    return m_pDlgWnd != nullptr ? m_pDlgWnd->GetDlgItem(nIDC) : nullptr;
}

void CDataExchange::RestoreOldValue() {
    if (m_restore) {
        m_restore();
        m_restore = nullptr;
    }
}

void CDataExchange::Fail() {
    m_nFailedControl = m_nLastControl != 0 ? m_nLastControl : -1;
    CWnd* pControl = m_pDlgWnd != nullptr ? m_pDlgWnd->GetDlgItem(m_nLastControl) : nullptr;
    if (pControl == nullptr) {
        return;
    }
    pControl->SetFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(pControl->GetWidget())) {
        edit->selectAll();  // ready to be typed over
    }
}

namespace {

// The control an exchange works on; null once the read failed or when the
// dialog has no such control.
CWnd* BeginExchange(CDataExchange* pDX, int nIDC) {
    return pDX->Failed() ? nullptr : pDX->PrepareCtrl(nIDC);
}

void Prompt(const char* text) {
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

// A decimal number with blanks around it and, where allowed, a minus sign;
// false for anything else, or for a number beyond the limits.
bool ParseNumber(const std::string& text, bool allowSign, long long lowest, long long highest,
                 long long& out) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (allowSign && i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    const size_t digitsStart = i;
    long long value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0) {
        value = value * 10 + (text[i] - '0');
        if (value > highest + 1) {
            return false;
        }
        ++i;
    }
    if (i == digitsStart) {
        return false;
    }
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    if (i != text.size()) {
        return false;
    }
    value = negative ? -value : value;
    if (value < lowest || value > highest) {
        return false;
    }
    out = value;
    return true;
}

template <typename T>
void ExchangeNumber(CDataExchange* pDX, int nIDC, T& value, bool allowSign, const char* format,
                    const char* prompt) {
    CWnd* pControl = BeginExchange(pDX, nIDC);
    if (pControl == nullptr) {
        return;
    }
    if (!pDX->m_bSaveAndValidate) {
        char text[32];
        std::snprintf(text, sizeof text, format, value);
        pControl->SetWindowText(text);
        return;
    }
    long long parsed = 0;
    const long long lowest = allowSign ? INT_MIN : 0;
    const long long highest = allowSign ? INT_MAX : UINT_MAX;
    if (!ParseNumber(pControl->GetWindowText(), allowSign, lowest, highest, parsed)) {
        Prompt(prompt);
        pDX->Fail();
        return;
    }
    const T old = value;
    pDX->RememberOldValue([&value, old] { value = old; });
    value = static_cast<T>(parsed);
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    CWnd* pControl = BeginExchange(pDX, nIDC);
    if (pControl == nullptr) {
        return;
    }
    if (!pDX->m_bSaveAndValidate) {
        pControl->SetWindowText(value);
        return;
    }
    CString old = value;
    pDX->RememberOldValue([&value, old] { value = old; });
    value = CString(pControl->GetWindowText());
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    ExchangeNumber(pDX, nIDC, value, true, "%d", "Please enter an integer.");
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
    ExchangeNumber(pDX, nIDC, value, false, "%u", "Please enter a positive integer.");
}

namespace {

// The control's state read with one message or set with another.
void ExchangeState(CDataExchange* pDX, int nIDC, int& value, UINT getMessage, UINT setMessage) {
    CWnd* pControl = BeginExchange(pDX, nIDC);
    if (pControl == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(pControl->SendMessage(getMessage));
    } else {
        pControl->SendMessage(setMessage, static_cast<WPARAM>(value));
    }
}

}  // namespace

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    ExchangeState(pDX, nIDC, value, BM_GETCHECK, BM_SETCHECK);
}

namespace {

// The radios from nIDC up to the next control that starts a group.
std::vector<CWnd*> GroupRadios(CWnd* pDlg, int nIDC) {
    std::vector<CWnd*> radios;
    const std::vector<int>& order = pDlg->GetControlOrder();
    bool inGroup = false;
    for (int id : order) {
        CWnd* pControl = pDlg->GetDlgItem(id);
        if (pControl == nullptr) {
            continue;
        }
        if (!inGroup) {
            inGroup = id == nIDC;
        } else if ((pControl->GetStyle() & CTL_GROUP) != 0) {
            break;
        }
        if (inGroup && pControl->GetControlKind() == ControlKind::RadioButton) {
            radios.push_back(pControl);
        }
    }
    return radios;
}

}  // namespace

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
    if (pDX->Failed() || pDX->PrepareCtrl(nIDC) == nullptr) {
        return;
    }
    const std::vector<CWnd*> radios = GroupRadios(pDX->m_pDlgWnd, nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = -1;
        for (size_t i = 0; i < radios.size(); ++i) {
            if (radios[i]->SendMessage(BM_GETCHECK) == BST_CHECKED) {
                value = static_cast<int>(i);
                break;
            }
        }
        return;
    }
    for (size_t i = 0; i < radios.size(); ++i) {
        radios[i]->SendMessage(BM_SETCHECK,
                               static_cast<int>(i) == value ? BST_CHECKED : BST_UNCHECKED);
    }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    ExchangeState(pDX, nIDC, index, CB_GETCURSEL, CB_SETCURSEL);
}

void DDX_DateTimeCtrl(CDataExchange* pDX, int nIDC, CTime& value) {
    CWnd* pControl = BeginExchange(pDX, nIDC);
    if (pControl == nullptr) {
        return;
    }
    SYSTEMTIME st = ToSystemTime(value);
    if (!pDX->m_bSaveAndValidate) {
        pControl->SendMessage(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    } else if (pControl->SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) ==
               GDT_VALID) {
        value = FromSystemTime(st);
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control) {
    if (pDX->Failed()) {
        return;
    }
    pDX->PrepareCtrl(nIDC);
    if (control.GetSafeHwnd() == nullptr) {
        control.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd);
    }
}

namespace {

template <typename T>
void CheckRange(CDataExchange* pDX, T value, T minVal, T maxVal, const char* format) {
    if (!pDX->m_bSaveAndValidate || pDX->Failed()) {
        return;
    }
    if (value < minVal || value > maxVal) {
        pDX->RestoreOldValue();
        char text[96];
        std::snprintf(text, sizeof text, format, minVal, maxVal);
        Prompt(text);
        pDX->Fail();
    }
}

}  // namespace

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    CheckRange(pDX, value, minVal, maxVal, "Please enter an integer between %d and %d.");
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal) {
    CheckRange(pDX, value, minVal, maxVal, "Please enter an integer between %u and %u.");
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
    if (pDX->Failed()) {
        return;
    }
    if (!pDX->m_bSaveAndValidate) {
        CWnd* pControl = pDX->m_pDlgWnd->GetDlgItem(pDX->LastControl());
        if (pControl != nullptr) {
            pControl->SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(nChars));
        }
        return;
    }
    if (value.GetLength() > nChars) {
        pDX->RestoreOldValue();
        PromptMaxChars(nChars);
        pDX->Fail();
    }
}

void PromptMaxChars(int nChars) {
    char text[96];
    std::snprintf(text, sizeof text, "Please enter no more than %d characters.", nChars);
    Prompt(text);
}
