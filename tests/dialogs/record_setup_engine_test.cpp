// The record dialog in the running recorder: the Record button's path runs
// the real dialog; what the user sets there reaches the ini file and the
// running channel, whose next record file is encoded with the new codec
// and carries the title and the stamps in its pictures.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <cstdio>
#include <string>
#include <vector>

#include "channel/channel_fakes.h"
#include "dialog_input.h"
#include "res/record_setup_ids.h"
#include "setup_engine_fixture.h"
#include "support/modal_step.h"
#include "support/ui_input.h"

using namespace engine_test;

namespace {

constexpr char kRecordFolder[] = "OstVA_Rec";

class RecordSetupEngineTest : public SetupDialogEngineTest {
protected:
    engine_test::RecordingPoster m_window;
};

// The luma of a record file's first picture, decoded by ffmpeg.
std::vector<uint8_t> FirstPictureLuma(const std::string& path, int width, int height) {
    const std::string command = "/usr/bin/ffmpeg -v error -i '" + path +
                                "' -frames:v 1 -f rawvideo -pix_fmt gray - 2>/dev/null";
    std::vector<uint8_t> luma(static_cast<size_t>(width) * height);
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return {};
    }
    luma.resize(std::fread(luma.data(), 1, luma.size(), pipe));
    pclose(pipe);
    return luma;
}

// Samples bright as the on-screen text in a band of the picture.
int InkIn(const std::vector<uint8_t>& luma, int width, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const size_t i = static_cast<size_t>(y) * width + x;
            n += i < luma.size() && luma[i] >= 200 ? 1 : 0;
        }
    }
    return n;
}

TEST_F(RecordSetupEngineTest, SavedChoicesReachTheIniFileAndTheRunningChannel) {
    Start();
    Pictures(3);
    const std::vector<std::string> before = ListFiles(kRecordFolder, "CH01_", ".avi");
    ASSERT_EQ(before.size(), 1u);

    bool shown = false;
    ActOnNextModal([&shown](CWnd& dlg) {
        shown = dlg.GetWindowText() == "Record Setup...";
        Click(dlg, IDC_VCODEC_MPEG4);
        Click(dlg, IDC_KBPS_OTHER);
        Retype(dlg, IDC_KBPS_OTHER_EDIT, "700");
        Click(dlg, IDC_ACODEC_AC3);
        Retype(dlg, IDC_CHANNEL_TITLE, "GATE");
        Click(dlg, IDC_OSD_DATE);
        Click(dlg, IDC_OSD_TIME);
        Click(dlg, IDC_CHANNEL_AUDIO);
        Click(dlg, IDC_RECORD_SAVE);
        Click(dlg, IDOK);
    });
    m_state->OnRecordSetup();  // the Record button's handler
    EXPECT_TRUE(shown);
    EXPECT_EQ(m_log.lines().back().text, "Change and save record setup!");

    // The running channel re-creates its encoder with the new choices.
    ASSERT_TRUE(WaitUntil([&] {
        const CodecParams p = Channel().GetEncodeParams();
        return p.byVideoType == VCODEC_MPEG4 && p.nVideoKbps == 700 && p.byAudioType == ACODEC_MP2;
    }));
    m_now = MakeLocalTime(2006, 5, 25, 9, 5, 9);  // the next file's name
    Pictures(3);
    m_state->RunExit();

    const std::vector<std::string> after = ListFiles(kRecordFolder, "CH01_", ".avi");
    ASSERT_EQ(after.size(), 2u);
    const std::string first = std::string(kRecordFolder) + "/" + after[0];
    const std::string next = std::string(kRecordFolder) + "/" + after[1];
    EXPECT_EQ(ProbeVideoField(first, "codec_name"), "h264");
    EXPECT_EQ(ProbeVideoField(next, "codec_name"), "mpeg4");
    // Title top left, date and time bottom right: only in the new file.
    const std::vector<uint8_t> plain = FirstPictureLuma(first, 352, 288);
    const std::vector<uint8_t> stamped = FirstPictureLuma(next, 352, 288);
    ASSERT_EQ(stamped.size(), 352u * 288u);
    EXPECT_EQ(InkIn(plain, 352, 0, 0, 120, 40), 0);
    EXPECT_GT(InkIn(stamped, 352, 0, 0, 120, 40), 20);
    EXPECT_EQ(InkIn(plain, 352, 170, 256, 352, 288), 0);
    EXPECT_GT(InkIn(stamped, 352, 170, 256, 352, 288), 40);

    // The ini file holds every key.
    g_Settings.Record[0] = RecordEntry{};
    LoadChannelIni();
    const RecordEntry r = g_Settings.Record[0];
    EXPECT_EQ(r.enc_method, VCODEC_MPEG4 - 1);
    EXPECT_EQ(r.aud_method, ACODEC_MP2 - 1);
    EXPECT_EQ(+r.bitrate, 700);
    EXPECT_EQ(+r.audbitrate, 32);
    EXPECT_STREQ(r.chname, "GATE");
    EXPECT_EQ(r.osddate, 1);
    EXPECT_EQ(r.osdtime, 1);
    EXPECT_EQ(r.haveaudio, 1);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(RecordSetupEngineTest, ExitWithoutSaveChangesNothing) {
    Start();
    ActOnNextModal([](CWnd& dlg) { Click(dlg, IDOK); });
    const size_t lines = m_log.lines().size();
    m_state->OnRecordSetup();
    EXPECT_EQ(m_log.lines().size(), lines);
    EXPECT_EQ(Channel().GetEncodeParams().byVideoType, VCODEC_H264);
}

}  // namespace
