#pragma once
// The day bar of the motion setup dialog (template 136): eight cells side
// by side, "Allday" then Monday to Sunday, the chosen one filled red. A
// click on a cell that is not the chosen one chooses it and posts
// WM_DAY_SELECTED to the owner (wParam the bar, lParam the cell 0..7).
// The bar starts at "Allday" and is never set from outside.

#include "platform/ui/dialog.h"
#include "platform/ui/gdi.h"

constexpr int DAY_CELLS = 8;

// The name of day cell i (0 "Allday", 1 "Mon." .. 7 "Sun."); empty outside.
const char* DayCellName(int i);

class CDaySelectorBar : public CDialog {
public:
    explicit CDaySelectorBar(CWnd* pOwner);

    // The modeless bar as a child of the owner, which receives its posts.
    virtual BOOL Create(CWnd* pOwner);

    int GetSelected() const { return m_nSelected; }

    // The cell drawn at x on a client width pixels wide: every cell is
    // width / 8 wide and the last takes the rest. -1 when the bar is
    // narrower than 8 pixels or x lies outside it.
    static int CellAt(int x, int width);

protected:
    BOOL OnInitDialog() override;
    void OnPaint(CDC& dc) override;
    void OnLButtonDown(UINT nFlags, POINT point) override;

private:
    int m_nSelected = 0;
    CWnd* m_pOwner;
    CBrush m_brBack;
    CBrush m_brFrame;
    CBrush m_brSelected;
};
