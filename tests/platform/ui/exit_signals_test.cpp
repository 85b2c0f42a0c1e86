#include "platform/ui/exit_signals.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QTimer>

#include "platform/ui/dialog.h"
#include "platform/ui/program_ending.h"
#include "support/qt_app.h"

namespace {

// Stands for the main window: its exit runs in OnProgramEnding and serves
// events while it waits, as the real one does.
class ExitingDialog : public CDialog {
public:
    explicit ExitingDialog(int signalDuringExit) : CDialog(0), m_signal(signalDuringExit) {}
    void OnProgramEnding() override {
        ++exits;
        raise(m_signal);
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
        }
    }
    int exits = 0;

private:
    int m_signal;
};

TEST(ExitSignalsTest, EachSignalEndsTheProgramAndRepeatsAreIgnored) {
    TestQtApp();
    struct Case {
        const char* name;
        int first;
        int repeat;
    };
    const Case cases[] = {{"TERM, TERM", SIGTERM, SIGTERM},
                          {"INT, TERM", SIGINT, SIGTERM},
                          {"TERM, INT", SIGTERM, SIGINT}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExitingDialog dlg(c.repeat);
        ASSERT_TRUE(InstallExitSignalHandler());
        QTimer::singleShot(0, [&] {
            raise(c.first);
            raise(c.repeat);  // back to back, before the first is read
        });
        // A repeat that killed the process would end the test here.
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.exits, 1);
        EXPECT_FALSE(IsProgramEnding());
        RemoveExitSignalHandler();
    }
}

}  // namespace
