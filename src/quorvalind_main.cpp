// The recorder program. No command line is read: the settings, the ini
// and the log live in the current directory.

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <QGuiApplication>

#include "dialogs/setup_dialog_runner.h"
#include "mainwnd/recorder_app.h"
#include "platform/capture/backend_factory.h"
#include "platform/capture/device_enum.h"
#include "platform/display/display_device.h"
#include "platform/msgbox/message_box.h"
#include "platform/sound/pcm_output.h"
#include "platform/ui/qt_message_box.h"
#include "platform/ui/ui_application.h"
#include "res/skin_resources.h"

namespace {

// The one place the back ends are chosen, once the application object
// exists: the capture devices (the synthetic ones of the file the user
// names in QUORVALIND_SYNTHETIC_DEVICES, else the machine's own), ALSA for
// the sound, the display card the surfaces draw with, and the message
// boxes. Nobody can see or answer a box on the offscreen platform (a
// headless run): there each one goes to stderr and is answered at once, so
// a warning never stops the recorder.
void InstallBackEnds() {
    SetCaptureBackend(CreateCaptureBackend(std::getenv(kSyntheticDevicesEnv)));
    SetPcmOutputService(MakeAlsaOutput());
    SetDefaultDisplayDevice(std::make_shared<DisplayDevice>());
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        SetMessageBoxHandler({});
    } else {
        InstallQtMessageBoxHandler();
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::unique_ptr<QApplication> app = CreateUiApplication(argc, argv);
    if (!app) {
        // No window can be shown; the start-up checks say so.
        std::fprintf(stderr, "Please Setup DirectX 8.1 !\n");
        return 1;
    }
    InstallBackEnds();
    InstallSkinResources();
    CRecorderApp theApp;
    theApp.SetSetupDialogs(
        [](CWnd* pMainWnd) { return std::make_unique<CSetupDialogRunner>(pMainWnd); });
    theApp.InitInstance();
    return 0;
}
