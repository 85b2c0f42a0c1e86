// The recorder program. No command line is read: the settings, the ini
// and the log live in the current directory.

#include <cstdio>
#include <memory>

#include <QGuiApplication>

#include "dialogs/setup_dialog_runner.h"
#include "mainwnd/recorder_app.h"
#include "platform/msgbox/message_box.h"
#include "platform/ui/ui_application.h"
#include "res/skin_resources.h"

int main(int argc, char** argv) {
    std::unique_ptr<QApplication> app = CreateUiApplication(argc, argv);
    if (!app) {
        // No window can be shown; the start-up checks say so.
        std::fprintf(stderr, "Please Setup DirectX 8.1 !\n");
        return 1;
    }
    // Nobody can see or answer a box on the offscreen platform (a headless
    // run): each one goes to stderr and is answered at once, so a warning
    // never stops the recorder.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        SetMessageBoxHandler({});
    }
    InstallSkinResources();
    CRecorderApp theApp;
    theApp.SetSetupDialogs(
        [](CWnd* pMainWnd) { return std::make_unique<CSetupDialogRunner>(pMainWnd); });
    theApp.InitInstance();
    return 0;
}
