// Up-down (spin) controls.

#include "platform/ui/control_messages.h"
#include "platform/ui/control_proc.h"
#include "platform/ui/up_down_widget.h"
#include "platform/ui/wnd.h"

LRESULT UpDownProc(CWnd* pWnd, UINT message, WPARAM /*wParam*/, LPARAM lParam) {
    auto* spin = dynamic_cast<UpDownWidget*>(pWnd->GetWidget());
    if (spin == nullptr) {
        return 0;
    }
    switch (message) {
        case UDM_SETRANGE:
            spin->SetRange(static_cast<int16_t>(HIWORD(lParam)),
                           static_cast<int16_t>(LOWORD(lParam)));
            return 0;
        case UDM_GETRANGE:
            return MAKELPARAM(spin->Upper(), spin->Lower());
        case UDM_SETPOS: {
            const int old = spin->Pos();
            spin->SetPos(static_cast<int>(lParam));
            return old;
        }
        case UDM_GETPOS:
            return spin->Pos();
        default:
            return 0;
    }
}
