#include "platform/profile/private_profile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "support/chdir_temp_dir.h"

namespace {

class PrivateProfileTest : public ::testing::Test {
protected:
    void WriteFile(const std::string& bytes) { std::ofstream(kFile, std::ios::binary) << bytes; }
    std::string ReadFile() {
        std::ifstream in(kFile, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string ReadString(const char* section, const char* key, unsigned size = 64) {
        char buffer[256];
        GetPrivateProfileStringA(section, key, "dflt", buffer, size, kFile);
        return buffer;
    }

    static constexpr const char* kFile = "test.ini";
    ChdirTempDir dir_;
};

TEST_F(PrivateProfileTest, ReadsIntegersTheWayTheRecorderStoresThem) {
    WriteFile(
        "; a comment line\r\n"
        "[ChannelNum]\r\n"
        " nChConfigNum = 3 \r\n"
        "[channel01]\r\n"
        "Status=1\r\n"
        "neg=-2145378256\r\n"
        "min=-2147483648\r\n"
        "max=4294967295\r\n"
        "plus=+12\r\n"
        "junk=abc\r\n"
        "tail=42abc\r\n"
        "empty=\r\n"
        "[Channel02]\r\n"
        "status=7\r\n");
    struct Case {
        const char* section;
        const char* key;
        int defaultValue;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"ChannelNum", "nChConfigNum", 0, 3},  // trimmed key and value
        {"CHANNELNUM", "NCHCONFIGNUM", 0, 3},  // names compare without case
        {"Channel01", "status", 0, 1},
        {"Channel02", "status", 0, 7},  // the same key of another section
        {"Channel01", "neg", 0, 0x80202030u},
        {"Channel01", "min", 0, 0x80000000u},
        {"Channel01", "max", 0, 0xFFFFFFFFu},
        {"Channel01", "plus", 0, 12},
        {"Channel01", "junk", 5, 0},   // no digits
        {"Channel01", "tail", 0, 42},  // digits up to the first other character
        {"Channel01", "empty", 384, 384},
        {"Channel01", "missing", 384, 384},
        {"Channel03", "status", -1, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetPrivateProfileIntA(c.section, c.key, c.defaultValue, kFile), c.expected)
            << c.section << "/" << c.key;
    }
}

TEST_F(PrivateProfileTest, ReadsTrimmedTextsWithinTheBuffer) {
    WriteFile(
        "[Channel01]\nvideoname =  USB Camera  \nchname=\xC9\xE3\xCF\xF1\xCD\xB7\n"
        "netipaddr=\n");
    EXPECT_EQ(ReadString("Channel01", "videoname"), "USB Camera");
    EXPECT_EQ(ReadString("channel01", "VIDEONAME", 4), "USB");
    EXPECT_EQ(ReadString("Channel01", "chname"), "\xC9\xE3\xCF\xF1\xCD\xB7");  // GB2312 bytes
    EXPECT_EQ(ReadString("Channel01", "netipaddr"), "");  // present but empty: not the default
    EXPECT_EQ(ReadString("Channel01", "missing"), "dflt");
    EXPECT_EQ(ReadString("Channel01", "missing", 3), "df");

    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(GetPrivateProfileStringA("Channel01", "videoname", "", buffer, 8, kFile), 7u);
    EXPECT_STREQ(buffer, "USB Cam");
    EXPECT_EQ(GetPrivateProfileStringA("Channel01", "videoname", "", buffer, 0, kFile), 0u);
    EXPECT_STREQ(buffer, "USB Cam");  // nothing written into a zero-sized buffer
    EXPECT_EQ(GetPrivateProfileStringA("Channel01", "missing", nullptr, buffer, 8, kFile), 0u);
    EXPECT_STREQ(buffer, "");
}

TEST_F(PrivateProfileTest, MissingFileGivesDefaults) {
    EXPECT_EQ(GetPrivateProfileIntA("ChannelNum", "nChConfigNum", 0, "none.ini"), 0u);
    EXPECT_EQ(GetPrivateProfileIntA("Channel01", "bitrate", 384, "none.ini"), 384u);
    char buffer[16];
    GetPrivateProfileStringA("Channel01", "chname", "", buffer, sizeof buffer, "none.ini");
    EXPECT_STREQ(buffer, "");
}

TEST_F(PrivateProfileTest, WritesReplaceInPlaceAppendToSectionAndAddSections) {
    EXPECT_EQ(WritePrivateProfileStringA("ChannelNum", "nChConfigNum", "1", kFile), 1);
    EXPECT_EQ(WritePrivateProfileStringA("Channel01", "status", "1", kFile), 1);
    EXPECT_EQ(WritePrivateProfileStringA("Channel01", "mode", "3", kFile), 1);
    EXPECT_EQ(ReadFile(),
              "[ChannelNum]\r\nnChConfigNum=1\r\n[Channel01]\r\nstatus=1\r\nmode=3\r\n");

    EXPECT_EQ(WritePrivateProfileStringA("channelnum", "NCHCONFIGNUM", "2", kFile), 1);
    EXPECT_EQ(WritePrivateProfileStringA("ChannelNum", "extra", "x", kFile), 1);
    EXPECT_EQ(WritePrivateProfileStringA("Channel01", "status", "0", kFile), 1);
    EXPECT_EQ(ReadFile(),
              "[ChannelNum]\r\nNCHCONFIGNUM=2\r\nextra=x\r\n[Channel01]\r\nstatus=0\r\nmode=3\r\n");
}

TEST_F(PrivateProfileTest, RewriteKeepsForeignLinesBlankLinesAndLineEnds) {
    WriteFile("; kept\n[A]\nk=1\n\n[B]\nother = 2\n");
    EXPECT_EQ(WritePrivateProfileStringA("A", "new", "v", kFile), 1);
    EXPECT_EQ(WritePrivateProfileStringA("B", "other", "3", kFile), 1);
    EXPECT_EQ(ReadFile(), "; kept\n[A]\nk=1\nnew=v\n\n[B]\nother=3\n");
}

TEST_F(PrivateProfileTest, NegativeInt32RoundTripsThroughDecimalText) {
    for (std::uint32_t bits : {0x80102030u, 0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 0u}) {
        char text[16];
        std::snprintf(text, sizeof text, "%ld", static_cast<long>(static_cast<std::int32_t>(bits)));
        ASSERT_EQ(WritePrivateProfileStringA("Channel01", "videocolor", text, kFile), 1);
        EXPECT_EQ(GetPrivateProfileIntA("Channel01", "videocolor", 0, kFile), bits) << text;
    }
}

TEST_F(PrivateProfileTest, RefusesTextsThatWouldBreakTheFile) {
    WriteFile("[A]\r\nk=1\r\n");
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"A", "k", "two\r\nlines"}, {"A", "k", "lf\n"},  {"A\n", "k", "v"}, {"A", "k\r", "v"},
        {"A", "k=x", "v"},          {"A]", "k", "v"},    {"A", "  ", "v"},  {nullptr, "k", "v"},
        {"A", nullptr, "v"},        {"A", "k", nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WritePrivateProfileStringA(c.section, c.key, c.value, kFile), 0);
    }
    EXPECT_EQ(ReadFile(), "[A]\r\nk=1\r\n");
}

TEST_F(PrivateProfileTest, FailedWriteLeavesNoPartialFile) {
    // A directory in place of the file: it cannot be read, so it is not replaced.
    std::filesystem::create_directory("dir.ini");
    EXPECT_EQ(WritePrivateProfileStringA("A", "k", "v", "dir.ini"), 0);
    EXPECT_TRUE(std::filesystem::is_directory("dir.ini"));
    // A folder that does not exist: no temporary file can be made.
    EXPECT_EQ(WritePrivateProfileStringA("A", "k", "v", "no_such_dir/x.ini"), 0);
    // An unmapped drive.
    EXPECT_EQ(WritePrivateProfileStringA("A", "k", "v", "Q:\\x.ini"), 0);
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        EXPECT_EQ(entry.path().filename(), "dir.ini");  // no temporary left behind
    }
}

TEST_F(PrivateProfileTest, StoredWindowsPathsAreUsed) {
    std::string stored = dir_.path() + "\\stored.ini";
    EXPECT_EQ(WritePrivateProfileStringA("A", "k", "5", stored.c_str()), 1);
    EXPECT_TRUE(std::filesystem::exists("stored.ini"));
    EXPECT_EQ(GetPrivateProfileIntA("A", "k", 0, "C:\\stored.ini"), 5u);
}

TEST_F(PrivateProfileTest, WritersOnTwoThreadsKeepEachOthersKeys) {
    auto writer = [&](const char* section) {
        for (int i = 0; i < 50; ++i) {
            std::string key = "k";
            key += std::to_string(i);
            EXPECT_EQ(WritePrivateProfileStringA(section, key.c_str(), "1", kFile), 1);
        }
    };
    std::thread a(writer, "A");
    std::thread b(writer, "B");
    a.join();
    b.join();
    for (const char* section : {"A", "B"}) {
        for (int i = 0; i < 50; ++i) {
            std::string key = "k";
            key += std::to_string(i);
            EXPECT_EQ(GetPrivateProfileIntA(section, key.c_str(), 0, kFile), 1u)
                << section << "/" << key;
        }
    }
}

}  // namespace
