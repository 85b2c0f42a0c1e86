#include "platform/ui/wnd.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "platform/textcodec/gb2312_codec.h"
#include "platform/ui/control_factory.h"
#include "platform/ui/control_proc.h"
#include "platform/ui/dialog_widget.h"
#include "platform/ui/edit_text_filter.h"
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

// The kind OnCtlColor is asked with; 0 for controls that draw themselves
// in the desktop's look (drop-down lists, list views, spins, pickers) or
// entirely through their window object (custom ones).
UINT CtlColorKind(ControlKind kind) {
    switch (kind) {
        case ControlKind::Edit:
            return CTLCOLOR_EDIT;
        case ControlKind::ListBox:
            return CTLCOLOR_LISTBOX;
        case ControlKind::PushButton:
            return CTLCOLOR_BTN;
        case ControlKind::Static:
        case ControlKind::IconStatic:
        case ControlKind::GroupBox:
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
            return CTLCOLOR_STATIC;
        default:
            return 0;
    }
}

// A pattern brush as it lies under the target: the part of the pattern
// under the target's place in the dialog, so a control painted with the
// dialog's own skin shows no seam against it. (Qt starts a pattern at the
// top-left corner of each widget it fills.)
QBrush AlignedBrush(const QBrush& brush, const QWidget* target, const QWidget* dialog) {
    if (brush.style() != Qt::TexturePattern || dialog == nullptr || target == dialog) {
        return brush;
    }
    const QPixmap pattern = brush.texture();
    if (pattern.isNull()) {
        return brush;
    }
    const QPoint origin = target->mapTo(dialog, QPoint(0, 0));
    QPixmap under(target->size().expandedTo(QSize(1, 1)));
    QPainter painter(&under);
    painter.drawTiledPixmap(
        under.rect(), pattern,
        QPoint(((origin.x() % pattern.width()) + pattern.width()) % pattern.width(),
               ((origin.y() % pattern.height()) + pattern.height()) % pattern.height()));
    painter.end();
    return QBrush(under);
}

constexpr char kRawTextProperty[] = "qvRawText";
constexpr char kShownTextProperty[] = "qvShownText";

QString ShownText(const QWidget* widget) {
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text();
    }
    if (auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return edit->text();
    }
    if (auto* group = qobject_cast<const QGroupBox*>(widget)) {
        return group->title();
    }
    if (auto* combo = qobject_cast<const QComboBox*>(widget)) {
        return combo->currentText();
    }
    return widget->windowTitle();
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
    SetWidgetHandle(widget, m_hWnd);
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
    m_controlOrder.clear();
    m_pRadioGroup = nullptr;
    m_bColorsApplied = false;
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
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (!OnNotify(wParam, lParam, &result)) {
                return DefWindowProc(message, wParam, lParam);
            }
            return result;
        }
        default:
            return DefWindowProc(message, wParam, lParam);
    }
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pParent != nullptr) {
        return ControlDefWindowProc(this, message, wParam, lParam);
    }
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

void CWnd::MapControlNotify(UINT id, UINT code, std::function<void()> handler) {
    m_controlNotifyMap[{id, code}] = std::move(handler);
}

void CWnd::MapNotify(UINT id, int code, NotifyHandler handler) {
    m_notifyMap[{id, code}] = std::move(handler);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    std::function<void()> copy;  // the handler may remap itself
    if (code == BN_CLICKED || lParam == 0) {
        auto handler = m_commandMap.find(id);
        if (handler == m_commandMap.end()) {
            return FALSE;
        }
        copy = handler->second;
    } else {
        auto handler = m_controlNotifyMap.find({id, code});
        if (handler == m_controlNotifyMap.end()) {
            return FALSE;
        }
        copy = handler->second;
    }
    copy();
    return TRUE;
}

BOOL CWnd::OnNotify(WPARAM /*wParam*/, LPARAM lParam, LRESULT* pResult) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header == nullptr) {
        return FALSE;
    }
    auto handler = m_notifyMap.find({static_cast<UINT>(header->idFrom), header->code});
    if (handler == m_notifyMap.end()) {
        return FALSE;
    }
    NotifyHandler copy = handler->second;
    copy(header, pResult);
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

LRESULT CWnd::SendDlgItemMessage(int nID, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pItem = GetDlgItem(nID);
    return pItem != nullptr ? pItem->SendMessage(message, wParam, lParam) : 0;
}

UINT CWnd::GetStyle() const {
    if (m_pParent == nullptr) {
        return 0;
    }
    auto it = m_pParent->m_controls.find(m_nCtrlId);
    return it != m_pParent->m_controls.end() ? it->second.style : 0;
}

ControlKind CWnd::GetControlKind() const {
    if (m_pParent == nullptr) {
        return ControlKind::Static;
    }
    auto it = m_pParent->m_controls.find(m_nCtrlId);
    return it != m_pParent->m_controls.end() ? it->second.kind : ControlKind::Static;
}

CWnd* CWnd::CreateControl(const ControlTemplate& control) {
    if (!m_widget || m_controls.count(control.id) != 0) {
        return nullptr;
    }
    MadeControl made = MakeControl(control, m_widget);
    QWidget* widget = made.widget;
    widget->setObjectName(QString::number(control.id));
    if (control.fontPixels > 0) {
        QFont font = widget->font();
        font.setPixelSize(control.fontPixels);
        widget->setFont(font);
    }
    widget->setGeometry(control.x + m_nBorder, control.y + m_nBorder, control.cx, control.cy);
    widget->setEnabled((control.style & CTL_DISABLED) == 0);
    widget->setVisible((control.style & CTL_HIDDEN) == 0);
    if (control.kind == ControlKind::GroupBox) {
        widget->lower();  // its members lie over it, whatever the template order
    }

    // Radios are exclusive within their group: up to the next group start.
    if ((control.style & CTL_GROUP) != 0) {
        m_pRadioGroup = nullptr;
    }
    if (control.kind == ControlKind::RadioButton) {
        if (m_pRadioGroup == nullptr) {
            m_pRadioGroup = new QButtonGroup(m_widget);
            m_pRadioGroup->setExclusive(true);
        }
        m_pRadioGroup->addButton(qobject_cast<QAbstractButton*>(widget));
    }

    CWnd* pWnd = made.object.get();
    pWnd->AttachWidget(widget, this, control.id);
    ControlEntry& entry = m_controls[control.id];
    entry.pWnd = pWnd;
    entry.kind = control.kind;
    entry.style = control.style;
    entry.generic = std::move(made.object);
    m_controlOrder.push_back(control.id);
    WireControl(widget, pWnd->m_hWnd.load(), control.id);
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
    m_bColorsApplied = true;
}

void CWnd::ReapplyControlColor(CWnd* pControl) {
    if (!m_bColorsApplied) {
        return;  // the first refresh after initialisation does them all
    }
    for (auto& [id, entry] : m_controls) {
        if (entry.pWnd == pControl) {
            ApplyControlColor(pControl, entry.kind);
            return;
        }
    }
}

void CWnd::ApplyControlColor(CWnd* pControl, ControlKind kind) {
    QWidget* widget = pControl->GetWidget();
    const UINT ctlColor = CtlColorKind(kind);
    if (widget == nullptr || ctlColor == 0) {
        return;
    }
    CDC dc;
    HBRUSH brush = OnCtlColor(&dc, pControl, ctlColor);
    const bool textArea = ctlColor == CTLCOLOR_EDIT || ctlColor == CTLCOLOR_LISTBOX;
    // Behind the text: an opaque background colour, else the brush.
    auto baseFor = [&](const QWidget* target) {
        if (dc.GetBkMode() == OPAQUE && dc.GetBkColor()) {
            return QBrush(ToQColor(*dc.GetBkColor()));
        }
        return AlignedBrush(brush->GetBrush(), target, m_widget);
    };
    QPalette palette = widget->palette();
    // A push button keeps its face; its brush would only paint around it.
    if (brush != nullptr && ctlColor != CTLCOLOR_BTN) {
        const QBrush fill = AlignedBrush(brush->GetBrush(), widget, m_widget);
        palette.setBrush(QPalette::Window, fill);
        palette.setBrush(widget->backgroundRole(), fill);  // Button for check boxes
        if (textArea) {
            palette.setBrush(QPalette::Base, baseFor(widget));
        }
        widget->setAutoFillBackground(true);
    }
    if (dc.GetTextColor()) {
        const QColor text = ToQColor(*dc.GetTextColor());
        // Only the text's own role: a check box draws its check mark in Text.
        const QPalette::ColorRole role = textArea                   ? QPalette::Text
                                         : ctlColor == CTLCOLOR_BTN ? QPalette::ButtonText
                                                                    : QPalette::WindowText;
        palette.setColor(role, text);
    }
    widget->setPalette(palette);
    // A list box's lines lie in its viewport, a frame's width inside: it
    // lets the list's own background show, unless that is a plain colour.
    auto* area = qobject_cast<QAbstractScrollArea*>(widget);
    if (area != nullptr && brush != nullptr) {
        QWidget* viewport = area->viewport();
        QPalette inner = viewport->palette();
        const QBrush base = palette.brush(QPalette::Base);
        inner.setBrush(QPalette::Base,
                       base.style() == Qt::SolidPattern ? base : QBrush(Qt::transparent));
        viewport->setPalette(inner);
    }
}

void CWnd::SetWindowText(const char* text) {
    if (!m_widget) {
        return;
    }
    QString s = ToQString(text);
    // Kept, so a text read back unchanged is the same bytes even where
    // they are no valid GB2312.
    m_widget->setProperty(kRawTextProperty, QByteArray(text != nullptr ? text : ""));
    m_widget->setProperty(kShownTextProperty, s);
    if (auto* button = qobject_cast<QAbstractButton*>(m_widget)) {
        button->setText(s);
    } else if (auto* label = qobject_cast<QLabel*>(m_widget)) {
        label->setText(s);
    } else if (auto* edit = qobject_cast<QLineEdit*>(m_widget)) {
        if (auto* filter =
                dynamic_cast<EditTextFilter*>(const_cast<QValidator*>(edit->validator()))) {
            filter->AcceptProgramText(s);
        }
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
    const QString shown = ShownText(m_widget);
    const QVariant raw = m_widget->property(kRawTextProperty);
    if (raw.isValid() && m_widget->property(kShownTextProperty).toString() == shown) {
        return raw.toByteArray().toStdString();
    }
    return FromQString(shown);
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
    if (m_pParent != nullptr) {
        m_pParent->ReapplyControlColor(this);  // its brush origin moved with it
    }
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
    if (auto* area = qobject_cast<QAbstractScrollArea*>(m_widget.data())) {
        // Inside the frame and the scroll bars. Until it is first shown the
        // viewport has no place yet, and no scroll bar shows: the client
        // is then all inside the frame.
        const QRect inside = area->isVisible() ? area->viewport()->rect() : area->contentsRect();
        pRect->right = inside.width();
        pRect->bottom = inside.height();
    } else if (m_widget) {
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

CWnd* CWnd::SetFocus() {
    CWnd* previous = GetFocus();
    if (m_widget) {
        m_widget->setFocus(Qt::OtherFocusReason);
    }
    return previous;
}

CWnd* CWnd::GetFocus() {
    QWidget* focused = QApplication::focusWidget();
    if (focused == nullptr) {
        QWidget* window = QApplication::activeModalWidget();
        if (window == nullptr) {
            window = QApplication::activeWindow();
        }
        focused = window != nullptr ? window->focusWidget() : nullptr;
    }
    // A part of a control (a spin's arrow, a list's viewport) is the control.
    for (QWidget* w = focused; w != nullptr; w = w->parentWidget()) {
        if (CWnd* pWnd = WndFromWidget(w)) {
            return pWnd;
        }
    }
    return nullptr;
}

CFont* CWnd::GetFont() {
    m_font = m_widget ? CFont(m_widget->font()) : CFont();
    return &m_font;
}

CDC* CWnd::GetDC() {
    return m_widget ? new CDC() : nullptr;
}

int CWnd::ReleaseDC(CDC* pDC) {
    delete pDC;
    return pDC != nullptr ? 1 : 0;
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
