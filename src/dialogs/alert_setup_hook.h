#pragma once
// What the motion dialog's "Email and Ftp Alerts" button opens: the alert
// setup dialog, run modally over the motion dialog. A test may put a
// stand-in in its place.

#include <functional>

#include "platform/ui/dialog.h"

// Runs an alert dialog modally with the given parent and returns its
// result (IDOK when it was saved).
using AlertSetupDialogHook = std::function<INT_PTR(CWnd* pParentWnd)>;

// User-interface thread. An empty hook restores the alert setup dialog.
void SetAlertSetupDialogHook(AlertSetupDialogHook hook);

// The alert setup dialog's result, or the installed stand-in's.
INT_PTR RunAlertSetupDialog(CWnd* pParentWnd);
