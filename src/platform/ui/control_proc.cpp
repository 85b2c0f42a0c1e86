#include "platform/ui/control_proc.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <algorithm>
#include <cstring>

#include "platform/ui/control_messages.h"
#include "platform/ui/custom_control_widget.h"
#include "platform/ui/list_box_widget.h"
#include "platform/ui/up_down_widget.h"
#include "platform/ui/wnd.h"

LRESULT CopyTextOut(const std::string& text, char* buffer, size_t bufferSize) {
    if (buffer == nullptr || bufferSize == 0) {
        return 0;
    }
    const size_t n = std::min(text.size(), bufferSize - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

namespace {

bool IsMouseButtonMessage(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_LBUTTONDBLCLK ||
           message == WM_RBUTTONDOWN || message == WM_RBUTTONUP;
}

// A custom control leaves the clicks it does not take to its dialog, in
// the dialog's coordinates, as a static does.
LRESULT PassClickToParent(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* parent = pWnd->GetParent();
    if (parent == nullptr) {
        return 0;
    }
    RECT place;
    pWnd->GetWindowRect(&place);
    parent->ScreenToClient(&place);
    return parent->WindowProc(
        message, wParam,
        MAKELPARAM(GET_X_LPARAM(lParam) + place.left, GET_Y_LPARAM(lParam) + place.top));
}

}  // namespace

LRESULT ControlDefWindowProc(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT:
            pWnd->SetWindowText(reinterpret_cast<const char*>(lParam));
            return TRUE;
        case WM_GETTEXT:
            return CopyTextOut(pWnd->GetWindowText(), reinterpret_cast<char*>(lParam), wParam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(pWnd->GetWindowText().size());
        default:
            break;
    }
    QWidget* widget = pWnd->GetWidget();
    if (qobject_cast<QAbstractButton*>(widget) != nullptr ||
        qobject_cast<QGroupBox*>(widget) != nullptr) {
        return ButtonProc(pWnd, message, wParam, lParam);
    }
    if (qobject_cast<QLineEdit*>(widget) != nullptr) {
        return EditProc(pWnd, message, wParam, lParam);
    }
    if (dynamic_cast<ListBoxWidget*>(widget) != nullptr) {
        return ListBoxProc(pWnd, message, wParam, lParam);
    }
    if (qobject_cast<QComboBox*>(widget) != nullptr) {
        return ComboBoxProc(pWnd, message, wParam, lParam);
    }
    if (qobject_cast<QDateTimeEdit*>(widget) != nullptr) {
        return PickerProc(pWnd, message, wParam, lParam);
    }
    if (dynamic_cast<UpDownWidget*>(widget) != nullptr) {
        return UpDownProc(pWnd, message, wParam, lParam);
    }
    if (dynamic_cast<CustomControlWidget*>(widget) != nullptr && IsMouseButtonMessage(message)) {
        return PassClickToParent(pWnd, message, wParam, lParam);
    }
    return 0;
}
