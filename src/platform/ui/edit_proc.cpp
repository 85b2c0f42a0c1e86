// Edits.

#include <QLineEdit>

#include "platform/ui/control_messages.h"
#include "platform/ui/control_proc.h"
#include "platform/ui/edit_text_filter.h"
#include "platform/ui/wnd.h"

LRESULT EditProc(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    auto* edit = qobject_cast<QLineEdit*>(pWnd->GetWidget());
    auto* filter = edit != nullptr
                       ? dynamic_cast<EditTextFilter*>(const_cast<QValidator*>(edit->validator()))
                       : nullptr;
    switch (message) {
        case EM_LIMITTEXT:
            if (filter != nullptr) {
                filter->SetLimitBytes(static_cast<int>(wParam));
            }
            return 0;
        case EM_GETLIMITTEXT:
            return filter != nullptr ? filter->GetLimitBytes() : 0;
        default:
            return 0;
    }
}
