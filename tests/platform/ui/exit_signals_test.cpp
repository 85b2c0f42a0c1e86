#include "platform/ui/exit_signals.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QTimer>

#include "platform/ui/dialog.h"
#include "support/qt_app.h"

namespace {

TEST(ExitSignalsTest, TermAndIntBecomeThePostedMessage) {
    TestQtApp();
    CDialog dlg(0);
    int exits = 0;
    dlg.MapMessage(WM_COMMAND, [&](WPARAM w, LPARAM l) {
        EXPECT_EQ(w, WPARAM{IDOK});
        EXPECT_EQ(l, LPARAM{0x77});
        if (++exits == 2) {
            dlg.EndDialog(IDOK);
        }
        return 0;
    });
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(InstallExitSignalHandler(dlg.GetSafeHwnd(), WM_COMMAND, IDOK, 0x77));
        raise(SIGTERM);
        QTimer::singleShot(0, [] { raise(SIGINT); });
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(exits, 2);
    RemoveExitSignalHandler();
}

}  // namespace
