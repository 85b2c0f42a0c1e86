#include "mainwnd/main_window_poster.h"

#include <mutex>
#include <shared_mutex>

namespace {

std::shared_mutex g_posterLock;
IMainWindowPoster* g_pPoster = nullptr;

}  // namespace

void SetMainWindowPoster(IMainWindowPoster* poster) {
    std::unique_lock<std::shared_mutex> lock(g_posterLock);
    g_pPoster = poster;
}

bool PostToMainWindow(unsigned message, WPARAM wParam, LPARAM lParam) {
    std::shared_lock<std::shared_mutex> lock(g_posterLock);
    return g_pPoster != nullptr && g_pPoster->Post(message, wParam, lParam);
}
