#include "platform/ui/dialog.h"

#include <QApplication>
#include <QEventLoop>

#include "platform/textcodec/gb2312_codec.h"
#include "platform/ui/dialog_widget.h"
#include "platform/ui/program_ending.h"

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    if (auto* widget = dynamic_cast<DialogWidget*>(GetWidget())) {
        widget->ReleaseOwner();
    }
    DestroyWindow();
}

bool CDialog::BuildWindow(CWnd* pParentWnd) {
    if (QApplication::instance() == nullptr || GetWidget() != nullptr) {
        return false;
    }
    const IResourceProvider* provider = GetResourceProvider();
    const DialogTemplate* tpl =
        provider != nullptr ? provider->FindTemplate(m_nIDTemplate) : nullptr;
    DialogTemplate empty;
    empty.cx = 200;
    empty.cy = 100;
    if (tpl == nullptr) {
        tpl = &empty;
    }
    QWidget* parentWidget = pParentWnd != nullptr ? pParentWnd->GetWidget() : nullptr;
    bool child = tpl->child && parentWidget != nullptr;
    auto* widget = new DialogWidget(this, parentWidget, child, tpl->frameless, tpl->sysMenu);
    int border = child && tpl->border ? 1 : 0;
    SetBorder(border);
    SetHasSystemMenu(!child && tpl->sysMenu);
    widget->resize(tpl->cx + 2 * border, tpl->cy + 2 * border);
    widget->setWindowTitle(QString::fromStdString(Gb2312ToUtf8(tpl->caption)));
    AttachWidget(widget, nullptr, 0);
    for (const ControlTemplate& control : tpl->controls) {
        CreateControl(control);
    }
    return true;
}

INT_PTR CDialog::DoModal() {
    if (IsProgramEnding()) {
        return ResultWhenProgramEnds();  // no window opens any more
    }
    if (!BuildWindow(m_pParentWnd)) {
        return -1;
    }
    auto* widget = static_cast<DialogWidget*>(GetWidget());
    m_bEnded = false;
    m_nModalResult = -1;
    // Never by an IDCANCEL command: id 2 is a button of its own in some
    // dialogs, and Esc handlers ask or store.
    CModalRun run([this] {
        if (m_pModalLoop != nullptr) {
            m_pModalLoop->exit();
        }
    });
    OnInitDialog();
    RefreshControlColors();
    if (!m_bEnded && GetWidget() != nullptr && !IsProgramEnding()) {
        // A loop of our own rather than QDialog::exec, which ends when the
        // window is hidden: the main window hides to the tray and runs on.
        widget->setWindowModality(Qt::ApplicationModal);
        widget->show();
        QEventLoop loop;
        m_pModalLoop = &loop;
        loop.exec(QEventLoop::DialogExec);
        m_pModalLoop = nullptr;
    }
    if (!m_bEnded && IsProgramEnding()) {
        OnProgramEnding();
        m_nModalResult = ResultWhenProgramEnds();
    }
    if (GetWidget() != nullptr) {
        widget->ReleaseOwner();
        DestroyWindow();
    }
    return m_nModalResult;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDTemplate = nIDTemplate;
    if (!BuildWindow(pParentWnd)) {
        return FALSE;
    }
    OnInitDialog();
    RefreshControlColors();
    return TRUE;
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    m_bEnded = true;
    auto* widget = dynamic_cast<DialogWidget*>(GetWidget());
    if (widget == nullptr) {
        return;
    }
    widget->EndWith(nResult);
    if (m_pModalLoop != nullptr) {
        m_pModalLoop->exit(nResult);
    }
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange* /*pDX*/) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return dx.Failed() ? FALSE : TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;  // the prompt was shown; the dialog stays open
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (CWnd::OnCommand(wParam, lParam)) {
        return TRUE;
    }
    if (HIWORD(wParam) != BN_CLICKED && lParam != 0) {
        return FALSE;  // a control's notification, not a command
    }
    switch (LOWORD(wParam)) {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnCancel();
            return TRUE;
        default:
            return FALSE;
    }
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        // A dialog closes as if Cancel were pressed, without a control window.
        return SendMessage(WM_COMMAND, IDCANCEL, 0);
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}
