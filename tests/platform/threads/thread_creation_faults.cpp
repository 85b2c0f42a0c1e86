#include "platform/threads/thread_creation_faults.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>

namespace {

std::atomic<bool> g_fail{false};

using CreateFn = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

}  // namespace

void SetThreadCreationFails(bool fail) {
    g_fail = fail;
}

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*start)(void*),
                              void* arg) noexcept {
    if (g_fail.load()) {
        return EAGAIN;
    }
    // The next definition in the lookup order: the C library's, or a
    // sanitizer's in front of it.
    static const CreateFn next = reinterpret_cast<CreateFn>(dlsym(RTLD_NEXT, "pthread_create"));
    return next(thread, attr, start, arg);
}
