#include "platform/ui/window_registry.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QVariant>
#include <QWidget>
#include <atomic>
#include <mutex>
#include <unordered_map>

#include "platform/ui/wnd.h"

namespace {

std::mutex g_mutex;
std::unordered_map<HWND, CWnd*> g_windows;  // guarded by g_mutex
uintptr_t g_nextHandle = 0x10000;           // guarded by g_mutex

std::atomic<CWnd*> g_pMainWnd{nullptr};
std::atomic<HWND> g_hMainWnd{nullptr};

void Deliver(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = WindowFromHandle(hWnd);
    if (pWnd != nullptr) {
        pWnd->WindowProc(message, wParam, lParam);
    }
}

}  // namespace

HWND RegisterWindow(CWnd* pWnd) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_nextHandle += 4;
    HWND hWnd = reinterpret_cast<HWND>(g_nextHandle);
    g_windows[hWnd] = pWnd;
    return hWnd;
}

void UnregisterWindow(HWND hWnd) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_windows.erase(hWnd);
}

CWnd* WindowFromHandle(HWND hWnd) {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_windows.find(hWnd);
    return it == g_windows.end() ? nullptr : it->second;
}

bool IsWindow(HWND hWnd) {
    std::lock_guard<std::mutex> lock(g_mutex);
    return hWnd != nullptr && g_windows.count(hWnd) != 0;
}

bool PostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // The lock keeps the window, and so the application object that must
    // outlive every window, alive while the call is queued.
    std::lock_guard<std::mutex> lock(g_mutex);
    if (hWnd == nullptr || g_windows.count(hWnd) == 0) {
        return false;
    }
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        return false;
    }
    return QMetaObject::invokeMethod(
        app, [hWnd, message, wParam, lParam] { Deliver(hWnd, message, wParam, lParam); },
        Qt::QueuedConnection);
}

void AfxSetMainWnd(CWnd* pWnd) {
    g_pMainWnd = pWnd;
    g_hMainWnd = pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr;
}

CWnd* AfxGetMainWnd() {
    return g_pMainWnd;
}

HWND AfxGetMainHwnd() {
    return g_hMainWnd;
}

void NotifyMainWndHandle(CWnd* pWnd, HWND hWnd) {
    if (pWnd != nullptr && pWnd == g_pMainWnd) {
        g_hMainWnd = hWnd;
    }
}

void RebindWindow(HWND hWnd, CWnd* pWnd) {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_windows.find(hWnd);
    if (it != g_windows.end()) {
        it->second = pWnd;
    }
}

namespace {
constexpr char kHandleProperty[] = "qvHwnd";
}

void SetWidgetHandle(QWidget* widget, HWND hWnd) {
    if (widget != nullptr) {
        widget->setProperty(kHandleProperty, QVariant::fromValue(reinterpret_cast<quintptr>(hWnd)));
    }
}

CWnd* WndFromWidget(const QWidget* widget) {
    if (widget == nullptr) {
        return nullptr;
    }
    const QVariant handle = widget->property(kHandleProperty);
    if (!handle.isValid()) {
        return nullptr;
    }
    return WindowFromHandle(reinterpret_cast<HWND>(handle.value<quintptr>()));
}
