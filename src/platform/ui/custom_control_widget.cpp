#include "platform/ui/custom_control_widget.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/ui/window_registry.h"
#include "platform/ui/wnd_event_bridge.h"

CustomControlWidget::CustomControlWidget(QWidget* parent) : QWidget(parent) {}

namespace {

void SendMouse(QWidget* widget, UINT message, QMouseEvent* event) {
    CWnd* owner = WndFromWidget(widget);
    if (owner == nullptr) {
        return;
    }
    UINT flags = 0;
    flags |= (event->buttons() & Qt::LeftButton) ? MK_LBUTTON : 0;
    flags |= (event->buttons() & Qt::RightButton) ? MK_RBUTTON : 0;
    const QPoint p = event->position().toPoint();
    owner->WindowProc(message, flags, MAKELPARAM(p.x(), p.y()));
}

}  // namespace

void CustomControlWidget::paintEvent(QPaintEvent* /*event*/) {
    CWnd* owner = WndFromWidget(this);
    if (owner == nullptr) {
        return;
    }
    QPainter painter(this);
    WndEventBridge::Paint(owner, painter);
}

void CustomControlWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        SendMouse(this, WM_LBUTTONDOWN, event);
    } else if (event->button() == Qt::RightButton) {
        SendMouse(this, WM_RBUTTONDOWN, event);
    }
}

void CustomControlWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        SendMouse(this, WM_LBUTTONUP, event);
    } else if (event->button() == Qt::RightButton) {
        SendMouse(this, WM_RBUTTONUP, event);
    }
}

void CustomControlWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        SendMouse(this, WM_LBUTTONDBLCLK, event);
    }
}
