#include "platform/ui/group_box_widget.h"

#include <QPainter>

void GroupBoxWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int textHeight = metrics.height();
    const int lineY = textHeight / 2;
    const QRect frame = rect().adjusted(0, lineY, -1, -1);
    const int titleLeft = 8;
    const int titleWidth = title().isEmpty() ? 0 : metrics.horizontalAdvance(title()) + 6;

    // A light line over a dark one, as an etched frame, open where the title sits.
    const QColor light(255, 255, 255, 150);
    const QColor dark(0, 0, 0, 110);
    for (int pass = 0; pass < 2; ++pass) {
        painter.setPen(pass == 0 ? dark : light);
        const QRect r = frame.adjusted(pass, pass, pass - 1, pass - 1);
        painter.drawLine(r.left(), r.top(), r.left(), r.bottom());
        painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
        painter.drawLine(r.left(), r.top(), titleLeft - 2, r.top());
        painter.drawLine(titleLeft + titleWidth, r.top(), r.right(), r.top());
    }
    if (titleWidth > 0) {
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                       QPalette::WindowText));
        painter.drawText(QRect(titleLeft + 1, 0, titleWidth, textHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, title());
    }
}
