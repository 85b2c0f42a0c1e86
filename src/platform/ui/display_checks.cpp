#include "platform/ui/display_checks.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace {
QScreen* PrimaryScreen() {
    return QGuiApplication::instance() != nullptr ? QGuiApplication::primaryScreen() : nullptr;
}
}  // namespace

bool IsDisplayPresent() {
    return PrimaryScreen() != nullptr;
}

int GetSystemMetrics(int nIndex) {
    QScreen* screen = PrimaryScreen();
    if (screen == nullptr) {
        return 0;
    }
    qreal ratio = screen->devicePixelRatio();
    switch (nIndex) {
        case SM_CXSCREEN:
            return static_cast<int>(std::lround(screen->geometry().width() * ratio));
        case SM_CYSCREEN:
            return static_cast<int>(std::lround(screen->geometry().height() * ratio));
        case SM_CXICON:
        case SM_CYICON:
            return 32;
        default:
            return 0;
    }
}

int GetDesktopLogicalDpiX() {
    QScreen* screen = PrimaryScreen();
    if (screen == nullptr) {
        return 0;
    }
    return static_cast<int>(
        std::lround(screen->logicalDotsPerInchX() * screen->devicePixelRatio()));
}
