#include "platform/ui/control_factory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "platform/textcodec/gb2312_codec.h"
#include "platform/ui/control_proc.h"
#include "platform/ui/controls.h"
#include "platform/ui/custom_control_widget.h"
#include "platform/ui/edit_text_filter.h"
#include "platform/ui/group_box_widget.h"
#include "platform/ui/list_box_widget.h"
#include "platform/ui/list_view_widget.h"
#include "platform/ui/skin_button_widget.h"
#include "platform/ui/up_down_widget.h"

namespace {

QString ToQ(const std::string& gb2312) {
    return QString::fromStdString(Gb2312ToUtf8(gb2312));
}

QWidget* MakePushButton(const ControlTemplate& control, QWidget* parent) {
    auto* button = new SkinButtonWidget(parent);
    button->setText(ToQ(control.text));
    if (control.flat) {
        button->setFlat(true);
        button->setCursor(Qt::PointingHandCursor);
        button->setStyleSheet(
            "QPushButton { color: #1a4fd0; text-decoration: underline; "
            "border: none; text-align: left; }");
    }
    SetInitialButtonStyle(button, BS_PUSHBUTTON);
    return button;
}

QWidget* MakeEdit(const ControlTemplate& control, QWidget* parent) {
    auto* edit = new QLineEdit(ToQ(control.text), parent);
    edit->setValidator(new EditTextFilter(edit, (control.style & CTL_NUMBER) != 0));
    if ((control.style & CTL_CENTER) != 0) {
        edit->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    }
    if ((control.style & CTL_PASSWORD) != 0) {
        edit->setEchoMode(QLineEdit::Password);
    }
    return edit;
}

QWidget* MakeStatic(const ControlTemplate& control, QWidget* parent) {
    auto* label = new QLabel(ToQ(control.text), parent);
    if ((control.style & CTL_CENTER) != 0) {
        label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    }
    return label;
}

QWidget* MakeIconStatic(const ControlTemplate& control, QWidget* parent) {
    auto* label = new QLabel(parent);
    HICON hIcon = LoadIcon(control.resource);
    if (hIcon != nullptr) {
        label->setPixmap(hIcon->icon.pixmap(32, 32));
        DestroyIcon(hIcon);
    }
    return label;
}

QWidget* MakeDropDownList(const ControlTemplate& control, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(false);
    for (const std::string& item : control.items) {
        combo->addItem(ToQ(item));
    }
    combo->setCurrentIndex(-1);
    return combo;
}

QWidget* MakePicker(bool time, QWidget* parent) {
    auto* picker = new QDateTimeEdit(parent);
    if (time) {
        picker->setDisplayFormat("HH:mm");
    } else {
        picker->setDisplayFormat("yyyy-MM-dd");
        picker->setCalendarPopup(true);
    }
    return picker;
}

template <typename Button>
QWidget* MakeCheckable(const ControlTemplate& control, QWidget* parent, UINT style) {
    auto* button = new Button(ToQ(control.text), parent);
    SetInitialButtonStyle(button, style);
    return button;
}

}  // namespace

MadeControl MakeControl(const ControlTemplate& control, QWidget* parent) {
    MadeControl made;
    switch (control.kind) {
        case ControlKind::PushButton:
            made.widget = MakePushButton(control, parent);
            made.object = std::make_unique<CButton>();
            break;
        case ControlKind::CheckBox:
            made.widget = MakeCheckable<QCheckBox>(control, parent, BS_AUTOCHECKBOX);
            made.object = std::make_unique<CButton>();
            break;
        case ControlKind::RadioButton:
            made.widget = MakeCheckable<QRadioButton>(control, parent, BS_AUTORADIOBUTTON);
            made.object = std::make_unique<CButton>();
            break;
        case ControlKind::GroupBox: {
            auto* group = new GroupBoxWidget(ToQ(control.text), parent);
            SetInitialButtonStyle(group, BS_GROUPBOX);
            made.widget = group;
            made.object = std::make_unique<CStatic>();
            break;
        }
        case ControlKind::Static:
            made.widget = MakeStatic(control, parent);
            made.object = std::make_unique<CStatic>();
            break;
        case ControlKind::IconStatic:
            made.widget = MakeIconStatic(control, parent);
            made.object = std::make_unique<CStatic>();
            break;
        case ControlKind::Custom:
            made.widget = new CustomControlWidget(parent);
            made.object = std::make_unique<CStatic>();
            break;
        case ControlKind::Edit:
            made.widget = MakeEdit(control, parent);
            made.object = std::make_unique<CEdit>();
            break;
        case ControlKind::ListBox:
            made.widget = new ListBoxWidget(parent);
            made.object = std::make_unique<CListBox>();
            break;
        case ControlKind::DropDownList:
            made.widget = MakeDropDownList(control, parent);
            made.object = std::make_unique<CComboBox>();
            break;
        case ControlKind::ListView:
            made.widget = new ListViewWidget(parent);
            made.object = std::make_unique<CListCtrl>();
            break;
        case ControlKind::UpDown:
            made.widget = new UpDownWidget(parent);
            made.object = std::make_unique<CSpinButtonCtrl>();
            break;
        case ControlKind::TimePicker:
        case ControlKind::DatePicker:
            made.widget = MakePicker(control.kind == ControlKind::TimePicker, parent);
            made.object = std::make_unique<CDateTimeCtrl>();
            break;
    }
    return made;
}
