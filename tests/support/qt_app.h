#pragma once
// The one Qt application object of a test process, made on first use on
// the calling thread (which becomes the user-interface thread).

#include <QApplication>

inline QApplication& TestQtApp() {
    static int argc = 1;
    static char name[] = "qvtest";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own statics may already be gone at exit.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}
