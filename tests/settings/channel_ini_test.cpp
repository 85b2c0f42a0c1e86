#include "settings/channel_ini.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/profile/private_profile.h"
#include "settings/settings.h"
#include "support/chdir_temp_dir.h"

namespace {

class ChannelIniTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(&g_Settings, 0, sizeof g_Settings);
        ASSERT_EQ(InitSettingsPaths(), 1);
    }

    std::vector<std::string> IniLines() {
        std::ifstream in(kFile, std::ios::binary);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            lines.push_back(line);
        }
        return lines;
    }

    void WriteIni(const std::string& text) { std::ofstream(kFile, std::ios::binary) << text; }

    static void SetText(char* field, size_t size, const std::string& text) {
        std::memset(field, 0, size);
        std::memcpy(field, text.data(), std::min(text.size(), size - 1));
    }

    static constexpr const char* kFile = "Quorvalind.ini";
    ChdirTempDir dir_;
};

TEST_F(ChannelIniTest, NoFileMeansNoChannel) {
    LoadChannelIni();
    EXPECT_EQ(g_Settings.nChConfigNum, 0);
}

TEST_F(ChannelIniTest, OneLocalChannelFileBeginsAsExpected) {
    g_Settings.nChConfigNum = 1;
    ChannelEntry& c = g_Settings.Channel[0];
    c.status = 1;
    c.mode = SOURCE_LOCAL;
    c.videoin = 1;
    SetText(c.videoname, sizeof c.videoname, "USB Video Device");
    c.width = 352;
    c.height = 288;
    c.framenum = 25;
    ASSERT_EQ(SaveChannelIni(), 1);
    const std::vector<std::string> expected = {
        "[ChannelNum]",
        "nChConfigNum=1",
        "[Channel01]",
        "status=1",
        "mode=3",
        "videoin=1",
        "videoname=USB Video Device",
        "width=352",
        "height=288",
        "framenum=25",
        "videosubin=0",
        "audioin=0",
        "audioname=",
        "netipaddr=",
        "netchno=0",
        "username=",
        "passwd=",
    };
    EXPECT_EQ(IniLines(), expected);
}

TEST_F(ChannelIniTest, EveryKeyRoundTrips) {
    g_Settings.nChConfigNum = 2;
    for (int n = 0; n < 2; ++n) {
        ChannelEntry& c = g_Settings.Channel[n];
        c.status = 1;
        c.mode = n == 0 ? SOURCE_LOCAL : SOURCE_NETWORK;
        c.videoin = 2;
        SetText(c.videoname, sizeof c.videoname, "cam \xC9\xE3\xCF\xF1");
        c.width = 704;
        c.height = 576;
        c.framenum = 30;
        c.videosubin = 3;
        c.audioin = 1;
        SetText(c.audioname, sizeof c.audioname, "mic");
        SetText(c.netipaddr, sizeof c.netipaddr, "192.168.1.20");
        c.netchno = 15;
        SetText(c.username, sizeof c.username, "guard");
        SetText(c.passwd, sizeof c.passwd, "secret");
        RecordEntry& r = g_Settings.Record[n];
        r.enc_method = 9;
        r.aud_method = 1;
        r.bitrate = 2048;
        r.audbitrate = 8;
        SetText(r.chname, sizeof r.chname, "Gate 1234567890A");
        r.osddate = 1;
        r.osdtime = 0;
        r.haveaudio = 1;
        r.recfile = 2;
        r.videocolor = n == 0 ? 0x80102030u : 0xFFFFFFFFu;
    }
    Settings saved = g_Settings;
    ASSERT_EQ(SaveChannelIni(), 1);
    ASSERT_EQ(SaveRecordIni(2), 1);
    ASSERT_EQ(SaveVideoColorIni(2), 1);
    EXPECT_EQ(GetPrivateProfileStringA("Channel01", "videocolor", "", nullptr, 0, kFile), 0u);
    char text[32];
    GetPrivateProfileStringA("Channel01", "videocolor", "", text, sizeof text, kFile);
    EXPECT_STREQ(text, "-2146426832");

    std::memset(&g_Settings, 0, sizeof g_Settings);
    LoadChannelIni();
    ASSERT_EQ(g_Settings.nChConfigNum, 2);
    for (int n = 0; n < 2; ++n) {
        EXPECT_EQ(std::memcmp(&g_Settings.Channel[n], &saved.Channel[n], sizeof(ChannelEntry)), 0);
        EXPECT_EQ(std::memcmp(&g_Settings.Record[n], &saved.Record[n], sizeof(RecordEntry)), 0);
    }
    EXPECT_EQ(g_Settings.Record[0].videocolor, 0x80102030u);
}

TEST_F(ChannelIniTest, MissingKeysTakeTheirDefaults) {
    WriteIni("[ChannelNum]\nnChConfigNum=1\n[Channel01]\nstatus=1\n");
    LoadChannelIni();
    const RecordEntry& r = g_Settings.Record[0];
    EXPECT_EQ(g_Settings.Channel[0].status, 1);
    EXPECT_EQ(g_Settings.Channel[0].mode, 0);
    EXPECT_EQ(r.bitrate, 384);
    EXPECT_EQ(r.audbitrate, 32);
    EXPECT_EQ(r.osdtime, 1);
    EXPECT_EQ(r.osddate, 0);
    EXPECT_EQ(r.videocolor, 0u);
    EXPECT_STREQ(r.chname, "");
}

TEST_F(ChannelIniTest, CountIsTakenAsAByteAndCappedAt16) {
    struct Case {
        const char* stored;
        int channels;
    };
    const Case cases[] = {{"4", 4}, {"16", 16}, {"20", 16}, {"257", 1}, {"-1", 16}, {"x", 0}};
    for (const Case& c : cases) {
        WriteIni(std::string("[ChannelNum]\nnChConfigNum=") + c.stored + "\n");
        LoadChannelIni();
        EXPECT_EQ(g_Settings.nChConfigNum, c.channels) << c.stored;
    }
}

TEST_F(ChannelIniTest, TextsAreCutToTheirReadLimits) {
    std::ostringstream ini;
    ini << "[ChannelNum]\nnChConfigNum=1\n[Channel01]\n"
        << "chname=" << std::string(20, 'c') << "\n"
        << "netipaddr=" << std::string(70, 'n') << "\n"
        << "videoname=" << std::string(130, 'v') << "\n"
        << "audioname=" << std::string(130, 'a') << "\n"
        << "username=" << std::string(40, 'u') << "\n"
        << "passwd=" << std::string(40, 'p') << "\n";
    WriteIni(ini.str());
    LoadChannelIni();
    const ChannelEntry& c = g_Settings.Channel[0];
    EXPECT_EQ(std::string(g_Settings.Record[0].chname), std::string(16, 'c'));
    EXPECT_EQ(std::string(c.netipaddr), std::string(59, 'n'));
    EXPECT_EQ(std::string(c.videoname), std::string(117, 'v'));
    EXPECT_EQ(std::string(c.audioname), std::string(117, 'a'));
    EXPECT_EQ(std::string(c.username), std::string(29, 'u'));
    EXPECT_EQ(std::string(c.passwd), std::string(29, 'p'));
}

TEST_F(ChannelIniTest, PictureSizesBeyondFullPalAreRefused) {
    struct Case {
        int width, height;
        int loadedWidth, loadedHeight;
    };
    const Case cases[] = {
        {704, 576, 704, 576}, {352, 288, 352, 288}, {705, 288, 0, 288}, {352, 577, 352, 0},
        {65535, 65535, 0, 0}, {70000, 288, 0, 288},  // 70000 is 4464 as 16 bits
    };
    for (const Case& c : cases) {
        WriteIni("[ChannelNum]\nnChConfigNum=1\n[Channel01]\nwidth=" + std::to_string(c.width) +
                 "\nheight=" + std::to_string(c.height) + "\n");
        LoadChannelIni();
        EXPECT_EQ(g_Settings.Channel[0].width, c.loadedWidth) << c.width << "x" << c.height;
        EXPECT_EQ(g_Settings.Channel[0].height, c.loadedHeight) << c.width << "x" << c.height;
    }
}

TEST_F(ChannelIniTest, LineBreaksInTextsAreDroppedWhenWritten) {
    g_Settings.nChConfigNum = 1;
    SetText(g_Settings.Channel[0].username, 32, "ev\r\nil=1");
    SetText(g_Settings.Record[0].chname, 18, "Gate\n[X]");
    ASSERT_EQ(SaveChannelIni(), 1);
    ASSERT_EQ(SaveRecordIni(1), 1);
    std::memset(&g_Settings, 0, sizeof g_Settings);
    LoadChannelIni();
    EXPECT_STREQ(g_Settings.Channel[0].username, "evil=1");
    EXPECT_STREQ(g_Settings.Record[0].chname, "Gate[X]");
    EXPECT_EQ(g_Settings.Record[0].bitrate, 0);  // written by SaveRecordIni, not defaulted
    for (const std::string& line : IniLines()) {
        EXPECT_NE(line, "[X]");
        EXPECT_NE(line, "il=1");
    }
}

TEST_F(ChannelIniTest, LoweredCountLeavesOldSectionsUnread) {
    g_Settings.nChConfigNum = 4;
    for (int n = 0; n < 4; ++n) {
        g_Settings.Channel[n].status = 1;
        g_Settings.Channel[n].mode = SOURCE_LOCAL;
    }
    ASSERT_EQ(SaveChannelIni(), 1);
    g_Settings.nChConfigNum = 2;
    ASSERT_EQ(SaveChannelIni(), 1);

    std::memset(&g_Settings, 0, sizeof g_Settings);
    g_Settings.Channel[3].framenum = 99;  // what the caller had stays
    LoadChannelIni();
    EXPECT_EQ(g_Settings.nChConfigNum, 2);
    EXPECT_EQ(g_Settings.Channel[1].mode, SOURCE_LOCAL);
    EXPECT_EQ(g_Settings.Channel[2].mode, 0);
    EXPECT_EQ(g_Settings.Channel[3].framenum, 99);
    EXPECT_EQ(GetPrivateProfileIntA("Channel04", "mode", 0, kFile), SOURCE_LOCAL);  // still there
}

TEST_F(ChannelIniTest, RecordAndColourWritersTouchOnlyTheirKeys) {
    WriteIni("[ChannelNum]\nnChConfigNum=1\n[Channel01]\nstatus=1\nvideocolor=5\n");
    g_Settings.Record[0].bitrate = 512;
    g_Settings.Record[0].videocolor = 7;
    ASSERT_EQ(SaveRecordIni(1), 1);
    EXPECT_EQ(GetPrivateProfileIntA("Channel01", "videocolor", 0, kFile), 5u);
    EXPECT_EQ(GetPrivateProfileIntA("Channel01", "bitrate", 0, kFile), 512u);
    EXPECT_EQ(GetPrivateProfileIntA("Channel01", "status", 0, kFile), 1u);
    ASSERT_EQ(SaveVideoColorIni(1), 1);
    EXPECT_EQ(GetPrivateProfileIntA("Channel01", "videocolor", 0, kFile), 7u);
    // Only running channels are written.
    ASSERT_EQ(SaveVideoColorIni(0), 1);
    EXPECT_EQ(GetPrivateProfileIntA("Channel02", "videocolor", 9, kFile), 9u);
}

}  // namespace
