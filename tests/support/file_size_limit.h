#pragma once
// While it lives, no file of this process grows past the given size: a
// write that would cross the limit is cut short there, later ones fail
// with EFBIG, as on a full disk, also for root. SIGXFSZ, which would end
// the process, is ignored meanwhile. Only where no other thread writes
// files: the limit is the whole process's.

#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        if (getrlimit(RLIMIT_FSIZE, &kept_) != 0) {
            std::abort();
        }
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &keptAction_);
        rlimit limited = kept_;
        limited.rlim_cur = bytes;
        if (setrlimit(RLIMIT_FSIZE, &limited) != 0) {
            std::abort();
        }
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &kept_);
        sigaction(SIGXFSZ, &keptAction_, nullptr);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit kept_{};
    struct sigaction keptAction_ {};
};
