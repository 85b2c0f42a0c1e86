// Drop-down lists. The program's changes send no CBN_SELCHANGE: only a
// choice the user makes does.

#include <QComboBox>

#include "platform/textcodec/gb2312_codec.h"
#include "platform/ui/control_messages.h"
#include "platform/ui/control_proc.h"
#include "platform/ui/wnd.h"

namespace {

QString Item(LPARAM lParam) {
    const char* text = reinterpret_cast<const char*>(lParam);
    return QString::fromStdString(Gb2312ToUtf8(text != nullptr ? text : ""));
}

// Adding an item chooses none: a list without a choice keeps none (Qt would
// choose the first item added).
int AddKeepingChoice(QComboBox& combo, int index, const QString& text) {
    const bool none = combo.currentIndex() < 0;
    combo.insertItem(index, text);
    if (none) {
        combo.setCurrentIndex(-1);
    }
    return index;
}

std::string ItemText(const QComboBox& combo, int index) {
    return Utf8ToGb2312(combo.itemText(index).toStdString());
}

}  // namespace

LRESULT ComboBoxProc(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* combo = qobject_cast<QComboBox*>(pWnd->GetWidget());
    if (combo == nullptr) {
        return CB_ERR;
    }
    const int index = static_cast<int>(static_cast<intptr_t>(wParam));
    const bool inRange = index >= 0 && index < combo->count();
    switch (message) {
        case CB_ADDSTRING:
            return AddKeepingChoice(*combo, combo->count(), Item(lParam));
        case CB_INSERTSTRING:
            if (index == -1) {
                return AddKeepingChoice(*combo, combo->count(), Item(lParam));
            }
            if (index < 0 || index > combo->count()) {
                return CB_ERR;
            }
            return AddKeepingChoice(*combo, index, Item(lParam));
        case CB_DELETESTRING:
            if (!inRange) {
                return CB_ERR;
            }
            combo->removeItem(index);
            return combo->count();
        case CB_RESETCONTENT:
            combo->clear();
            return 0;
        case CB_GETCOUNT:
            return combo->count();
        case CB_GETCURSEL:
            return combo->currentIndex();
        case CB_SETCURSEL:
            combo->setCurrentIndex(inRange ? index : -1);
            return inRange ? index : CB_ERR;
        case CB_GETLBTEXT:
            if (!inRange) {
                return CB_ERR;
            }
            {
                const std::string text = ItemText(*combo, index);
                return CopyTextOut(text, reinterpret_cast<char*>(lParam), text.size() + 1);
            }
        case CB_GETLBTEXTLEN:
            return inRange ? static_cast<LRESULT>(ItemText(*combo, index).size()) : CB_ERR;
        case CB_FINDSTRINGEXACT: {
            const QString wanted = Item(lParam);
            for (int i = index < 0 ? 0 : index + 1; i < combo->count(); ++i) {
                if (combo->itemText(i).compare(wanted, Qt::CaseInsensitive) == 0) {
                    return i;
                }
            }
            return CB_ERR;
        }
        default:
            return 0;
    }
}
