#pragma once
// What the main window's setup buttons open: each dialog modally, with the
// main window as its parent. The Logfile button's log viewer runs without
// a parent.

#include "mainwnd/main_dialog_hooks.h"

class CWnd;

class CSetupDialogRunner final : public ISetupDialogRunner {
public:
    explicit CSetupDialogRunner(CWnd* pMainWnd) : m_pMainWnd(pMainWnd) {}

    int RunChannelSetup() override;
    int RunRecordSetup() override;
    int RunMotionSetup() override;
    int RunSystemSetup() override;
    void RunLogFile() override;

private:
    CWnd* m_pMainWnd;
};
