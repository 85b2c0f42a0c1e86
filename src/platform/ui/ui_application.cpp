#include "platform/ui/ui_application.h"

#include <cstdlib>

namespace {
bool HasEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}
}  // namespace

std::unique_ptr<QApplication> CreateUiApplication(int& argc, char** argv) {
    if (!HasEnv("QT_QPA_PLATFORM") && !HasEnv("DISPLAY") && !HasEnv("WAYLAND_DISPLAY")) {
        return nullptr;
    }
    if (!HasEnv("QT_ENABLE_HIGHDPI_SCALING")) {
        setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
    }
    return std::make_unique<QApplication>(argc, argv);
}
