#include "platform/ui/controls.h"

#include <QLabel>
#include <QPixmap>

#include "platform/ui/control_proc.h"
#include "platform/ui/skin_button_widget.h"

int CButton::GetCheck() const {
    return static_cast<int>(const_cast<CButton*>(this)->SendMessage(BM_GETCHECK));
}

void CButton::SetCheck(int nCheck) {
    SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck));
}

UINT CButton::GetState() const {
    return static_cast<UINT>(const_cast<CButton*>(this)->SendMessage(BM_GETSTATE));
}

void CButton::SetState(BOOL bHighlight) {
    SendMessage(BM_SETSTATE, static_cast<WPARAM>(bHighlight));
}

UINT CButton::GetButtonStyle() const {
    return GetButtonStyleOf(GetWidget());
}

void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw) {
    SendMessage(BM_SETSTYLE, nStyle, bRedraw);
}

void CStatic::SetIcon(HICON hIcon) {
    auto* label = qobject_cast<QLabel*>(GetWidget());
    if (label != nullptr && hIcon != nullptr) {
        label->setPixmap(hIcon->icon.pixmap(32, 32));
    }
}

void CEdit::SetLimitText(UINT nMax) {
    SendMessage(EM_LIMITTEXT, nMax);
}

UINT CEdit::GetLimitText() const {
    return static_cast<UINT>(const_cast<CEdit*>(this)->SendMessage(EM_GETLIMITTEXT));
}

BOOL CBitmapButton::LoadBitmaps(UINT nIDUp, UINT nIDDown, UINT nIDFocus, UINT /*nIDDisabled*/) {
    m_up.DeleteObject();
    m_down.DeleteObject();
    m_focus.DeleteObject();
    BOOL ok = m_up.LoadBitmap(nIDUp);
    if (nIDDown != 0) {
        m_down.LoadBitmap(nIDDown);
    }
    if (nIDFocus != 0) {
        m_focus.LoadBitmap(nIDFocus);
    }
    UpdatePictures();
    return ok;
}

void CBitmapButton::UpdatePictures() {
    auto* button = dynamic_cast<SkinButtonWidget*>(GetWidget());
    if (button == nullptr) {
        return;
    }
    auto pixmap = [](const CBitmap& b) {
        return b.IsLoaded() ? QPixmap::fromImage(b.GetImage()) : QPixmap();
    };
    button->SetPictures(pixmap(m_up), pixmap(m_down), pixmap(m_focus));
}

void CBitmapButton::SizeToContent() {
    QWidget* widget = GetWidget();
    if (widget != nullptr && m_up.IsLoaded()) {
        widget->resize(m_up.GetWidth(), m_up.GetHeight());
    }
}
