// The program's end while modal runs are open: nested dialogs and boxes
// return innermost first with their own clean-up and without their Exit or
// Esc handlers, and nothing new opens until the outermost has returned.

#include "platform/ui/program_ending.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/msgbox/message_box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/qt_message_box.h"
#include "platform/ui/test_resources.h"
#include "platform/ui/window_registry.h"
#include "support/qt_app.h"

namespace {

using Trace = std::vector<std::string>;

// A dialog that writes what happens to it into a trace.
class TracedDialog : public CDialog {
public:
    TracedDialog(Trace& trace, std::string name, INT_PTR whenEnding = IDCANCEL)
        : CDialog(kTestDialog), m_trace(trace), m_name(std::move(name)), m_whenEnding(whenEnding) {}

    // Runs inside OnInitDialog, or once the loop is under way.
    std::function<void()> atInit;
    std::function<void()> inLoop;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND) {
            m_trace.push_back(m_name + " command " + std::to_string(LOWORD(wParam)));
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
    void OnProgramEnding() override { m_trace.push_back(m_name + " clean-up"); }
    INT_PTR ResultWhenProgramEnds() const override { return m_whenEnding; }

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_trace.push_back(m_name + " init");
        if (atInit) {
            atInit();
        }
        if (inLoop) {
            QTimer::singleShot(0, inLoop);
        }
        return TRUE;
    }
    void OnOK() override {
        m_trace.push_back(m_name + " Exit");
        CDialog::OnOK();
    }
    void OnCancel() override {
        m_trace.push_back(m_name + " Esc");
        CDialog::OnCancel();
    }

private:
    Trace& m_trace;
    std::string m_name;
    INT_PTR m_whenEnding;
};

class ProgramEndingTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        SetResourceProvider(&m_resources);
        InstallQtMessageBoxHandler();
    }
    void TearDown() override {
        SetMessageBoxHandler({});
        SetResourceProvider(nullptr);
    }

    TestResources m_resources;
};

TEST_F(ProgramEndingTest, NestedRunsEndInnermostFirstAndNothingNewOpens) {
    Trace trace;
    // The outer one stands for the main window, the inner one for a setup
    // dialog in which Save was pressed.
    TracedDialog outer(trace, "outer");
    TracedDialog inner(trace, "inner", IDOK);
    std::vector<std::string> boxesShown;
    outer.inLoop = [&] {
        const INT_PTR result = inner.DoModal();
        trace.push_back("inner gave " + std::to_string(result));
        // The opener runs on while the program ends: no box, no dialog.
        EXPECT_TRUE(IsProgramEnding());
        SetMessageBoxHandler([&](const MessageBoxRequest& r) {
            boxesShown.push_back(r.text);
            return IDOK;
        });
        EXPECT_EQ(AfxMessageBox("Channels have Changed! Please Restart!"), IDCANCEL);
        TracedDialog late(trace, "late", IDOK);
        trace.push_back("late gave " + std::to_string(late.DoModal()));
        EXPECT_FALSE(BeginProgramEnding());  // ending already
    };
    inner.inLoop = [&] {
        QTimer::singleShot(0, [] {
            ASSERT_NE(QApplication::activeModalWidget(), nullptr);
            EXPECT_EQ(QApplication::activeModalWidget()->objectName(), kMessageBoxObjectName);
            EXPECT_TRUE(BeginProgramEnding());
        });
        const int answer =
            ShowMessageBox("Setting is changed! Back to save?", "Quorvalind", MB_YESNO);
        trace.push_back("box gave " + std::to_string(answer));
    };

    const INT_PTR result = outer.DoModal();
    trace.push_back("outer gave " + std::to_string(result));

    const Trace expected = {"outer init",   "inner init",  "box gave 2",     "inner clean-up",
                            "inner gave 1", "late gave 1", "outer clean-up", "outer gave 2"};
    EXPECT_EQ(trace, expected);
    EXPECT_TRUE(boxesShown.empty());
    // Once the outermost run has closed, windows open again.
    EXPECT_FALSE(IsProgramEnding());
    TracedDialog after(trace, "after");
    after.inLoop = [&after] { after.EndDialog(5); };
    EXPECT_EQ(after.DoModal(), 5);
}

TEST_F(ProgramEndingTest, WhereTheEndFindsADialog) {
    struct Case {
        const char* name;
        bool duringInit;   // the end begins inside OnInitDialog
        bool endedItself;  // the dialog ended just before the end began
        INT_PTR whenEnding;
        INT_PTR result;
        bool cleanUp;
    };
    const Case cases[] = {
        {"in its loop", false, false, IDCANCEL, IDCANCEL, true},
        {"in its loop, saved", false, false, IDOK, IDOK, true},
        {"before its loop", true, false, IDOK, IDOK, true},
        {"after its own end", false, true, IDOK, 9, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Trace trace;
        TracedDialog dlg(trace, "dlg", c.whenEnding);
        if (c.duringInit) {
            dlg.atInit = [] { BeginProgramEnding(); };
        } else {
            dlg.inLoop = [&] {
                if (c.endedItself) {
                    dlg.EndDialog(9);
                }
                BeginProgramEnding();
            };
        }
        EXPECT_EQ(dlg.DoModal(), c.result);
        const bool cleaned = std::find(trace.begin(), trace.end(), "dlg clean-up") != trace.end();
        EXPECT_EQ(cleaned, c.cleanUp);
        EXPECT_EQ(trace.size(), c.cleanUp ? 2u : 1u);  // init, and nothing but the clean-up
        EXPECT_FALSE(IsProgramEnding());
    }
}

TEST_F(ProgramEndingTest, BoxesCutShortAnswerCancelWhateverTheirButtons) {
    for (unsigned type : {MB_OK, MB_OKCANCEL, MB_YESNO, MB_YESNOCANCEL}) {
        SCOPED_TRACE(type);
        Trace trace;
        TracedDialog outer(trace, "outer");
        int answer = 0;
        outer.inLoop = [&] {
            QTimer::singleShot(0, [] { BeginProgramEnding(); });
            answer = ShowMessageBox("FULL ! No Record Disk Space!", "WARNING", type);
        };
        outer.DoModal();
        EXPECT_EQ(answer, IDCANCEL);
    }
}

}  // namespace
