#pragma once
// The widget of a list view: rows of text in columns under a header, one
// row selected at a time across its whole width. It reports a click
// (NM_CLICK, after the selection moved) and every key the list knows
// (LVN_KEYDOWN, before the list acts on it) through its callbacks.

#include <QTreeWidget>
#include <functional>

class ListViewWidget : public QTreeWidget {
public:
    explicit ListViewWidget(QWidget* parent);

    std::function<void(int row, int column, QPoint pos)> onClick;
    std::function<void(unsigned virtualKey)> onKeyDown;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The virtual key of a Qt key; 0 for a key without one.
unsigned VirtualKeyOf(int qtKey);
