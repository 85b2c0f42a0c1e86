#pragma once
// Where the program begins: one running copy, the machine checks, the
// settings paths and file, then the main dialog, modally, until the exit.

#include <functional>
#include <memory>

#include "mainwnd/main_dialog_hooks.h"
#include "platform/ui/win_types.h"

class CWnd;

// 1 when a display is there and a display device is installed, else 0.
int IsDirectXPresent();
// 1 when the screen is at least 1024 x 768, else 0.
int IsScreenLargeEnough();
// Warns "Please Set Small Font !" when the desktop is not at 96 dots per
// inch; always 1.
int CheckSmallFonts();

class CRecorderApp {
public:
    CRecorderApp() = default;
    ~CRecorderApp() = default;

    // Always FALSE: the program ends when it returns (after the main dialog
    // closed, or at once when a check failed).
    BOOL InitInstance();

    // What makes the setup dialogs' runner for the main window (given as
    // their parent); without one the setup buttons open nothing.
    using SetupDialogsFactory = std::function<std::unique_ptr<ISetupDialogRunner>(CWnd* pMainWnd)>;
    void SetSetupDialogs(SetupDialogsFactory make) { m_makeSetupDialogs = std::move(make); }

private:
    SetupDialogsFactory m_makeSetupDialogs;
};
