#pragma once
// The controls the dialogs use: push buttons, statics and owner-drawn
// bitmap buttons.

#include "platform/ui/gdi.h"
#include "platform/ui/wnd.h"

class SkinButtonWidget;

class CButton : public CWnd {};

class CStatic : public CWnd {
public:
    // Shows the icon in place of text.
    void SetIcon(HICON hIcon);
};

// A button drawn with pictures from the resources: up, down while pressed,
// focus while focused (0 = none; no disabled picture).
class CBitmapButton : public CButton {
public:
    // FALSE when the up picture cannot be loaded; the pictures that did
    // load are kept.
    BOOL LoadBitmaps(UINT nIDUp, UINT nIDDown = 0, UINT nIDFocus = 0, UINT nIDDisabled = 0);
    // Sizes the button to its up picture.
    void SizeToContent();

    const CBitmap& GetUpBitmap() const { return m_up; }
    const CBitmap& GetDownBitmap() const { return m_down; }
    const CBitmap& GetFocusBitmap() const { return m_focus; }

    BOOL SubclassDlgItem(UINT nID, CWnd* pParent) {
        BOOL ok = CWnd::SubclassDlgItem(nID, pParent);
        if (ok) {
            UpdatePictures();
        }
        return ok;
    }

    // Pushes the loaded pictures to the button's widget (after attaching).
    void UpdatePictures();

private:
    CBitmap m_up;
    CBitmap m_down;
    CBitmap m_focus;
};
