#include "platform/ui/wnd.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "platform/textcodec/gb2312_codec.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog_widget.h"
#include "platform/ui/menu.h"
#include "platform/ui/skin_button_widget.h"
#include "platform/ui/window_registry.h"
#include "platform/ui/wnd_event_bridge.h"

namespace {

QString ToQString(const char* gb2312) {
    return QString::fromStdString(Gb2312ToUtf8(gb2312 != nullptr ? gb2312 : ""));
}

std::string FromQString(const QString& s) {
    return Utf8ToGb2312(s.toStdString());
}

UINT CtlColorKind(ControlKind kind) {
    switch (kind) {
        case ControlKind::Edit:
            return CTLCOLOR_EDIT;
        case ControlKind::ListBox:
            return CTLCOLOR_LISTBOX;
        case ControlKind::PushButton:
            return CTLCOLOR_BTN;
        default:
            return CTLCOLOR_STATIC;
    }
}

}  // namespace

void WndEventBridge::Paint(CWnd* pWnd, QPainter& painter) {
    int border = pWnd->m_nBorder;
    if (border > 0 && pWnd->m_widget) {
        painter.setPen(QColor(128, 128, 128));
        painter.drawRect(pWnd->m_widget->rect().adjusted(0, 0, -1, -1));
        painter.translate(border, border);
    }
    CDC dc(&painter);
    pWnd->OnPaint(dc);
    if (!pWnd->m_layer.isNull()) {
        painter.drawImage(0, 0, pWnd->m_layer);
    }
}

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_pParent != nullptr) {
        // A control object that goes before its dialog's window.
        m_pParent->ForgetControl(this);
        return;
    }
    if (m_widget) {
        DestroyWindow();
    }
}

void CWnd::AttachWidget(QWidget* widget, CWnd* pParent, int nCtrlId) {
    m_widget = widget;
    m_pParent = pParent;
    m_nCtrlId = nCtrlId;
    m_hWnd = RegisterWindow(this);
    NotifyMainWndHandle(this, m_hWnd);
}

void CWnd::DetachWidget() {
    for (auto& [id, timer] : m_timers) {
        timer->stop();
        timer->deleteLater();
    }
    m_timers.clear();
    for (auto& [id, entry] : m_controls) {
        if (entry.pWnd != nullptr) {
            entry.pWnd->DetachWidget();
        }
        if (entry.generic != nullptr) {
            // Let go of the generic object so its destructor finds nothing to do.
            entry.generic->m_pParent = nullptr;
            entry.generic->m_widget = nullptr;
            entry.generic->m_hWnd = nullptr;
        }
    }
    std::map<int, ControlEntry> controls = std::move(m_controls);
    m_controls.clear();
    controls.clear();
    if (m_hWnd != nullptr) {
        UnregisterWindow(m_hWnd);
        NotifyMainWndHandle(this, nullptr);
    }
    m_hWnd = nullptr;
    m_widget = nullptr;
    m_pParent = nullptr;
    m_layer = QImage();
}

void CWnd::ForgetControl(CWnd* pControl) {
    for (auto& [id, entry] : m_controls) {
        if (entry.pWnd == pControl) {
            // The generic object takes the control back.
            CWnd* generic = entry.generic.get();
            entry.pWnd = generic;
            if (generic != nullptr) {
                generic->m_hWnd = pControl->m_hWnd.load();
                generic->m_widget = pControl->m_widget;
                RebindWindow(pControl->m_hWnd, generic);
            } else if (pControl->m_hWnd != nullptr) {
                UnregisterWindow(pControl->m_hWnd);
            }
            pControl->m_hWnd = nullptr;
            pControl->m_widget = nullptr;
            pControl->m_pParent = nullptr;
            return;
        }
    }
}

BOOL CWnd::DestroyWindow() {
    QPointer<QWidget> widget = m_widget;
    if (!widget) {
        return FALSE;
    }
    if (auto* dialog = dynamic_cast<DialogWidget*>(widget.data())) {
        dialog->ReleaseOwner();
    }
    DetachWidget();
    delete widget.data();
    return TRUE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    auto handler = m_messageMap.find(message);
    if (handler != m_messageMap.end()) {
        MessageHandler copy = handler->second;  // the handler may remap itself
        return copy(wParam, lParam);
    }
    return DispatchStandard(message, wParam, lParam);
}

LRESULT CWnd::DispatchStandard(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(wParam, lParam);
            return 0;
        case WM_SYSCOMMAND:
            OnSysCommand(static_cast<UINT>(wParam), lParam);
            return 0;
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_MOVE:
            OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_SIZE:
            OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_LBUTTONDOWN:
            OnLButtonDown(static_cast<UINT>(wParam),
                          POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_SHOWWINDOW:
            OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
            return 0;
        default:
            return DefWindowProc(message, wParam, lParam);
    }
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE:
                    SendMessage(WM_CLOSE);
                    break;
                case SC_MINIMIZE:
                    ShowWindow(SW_MINIMIZE);
                    break;
                case SC_RESTORE:
                    ShowWindow(SW_RESTORE);
                    break;
                default:
                    break;
            }
            return 0;
        case WM_CLOSE:
            DestroyWindow();
            return 0;
        case WM_RBUTTONDOWN:
            if (m_bHasSystemMenu && GET_Y_LPARAM(lParam) < 16) {
                POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                ClientToScreen(&pt);
                TrackSystemMenu(pt.x, pt.y);
            }
            return 0;
        default:
            return 0;
    }
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowProc(message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessage(m_hWnd, message, wParam, lParam) ? TRUE : FALSE;
}

void CWnd::MapMessage(UINT message, MessageHandler handler) {
    m_messageMap[message] = std::move(handler);
}

void CWnd::MapCommand(UINT id, std::function<void()> handler) {
    m_commandMap[id] = std::move(handler);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM /*lParam*/) {
    auto handler = m_commandMap.find(LOWORD(wParam));
    if (handler == m_commandMap.end()) {
        return FALSE;
    }
    std::function<void()> copy = handler->second;
    copy();
    return TRUE;
}

void CWnd::OnSysCommand(UINT nID, LPARAM lParam) {
    DefWindowProc(WM_SYSCOMMAND, nID, lParam);
}
void CWnd::OnTimer(UINT_PTR nIDEvent) {
    DefWindowProc(WM_TIMER, nIDEvent, 0);
}
void CWnd::OnClose() {
    DefWindowProc(WM_CLOSE, 0, 0);
}
void CWnd::OnMove(int x, int y) {
    DefWindowProc(WM_MOVE, 0, MAKELPARAM(x, y));
}
void CWnd::OnSize(UINT nType, int cx, int cy) {
    DefWindowProc(WM_SIZE, nType, MAKELPARAM(cx, cy));
}
void CWnd::OnLButtonDown(UINT nFlags, POINT point) {
    DefWindowProc(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
}
void CWnd::OnShowWindow(BOOL bShow, UINT nStatus) {
    DefWindowProc(WM_SHOWWINDOW, static_cast<WPARAM>(bShow), nStatus);
}
void CWnd::OnPaint(CDC& /*dc*/) {}
HBRUSH CWnd::OnCtlColor(CDC* /*pDC*/, CWnd* /*pWnd*/, UINT /*nCtlColor*/) {
    return nullptr;
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse) {
    if (!m_widget || nIDEvent == 0) {
        return 0;
    }
    QTimer*& timer = m_timers[nIDEvent];
    if (timer == nullptr) {
        timer = new QTimer(m_widget);
        QObject::connect(timer, &QTimer::timeout,
                         [this, nIDEvent] { WindowProc(WM_TIMER, nIDEvent, 0); });
    }
    // As on the desktop this stands in for, shorter periods are raised to 10 ms.
    timer->start(static_cast<int>(std::max<UINT>(nElapse, 10)));
    return nIDEvent;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) {
    auto it = m_timers.find(nIDEvent);
    if (it == m_timers.end()) {
        return FALSE;
    }
    // Deferred: KillTimer often runs inside that timer's own tick.
    it->second->stop();
    it->second->deleteLater();
    m_timers.erase(it);
    return TRUE;
}

CWnd* CWnd::GetDlgItem(int nID) const {
    auto it = m_controls.find(nID);
    return it == m_controls.end() ? nullptr : it->second.pWnd;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    if (pParent == nullptr || m_widget) {
        return FALSE;
    }
    auto it = pParent->m_controls.find(static_cast<int>(nID));
    if (it == pParent->m_controls.end() || it->second.pWnd == nullptr) {
        return FALSE;
    }
    CWnd* previous = it->second.pWnd;
    m_hWnd = previous->m_hWnd.load();
    m_widget = previous->m_widget;
    m_pParent = pParent;
    m_nCtrlId = static_cast<int>(nID);
    previous->m_hWnd = nullptr;
    previous->m_widget = nullptr;
    if (previous != it->second.generic.get()) {
        previous->m_pParent = nullptr;
    }
    it->second.pWnd = this;
    RebindWindow(m_hWnd, this);
    return TRUE;
}

void CWnd::SetDlgItemText(int nID, const char* text) {
    CWnd* pItem = GetDlgItem(nID);
    if (pItem != nullptr) {
        pItem->SetWindowText(text);
    }
}

std::string CWnd::GetDlgItemText(int nID) const {
    CWnd* pItem = GetDlgItem(nID);
    return pItem != nullptr ? pItem->GetWindowText() : std::string();
}

CWnd* CWnd::CreateControl(const ControlTemplate& control) {
    if (!m_widget || m_controls.count(control.id) != 0) {
        return nullptr;
    }
    QWidget* widget = nullptr;
    std::unique_ptr<CWnd> generic;
    QString text = ToQString(control.text.c_str());
    switch (control.kind) {
        case ControlKind::PushButton: {
            auto* button = new SkinButtonWidget(m_widget);
            button->setText(text);
            if (control.flat) {
                button->setFlat(true);
                button->setCursor(Qt::PointingHandCursor);
                button->setStyleSheet(
                    "QPushButton { color: #1a4fd0; text-decoration: underline; "
                    "border: none; text-align: left; }");
            }
            widget = button;
            generic = std::make_unique<CButton>();
            break;
        }
        case ControlKind::CheckBox:
            widget = new QCheckBox(text, m_widget);
            generic = std::make_unique<CButton>();
            break;
        case ControlKind::Static:
            widget = new QLabel(text, m_widget);
            generic = std::make_unique<CStatic>();
            break;
        case ControlKind::IconStatic: {
            auto* label = new QLabel(m_widget);
            HICON hIcon = LoadIcon(control.resource);
            if (hIcon != nullptr) {
                label->setPixmap(hIcon->icon.pixmap(32, 32));
                DestroyIcon(hIcon);
            }
            widget = label;
            generic = std::make_unique<CStatic>();
            break;
        }
        case ControlKind::GroupBox:
            widget = new QGroupBox(text, m_widget);
            generic = std::make_unique<CStatic>();
            break;
        case ControlKind::Edit:
            widget = new QLineEdit(text, m_widget);
            generic = std::make_unique<CWnd>();
            break;
        case ControlKind::ListBox:
            widget = new QListWidget(m_widget);
            generic = std::make_unique<CWnd>();
            break;
    }
    widget->setObjectName(QString::number(control.id));
    if (control.fontPixels > 0) {
        QFont font = widget->font();
        font.setPixelSize(control.fontPixels);
        widget->setFont(font);
    }
    widget->setGeometry(control.x + m_nBorder, control.y + m_nBorder, control.cx, control.cy);
    widget->show();
    CWnd* pWnd = generic.get();
    pWnd->AttachWidget(widget, this, control.id);
    ControlEntry& entry = m_controls[control.id];
    entry.pWnd = pWnd;
    entry.kind = control.kind;
    entry.generic = std::move(generic);

    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        HWND hControl = pWnd->m_hWnd.load();
        int id = control.id;
        // A click is sent at once, with the button's window in lParam.
        QObject::connect(button, &QAbstractButton::clicked, [this, id, hControl] {
            WindowProc(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(hControl));
        });
    }
    return pWnd;
}

void CWnd::RefreshControlColors() {
    if (!m_widget) {
        return;
    }
    CDC dlgDc;
    HBRUSH dlgBrush = OnCtlColor(&dlgDc, this, CTLCOLOR_DLG);
    if (dlgBrush != nullptr) {
        QPalette palette = m_widget->palette();
        palette.setBrush(QPalette::Window, dlgBrush->GetBrush());
        m_widget->setPalette(palette);
        m_widget->setAutoFillBackground(true);
    }
    for (auto& [id, entry] : m_controls) {
        if (entry.pWnd != nullptr) {
            ApplyControlColor(entry.pWnd, entry.kind);
        }
    }
}

void CWnd::ApplyControlColor(CWnd* pControl, ControlKind kind) {
    QWidget* widget = pControl->GetWidget();
    if (widget == nullptr) {
        return;
    }
    CDC dc;
    UINT ctlColor = CtlColorKind(kind);
    HBRUSH brush = OnCtlColor(&dc, pControl, ctlColor);
    QPalette palette = widget->palette();
    if (brush != nullptr) {
        palette.setBrush(QPalette::Window, brush->GetBrush());
        palette.setBrush(QPalette::Button, brush->GetBrush());
        if (ctlColor == CTLCOLOR_EDIT || ctlColor == CTLCOLOR_LISTBOX) {
            // An opaque background colour fills behind the text, else the brush.
            if (dc.GetBkMode() == OPAQUE && dc.GetBkColor()) {
                palette.setColor(QPalette::Base, ToQColor(*dc.GetBkColor()));
            } else {
                palette.setBrush(QPalette::Base, brush->GetBrush());
            }
        }
        widget->setAutoFillBackground(true);
    }
    if (dc.GetTextColor()) {
        QColor text = ToQColor(*dc.GetTextColor());
        palette.setColor(QPalette::WindowText, text);
        palette.setColor(QPalette::Text, text);
        palette.setColor(QPalette::ButtonText, text);
    }
    widget->setPalette(palette);
}

void CWnd::SetWindowText(const char* text) {
    if (!m_widget) {
        return;
    }
    QString s = ToQString(text);
    if (auto* button = qobject_cast<QAbstractButton*>(m_widget)) {
        button->setText(s);
    } else if (auto* label = qobject_cast<QLabel*>(m_widget)) {
        label->setText(s);
    } else if (auto* edit = qobject_cast<QLineEdit*>(m_widget)) {
        edit->setText(s);
    } else if (auto* group = qobject_cast<QGroupBox*>(m_widget)) {
        group->setTitle(s);
    } else {
        m_widget->setWindowTitle(s);
    }
}

std::string CWnd::GetWindowText() const {
    if (!m_widget) {
        return {};
    }
    if (auto* button = qobject_cast<QAbstractButton*>(m_widget)) {
        return FromQString(button->text());
    }
    if (auto* label = qobject_cast<QLabel*>(m_widget)) {
        return FromQString(label->text());
    }
    if (auto* edit = qobject_cast<QLineEdit*>(m_widget)) {
        return FromQString(edit->text());
    }
    if (auto* group = qobject_cast<QGroupBox*>(m_widget)) {
        return FromQString(group->title());
    }
    return FromQString(m_widget->windowTitle());
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    if (!m_widget) {
        return FALSE;
    }
    BOOL wasVisible = m_widget->isVisible() ? TRUE : FALSE;
    switch (nCmdShow) {
        case SW_HIDE:
            m_widget->hide();
            break;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
            m_widget->showMinimized();
            break;
        case SW_SHOWMAXIMIZED:
            m_widget->showMaximized();
            break;
        case SW_RESTORE:
        case SW_SHOWNORMAL:
            m_widget->showNormal();
            m_widget->raise();
            break;
        default:
            if (m_widget->isMinimized()) {
                m_widget->showNormal();
            } else {
                m_widget->show();
            }
            m_widget->raise();
            break;
    }
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    return m_widget && m_widget->isVisible() ? TRUE : FALSE;
}

BOOL CWnd::IsIconic() const {
    return m_widget && m_widget->isMinimized() ? TRUE : FALSE;
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    if (!m_widget) {
        return;
    }
    int parentBorder = m_pParent != nullptr ? m_pParent->m_nBorder : 0;
    m_widget->setGeometry(x + parentBorder, y + parentBorder, nWidth, nHeight);
    if (bRepaint) {
        m_widget->update();
    }
}

void CWnd::CenterWindow() {
    if (!m_widget) {
        return;
    }
    QRect area;
    if (!m_widget->isWindow() && m_widget->parentWidget() != nullptr) {
        area = m_widget->parentWidget()->rect();
    } else {
        QScreen* screen =
            m_widget->screen() ? m_widget->screen() : QGuiApplication::primaryScreen();
        if (screen == nullptr) {
            return;
        }
        area = screen->availableGeometry();
    }
    // move() places the frame of a window, so centre the frame.
    QRect frame = m_widget->isWindow() ? m_widget->frameGeometry() : m_widget->geometry();
    m_widget->move(area.left() + (area.width() - frame.width()) / 2,
                   area.top() + (area.height() - frame.height()) / 2);
}

void CWnd::GetClientRect(RECT* pRect) const {
    if (pRect == nullptr) {
        return;
    }
    *pRect = RECT{};
    if (m_widget) {
        pRect->right = m_widget->width() - 2 * m_nBorder;
        pRect->bottom = m_widget->height() - 2 * m_nBorder;
    }
}

void CWnd::GetWindowRect(RECT* pRect) const {
    if (pRect == nullptr) {
        return;
    }
    *pRect = RECT{};
    if (m_widget) {
        QPoint topLeft = m_widget->mapToGlobal(QPoint(0, 0));
        *pRect = RECT{topLeft.x(), topLeft.y(), topLeft.x() + m_widget->width(),
                      topLeft.y() + m_widget->height()};
    }
}

void CWnd::ClientToScreen(POINT* pPoint) const {
    if (pPoint == nullptr || !m_widget) {
        return;
    }
    QPoint p = m_widget->mapToGlobal(QPoint(pPoint->x + m_nBorder, pPoint->y + m_nBorder));
    pPoint->x = p.x();
    pPoint->y = p.y();
}

void CWnd::ClientToScreen(RECT* pRect) const {
    if (pRect == nullptr) {
        return;
    }
    POINT a{pRect->left, pRect->top};
    POINT b{pRect->right, pRect->bottom};
    ClientToScreen(&a);
    ClientToScreen(&b);
    *pRect = RECT{a.x, a.y, b.x, b.y};
}

void CWnd::ScreenToClient(POINT* pPoint) const {
    if (pPoint == nullptr || !m_widget) {
        return;
    }
    QPoint p = m_widget->mapFromGlobal(QPoint(pPoint->x, pPoint->y));
    pPoint->x = p.x() - m_nBorder;
    pPoint->y = p.y() - m_nBorder;
}

void CWnd::ScreenToClient(RECT* pRect) const {
    if (pRect == nullptr) {
        return;
    }
    POINT a{pRect->left, pRect->top};
    POINT b{pRect->right, pRect->bottom};
    ScreenToClient(&a);
    ScreenToClient(&b);
    *pRect = RECT{a.x, a.y, b.x, b.y};
}

void CWnd::Invalidate(BOOL /*bErase*/) {
    if (m_widget) {
        m_widget->update();
    }
}

void CWnd::InvalidateRect(const RECT* pRect, BOOL bErase) {
    if (!m_widget) {
        return;
    }
    if (pRect == nullptr) {
        Invalidate(bErase);
        return;
    }
    m_widget->update(pRect->left + m_nBorder, pRect->top + m_nBorder, pRect->right - pRect->left,
                     pRect->bottom - pRect->top);
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    if (!m_widget) {
        return FALSE;
    }
    BOOL wasDisabled = m_widget->isEnabled() ? FALSE : TRUE;
    m_widget->setEnabled(bEnable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    return m_widget && m_widget->isEnabled() ? TRUE : FALSE;
}

void CWnd::SetIcon(HICON hIcon, BOOL /*bBigIcon*/) {
    if (m_widget && hIcon != nullptr) {
        m_widget->setWindowIcon(hIcon->icon);
    }
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) {
    if (!m_bHasSystemMenu) {
        return nullptr;
    }
    if (m_pSystemMenu == nullptr || bRevert) {
        m_pSystemMenu = std::make_unique<CMenu>(true);
        m_pSystemMenu->AppendMenu(MF_STRING, SC_MINIMIZE, "Minimize");
        m_pSystemMenu->AppendMenu(MF_STRING, SC_CLOSE, "Close");
    }
    return m_pSystemMenu.get();
}

void CWnd::TrackSystemMenu(int x, int y) {
    CMenu* menu = GetSystemMenu(FALSE);
    if (menu == nullptr) {
        return;
    }
    if (x == 0 && y == 0 && m_widget) {
        QPoint p = m_widget->mapToGlobal(QPoint(0, 0));
        x = p.x();
        y = p.y();
    }
    menu->TrackPopupMenu(TPM_LEFTALIGN, x, y, this);
}

QImage& CWnd::ClientLayer() {
    QSize size = m_widget ? m_widget->size() : QSize(1, 1);
    if (m_layer.size() != size) {
        QImage grown(size, QImage::Format_ARGB32_Premultiplied);
        grown.fill(Qt::transparent);
        if (!m_layer.isNull()) {
            QPainter copy(&grown);
            copy.drawImage(0, 0, m_layer);
        }
        m_layer = grown;
    }
    return m_layer;
}

CClientDC::CClientDC(CWnd* pWnd) : m_pWnd(pWnd) {
    if (pWnd != nullptr && pWnd->GetWidget() != nullptr) {
        m_painter = std::make_unique<QPainter>(&pWnd->ClientLayer());
        SetPainter(m_painter.get());
    }
}

CClientDC::~CClientDC() {
    SetPainter(nullptr);
    m_painter.reset();
    if (m_pWnd != nullptr) {
        m_pWnd->Invalidate(FALSE);
    }
}
