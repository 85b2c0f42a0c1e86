#include "platform/ui/up_down_widget.h"

#include <QKeyEvent>
#include <QToolButton>
#include <algorithm>

UpDownWidget::UpDownWidget(QWidget* parent)
    : QWidget(parent), m_pUp(new QToolButton(this)), m_pDown(new QToolButton(this)) {
    m_pUp->setArrowType(Qt::UpArrow);
    m_pDown->setArrowType(Qt::DownArrow);
    for (QToolButton* arrow : {m_pUp, m_pDown}) {
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
    }
    setFocusPolicy(Qt::StrongFocus);
    connect(m_pUp, &QToolButton::clicked, this, [this] { Step(true); });
    connect(m_pDown, &QToolButton::clicked, this, [this] { Step(false); });
}

void UpDownWidget::SetRange(int lower, int upper) {
    m_nLower = lower;
    m_nUpper = upper;
    SetPos(m_nPos);
}

void UpDownWidget::SetPos(int pos) {
    m_nPos = std::clamp(pos, std::min(m_nLower, m_nUpper), std::max(m_nLower, m_nUpper));
}

void UpDownWidget::Step(bool up) {
    // The up arrow moves towards upper, whichever way the range runs.
    const int towardsUpper = m_nUpper >= m_nLower ? 1 : -1;
    const int delta = up ? towardsUpper : -towardsUpper;
    if (onDeltaPos && onDeltaPos(m_nPos, delta) != 0) {
        return;
    }
    SetPos(m_nPos + delta);
}

void UpDownWidget::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        Step(event->key() == Qt::Key_Up);
        return;
    }
    QWidget::keyPressEvent(event);
}

void UpDownWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    m_pUp->setGeometry(0, 0, width(), half);
    m_pDown->setGeometry(0, half, width(), height() - half);
}
