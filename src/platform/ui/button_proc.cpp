// Push buttons, check boxes, radios and group boxes.

#include <QAbstractButton>
#include <QButtonGroup>
#include <QVariant>

#include "platform/ui/control_messages.h"
#include "platform/ui/control_proc.h"
#include "platform/ui/skin_button_widget.h"
#include "platform/ui/wnd.h"

namespace {

constexpr char kStyleProperty[] = "qvButtonStyle";

// A radio alone in its group's exclusive set cannot be unchecked while it
// is the checked one; the program may, as it may uncheck every radio.
void SetChecked(QAbstractButton* button, bool checked) {
    QButtonGroup* group = button->group();
    if (!checked && group != nullptr && group->exclusive() && button->isChecked()) {
        group->setExclusive(false);
        button->setChecked(false);
        group->setExclusive(true);
        return;
    }
    button->setChecked(checked);
}

void ApplyStyle(QWidget* widget, UINT style, bool redraw) {
    widget->setProperty(kStyleProperty, QVariant::fromValue(style));
    auto* push = dynamic_cast<SkinButtonWidget*>(widget);
    if (push == nullptr) {
        return;
    }
    const UINT type = style & BS_TYPEMASK;
    const bool checkType = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX ||
                           type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
    if (!checkType) {
        push->setChecked(false);
    }
    push->setCheckable(checkType);
    push->SetAutoCheck(type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON);
    if (redraw) {
        push->update();
    }
}

}  // namespace

void SetInitialButtonStyle(QWidget* widget, UINT style) {
    ApplyStyle(widget, style, false);
}

LRESULT ButtonProc(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    QWidget* widget = pWnd->GetWidget();
    auto* button = qobject_cast<QAbstractButton*>(widget);
    switch (message) {
        case BM_GETCHECK:
            return button != nullptr && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
        case BM_SETCHECK:
            if (button != nullptr && button->isCheckable()) {
                SetChecked(button, wParam != BST_UNCHECKED);
            }
            return 0;
        case BM_GETSTATE: {
            LRESULT state = button != nullptr && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
            if (button != nullptr && button->isDown()) {
                state |= BST_PUSHED;
            }
            return state;
        }
        case BM_SETSTATE:
            if (button != nullptr) {
                button->setDown(wParam != 0);
            }
            return 0;
        case BM_SETSTYLE:
            ApplyStyle(widget, static_cast<UINT>(wParam), lParam != 0);
            return 0;
        default:
            return 0;
    }
}

UINT GetButtonStyleOf(const QWidget* widget) {
    return widget != nullptr ? widget->property(kStyleProperty).toUInt() : 0;
}
