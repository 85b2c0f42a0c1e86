#include "platform/ui/single_copy.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/chdir_temp_dir.h"

namespace {

// A child process that takes the lock, reports, and holds it until told.
class LockHolder {
public:
    explicit LockHolder(const std::string& path) {
        if (pipe(m_report) != 0 || pipe(m_release) != 0) {
            std::abort();
        }
        m_pid = fork();
        if (m_pid == 0) {
            char got = AcquireSingleCopyLock(path) ? 'y' : 'n';
            (void)!write(m_report[1], &got, 1);
            char wait;
            (void)!read(m_release[0], &wait, 1);
            _exit(0);
        }
        char got = 0;
        (void)!read(m_report[0], &got, 1);
        m_bHeld = got == 'y';
    }
    ~LockHolder() { Release(); }
    bool Held() const { return m_bHeld; }
    void Release() {
        if (m_pid > 0) {
            (void)!write(m_release[1], "x", 1);
            waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }

private:
    int m_report[2];
    int m_release[2];
    pid_t m_pid = -1;
    bool m_bHeld = false;
};

TEST(SingleCopyTest, SecondCopyIsRefusedWhileTheFirstRuns) {
    ChdirTempDir dir;
    std::string path = dir.path() + "/Quorvalind.lock";
    LockHolder first(path);
    ASSERT_TRUE(first.Held());
    EXPECT_FALSE(AcquireSingleCopyLock(path));
    // Another executable name has its own lock.
    EXPECT_TRUE(AcquireSingleCopyLock(dir.path() + "/Other.lock"));
    first.Release();
    // The lock went with the first process.
    EXPECT_TRUE(AcquireSingleCopyLock(path));
    LockHolder late(path);
    EXPECT_FALSE(late.Held());
}

TEST(SingleCopyTest, LockIsNamedAfterTheExecutable) {
    EXPECT_EQ(GetExecutableName(), "ui_single_copy_test");
    setenv("XDG_RUNTIME_DIR", "/run/user/7", 1);
    EXPECT_EQ(SingleCopyLockPath("quorvalind"), "/run/user/7/quorvalind.lock");
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SingleCopyLockPath("quorvalind"),
              "/tmp/quorvalind-" + std::to_string(getuid()) + ".lock");
}

TEST(SingleCopyTest, AnUnwritableLockPlaceDoesNotStopTheStart) {
    EXPECT_TRUE(AcquireSingleCopyLock("/nonexistent-folder/x.lock"));
}

}  // namespace
