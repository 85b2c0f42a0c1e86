// CListCtrl: the rows and columns of a list view widget.

#include <QHeaderView>
#include <QVariant>
#include <algorithm>

#include "platform/textcodec/gb2312_codec.h"
#include "platform/ui/controls.h"
#include "platform/ui/list_view_widget.h"

namespace {

constexpr char kExtendedStyle[] = "qvListExStyle";
constexpr char kBkColor[] = "qvListBkColor";
constexpr char kTextColor[] = "qvListTextColor";
constexpr char kTextBkColor[] = "qvListTextBkColor";

ListViewWidget* ListOf(const CWnd* pWnd) {
    return dynamic_cast<ListViewWidget*>(pWnd->GetWidget());
}

QString ToQ(const char* text) {
    return QString::fromStdString(Gb2312ToUtf8(text != nullptr ? text : ""));
}

COLORREF ColorProperty(const QWidget* widget, const char* name, COLORREF fallback) {
    const QVariant v = widget != nullptr ? widget->property(name) : QVariant();
    return v.isValid() ? v.toUInt() : fallback;
}

void PaintRow(ListViewWidget& list, QTreeWidgetItem* item) {
    const QVariant textBk = list.property(kTextBkColor);
    if (!textBk.isValid()) {
        return;
    }
    for (int c = 0; c < list.columnCount(); ++c) {
        item->setBackground(c, ToQColor(textBk.toUInt()));
    }
}

bool SetPaletteColor(CWnd* pWnd, QPalette::ColorRole role, const char* name, COLORREF color) {
    ListViewWidget* list = ListOf(pWnd);
    if (list == nullptr) {
        return false;
    }
    list->setProperty(name, QVariant::fromValue(color));
    QPalette palette = list->palette();
    palette.setColor(role, ToQColor(color));
    list->setPalette(palette);
    return true;
}

}  // namespace

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle) {
    ListViewWidget* list = ListOf(this);
    if (list == nullptr) {
        return 0;
    }
    const DWORD old = GetExtendedStyle();
    // Rows are selected across their whole width in any case.
    list->setProperty(kExtendedStyle, QVariant::fromValue(dwNewStyle));
    return old;
}

DWORD CListCtrl::GetExtendedStyle() const {
    ListViewWidget* list = ListOf(this);
    return list != nullptr ? list->property(kExtendedStyle).toUInt() : 0;
}

BOOL CListCtrl::SetBkColor(COLORREF color) {
    return SetPaletteColor(this, QPalette::Base, kBkColor, color) ? TRUE : FALSE;
}

BOOL CListCtrl::SetTextColor(COLORREF color) {
    return SetPaletteColor(this, QPalette::Text, kTextColor, color) ? TRUE : FALSE;
}

BOOL CListCtrl::SetTextBkColor(COLORREF color) {
    ListViewWidget* list = ListOf(this);
    if (list == nullptr) {
        return FALSE;
    }
    list->setProperty(kTextBkColor, QVariant::fromValue(color));
    for (int r = 0; r < list->topLevelItemCount(); ++r) {
        PaintRow(*list, list->topLevelItem(r));
    }
    return TRUE;
}

COLORREF CListCtrl::GetBkColor() const {
    return ColorProperty(GetWidget(), kBkColor, RGB(255, 255, 255));
}

COLORREF CListCtrl::GetTextColor() const {
    return ColorProperty(GetWidget(), kTextColor, RGB(0, 0, 0));
}

COLORREF CListCtrl::GetTextBkColor() const {
    return ColorProperty(GetWidget(), kTextBkColor, RGB(255, 255, 255));
}

int CListCtrl::InsertColumn(int nCol, const char* heading, int nFormat, int nWidth) {
    ListViewWidget* list = ListOf(this);
    if (list == nullptr || nCol < 0) {
        return -1;
    }
    const int col = std::min(nCol, list->columnCount());
    QTreeWidgetItem* header = list->headerItem();
    QStringList headings;
    for (int c = 0; c < list->columnCount(); ++c) {
        headings << header->text(c);
    }
    headings.insert(col, ToQ(heading));
    list->setColumnCount(static_cast<int>(headings.size()));
    list->setHeaderLabels(headings);
    const Qt::Alignment align = nFormat == LVCFMT_RIGHT    ? Qt::AlignRight
                                : nFormat == LVCFMT_CENTER ? Qt::AlignHCenter
                                                           : Qt::AlignLeft;
    header->setTextAlignment(col, align | Qt::AlignVCenter);
    const int width =
        nWidth >= 0 ? nWidth : list->fontMetrics().horizontalAdvance(ToQ(heading)) + 12;
    list->header()->resizeSection(col, width);
    return col;
}

int CListCtrl::GetColumnWidth(int nCol) const {
    ListViewWidget* list = ListOf(this);
    return list != nullptr && nCol >= 0 && nCol < list->columnCount()
               ? list->header()->sectionSize(nCol)
               : 0;
}

int CListCtrl::InsertItem(int nItem, const char* text) {
    ListViewWidget* list = ListOf(this);
    if (list == nullptr || nItem < 0) {
        return -1;
    }
    const int row = std::min(nItem, list->topLevelItemCount());
    auto* item = new QTreeWidgetItem;
    item->setText(0, ToQ(text));
    list->insertTopLevelItem(row, item);
    PaintRow(*list, item);
    return row;
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, const char* text) {
    ListViewWidget* list = ListOf(this);
    if (list == nullptr || nItem < 0 || nItem >= list->topLevelItemCount() || nSubItem < 0 ||
        nSubItem >= std::max(list->columnCount(), 1)) {
        return FALSE;
    }
    list->topLevelItem(nItem)->setText(nSubItem, ToQ(text));
    return TRUE;
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const {
    ListViewWidget* list = ListOf(this);
    if (list == nullptr || nItem < 0 || nItem >= list->topLevelItemCount()) {
        return CString();
    }
    return CString(Utf8ToGb2312(list->topLevelItem(nItem)->text(nSubItem).toStdString()));
}

BOOL CListCtrl::DeleteItem(int nItem) {
    ListViewWidget* list = ListOf(this);
    if (list == nullptr || nItem < 0 || nItem >= list->topLevelItemCount()) {
        return FALSE;
    }
    delete list->takeTopLevelItem(nItem);
    return TRUE;
}

BOOL CListCtrl::DeleteAllItems() {
    ListViewWidget* list = ListOf(this);
    if (list == nullptr) {
        return FALSE;
    }
    list->clear();
    return TRUE;
}

int CListCtrl::GetItemCount() const {
    ListViewWidget* list = ListOf(this);
    return list != nullptr ? list->topLevelItemCount() : 0;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
    ListViewWidget* list = ListOf(this);
    if (list == nullptr || nItem < 0 || nItem >= list->topLevelItemCount()) {
        return FALSE;
    }
    QTreeWidgetItem* item = list->topLevelItem(nItem);
    if ((nMask & LVIS_SELECTED) != 0) {
        item->setSelected((nState & LVIS_SELECTED) != 0);
    }
    if ((nMask & LVIS_FOCUSED) != 0 && (nState & LVIS_FOCUSED) != 0) {
        list->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
    }
    return TRUE;
}

UINT CListCtrl::GetSelectedCount() const {
    ListViewWidget* list = ListOf(this);
    return list != nullptr ? static_cast<UINT>(list->selectedItems().size()) : 0;
}

POSITION CListCtrl::GetFirstSelectedItemPosition() const {
    ListViewWidget* list = ListOf(this);
    if (list == nullptr) {
        return 0;
    }
    for (int r = 0; r < list->topLevelItemCount(); ++r) {
        if (list->topLevelItem(r)->isSelected()) {
            return r + 1;
        }
    }
    return 0;
}

int CListCtrl::GetNextSelectedItem(POSITION& pos) const {
    const int row = static_cast<int>(pos) - 1;
    ListViewWidget* list = ListOf(this);
    pos = 0;
    if (list == nullptr || row < 0) {
        return -1;
    }
    for (int r = row + 1; r < list->topLevelItemCount(); ++r) {
        if (list->topLevelItem(r)->isSelected()) {
            pos = r + 1;
            break;
        }
    }
    return row;
}
