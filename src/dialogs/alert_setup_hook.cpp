#include "dialogs/alert_setup_hook.h"

#include "dialogs/alert_setup_dialog.h"

namespace {

// Set and run on the user-interface thread only.
AlertSetupDialogHook& Hook() {
    static AlertSetupDialogHook hook;
    return hook;
}

}  // namespace

void SetAlertSetupDialogHook(AlertSetupDialogHook hook) {
    Hook() = std::move(hook);
}

INT_PTR RunAlertSetupDialog(CWnd* pParentWnd) {
    AlertSetupDialogHook hook = Hook();  // the dialog may replace it meanwhile
    if (hook) {
        return hook(pParentWnd);
    }
    CAlertSetupDialog dialog(pParentWnd);
    return dialog.DoModal();
}
