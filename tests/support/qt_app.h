#pragma once
// The one Qt application object of a test process, made on first use on
// the calling thread (which becomes the user-interface thread).

#include <QApplication>

inline QApplication& TestQtApp() {
    static int argc = 1;
    static char name[] = "qvtest";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}
