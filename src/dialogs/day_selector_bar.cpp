#include "dialogs/day_selector_bar.h"

#include <algorithm>

#include "platform/threads/thread_messages.h"
#include "res/motion_setup_ids.h"

namespace {

constexpr const char* kDayNames[DAY_CELLS] = {"Allday", "Mon.", "Tues.", "Wed.",
                                              "Thurs.", "Fri.", "Sat.",  "Sun."};
constexpr COLORREF kBack = RGB(0, 0, 0);
constexpr COLORREF kFrame = RGB(0, 250, 0);
constexpr COLORREF kSelected = RGB(250, 0, 0);
constexpr COLORREF kText = RGB(250, 250, 0);

}  // namespace

const char* DayCellName(int i) {
    return i >= 0 && i < DAY_CELLS ? kDayNames[i] : "";
}

CDaySelectorBar::CDaySelectorBar(CWnd* pOwner)
    : CDialog(IDD_DAY_SELECTOR_BAR, pOwner), m_pOwner(pOwner) {}

BOOL CDaySelectorBar::Create(CWnd* pOwner) {
    m_pOwner = pOwner;
    return CDialog::Create(IDD_DAY_SELECTOR_BAR, pOwner);
}

BOOL CDaySelectorBar::OnInitDialog() {
    CDialog::OnInitDialog();
    m_brBack.CreateSolidBrush(kBack);
    m_brFrame.CreateSolidBrush(kFrame);
    m_brSelected.CreateSolidBrush(kSelected);
    return TRUE;
}

int CDaySelectorBar::CellAt(int x, int width) {
    const int cell = width / DAY_CELLS;
    if (cell <= 0 || x < 0 || x >= width) {
        return -1;
    }
    return std::min(x / cell, DAY_CELLS - 1);
}

void CDaySelectorBar::OnPaint(CDC& dc) {
    RECT client;
    GetClientRect(&client);
    dc.FillRect(client, &m_brBack);
    const int w = (client.right - client.left) / DAY_CELLS;
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(kText);
    for (int i = 0; i < DAY_CELLS; ++i) {
        RECT cell{client.left + i * w, client.top, client.left + (i + 1) * w, client.bottom};
        if (i == DAY_CELLS - 1) {
            cell.right = client.right;
        }
        if (i == m_nSelected) {
            dc.FillRect(cell, &m_brSelected);
        }
        dc.FrameRect(cell, &m_brFrame);
        dc.DrawText(kDayNames[i], cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

void CDaySelectorBar::OnLButtonDown(UINT nFlags, POINT point) {
    RECT client;
    GetClientRect(&client);
    const int cell = CellAt(point.x, client.right - client.left);
    if (cell >= 0 && cell != m_nSelected) {
        m_nSelected = cell;
        if (m_pOwner != nullptr) {
            m_pOwner->PostMessage(WM_DAY_SELECTED, reinterpret_cast<WPARAM>(this),
                                  static_cast<LPARAM>(cell));
        }
    }
    Invalidate(TRUE);
    CDialog::OnLButtonDown(nFlags, point);
}
