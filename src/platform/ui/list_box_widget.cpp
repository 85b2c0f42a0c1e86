#include "platform/ui/list_box_widget.h"

#include <QScrollBar>
#include <algorithm>

ListBoxWidget::ListBoxWidget(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setUniformItemSizes(true);
}

void ListBoxWidget::SetHorizontalExtent(int pixels) {
    m_nExtent = std::max(pixels, 0);
    updateGeometries();
}

void ListBoxWidget::updateGeometries() {
    QListWidget::updateGeometries();
    // The bar shows exactly when the extent is wider than the box.
    horizontalScrollBar()->setRange(0, std::max(0, m_nExtent - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
}
