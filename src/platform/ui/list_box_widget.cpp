#include "platform/ui/list_box_widget.h"

#include <QScrollBar>
#include <algorithm>

ListBoxWidget::ListBoxWidget(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // until an extent needs it
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setUniformItemSizes(true);
}

void ListBoxWidget::SetHorizontalExtent(int pixels) {
    m_nExtent = std::max(pixels, 0);
    updateGeometries();
}

void ListBoxWidget::updateGeometries() {
    QListWidget::updateGeometries();
    // The bar shows exactly when the extent is wider than the box. Shown by
    // its policy, not by its range: the list view sets that range from the
    // lines first, and a bar that came and went with it would resize the
    // box and bring us back here without end. A changed policy lays the
    // box out again once more, and the choice then stands.
    const Qt::ScrollBarPolicy policy =
        m_nExtent > viewport()->width() ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (horizontalScrollBarPolicy() != policy) {
        setHorizontalScrollBarPolicy(policy);
    }
    horizontalScrollBar()->setRange(0, std::max(0, m_nExtent - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
}
