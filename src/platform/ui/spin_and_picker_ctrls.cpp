// CSpinButtonCtrl and CDateTimeCtrl.

#include "platform/ui/controls.h"

void CSpinButtonCtrl::SetRange(int nLower, int nUpper) {
    SendMessage(UDM_SETRANGE, 0, MAKELPARAM(nUpper, nLower));
}

void CSpinButtonCtrl::GetRange(int& lower, int& upper) const {
    const LRESULT range = const_cast<CSpinButtonCtrl*>(this)->SendMessage(UDM_GETRANGE);
    upper = static_cast<int16_t>(LOWORD(range));
    lower = static_cast<int16_t>(HIWORD(range));
}

int CSpinButtonCtrl::SetPos(int nPos) {
    return static_cast<int>(SendMessage(UDM_SETPOS, 0, nPos));
}

int CSpinButtonCtrl::GetPos() const {
    return static_cast<int>(const_cast<CSpinButtonCtrl*>(this)->SendMessage(UDM_GETPOS));
}

BOOL CDateTimeCtrl::SetTime(const CTime& time) {
    SYSTEMTIME st = ToSystemTime(time);
    return SendMessage(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st)) != 0 ? TRUE
                                                                                         : FALSE;
}

DWORD CDateTimeCtrl::GetTime(CTime& time) const {
    SYSTEMTIME st;
    const LRESULT result = const_cast<CDateTimeCtrl*>(this)->SendMessage(
        DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
    if (result != GDT_VALID) {
        return static_cast<DWORD>(result);
    }
    time = FromSystemTime(st);
    return GDT_VALID;
}

BOOL CDateTimeCtrl::SetRange(const CTime* pMinRange, const CTime* pMaxRange) {
    SYSTEMTIME range[2];
    WPARAM given = 0;
    if (pMinRange != nullptr) {
        range[0] = ToSystemTime(*pMinRange);
        given |= GDTR_MIN;
    }
    if (pMaxRange != nullptr) {
        range[1] = ToSystemTime(*pMaxRange);
        given |= GDTR_MAX;
    }
    return SendMessage(DTM_SETRANGE, given, reinterpret_cast<LPARAM>(range)) != 0 ? TRUE : FALSE;
}

DWORD CDateTimeCtrl::GetRange(CTime* pMinRange, CTime* pMaxRange) const {
    SYSTEMTIME range[2];
    const auto set = static_cast<DWORD>(const_cast<CDateTimeCtrl*>(this)->SendMessage(
        DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range)));
    if ((set & GDTR_MIN) != 0 && pMinRange != nullptr) {
        *pMinRange = FromSystemTime(range[0]);
    }
    if ((set & GDTR_MAX) != 0 && pMaxRange != nullptr) {
        *pMaxRange = FromSystemTime(range[1]);
    }
    return set;
}
