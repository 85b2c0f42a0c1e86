#include "platform/ui/shell_open.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/chdir_temp_dir.h"
#include "support/qt_app.h"

namespace {

TEST(ShellOpenTest, FilesOpenFromTheCurrentFolderAddressesAsGiven) {
    TestQtApp();
    ChdirTempDir dir;
    std::vector<std::string> opened;
    SetShellOpenHandlerForTesting([&](const std::string& url) { opened.push_back(url); });
    ShellOpen("Quorvalind.chm", SW_SHOWMAXIMIZED);
    ShellOpen("mailto:support@ostrevanne.example", SW_SHOWNORMAL);
    ShellOpen("http://www.ostrevanne.example/", SW_SHOWMAXIMIZED);
    ShellOpen("", SW_SHOWNORMAL);
    ShellOpen(nullptr, SW_SHOWNORMAL);
    SetShellOpenHandlerForTesting({});
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[0], "file://" + dir.path() + "/Quorvalind.chm");
    EXPECT_EQ(opened[1], "mailto:support@ostrevanne.example");
    EXPECT_EQ(opened[2], "http://www.ostrevanne.example/");
}

}  // namespace
