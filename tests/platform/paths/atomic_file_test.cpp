#include "platform/paths/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/chdir_temp_dir.h"

namespace {

std::string Contents(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

size_t EntriesIn(const std::string& folder) {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

// The replaced files hold passwords: only their owner may read them,
// whatever the umask and whatever mode an old file had.
TEST(AtomicFileTest, ReplacesContentsAndLeavesTheFileToItsOwner) {
    struct Case {
        int oldMode;  // -1: no file yet
        mode_t umaskValue;
        int mode;
    };
    const Case cases[] = {
        {-1, 022, 0600},   {-1, 0, 0600},     {-1, 077, 0600},   {0644, 022, 0600}, {0666, 0, 0600},
        {0640, 022, 0600}, {0600, 022, 0600}, {0400, 022, 0400}, {0750, 022, 0700},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "old " << std::oct << c.oldMode << " umask " << c.umaskValue);
        ChdirTempDir dir;
        if (c.oldMode >= 0) {
            std::ofstream("f.bin") << "old contents";
            std::filesystem::permissions("f.bin", std::filesystem::perms(c.oldMode));
        }
        const mode_t saved = umask(c.umaskValue);
        const bool replaced = ReplaceFileContents("f.bin", std::string("new\0bytes", 9), true);
        umask(saved);
        ASSERT_TRUE(replaced);
        EXPECT_EQ(Contents("f.bin"), std::string("new\0bytes", 9));
        EXPECT_EQ(std::filesystem::status("f.bin").permissions(), std::filesystem::perms(c.mode));
        EXPECT_EQ(EntriesIn("."), 1u);
    }
}

TEST(AtomicFileTest, AWriteThatFailsHalfwayLeavesTheOldFile) {
    ChdirTempDir dir;
    std::ofstream("f.bin") << "old contents";
    // A file-size limit makes the write fail part way, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool replaced = ReplaceFileContents("f.bin", std::string(1000, 'x'), false);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);

    EXPECT_FALSE(replaced);
    EXPECT_EQ(Contents("f.bin"), "old contents");
    EXPECT_EQ(EntriesIn("."), 1u);  // the temporary file is gone
}

TEST(AtomicFileTest, ReportsPathsThatCannotBeWritten) {
    ChdirTempDir dir;
    std::filesystem::create_directory("sub");
    std::ofstream("sub/inner") << "x";
    EXPECT_FALSE(ReplaceFileContents("", "x", false));
    EXPECT_FALSE(ReplaceFileContents("missing/f.bin", "x", false));
    EXPECT_FALSE(ReplaceFileContents("sub", "x", false));  // a non-empty folder is not replaced
    EXPECT_TRUE(std::filesystem::is_directory("sub"));
    EXPECT_EQ(EntriesIn("."), 1u);
}

}  // namespace
