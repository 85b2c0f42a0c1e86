#include "platform/ui/exit_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <memory>

#include "platform/ui/program_ending.h"

namespace {

int g_pipe[2] = {-1, -1};
std::unique_ptr<QSocketNotifier> g_notifier;

void OnSignal(int signo) {
    int saved = errno;
    unsigned char byte = static_cast<unsigned char>(signo);
    // A full pipe already holds a wake-up; losing this byte loses nothing.
    ssize_t ignored = write(g_pipe[1], &byte, 1);
    (void)ignored;
    errno = saved;
}

void ClosePipe() {
    for (int& fd : g_pipe) {
        if (fd >= 0) {
            close(fd);
            fd = -1;
        }
    }
}

}  // namespace

BOOL InstallExitSignalHandler() {
    RemoveExitSignalHandler();
    if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return FALSE;
    }
    g_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    QObject::connect(g_notifier.get(), &QSocketNotifier::activated, [] {
        unsigned char bytes[64];
        bool any = false;
        while (read(g_pipe[0], bytes, sizeof bytes) > 0) {
            any = true;
        }
        if (any) {
            BeginProgramEnding();  // false, and nothing more, when ending already
        }
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (sigaction(SIGTERM, &action, nullptr) != 0 || sigaction(SIGINT, &action, nullptr) != 0) {
        RemoveExitSignalHandler();
        return FALSE;
    }
    return TRUE;
}

void RemoveExitSignalHandler() {
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    g_notifier.reset();
    ClosePipe();
}
