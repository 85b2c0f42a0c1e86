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
