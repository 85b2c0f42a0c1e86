#pragma once
// What the motion dialog's "Email and Ftp Alerts" button opens: the alert
// setup dialog, run modally over the motion dialog. Whoever builds that
// dialog installs it here; until then the button opens nothing and the
// answer is IDCANCEL, so nothing is written.

#include <functional>

#include "platform/ui/dialog.h"

// Runs the alert dialog modally with the given parent and returns its
// result (IDOK when it was saved).
using AlertSetupDialogHook = std::function<INT_PTR(CWnd* pParentWnd)>;

// User-interface thread. An empty hook restores "opens nothing".
void SetAlertSetupDialogHook(AlertSetupDialogHook hook);

// The installed hook's result, IDCANCEL without one.
INT_PTR RunAlertSetupDialog(CWnd* pParentWnd);
