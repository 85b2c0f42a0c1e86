#include "platform/ui/shell_open.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/url_recorder.h"
#include "support/chdir_temp_dir.h"
#include "support/qt_app.h"

namespace {

TEST(ShellOpenTest, FilesOpenFromTheCurrentFolderAddressesAsGiven) {
    TestQtApp();
    ChdirTempDir dir;
    UrlRecorder desktop;
    ShellOpen("Quorvalind.chm", SW_SHOWMAXIMIZED);
    ShellOpen("mailto:support@ostrevanne.example", SW_SHOWNORMAL);
    ShellOpen("http://www.ostrevanne.example/", SW_SHOWMAXIMIZED);
    ShellOpen("", SW_SHOWNORMAL);
    ShellOpen(nullptr, SW_SHOWNORMAL);
    const std::vector<std::string>& opened = desktop.Opened();
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[0], "file://" + dir.path() + "/Quorvalind.chm");
    EXPECT_EQ(opened[1], "mailto:support@ostrevanne.example");
    EXPECT_EQ(opened[2], "http://www.ostrevanne.example/");
}

}  // namespace
