// What a control tells its dialog about the user's doing. Only the user's
// actions count: the program's own changes go through messages that make
// the widgets emit nothing these connections listen to.

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>

#include "platform/ui/list_box_widget.h"
#include "platform/ui/list_view_widget.h"
#include "platform/ui/up_down_widget.h"
#include "platform/ui/wnd.h"

void CWnd::WireControl(QWidget* widget, HWND hControl, int id) {
    const LPARAM from = reinterpret_cast<LPARAM>(hControl);
    auto command = [this, id, from](UINT code) {
        WindowProc(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), code), from);
    };
    auto header = [hControl, id](int code) {
        NMHDR h;
        h.hwndFrom = hControl;
        h.idFrom = static_cast<UINT_PTR>(id);
        h.code = code;
        return h;
    };
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        // A click is sent at once, with the button's window in lParam.
        QObject::connect(button, &QAbstractButton::clicked, [command] { command(BN_CLICKED); });
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        QObject::connect(edit, &QLineEdit::textEdited, [command] { command(EN_CHANGE); });
    } else if (auto* list = dynamic_cast<ListBoxWidget*>(widget)) {
        // The selection, not the current row: a click moves the current row
        // before it selects, and a current row need not be selected.
        QObject::connect(list, &QListWidget::itemSelectionChanged,
                         [command] { command(LBN_SELCHANGE); });
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QObject::connect(combo, &QComboBox::activated, [command] { command(CBN_SELCHANGE); });
    } else if (auto* spin = dynamic_cast<UpDownWidget*>(widget)) {
        spin->onDeltaPos = [this, header](int pos, int delta) {
            NMUPDOWN nm;
            nm.hdr = header(UDN_DELTAPOS);
            nm.iPos = pos;
            nm.iDelta = delta;
            return WindowProc(WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
        };
    } else if (auto* view = dynamic_cast<ListViewWidget*>(widget)) {
        view->onClick = [this, header](int row, int column, QPoint pos) {
            NMITEMACTIVATE nm;
            nm.hdr = header(NM_CLICK);
            nm.iItem = row;
            nm.iSubItem = column;
            nm.ptAction = POINT{pos.x(), pos.y()};
            WindowProc(WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
        };
        view->onKeyDown = [this, header](unsigned key) {
            NMLVKEYDOWN nm;
            nm.hdr = header(LVN_KEYDOWN);
            nm.wVKey = static_cast<uint16_t>(key);
            WindowProc(WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
        };
    }
}
