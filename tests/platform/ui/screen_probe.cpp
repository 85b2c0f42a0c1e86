// Starts the application object as the recorder does and prints what the
// start-up checks would see, for display_checks_test.
#include <cstdio>

#include "platform/ui/display_checks.h"
#include "platform/ui/ui_application.h"

int main(int argc, char** argv) {
    auto app = CreateUiApplication(argc, argv);
    if (app == nullptr) {
        std::printf("display=0\n");
        return 0;
    }
    std::printf("display=%d width=%d height=%d dpi=%d\n", IsDisplayPresent() ? 1 : 0,
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                GetDesktopLogicalDpiX());
    return 0;
}
