// The recorder program. No command line is read: the settings, the ini
// and the log live in the current directory.

#include <cstdio>
#include <memory>

#include "mainwnd/recorder_app.h"
#include "platform/ui/ui_application.h"
#include "res/skin_resources.h"

int main(int argc, char** argv) {
    std::unique_ptr<QApplication> app = CreateUiApplication(argc, argv);
    if (!app) {
        // No window can be shown; the start-up checks say so.
        std::fprintf(stderr, "Please Setup DirectX 8.1 !\n");
        return 1;
    }
    InstallSkinResources();
    CRecorderApp theApp;
    theApp.InitInstance();
    return 0;
}
