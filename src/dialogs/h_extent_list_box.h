#pragma once
// A list box whose horizontal scroll range is always the width of its
// widest line, so its scroll bar shows exactly when a line is wider than
// the box. It watches the list box messages its owner sends; the owner
// never deals with widths.

#include "platform/ui/controls.h"

class CHExtentListBox : public CListBox {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The line's width in the list box's font: the tabbed width plus 2 in a
    // list that expands tabs, else the plain width plus 3.
    int GetItemWidth(const char* text);
    // Widens the extent to the line (it never shrinks here).
    void WidenHorizontalExtent(const char* text);
    // The widest line over all lines (0 with none), with the wait cursor.
    void RecalcHorizontalExtent();
};
