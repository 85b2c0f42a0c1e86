#pragma once
// Runs a dialog modally with a step that acts once its loop runs (the step
// ends the dialog, or makes the dialog end itself). A step that fails an
// assertion leaves the dialog open: a guard then ends it with
// kModalGuardResult, so the test fails instead of hanging.

#include <QTimer>
#include <functional>

#include "platform/ui/dialog.h"

constexpr INT_PTR kModalGuardResult = -99;

inline INT_PTR RunModalWith(CDialog& dlg, std::function<void()> step, int guardMs = 30000) {
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&dlg] { dlg.EndDialog(kModalGuardResult); });
    QTimer::singleShot(0, [step, &guard] {
        guard.start();
        step();
    });
    guard.setInterval(guardMs);
    const INT_PTR result = dlg.DoModal();
    guard.stop();
    return result;
}
