#pragma once
// The widget of a list box: one column of text lines with a horizontal
// scroll range the program sets (LB_SETHORIZONTALEXTENT) rather than one
// measured from the lines.

#include <QListWidget>

class ListBoxWidget : public QListWidget {
public:
    explicit ListBoxWidget(QWidget* parent);

    void SetHorizontalExtent(int pixels);
    int HorizontalExtent() const { return m_nExtent; }

protected:
    void updateGeometries() override;

private:
    int m_nExtent = 0;
};
