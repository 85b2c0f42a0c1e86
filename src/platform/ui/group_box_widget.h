#pragma once
// The widget of a group box: a thin frame with its title in the top
// line, and nothing painted inside, so whatever lies under it shows.

#include <QGroupBox>

class GroupBoxWidget : public QGroupBox {
public:
    GroupBoxWidget(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};
