#pragma once
// The application object of the user interface.

#include <QApplication>
#include <memory>

// Makes the application object on the calling thread, which becomes the
// user-interface thread. The skin is
// drawn pixel for pixel, so the desktop's scaling is turned off (the DPI
// check warns about it instead). Null when no display can be opened: no
// platform is chosen (QT_QPA_PLATFORM) and neither an X11 nor a Wayland
// display is named.
std::unique_ptr<QApplication> CreateUiApplication(int& argc, char** argv);
