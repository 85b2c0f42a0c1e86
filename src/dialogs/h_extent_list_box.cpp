#include "dialogs/h_extent_list_box.h"

#include <algorithm>

#include "platform/ui/wait_cursor.h"

namespace {

bool Succeeded(LRESULT result) {
    return result != LB_ERR && result != LB_ERRSPACE;
}

}  // namespace

LRESULT CHExtentListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case LB_ADDSTRING:
        case LB_INSERTSTRING: {
            const LRESULT result = CListBox::WindowProc(message, wParam, lParam);
            if (Succeeded(result)) {
                WidenHorizontalExtent(reinterpret_cast<const char*>(lParam));
            }
            return result;
        }
        case LB_DELETESTRING:
        case LB_DIR: {
            const LRESULT result = CListBox::WindowProc(message, wParam, lParam);
            if (Succeeded(result)) {
                RecalcHorizontalExtent();
            }
            return result;
        }
        case LB_RESETCONTENT: {
            const LRESULT result = CListBox::WindowProc(message, wParam, lParam);
            SetHorizontalExtent(0);
            return result;
        }
        default:
            return CListBox::WindowProc(message, wParam, lParam);
    }
}

int CHExtentListBox::GetItemWidth(const char* text) {
    CDC* pDC = GetDC();
    if (pDC == nullptr) {
        return 0;
    }
    const CFont* pOld = pDC->SelectObject(GetFont());
    const int width = (GetStyle() & LBS_USETABSTOPS) != 0 ? pDC->GetTabbedTextExtent(text).cx + 2
                                                          : pDC->GetTextExtent(text).cx + 3;
    pDC->SelectObject(pOld);
    ReleaseDC(pDC);
    return width;
}

void CHExtentListBox::WidenHorizontalExtent(const char* text) {
    const int width = GetItemWidth(text);
    if (GetHorizontalExtent() < width) {
        SetHorizontalExtent(width);
    }
}

void CHExtentListBox::RecalcHorizontalExtent() {
    const int count = GetCount();
    if (count <= 0) {
        SetHorizontalExtent(0);
        return;
    }
    // A long list takes a while.
    CWaitCursor wait;
    int widest = 0;
    CString line;
    for (int i = 0; i < count; ++i) {
        GetText(i, line);
        widest = std::max(widest, GetItemWidth(line));
    }
    SetHorizontalExtent(widest);
}
