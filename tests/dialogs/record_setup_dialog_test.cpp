// "Record Setup...": the frame's cases with its departures (Esc saves),
// what a channel shows of its stored record and how the controls go back
// into it, the channel row, and the mended faults: IDOK after a Save
// however it ends, refused values never stored, the title's 16-byte limit,
// else(K) read only while chosen, an unlisted audio rate kept, texts kept
// byte for byte, and a refused value holding a channel switch.

#include "dialogs/record_setup_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <cstring>
#include <string>

#include "dialog_input.h"
#include "dialog_test_resources.h"
#include "frame_cases.h"
#include "res/record_setup_ids.h"
#include "support/modal_step.h"
#include "support/qt_app.h"
#include "support/scripted_message_boxes.h"
#include "support/ui_input.h"

namespace {

constexpr char kQuestion[] = "Setting is changed! Back to save?";
constexpr char kRangePrompt[] = "Please enter an integer between 10 and 2048.";

RecordEntry Record(uint8_t enc, uint8_t aud, uint16_t kbps, uint16_t akbps, const char* title,
                   uint8_t date, uint8_t time, uint8_t audio, uint8_t recfile) {
    RecordEntry r{};
    r.enc_method = enc;
    r.aud_method = aud;
    r.bitrate = kbps;
    r.audbitrate = akbps;
    std::strncpy(r.chname, title, sizeof r.chname - 1);
    r.osddate = date;
    r.osdtime = time;
    r.haveaudio = audio;
    r.recfile = recfile;
    r.videocolor = 0x80808080;
    return r;
}

void LocalChannel(int n) {
    g_Settings.Channel[n] = ChannelEntry{};
    g_Settings.Channel[n].status = 1;
    g_Settings.Channel[n].mode = SOURCE_LOCAL;
}

bool LiveIs(const RecordEntry (&expected)[MAX_CHANNELS]) {
    return std::memcmp(g_Settings.Record, expected, sizeof expected) == 0;
}

class RecordSetupDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        SetResourceProvider(&m_resources);
        g_Settings = Settings{};
        g_Settings.nChConfigNum = 4;
        for (int n : {0, 1, 3}) {
            LocalChannel(n);
        }
        g_Settings.Channel[2].status = 1;
        g_Settings.Channel[2].mode = SOURCE_NETWORK;
        for (int n = 0; n < MAX_CHANNELS; ++n) {
            g_Settings.Record[n] = Record(0, 0, 384, 32, "", 1, 1, 0, 0);
        }
        g_Settings.Record[0] = Record(0, 0, 384, 32, "Gate", 1, 1, 0, 0);
        g_Settings.Record[1] = Record(3, 1, 256, 16, "Yard", 0, 1, 1, 2);
        std::memcpy(m_original, g_Settings.Record, sizeof m_original);
    }
    void TearDown() override { SetResourceProvider(nullptr); }

    INT_PTR Run(CRecordSetupDialog& dlg, const std::function<void()>& step) {
        return RunModalWith(dlg, step);
    }

    DialogTestResources m_resources;
    RecordEntry m_original[MAX_CHANNELS];
};

void TypeInto(CWnd& dlg, int id, const QString& text, bool replace = false) {
    auto* edit = qobject_cast<QLineEdit*>(ControlWidget(dlg, id));
    if (replace) {
        edit->selectAll();
        edit->del();
    }
    edit->end(false);
    TypeText(edit, text);
}

void Do(CRecordSetupDialog& d, FrameAct act) {
    if (PlaySaveExitOrEsc(d, act, IDC_RECORD_SAVE)) {
        return;
    }
    switch (act) {
        case FrameAct::Change:
            TypeInto(d, IDC_CHANNEL_TITLE, "1");
            break;
        case FrameAct::ChangeAgain:
            TypeInto(d, IDC_CHANNEL_TITLE, "2");
            break;
        default:
            break;
        case FrameAct::StillOpenAndChanged:
            EXPECT_TRUE(d.IsWindowVisible());
            EXPECT_EQ(d.GetDlgItemText(IDC_CHANNEL_TITLE), "Gate1");
            break;
    }
}

// Here Esc is Save and keeps the dialog open; only Exit ends it.
TEST_F(RecordSetupDialogTest, TheFramesCasesWithEscAsSave) {
    RecordEntry changed[MAX_CHANNELS];
    std::memcpy(changed, m_original, sizeof changed);
    std::strcpy(changed[0].chname, "Gate1");
    using A = FrameAct;
    RunFrameCases<CRecordSetupDialog>(
        FrameCasesWith({
            {"change, Esc (saves), Exit", {A::Change, A::Esc, A::Exit}, {}, IDOK, true},
            {"change, Save, Esc, Exit", {A::Change, A::Save, A::Esc, A::Exit}, {}, IDOK, true},
        }),
        [this] { std::memcpy(g_Settings.Record, m_original, sizeof m_original); }, Do,
        [&](bool saved) { return LiveIs(saved ? changed : m_original); });
}

TEST_F(RecordSetupDialogTest, AChannelShowsItsStoredRecord) {
    g_Settings.Record[0] = Record(9, 0, 100, 20, "Gate", 0, 1, 1, 1);  // unlisted rates
    CRecordSetupDialog dlg;
    Run(dlg, [&dlg] {
        EXPECT_EQ(dlg.GetDlgItemText(IDC_RECORD_CAPTION), "Channel 01 Record Setup:");
        EXPECT_TRUE(IsChecked(dlg, IDC_VCODEC_MJPEG));
        EXPECT_TRUE(IsChecked(dlg, IDC_KBPS_OTHER));
        EXPECT_EQ(dlg.GetDlgItemText(IDC_KBPS_OTHER_EDIT), "100");
        for (int id : {IDC_AKBPS_32, IDC_AKBPS_24, IDC_AKBPS_16, IDC_AKBPS_8}) {
            EXPECT_FALSE(IsChecked(dlg, id)) << id;
        }
        EXPECT_TRUE(IsChecked(dlg, IDC_RECFILE_MPG));
        EXPECT_FALSE(IsChecked(dlg, IDC_OSD_DATE));
        EXPECT_TRUE(IsChecked(dlg, IDC_OSD_TIME));
        EXPECT_TRUE(IsChecked(dlg, IDC_CHANNEL_AUDIO));
        // The row: Channel 01 selected; only configured local channels enabled.
        EXPECT_TRUE(IsChecked(dlg, IDC_RECORD_CHANNEL_FIRST));
        for (int k = 0; k < MAX_CHANNELS; ++k) {
            EXPECT_EQ(dlg.GetDlgItem(IDC_RECORD_CHANNEL_FIRST + k)->IsWindowEnabled() == TRUE,
                      k == 0 || k == 1 || k == 3)
                << k;
        }
        // Channel 02: a listed rate leaves the else(K) edit as it was.
        Click(dlg, IDC_RECORD_CHANNEL_FIRST + 1);
        EXPECT_EQ(dlg.GetDlgItemText(IDC_RECORD_CAPTION), "Channel 02 Record Setup:");
        EXPECT_TRUE(IsChecked(dlg, IDC_VCODEC_MPEG4));
        EXPECT_TRUE(IsChecked(dlg, IDC_KBPS_256));
        EXPECT_EQ(dlg.GetDlgItemText(IDC_KBPS_OTHER_EDIT), "100");
        EXPECT_TRUE(IsChecked(dlg, IDC_ACODEC_AC3));
        EXPECT_TRUE(IsChecked(dlg, IDC_AKBPS_16));
        EXPECT_TRUE(IsChecked(dlg, IDC_RECFILE_MOV));
        EXPECT_EQ(dlg.GetDlgItemText(IDC_CHANNEL_TITLE), "Yard");
        EXPECT_FALSE(IsChecked(dlg, IDC_RECORD_CHANNEL_FIRST));
        EXPECT_TRUE(IsChecked(dlg, IDC_RECORD_CHANNEL_FIRST + 1));
        dlg.EndDialog(IDCANCEL);
    });
}

TEST_F(RecordSetupDialogTest, EveryControlReachesTheRecord) {
    CRecordSetupDialog dlg;
    EXPECT_EQ(Run(dlg,
                  [&dlg] {
                      Click(dlg, IDC_VCODEC_WMV2);
                      Click(dlg, IDC_KBPS_1536);
                      Click(dlg, IDC_RECFILE_MOV);
                      Click(dlg, IDC_ACODEC_AC3);
                      Click(dlg, IDC_AKBPS_8);
                      TypeInto(dlg, IDC_CHANNEL_TITLE, "Door", true);
                      Click(dlg, IDC_OSD_DATE);
                      Click(dlg, IDC_CHANNEL_AUDIO);
                      Click(dlg, IDC_RECORD_SAVE);
                      Click(dlg, IDOK);
                  }),
              IDOK);
    RecordEntry expected[MAX_CHANNELS];
    std::memcpy(expected, m_original, sizeof expected);
    expected[0] = Record(7, 1, 1536, 8, "Door", 0, 1, 1, 2);  // videocolor untouched
    EXPECT_TRUE(LiveIs(expected));
}

TEST_F(RecordSetupDialogTest, ElseKbpsTakesTenTo2048AndARefusedValueIsNeverStored) {
    struct Case {
        const char* typed;
        bool refused;
        uint16_t stored;
    };
    for (const Case& c : {Case{"2048", false, 2048}, Case{"10", false, 10}, Case{"2049", true, 384},
                          Case{"9", true, 384}}) {
        SCOPED_TRACE(c.typed);
        std::memcpy(g_Settings.Record, m_original, sizeof m_original);
        ScriptedMessageBoxes boxes;
        CRecordSetupDialog dlg;
        if (c.refused) {
            // Save's store, Exit's store and Exit's final read each refuse it.
            for (int i = 0; i < 3; ++i) {
                boxes.Expect({kRangePrompt, IDOK, "Quorvalind", MB_OK | MB_ICONEXCLAMATION});
            }
            // Corrected, the value and the date flag now differ from the save.
            boxes.Expect(kQuestion, IDNO);
        }
        const INT_PTR result = Run(dlg, [&dlg, &c] {
            Click(dlg, IDC_KBPS_OTHER);
            TypeInto(dlg, IDC_KBPS_OTHER_EDIT, c.typed, true);
            Click(dlg, IDC_OSD_DATE);  // after else(K): lost with a refused value
            Click(dlg, IDC_RECORD_SAVE);
            if (c.refused) {
                EXPECT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(IDC_KBPS_OTHER_EDIT));
            }
            Click(dlg, IDOK);
            // A refused value keeps the dialog open after the Save.
            EXPECT_EQ(dlg.IsWindowVisible() == TRUE, c.refused);
            if (c.refused) {
                TypeInto(dlg, IDC_KBPS_OTHER_EDIT, "700", true);
                Click(dlg, IDOK);
            }
        });
        EXPECT_EQ(result, IDOK);
        // Exit stores but does not copy: the live record holds what Save copied.
        EXPECT_EQ(+g_Settings.Record[0].bitrate, c.stored);
        EXPECT_EQ(+g_Settings.Record[0].osddate, c.refused ? 1 : 0);
    }
}

TEST_F(RecordSetupDialogTest, AnOutOfRangeStoredRateHoldsUpOnlyItsOwnChannel) {
    g_Settings.Record[0].bitrate = 5000;  // from an edited ini file
    ScriptedMessageBoxes boxes;
    boxes.Expect(kRangePrompt);  // leaving channel 1 untouched: it stays
    CRecordSetupDialog dlg;
    EXPECT_EQ(Run(dlg,
                  [&dlg] {
                      EXPECT_EQ(dlg.GetDlgItemText(IDC_KBPS_OTHER_EDIT), "5000");
                      Click(dlg, IDC_RECORD_CHANNEL_FIRST + 1);
                      EXPECT_EQ(dlg.m_nChannel, 0);
                      EXPECT_TRUE(IsChecked(dlg, IDC_RECORD_CHANNEL_FIRST));
                      EXPECT_EQ(+g_EditRecordTable[0].bitrate, 5000);
                      // A listed rate lets it go; the edit keeps 5000.
                      Click(dlg, IDC_KBPS_256);
                      Click(dlg, IDC_RECORD_CHANNEL_FIRST + 1);
                      EXPECT_EQ(dlg.m_nChannel, 1);
                      EXPECT_EQ(dlg.GetDlgItemText(IDC_KBPS_OTHER_EDIT), "5000");
                      // Channel 2 checks no else(K) value: no prompt.
                      TypeInto(dlg, IDC_CHANNEL_TITLE, "Back", true);
                      Click(dlg, IDC_RECORD_SAVE);
                      Click(dlg, IDOK);
                  }),
              IDOK);
    EXPECT_EQ(+g_Settings.Record[0].bitrate, 256);
    EXPECT_STREQ(g_Settings.Record[1].chname, "Back");
    EXPECT_EQ(+g_Settings.Record[1].bitrate, 256);
}

TEST_F(RecordSetupDialogTest, TheTitleTakesSixteenStoredBytes) {
    CRecordSetupDialog dlg;
    EXPECT_EQ(Run(dlg,
                  [&dlg] {
                      TypeInto(dlg, IDC_CHANNEL_TITLE, "ABCDEFGHIJKLMNOPQ", true);
                      EXPECT_EQ(dlg.GetDlgItemText(IDC_CHANNEL_TITLE), "ABCDEFGHIJKLMNOP");
                      Click(dlg, IDC_RECORD_CHANNEL_FIRST + 1);
                      // Chinese characters count two bytes each.
                      TypeInto(dlg, IDC_CHANNEL_TITLE, QString::fromUtf8("大门前院后门东西南北"),
                               true);
                      EXPECT_EQ(dlg.GetDlgItemText(IDC_CHANNEL_TITLE).size(), 16u);
                      Click(dlg, IDC_RECORD_SAVE);
                      Click(dlg, IDOK);
                  }),
              IDOK);
    EXPECT_STREQ(g_Settings.Record[0].chname, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(std::strlen(g_Settings.Record[1].chname), 16u);
}

TEST_F(RecordSetupDialogTest, AnUnlistedAudioRateStaysAndTheRestIsStored) {
    g_Settings.Record[0].audbitrate = 20;
    CRecordSetupDialog dlg;
    bool released = false;
    EXPECT_EQ(Run(dlg,
                  [&dlg, &released] {
                      TypeInto(dlg, IDC_CHANNEL_TITLE, "Porch", true);
                      Click(dlg, IDC_OSD_DATE);
                      Click(dlg, IDC_RECFILE_MPG);
                      Click(dlg, IDC_RECORD_SAVE);
                      released = !IsChecked(dlg, IDC_RECORD_CHANNEL_FIRST);
                      Click(dlg, IDOK);
                  }),
              IDOK);
    EXPECT_TRUE(released);
    EXPECT_EQ(+g_Settings.Record[0].audbitrate, 20);
    EXPECT_STREQ(g_Settings.Record[0].chname, "Porch");
    EXPECT_EQ(g_Settings.Record[0].osddate, 0);
    EXPECT_EQ(g_Settings.Record[0].recfile, 1);
}

TEST_F(RecordSetupDialogTest, TitlesKeepTheirBytes) {
    // GBK bytes outside GB2312, shown and not edited, come back unchanged.
    const char gbk[] =
        "\x81\x40"
        "AB";
    std::strcpy(g_Settings.Record[0].chname, gbk);
    CRecordSetupDialog dlg;
    EXPECT_EQ(Run(dlg,
                  [&dlg] {
                      Click(dlg, IDC_OSD_TIME);
                      Click(dlg, IDC_RECORD_CHANNEL_FIRST + 1);
                      // What GB2312 cannot hold cannot be typed.
                      TypeInto(dlg, IDC_CHANNEL_TITLE, QString::fromUtf8("€X"), true);
                      EXPECT_EQ(dlg.GetDlgItemText(IDC_CHANNEL_TITLE), "X");
                      Click(dlg, IDC_RECORD_SAVE);
                      Click(dlg, IDOK);
                  }),
              IDOK);
    EXPECT_STREQ(g_Settings.Record[0].chname, gbk);
    EXPECT_EQ(g_Settings.Record[0].osdtime, 0);
    EXPECT_STREQ(g_Settings.Record[1].chname, "X");
}

TEST_F(RecordSetupDialogTest, SwitchingChannelsStoresTheOneLeft) {
    ScriptedMessageBoxes boxes;
    boxes.Expect(kQuestion, IDNO);
    CRecordSetupDialog dlg;
    EXPECT_EQ(Run(dlg,
                  [&dlg] {
                      TypeInto(dlg, IDC_CHANNEL_TITLE, "West", true);
                      Click(dlg, IDC_RECORD_CHANNEL_FIRST + 3);
                      EXPECT_STREQ(g_EditRecordTable[0].chname, "West");
                      EXPECT_EQ(dlg.m_nChannel, 3);
                      Click(dlg, IDC_RECORD_CHANNEL_FIRST);
                      EXPECT_EQ(dlg.GetDlgItemText(IDC_CHANNEL_TITLE), "West");
                      Click(dlg, IDOK);
                  }),
              IDCANCEL);
    EXPECT_TRUE(LiveIs(m_original));
}

TEST_F(RecordSetupDialogTest, ARefusedValueHoldsTheSwitchUntilCorrected) {
    ScriptedMessageBoxes boxes;
    boxes.Expect({kRangePrompt, IDOK, "Quorvalind", MB_OK | MB_ICONEXCLAMATION});
    CRecordSetupDialog dlg;
    Run(dlg, [&] {
        // Read before the else(K) value, then after it.
        Click(dlg, IDC_VCODEC_MPEG4);
        Click(dlg, IDC_RECFILE_MOV);
        Click(dlg, IDC_KBPS_OTHER);
        TypeInto(dlg, IDC_KBPS_OTHER_EDIT, "9", true);
        Click(dlg, IDC_ACODEC_AC3);
        TypeInto(dlg, IDC_CHANNEL_TITLE, "West", true);
        Click(dlg, IDC_OSD_DATE);
        Click(dlg, IDC_OSD_TIME);
        Click(dlg, IDC_CHANNEL_AUDIO);
        Click(dlg, IDC_AKBPS_8);
        Click(dlg, IDC_RECORD_CHANNEL_FIRST + 3);
        EXPECT_TRUE(boxes.AllShown());
        EXPECT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(IDC_KBPS_OTHER_EDIT));
        // Channel 1 stays, selected, with every edit on screen.
        EXPECT_EQ(dlg.m_nChannel, 0);
        EXPECT_EQ(dlg.GetDlgItemText(IDC_RECORD_CAPTION), "Channel 01 Record Setup:");
        EXPECT_TRUE(IsChecked(dlg, IDC_RECORD_CHANNEL_FIRST));
        EXPECT_FALSE(IsChecked(dlg, IDC_RECORD_CHANNEL_FIRST + 3));
        for (int id : {IDC_VCODEC_MPEG4, IDC_RECFILE_MOV, IDC_KBPS_OTHER, IDC_ACODEC_AC3,
                       IDC_CHANNEL_AUDIO, IDC_AKBPS_8}) {
            EXPECT_TRUE(IsChecked(dlg, id)) << id;
        }
        EXPECT_FALSE(IsChecked(dlg, IDC_OSD_DATE));
        EXPECT_FALSE(IsChecked(dlg, IDC_OSD_TIME));
        EXPECT_EQ(dlg.GetDlgItemText(IDC_KBPS_OTHER_EDIT), "9");
        EXPECT_EQ(dlg.GetDlgItemText(IDC_CHANNEL_TITLE), "West");
        // Its record took nothing, not even what was read before the refusal.
        EXPECT_EQ(std::memcmp(g_EditRecordTable, m_original, sizeof m_original), 0);

        TypeInto(dlg, IDC_KBPS_OTHER_EDIT, "700", true);
        Click(dlg, IDC_RECORD_CHANNEL_FIRST + 3);
        EXPECT_EQ(dlg.m_nChannel, 3);
        EXPECT_FALSE(IsChecked(dlg, IDC_RECORD_CHANNEL_FIRST));
        const RecordEntry stored = Record(3, 1, 700, 8, "West", 0, 0, 1, 2);
        EXPECT_EQ(std::memcmp(&g_EditRecordTable[0], &stored, sizeof stored), 0);
        dlg.EndDialog(IDCANCEL);
    });
}

}  // namespace
