#pragma once
// Runs a dialog modally with a step that acts once its loop runs (the step
// ends the dialog, or makes the dialog end itself). A step that fails an
// assertion leaves the dialog open: a guard then ends it with
// kModalGuardResult, so the test fails instead of hanging.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <functional>

#include "platform/ui/dialog.h"
#include "platform/ui/window_registry.h"

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

// For a dialog that code under test opens modally: on the next turn of the
// loop, the step acts on the dialog open then (and should end it).
inline void ActOnNextModal(std::function<void(CWnd&)> step) {
    QTimer::singleShot(0, [step = std::move(step)] {
        CWnd* dlg = WndFromWidget(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        step(*dlg);
    });
}
