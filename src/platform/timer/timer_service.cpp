#include <atomic>

#include "platform/timer/periodic_timer.h"
#include "platform/timer/thread_periodic_timer.h"

namespace {

IPeriodicTimer& DefaultService() {
    static CThreadPeriodicTimer service;
    return service;
}

std::atomic<IPeriodicTimer*> g_pService{nullptr};

}  // namespace

IPeriodicTimer& GetTimerService() {
    IPeriodicTimer* service = g_pService.load();
    return service != nullptr ? *service : DefaultService();
}

void SetTimerService(IPeriodicTimer* service) {
    g_pService = service;
}

unsigned timeSetEvent(unsigned delayMs, unsigned /*resolution*/, TimerProc proc, uintptr_t user,
                      unsigned flags) {
    if (proc == nullptr || (flags & TIME_PERIODIC) == 0) {
        return 0;
    }
    return GetTimerService().Start(
        delayMs, [proc, user](unsigned timerId) { proc(timerId, 0, user, 0, 0); });
}

unsigned timeKillEvent(unsigned timerId) {
    return GetTimerService().Stop(timerId) ? TIMERR_NOERROR : MMSYSERR_INVALPARAM;
}
