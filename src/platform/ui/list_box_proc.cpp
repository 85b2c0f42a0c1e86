// List boxes. Changes the program makes are not the user's: they send no
// LBN_SELCHANGE.

#include <QDir>
#include <QSignalBlocker>

#include "platform/textcodec/gb2312_codec.h"
#include "platform/ui/control_messages.h"
#include "platform/ui/control_proc.h"
#include "platform/ui/list_box_widget.h"
#include "platform/ui/wnd.h"

namespace {

constexpr int kItemDataRole = Qt::UserRole;

QString Line(LPARAM lParam) {
    const char* text = reinterpret_cast<const char*>(lParam);
    return QString::fromStdString(Gb2312ToUtf8(text != nullptr ? text : ""));
}

std::string LineText(const ListBoxWidget& list, int index) {
    return Utf8ToGb2312(list.item(index)->text().toStdString());
}

int SelectedRow(const ListBoxWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? static_cast<int>(LB_ERR) : list.row(selected.front());
}

LRESULT AddFiles(ListBoxWidget& list, LPARAM lParam) {
    const char* pattern = reinterpret_cast<const char*>(lParam);
    if (pattern == nullptr) {
        return LB_ERR;
    }
    const QStringList names =
        QDir::current().entryList({Line(lParam)}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    LRESULT last = LB_ERR;
    for (const QString& name : names) {
        list.addItem(name);
        last = list.count() - 1;
    }
    return last;
}

}  // namespace

LRESULT ListBoxProc(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* list = dynamic_cast<ListBoxWidget*>(pWnd->GetWidget());
    if (list == nullptr) {
        return LB_ERR;
    }
    const QSignalBlocker quiet(list);
    const int index = static_cast<int>(static_cast<intptr_t>(wParam));
    const bool inRange = index >= 0 && index < list->count();
    switch (message) {
        case LB_ADDSTRING:
            list->addItem(Line(lParam));
            return list->count() - 1;
        case LB_INSERTSTRING:
            if (index == -1) {
                list->addItem(Line(lParam));
                return list->count() - 1;
            }
            if (index < 0 || index > list->count()) {
                return LB_ERR;
            }
            list->insertItem(index, Line(lParam));
            return index;
        case LB_DELETESTRING:
            if (!inRange) {
                return LB_ERR;
            }
            delete list->takeItem(index);
            return list->count();
        case LB_RESETCONTENT:
            list->clear();
            return 0;
        case LB_SETCURSEL:
            if (!inRange) {
                list->clearSelection();
                return LB_ERR;  // also for -1, which clears it
            }
            list->setCurrentRow(index);
            return index;
        case LB_GETCURSEL:
            return SelectedRow(*list);
        case LB_GETTEXT:
            if (!inRange) {
                return LB_ERR;
            }
            {
                const std::string text = LineText(*list, index);
                return CopyTextOut(text, reinterpret_cast<char*>(lParam), text.size() + 1);
            }
        case LB_GETTEXTLEN:
            return inRange ? static_cast<LRESULT>(LineText(*list, index).size()) : LB_ERR;
        case LB_GETCOUNT:
            return list->count();
        case LB_SETITEMDATA:
            if (!inRange) {
                return LB_ERR;
            }
            list->item(index)->setData(kItemDataRole, QVariant::fromValue<qlonglong>(lParam));
            return 0;
        case LB_GETITEMDATA:
            return inRange
                       ? static_cast<LRESULT>(list->item(index)->data(kItemDataRole).toLongLong())
                       : LB_ERR;
        case LB_DIR:
            return AddFiles(*list, lParam);
        case LB_GETHORIZONTALEXTENT:
            return list->HorizontalExtent();
        case LB_SETHORIZONTALEXTENT:
            list->SetHorizontalExtent(index);
            return 0;
        default:
            return 0;
    }
}
