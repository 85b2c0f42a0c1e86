#pragma once
// Runs the Qt event loop of a test's user-interface thread for a while, or
// until a condition holds.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

// Serves events until done() holds; false when ms passed first.
inline bool PumpUntil(const std::function<bool()>& done, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Serves events for ms milliseconds.
inline void Pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}
