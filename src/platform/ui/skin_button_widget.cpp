#include "platform/ui/skin_button_widget.h"

#include <QPainter>

SkinButtonWidget::SkinButtonWidget(QWidget* parent) : QPushButton(parent) {
    // Enter belongs to the dialog, never to a focused button.
    setAutoDefault(false);
    setDefault(false);
}

void SkinButtonWidget::SetPictures(const QPixmap& up, const QPixmap& down, const QPixmap& focus) {
    m_up = up;
    m_down = down;
    m_focus = focus;
    setFlat(HasPictures());
    update();
}

const QPixmap& SkinButtonWidget::CurrentPicture() const {
    if (isDown() && !m_down.isNull()) {
        return m_down;
    }
    if (hasFocus() && !m_focus.isNull()) {
        return m_focus;
    }
    return m_up;
}

QSize SkinButtonWidget::sizeHint() const {
    return HasPictures() ? m_up.size() : QPushButton::sizeHint();
}

void SkinButtonWidget::nextCheckState() {
    if (m_bAutoCheck) {
        QPushButton::nextCheckState();
    }
}

void SkinButtonWidget::paintEvent(QPaintEvent* event) {
    if (!HasPictures()) {
        QPushButton::paintEvent(event);
        if (isChecked()) {
            // The selected look: a bright frame inside the sunken face.
            QPainter painter(this);
            painter.setPen(QPen(QColor(0xff, 0xd2, 0x4a), 2));
            painter.drawRect(rect().adjusted(2, 2, -2, -2));
        }
        return;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, CurrentPicture());
}
