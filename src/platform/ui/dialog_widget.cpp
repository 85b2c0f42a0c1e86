#include "platform/ui/dialog_widget.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/ui/skin_button_widget.h"
#include "platform/ui/wnd_event_bridge.h"

DialogWidget::DialogWidget(CWnd* owner, QWidget* parent, bool child, bool frameless, bool closeBox)
    : QDialog(parent), m_owner(owner) {
    if (child) {
        setWindowFlags(Qt::Widget);
    } else if (frameless) {
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    } else if (!closeBox) {
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    }
    setSizeGripEnabled(false);
}

void DialogWidget::EndWith(int result) {
    m_bEnding = true;
    setResult(result);
    hide();
    m_bEnding = false;
}

void DialogWidget::Send(unsigned message, uintptr_t wParam, intptr_t lParam) {
    if (m_owner != nullptr) {
        m_owner->WindowProc(message, wParam, lParam);
    }
}

void DialogWidget::reject() {
    Send(WM_COMMAND, IDCANCEL, 0);
}

void DialogWidget::accept() {
    Send(WM_COMMAND, IDOK, 0);
}

void DialogWidget::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (auto* button = dynamic_cast<SkinButtonWidget*>(focusWidget());
                button != nullptr && !button->HasPictures() && button->isEnabled()) {
                button->click();  // Enter presses the push button that has the focus
                return;
            }
            Send(WM_COMMAND, IDOK, 0);
            return;
        case Qt::Key_Escape:
            Send(WM_COMMAND, IDCANCEL, 0);
            return;
        case Qt::Key_Space:
            if ((event->modifiers() & Qt::AltModifier) && m_owner != nullptr &&
                WndEventBridge::HasSystemMenu(m_owner)) {
                WndEventBridge::TrackSystemMenu(m_owner, 0, 0);
                return;
            }
            break;
        default:
            break;
    }
    QWidget::keyPressEvent(event);
}

void DialogWidget::closeEvent(QCloseEvent* event) {
    if (m_bEnding || m_owner == nullptr) {
        event->accept();
        return;
    }
    event->ignore();
    Send(WM_SYSCOMMAND, SC_CLOSE, 0);
}

void DialogWidget::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (m_owner == nullptr) {
        return;
    }
    QPainter painter(this);
    WndEventBridge::Paint(m_owner, painter);
}

namespace {
LPARAM PointParam(CWnd* owner, const QPointF& pos) {
    int border = owner != nullptr ? WndEventBridge::Border(owner) : 0;
    return MAKELPARAM(static_cast<int>(pos.x()) - border, static_cast<int>(pos.y()) - border);
}
}  // namespace

void DialogWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        Send(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(m_owner, event->position()));
    } else if (event->button() == Qt::RightButton) {
        Send(WM_RBUTTONDOWN, MK_RBUTTON, PointParam(m_owner, event->position()));
    }
}

void DialogWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        Send(WM_LBUTTONDBLCLK, MK_LBUTTON, PointParam(m_owner, event->position()));
    }
}

void DialogWidget::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    QPoint client = isWindow() ? geometry().topLeft() : pos();
    Send(WM_MOVE, 0, MAKELPARAM(client.x(), client.y()));
}

void DialogWidget::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    UINT kind = isMinimized() ? SIZE_MINIMIZED : isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED;
    Send(WM_SIZE, kind, MAKELPARAM(width(), height()));
}

void DialogWidget::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Send(WM_SHOWWINDOW, TRUE, 0);
}

void DialogWidget::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    Send(WM_SHOWWINDOW, FALSE, 0);
}

void DialogWidget::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        Send(WM_SIZE, SIZE_MINIMIZED, 0);
    }
}
