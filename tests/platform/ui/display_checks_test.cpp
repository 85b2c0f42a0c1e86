#include "platform/ui/display_checks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "support/chdir_temp_dir.h"

namespace {

// Runs the probe with only the given environment and returns its line.
std::string Probe(const std::string& env) {
    std::string command = "env -i PATH=/usr/bin:/bin HOME=/tmp XDG_RUNTIME_DIR=/tmp " + env +
                          " " QV_SCREEN_PROBE " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return "popen failed";
    }
    char line[256] = {};
    std::string out = std::fgets(line, sizeof line, pipe) != nullptr ? line : "";
    pclose(pipe);
    return out;
}

std::string OffscreenScreen(int width, int height, int dpi) {
    std::string path = "screen_" + std::to_string(width) + "x" + std::to_string(height) + "_" +
                       std::to_string(dpi) + ".json";
    std::ofstream(path) << "{\"screens\":[{\"name\":\"s\",\"x\":0,\"y\":0,\"width\":" << width
                        << ",\"height\":" << height << ",\"logicalDpi\":" << dpi << "}]}";
    return "QT_QPA_PLATFORM=offscreen:configfile=" + path;
}

TEST(DisplayChecksTest, ScreenSizeAndDotsPerInchOfTheChosenScreen) {
    ChdirTempDir dir;
    struct Case {
        int width, height, dpi;
        const char* expected;
    };
    const Case cases[] = {
        {1024, 768, 96, "display=1 width=1024 height=768 dpi=96\n"},
        {1023, 768, 96, "display=1 width=1023 height=768 dpi=96\n"},
        {1024, 767, 96, "display=1 width=1024 height=767 dpi=96\n"},
        // Large fonts: the size stays in device pixels.
        {1280, 1024, 120, "display=1 width=1280 height=1024 dpi=120\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(Probe(OffscreenScreen(c.width, c.height, c.dpi)), c.expected);
    }
}

TEST(DisplayChecksTest, NoDisplayIsReportedNotFatal) {
    ChdirTempDir dir;
    EXPECT_EQ(Probe(""), "display=0\n");
    std::ofstream("none.json") << "{\"screens\":[]}";
    EXPECT_EQ(Probe("QT_QPA_PLATFORM=offscreen:configfile=none.json"),
              "display=0 width=0 height=0 dpi=0\n");
}

TEST(DisplayChecksTest, NothingWithoutAnApplicationObject) {
    EXPECT_FALSE(IsDisplayPresent());
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_EQ(GetDesktopLogicalDpiX(), 0);
}

}  // namespace
