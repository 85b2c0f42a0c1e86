#include "platform/ui/list_view_widget.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "platform/ui/control_messages.h"

ListViewWidget::ListViewWidget(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setColumnCount(0);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
}

void ListViewWidget::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !onClick) {
        return;
    }
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    onClick(index.isValid() ? index.row() : -1, index.isValid() ? index.column() : 0, pos);
}

void ListViewWidget::keyPressEvent(QKeyEvent* event) {
    const unsigned key = VirtualKeyOf(event->key());
    if (key != 0 && onKeyDown) {
        onKeyDown(key);
    }
    QTreeWidget::keyPressEvent(event);
}

unsigned VirtualKeyOf(int qtKey) {
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)) {
        return static_cast<unsigned>(qtKey);  // the same codes as ASCII
    }
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return VK_RETURN;
        case Qt::Key_Space:
            return VK_SPACE;
        case Qt::Key_PageUp:
            return VK_PRIOR;
        case Qt::Key_PageDown:
            return VK_NEXT;
        case Qt::Key_End:
            return VK_END;
        case Qt::Key_Home:
            return VK_HOME;
        case Qt::Key_Left:
            return VK_LEFT;
        case Qt::Key_Up:
            return VK_UP;
        case Qt::Key_Right:
            return VK_RIGHT;
        case Qt::Key_Down:
            return VK_DOWN;
        case Qt::Key_Insert:
            return VK_INSERT;
        case Qt::Key_Delete:
            return VK_DELETE;
        default:
            return 0;
    }
}
