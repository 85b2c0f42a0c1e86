#pragma once
// The widget of a custom-drawn control: its window object paints it
// (OnPaint) and gets its mouse buttons as window messages.

#include <QWidget>

class CustomControlWidget : public QWidget {
public:
    explicit CustomControlWidget(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
