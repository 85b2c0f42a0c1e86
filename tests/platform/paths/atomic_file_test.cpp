#include "platform/paths/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

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

TEST(AtomicFileTest, ReplacesContentsAndKeepsTheMode) {
    ChdirTempDir dir;
    std::ofstream("f.bin") << "old contents";
    std::filesystem::permissions("f.bin", std::filesystem::perms(0640));
    ASSERT_TRUE(ReplaceFileContents("f.bin", std::string("new\0bytes", 9), true));
    EXPECT_EQ(Contents("f.bin"), std::string("new\0bytes", 9));
    EXPECT_EQ(std::filesystem::status("f.bin").permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(EntriesIn("."), 1u);
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
