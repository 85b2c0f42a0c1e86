// "Channel Setup...": the device lists as the capture layer reports them
// (a card with a crossbar, a camera and a microphone, each beside a device
// whose format step failed), the channel list's rows and columns, what a
// channel shows of its stored source and how Rectify, Delete, Change
// Status and their keys change the working copy; the frame's cases with
// this dialog's departures; and the mended faults: a refused Rectify keeps
// the channel, the spin counts a number just typed, the rates are those of
// the stored size, the network texts take what the ini file gives back
// (its lengths, its trimming), device names are cut at a character
// boundary, a refused size list offers no sizes, and devices keep their
// numbers when one is not listed.

#include "dialogs/channel_setup_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "capture/capture_device.h"
#include "capture/capture_graph.h"
#include "dialog_input.h"
#include "dialog_test_resources.h"
#include "frame_cases.h"
#include "platform/capture/device_enum.h"
#include "platform/capture/synthetic_backend.h"
#include "platform/textcodec/gb2312_codec.h"
#include "res/channel_setup_ids.h"
#include "settings/channel_ini.h"
#include "support/chdir_temp_dir.h"
#include "support/modal_step.h"
#include "support/qt_app.h"
#include "support/scripted_message_boxes.h"
#include "support/ui_input.h"

namespace {

constexpr char kQuestion[] = "Setting is changed! Back to save?";
constexpr char kRangePrompt[] = "Please enter an integer between 0 and 15.";

using Texts = std::vector<std::string>;

// Table: 0 a camera whose only format does not qualify, 1 a card with a
// crossbar (10 pictures a second at 176 x 144, 25 at 352 x 288), 2 a
// camera, 3 a microphone without the sound format, 4 a microphone.
SyntheticConfig Devices() {
    SyntheticConfig config;
    SyntheticVideoDevice broken;
    broken.description = "Broken camera";
    broken.caps = {{Subtype::YUY2, 640, 480, 400000}};
    broken.realtime = false;
    SyntheticVideoDevice card;
    card.description = "Capture card";
    card.caps = {{Subtype::I420, 176, 144, 1000000}, {Subtype::I420, 352, 288, 400000}};
    card.analogInput = true;
    card.crossbars = {
        {{SyntheticCrossbarInput{1}, SyntheticCrossbarInput{2}, SyntheticCrossbarInput{3}}}};
    card.realtime = false;
    SyntheticVideoDevice webcam;
    webcam.description = "Webcam";
    webcam.caps = {{Subtype::I420, 352, 288, 333333}};
    webcam.realtime = false;
    config.video = {broken, card, webcam};
    SyntheticAudioDevice deaf;
    deaf.description = "Broken microphone";
    deaf.formats = {{44100, 2, 16}};
    deaf.realtime = false;
    SyntheticAudioDevice mic;
    mic.description = "Microphone";
    mic.formats = {{22050, 1, 16}};
    mic.realtime = false;
    config.audio = {deaf, mic};
    return config;
}

template <size_t N>
void Put(char (&field)[N], const char* text) {
    std::memset(field, 0, N);
    std::strncpy(field, text, N - 1);
}

ChannelEntry Local(uint8_t videoin, const char* videoname, uint16_t w, uint16_t h, uint8_t fps,
                   uint8_t subin, uint8_t audioin, const char* audioname) {
    ChannelEntry c{};
    c.status = 1;
    c.mode = SOURCE_LOCAL;
    c.videoin = videoin;
    Put(c.videoname, videoname);
    c.width = w;
    c.height = h;
    c.framenum = fps;
    c.videosubin = subin;
    c.audioin = audioin;
    Put(c.audioname, audioname);
    return c;
}

ChannelEntry Net(const char* address, uint8_t chno, const char* user, const char* pass) {
    ChannelEntry c{};
    c.status = 1;
    c.mode = SOURCE_NETWORK;
    Put(c.netipaddr, address);
    c.netchno = chno;
    Put(c.username, user);
    Put(c.passwd, pass);
    return c;
}

bool SameEntry(const ChannelEntry& a, const ChannelEntry& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class ChannelSetupDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        SetResourceProvider(&m_resources);
        if (WithTheDevices()) {
            // The failed format steps say so once, at start.
            InitDevices(Devices(), {"FindVideoDevMode Failed!!!", "SetAudio 22.05K Failed!!!",
                                    "SetAudioCaptureMode Failed!!!"});
        }
        g_Settings = Settings{};
        g_Settings.nChConfigNum = 4;
        g_Settings.Channel[0] = Local(2, "Capture card", 352, 288, 25, 2, 2, "Microphone");
        g_Settings.Channel[1] = Net("10.0.0.5", 3, "guest", "pw");
        g_Settings.Channel[2] = Local(3, "Webcam", 352, 288, 30, 0, 0, "Empty Device");
        g_Settings.Channel[2].status = 0;
        std::memcpy(m_original, g_Settings.Channel, sizeof m_original);
    }
    void TearDown() override {
        FreeDevices();
        SetResourceProvider(nullptr);
    }
    virtual bool WithTheDevices() const { return true; }

    static void InitDevices(SyntheticConfig config, const Texts& boxesShown = {}) {
        ScriptedMessageBoxes boxes;
        for (const std::string& text : boxesShown) {
            boxes.Expect({text, IDOK, "ERROR", MB_OK});
        }
        SetCaptureBackend(std::make_shared<SyntheticBackend>(std::move(config)));
        ASSERT_EQ(InitCaptureDevices(), 1);
    }
    static void FreeDevices() {
        FreeCaptureDevices();
        SetCaptureBackend(nullptr);
    }

    DialogTestResources m_resources;
    ChannelEntry m_original[MAX_CHANNELS];
};

// The user picks item index of a drop-down list.
void Choose(CWnd& dlg, int id, int index) {
    auto* combo = qobject_cast<QComboBox*>(ControlWidget(dlg, id));
    ASSERT_NE(combo, nullptr) << id;
    ASSERT_LT(index, combo->count()) << id;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

Texts Items(CWnd& dlg, int id) {
    auto* combo = static_cast<CComboBox*>(dlg.GetDlgItem(id));
    Texts out;
    for (int i = 0; i < combo->GetCount(); ++i) {
        CString text;
        combo->GetLBText(i, text);
        out.emplace_back(text.GetString());
    }
    return out;
}

int Chosen(CWnd& dlg, int id) {
    return static_cast<CComboBox*>(dlg.GetDlgItem(id))->GetCurSel();
}

CListCtrl& List(CWnd& dlg) {
    return *static_cast<CListCtrl*>(dlg.GetDlgItem(IDC_CHANNEL_LIST));
}

Texts Row(CWnd& dlg, int row) {
    Texts out;
    for (int col = 0; col < 4; ++col) {
        out.emplace_back(List(dlg).GetItemText(row, col).GetString());
    }
    return out;
}

void ClickRow(CWnd& dlg, int row) {
    auto* view = static_cast<QTreeWidget*>(ControlWidget(dlg, IDC_CHANNEL_LIST));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualItemRect(view->topLevelItem(row)).center());
}

void ListKey(CWnd& dlg, Qt::Key key) {
    PressKey(ControlWidget(dlg, IDC_CHANNEL_LIST), key);
}

void Spin(CWnd& dlg, bool up) {
    const auto arrows = ControlWidget(dlg, IDC_REMOTE_CHANNEL_SPIN)->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    arrows[up ? 0 : 1]->click();
}

bool Enabled(CWnd& dlg, int id) {
    return dlg.GetDlgItem(id)->IsWindowEnabled() == TRUE;
}

Texts Rates(int from, int to) {
    Texts out;
    for (int fps = from; fps <= to; ++fps) {
        char text[16];
        std::snprintf(text, sizeof text, "%02d", fps);
        out.emplace_back(text);
    }
    return out;
}

const Texts kCardInputs = {"No Input", "Video Tuner", "Video Composite", "Video SVideo"};

TEST_F(ChannelSetupDialogTest, OpensWithTheStoredChannelsAndTheListedDevices) {
    CChannelSetupDialog dlg;
    RunModalWith(dlg, [&dlg] {
        EXPECT_EQ(Chosen(dlg, IDC_CHANNEL_COUNT), 4);
        const Texts counts = Items(dlg, IDC_CHANNEL_COUNT);
        ASSERT_EQ(counts.size(), 17u);
        EXPECT_EQ(counts[0], "    empty");
        EXPECT_EQ(counts[1], "01 Channels");
        EXPECT_EQ(counts[16], "16 Channels");
        EXPECT_EQ(Items(dlg, IDC_EDITED_CHANNEL), (Texts{"CH01", "CH02", "CH03", "CH04"}));
        EXPECT_EQ(Chosen(dlg, IDC_EDITED_CHANNEL), 0);

        // The list: its colours, full-row selection, columns of one tenth
        // and seven tenths of its client, one row per channel.
        CListCtrl& list = List(dlg);
        EXPECT_EQ(list.GetBkColor(), 0xF09A3Cu);
        EXPECT_EQ(list.GetTextColor(), 0x575757u);
        EXPECT_EQ(list.GetTextBkColor(), 0xF09A3Cu);
        EXPECT_EQ(list.GetExtendedStyle() & LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        RECT client{};
        list.GetClientRect(&client);
        const int tenth = (client.right - client.left) / 10;
        EXPECT_GT(tenth, 0);
        for (int col = 0; col < 3; ++col) {
            EXPECT_EQ(list.GetColumnWidth(col), tenth) << col;
        }
        EXPECT_EQ(list.GetColumnWidth(3), 7 * tenth);
        auto* view = static_cast<QTreeWidget*>(ControlWidget(dlg, IDC_CHANNEL_LIST));
        const QTreeWidgetItem* header = view->headerItem();
        EXPECT_EQ(header->text(0), "Channel");
        EXPECT_EQ(header->text(1), "Status");
        EXPECT_EQ(header->text(2), "Config");
        EXPECT_EQ(header->text(3), "Details information...");
        ASSERT_EQ(list.GetItemCount(), 4);
        EXPECT_EQ(Row(dlg, 0),
                  (Texts{"CH01", " Active", "Local",
                         "Video:Capture card, size=352*288, fps=25;  Audio:Microphone"}));
        EXPECT_EQ(Row(dlg, 1), (Texts{"CH02", " Active", " Net",
                                      "NetAddr:10.0.0.5, ChNo:3, User:guest, Pass:pw"}));
        EXPECT_EQ(Row(dlg, 2), (Texts{"CH03", "Inactive", "Local",
                                      "Video:Webcam, size=352*288, fps=30;  Audio:Empty Device"}));
        EXPECT_EQ(Row(dlg, 3), (Texts{"CH04", "Inactive", "", ""}));

        // Devices whose format step failed are not offered.
        EXPECT_EQ(Items(dlg, IDC_VIDEO_DEVICE), (Texts{"Empty Device", "Capture card", "Webcam"}));
        EXPECT_EQ(Items(dlg, IDC_AUDIO_DEVICE), (Texts{"Empty Device", "Microphone"}));

        // CH01: the card at its stored size, with the rates of that size
        // (not of the card's first size), its stored input and the
        // microphone.
        EXPECT_EQ(Chosen(dlg, IDC_VIDEO_DEVICE), 1);
        EXPECT_EQ(Items(dlg, IDC_VIDEO_SIZE), (Texts{"176*144", "352*288"}));
        EXPECT_EQ(Chosen(dlg, IDC_VIDEO_SIZE), 1);
        EXPECT_EQ(Items(dlg, IDC_FRAME_RATE), Rates(2, 25));
        EXPECT_EQ(Items(dlg, IDC_FRAME_RATE)[Chosen(dlg, IDC_FRAME_RATE)], "25");
        EXPECT_EQ(Items(dlg, IDC_VIDEO_INPUT), kCardInputs);
        EXPECT_EQ(Chosen(dlg, IDC_VIDEO_INPUT), 2);
        EXPECT_EQ(Chosen(dlg, IDC_AUDIO_DEVICE), 1);
        EXPECT_TRUE(dlg.GetDlgItem(IDC_SOURCE_LOCAL)->SendMessage(BM_GETCHECK) == BST_CHECKED);
        for (int id : {IDC_VIDEO_DEVICE, IDC_VIDEO_SIZE, IDC_FRAME_RATE, IDC_VIDEO_INPUT,
                       IDC_AUDIO_DEVICE}) {
            EXPECT_TRUE(Enabled(dlg, id)) << id;
        }
        for (int id : {IDC_NET_ADDRESS, IDC_REMOTE_CHANNEL, IDC_REMOTE_CHANNEL_SPIN, IDC_NET_USER,
                       IDC_NET_PASSWORD}) {
            EXPECT_FALSE(Enabled(dlg, id)) << id;
        }

        // CH02 is a network channel: its fields, and only they, can be edited.
        Choose(dlg, IDC_EDITED_CHANNEL, 1);
        EXPECT_TRUE(dlg.GetDlgItem(IDC_SOURCE_NET)->SendMessage(BM_GETCHECK) == BST_CHECKED);
        EXPECT_EQ(dlg.GetDlgItemText(IDC_NET_ADDRESS), "10.0.0.5");
        EXPECT_EQ(dlg.GetDlgItemText(IDC_REMOTE_CHANNEL), "3");
        EXPECT_EQ(dlg.GetDlgItemText(IDC_NET_USER), "guest");
        EXPECT_EQ(dlg.GetDlgItemText(IDC_NET_PASSWORD), "pw");
        EXPECT_FALSE(Enabled(dlg, IDC_VIDEO_DEVICE));
        EXPECT_TRUE(Enabled(dlg, IDC_REMOTE_CHANNEL_SPIN));

        // CH03: a camera without inputs; CH04: nothing.
        Choose(dlg, IDC_EDITED_CHANNEL, 2);
        EXPECT_EQ(Chosen(dlg, IDC_VIDEO_DEVICE), 2);
        EXPECT_EQ(Items(dlg, IDC_VIDEO_SIZE), (Texts{"352*288"}));
        EXPECT_EQ(Items(dlg, IDC_FRAME_RATE), Rates(2, 30));
        EXPECT_EQ(Items(dlg, IDC_FRAME_RATE)[Chosen(dlg, IDC_FRAME_RATE)], "30");
        EXPECT_EQ(Items(dlg, IDC_VIDEO_INPUT), (Texts{"No Input"}));
        EXPECT_EQ(Chosen(dlg, IDC_VIDEO_INPUT), 0);
        EXPECT_EQ(Chosen(dlg, IDC_AUDIO_DEVICE), 0);
        Choose(dlg, IDC_EDITED_CHANNEL, 3);
        EXPECT_EQ(Chosen(dlg, IDC_VIDEO_DEVICE), 0);
        EXPECT_TRUE(Items(dlg, IDC_VIDEO_SIZE).empty());
        EXPECT_TRUE(Items(dlg, IDC_FRAME_RATE).empty());
        EXPECT_EQ(Chosen(dlg, IDC_AUDIO_DEVICE), 0);

        // Picking a device offers its sizes, the first size's rates and
        // its first input; another size brings its own rates.
        Choose(dlg, IDC_VIDEO_DEVICE, 1);
        EXPECT_EQ(Chosen(dlg, IDC_VIDEO_SIZE), 0);
        EXPECT_EQ(Items(dlg, IDC_FRAME_RATE), Rates(2, 10));
        EXPECT_EQ(Chosen(dlg, IDC_FRAME_RATE), 0);
        EXPECT_EQ(Chosen(dlg, IDC_VIDEO_INPUT), 1);
        Choose(dlg, IDC_VIDEO_SIZE, 1);
        EXPECT_EQ(Items(dlg, IDC_FRAME_RATE), Rates(2, 25));
        Choose(dlg, IDC_VIDEO_DEVICE, 0);
        EXPECT_TRUE(Items(dlg, IDC_VIDEO_SIZE).empty());
        EXPECT_EQ(Items(dlg, IDC_VIDEO_INPUT), (Texts{"No Input"}));
        dlg.EndDialog(IDCANCEL);
    });
}

TEST_F(ChannelSetupDialogTest, RectifyStoresTheDevicesByTheNumbersTheChannelStartReads) {
    struct Case {
        const char* name;
        int video, size, rate, input, audio;  // list items chosen
        ChannelEntry stored;
        const char* details;
    };
    const Case cases[] = {
        // The card is table entry 1 behind the broken camera, the
        // microphone the second audio device.
        {"card, small, 10 fps, S-Video, microphone", 1, 0, 8, 3, 1,
         Local(2, "Capture card", 176, 144, 10, 3, 2, "Microphone"),
         "Video:Capture card, size=176*144, fps=10;  Audio:Microphone"},
        {"webcam at 2 fps without sound", 2, 0, 0, 0, 0,
         Local(3, "Webcam", 352, 288, 2, 0, 0, "Empty Device"),
         "Video:Webcam, size=352*288, fps=2;  Audio:Empty Device"},
        {"sound only", 0, -1, -1, -1, 1, Local(0, "Empty Device", 0, 0, 0, 0, 2, "Microphone"),
         "Video:Empty Device, size=0*0, fps=0;  Audio:Microphone"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CChannelSetupDialog dlg;
        RunModalWith(dlg, [&dlg, &c] {
            Choose(dlg, IDC_EDITED_CHANNEL, 3);
            Choose(dlg, IDC_VIDEO_DEVICE, c.video);
            if (c.size >= 0) {
                Choose(dlg, IDC_VIDEO_SIZE, c.size);
                Choose(dlg, IDC_FRAME_RATE, c.rate);
                Choose(dlg, IDC_VIDEO_INPUT, c.input);
            }
            Choose(dlg, IDC_AUDIO_DEVICE, c.audio);
            Click(dlg, IDC_RECTIFY_CHANNEL);
            EXPECT_TRUE(SameEntry(g_EditChannelTable.Channel[3], c.stored));
            EXPECT_EQ(Row(dlg, 3), (Texts{"CH04", " Active", "Local", c.details}));
            dlg.EndDialog(IDCANCEL);
        });
    }

    // A network channel; the shown channel's untouched Rectify stores it
    // byte for byte, its rate included.
    CChannelSetupDialog dlg;
    RunModalWith(dlg, [&dlg, this] {
        Click(dlg, IDC_RECTIFY_CHANNEL);
        EXPECT_TRUE(SameEntry(g_EditChannelTable.Channel[0], m_original[0]));
        Choose(dlg, IDC_EDITED_CHANNEL, 3);
        Click(dlg, IDC_SOURCE_NET);
        EXPECT_TRUE(Enabled(dlg, IDC_NET_ADDRESS));
        EXPECT_FALSE(Enabled(dlg, IDC_AUDIO_DEVICE));
        Retype(dlg, IDC_NET_ADDRESS, "recorder.local");
        Retype(dlg, IDC_REMOTE_CHANNEL, "7");
        Retype(dlg, IDC_NET_USER, "viewer");
        Retype(dlg, IDC_NET_PASSWORD, "secret");
        Click(dlg, IDC_RECTIFY_CHANNEL);
        EXPECT_TRUE(
            SameEntry(g_EditChannelTable.Channel[3], Net("recorder.local", 7, "viewer", "secret")));
        EXPECT_EQ(Row(dlg, 3), (Texts{"CH04", " Active", " Net",
                                      "NetAddr:recorder.local, ChNo:7, User:viewer, Pass:secret"}));
        dlg.EndDialog(IDCANCEL);
    });
}

TEST_F(ChannelSetupDialogTest, ARefusedRectifyKeepsTheChannelAsItWas) {
    struct Case {
        const char* name;
        int channel;
        std::function<void(CChannelSetupDialog&)> edit;
        ScriptedMessageBoxes::Expected box;
    };
    const Case cases[] = {
        {"network without an address",
         1,
         [](CChannelSetupDialog& d) { Retype(d, IDC_NET_ADDRESS, ""); },
         {"Ip Address is Null???", IDOK, "ERROR", MB_OK}},
        {"network with a channel out of range",
         1,
         [](CChannelSetupDialog& d) { Retype(d, IDC_REMOTE_CHANNEL, "16"); },
         {kRangePrompt, IDOK, "Quorvalind", MB_OK | MB_ICONEXCLAMATION}},
        {"local without video and sound",
         0,
         [](CChannelSetupDialog& d) {
             Choose(d, IDC_VIDEO_DEVICE, 0);
             Choose(d, IDC_AUDIO_DEVICE, 0);
         },
         {"No Video and No Audio???", IDOK, "ERROR", MB_OK}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedMessageBoxes boxes;
        boxes.Expect(c.box);
        CChannelSetupDialog dlg;
        RunModalWith(dlg, [&dlg, &c, this] {
            Choose(dlg, IDC_EDITED_CHANNEL, c.channel);
            const Texts row = Row(dlg, c.channel);
            c.edit(dlg);
            Click(dlg, IDC_RECTIFY_CHANNEL);
            EXPECT_TRUE(SameEntry(g_EditChannelTable.Channel[c.channel], m_original[c.channel]));
            EXPECT_EQ(Row(dlg, c.channel), row);
            dlg.EndDialog(IDCANCEL);
        });
    }
}

TEST_F(ChannelSetupDialogTest, DeleteChangeStatusAndTheirKeysWorkOnTheSelectedRow) {
    CChannelSetupDialog dlg;
    RunModalWith(dlg, [&dlg, this] {
        // Without a selected row nothing happens.
        Click(dlg, IDC_CHANGE_STATUS);
        Click(dlg, IDC_DELETE_CHANNEL);
        EXPECT_EQ(std::memcmp(g_EditChannelTable.Channel, m_original, sizeof m_original), 0);

        // A click shows the row's channel.
        ClickRow(dlg, 1);
        EXPECT_EQ(Chosen(dlg, IDC_EDITED_CHANNEL), 1);
        EXPECT_EQ(dlg.GetDlgItemText(IDC_NET_ADDRESS), "10.0.0.5");
        ListKey(dlg, Qt::Key_Space);
        EXPECT_EQ(Row(dlg, 1)[1], "Inactive");
        ClickRow(dlg, 1);
        ListKey(dlg, Qt::Key_Space);
        EXPECT_EQ(Row(dlg, 1)[1], " Active");
        ClickRow(dlg, 2);
        Click(dlg, IDC_CHANGE_STATUS);
        EXPECT_EQ(Row(dlg, 2)[1], " Active");
        EXPECT_EQ(g_EditChannelTable.Channel[2].status, 1);

        // Delete empties the channel; its row stays.
        ClickRow(dlg, 1);
        ListKey(dlg, Qt::Key_Delete);
        EXPECT_TRUE(SameEntry(g_EditChannelTable.Channel[1], ChannelEntry{}));
        EXPECT_EQ(Row(dlg, 1), (Texts{"CH02", "Inactive", "", ""}));
        EXPECT_EQ(dlg.m_nSourceKind, 0);  // the emptied channel is shown
        ClickRow(dlg, 0);
        Click(dlg, IDC_DELETE_CHANNEL);
        EXPECT_EQ(Row(dlg, 0), (Texts{"CH01", "Inactive", "", ""}));
        EXPECT_EQ(Chosen(dlg, IDC_VIDEO_DEVICE), 0);
        ASSERT_EQ(List(dlg).GetItemCount(), 4);
        // Other keys do nothing.
        ClickRow(dlg, 2);
        ListKey(dlg, Qt::Key_A);
        EXPECT_EQ(Row(dlg, 2)[1], " Active");
        dlg.EndDialog(IDCANCEL);
    });
}

TEST_F(ChannelSetupDialogTest, ChangeSetsTheCountAndEmptiesTheChannelsBeyondIt) {
    ScriptedMessageBoxes boxes;
    boxes.Expect(kQuestion, IDNO);
    CChannelSetupDialog dlg;
    EXPECT_EQ(
        RunModalWith(dlg,
                     [&dlg] {
                         Choose(dlg, IDC_CHANNEL_COUNT, 2);
                         EXPECT_EQ(g_EditChannelTable.nChConfigNum, 4);  // not before "Change"
                         Click(dlg, IDC_CHANGE_COUNT);
                         EXPECT_EQ(g_EditChannelTable.nChConfigNum, 2);
                         EXPECT_EQ(Items(dlg, IDC_EDITED_CHANNEL), (Texts{"CH01", "CH02"}));
                         EXPECT_EQ(Chosen(dlg, IDC_EDITED_CHANNEL), -1);
                         EXPECT_EQ(List(dlg).GetItemCount(), 2);
                         for (int i = 2; i < MAX_CHANNELS; ++i) {
                             EXPECT_TRUE(SameEntry(g_EditChannelTable.Channel[i], ChannelEntry{}));
                         }
                         // With no channel chosen, Rectify stores nothing.
                         Click(dlg, IDC_RECTIFY_CHANNEL);
                         Choose(dlg, IDC_CHANNEL_COUNT, 0);
                         Click(dlg, IDC_CHANGE_COUNT);
                         EXPECT_EQ(List(dlg).GetItemCount(), 0);
                         EXPECT_TRUE(Items(dlg, IDC_EDITED_CHANNEL).empty());
                         Click(dlg, IDOK);  // the count alone is a change
                     }),
        IDCANCEL);
    EXPECT_EQ(g_Settings.nChConfigNum, 4);
    EXPECT_EQ(std::memcmp(g_Settings.Channel, m_original, sizeof m_original), 0);
}

void Do(CChannelSetupDialog& d, FrameAct act) {
    if (PlaySaveExitOrEsc(d, act, IDC_CHANNEL_SAVE)) {
        return;
    }
    switch (act) {
        case FrameAct::Change:
            Choose(d, IDC_CHANNEL_COUNT, 3);
            Click(d, IDC_CHANGE_COUNT);
            break;
        case FrameAct::ChangeAgain:
            ClickRow(d, 0);
            Click(d, IDC_CHANGE_STATUS);
            break;
        default:
            break;
        case FrameAct::StillOpenAndChanged:
            EXPECT_TRUE(d.IsWindowVisible());
            EXPECT_EQ(List(d).GetItemCount(), 3);
            break;
    }
}

TEST_F(ChannelSetupDialogTest, TheFramesCasesWhereTheCountAloneIsAChange) {
    using A = FrameAct;
    RunFrameCases<CChannelSetupDialog>(
        FrameCasesWith({
            {"change, Save, Esc", {A::Change, A::Save, A::Esc}, {}, IDOK, true},
            {"change, Esc", {A::Change, A::Esc}, {}, IDCANCEL, false},
        }),
        [this] {
            g_Settings.nChConfigNum = 4;
            std::memcpy(g_Settings.Channel, m_original, sizeof m_original);
        },
        Do,
        [this](bool saved) {
            ChannelEntry expected[MAX_CHANNELS];
            std::memcpy(expected, m_original, sizeof expected);
            if (saved) {
                expected[3] = ChannelEntry{};
            }
            return g_Settings.nChConfigNum == (saved ? 3 : 4) &&
                   std::memcmp(g_Settings.Channel, expected, sizeof expected) == 0;
        });
}

TEST_F(ChannelSetupDialogTest, ExitAndSaveTakeNothingFromTheControlsButTheFinalReadCounts) {
    // Edited but not rectified: no change, nothing saved.
    {
        CChannelSetupDialog dlg;
        EXPECT_EQ(RunModalWith(dlg,
                               [&dlg] {
                                   Choose(dlg, IDC_EDITED_CHANNEL, 1);
                                   Retype(dlg, IDC_NET_ADDRESS, "10.9.9.9");
                                   Choose(dlg, IDC_CHANNEL_COUNT, 1);
                                   Click(dlg, IDC_CHANNEL_SAVE);
                                   Click(dlg, IDOK);
                               }),
                  IDOK);
        EXPECT_EQ(g_Settings.nChConfigNum, 4);
        EXPECT_EQ(std::memcmp(g_Settings.Channel, m_original, sizeof m_original), 0);
    }
    // After a Save, a value the final read refuses keeps the dialog open.
    ScriptedMessageBoxes boxes;
    boxes.Expect(kRangePrompt);
    CChannelSetupDialog dlg;
    EXPECT_EQ(RunModalWith(dlg,
                           [&dlg] {
                               Choose(dlg, IDC_EDITED_CHANNEL, 1);
                               Click(dlg, IDC_CHANNEL_SAVE);
                               Retype(dlg, IDC_REMOTE_CHANNEL, "44");
                               Click(dlg, IDOK);
                               EXPECT_TRUE(dlg.IsWindowVisible());
                               EXPECT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(IDC_REMOTE_CHANNEL));
                               Retype(dlg, IDC_REMOTE_CHANNEL, "4");
                               Click(dlg, IDOK);
                           }),
              IDOK);
}

TEST_F(ChannelSetupDialogTest, TheSpinCountsANumberJustTypedAndKeepsToZeroToFifteen) {
    struct Case {
        const char* typed;
        bool up;
        const char* shown;
    };
    const Case cases[] = {
        {"7", true, "8"},  {"7", false, "6"},  {"15", true, "15"},
        {"0", false, "0"}, {"14", true, "15"},
    };
    CChannelSetupDialog dlg;
    RunModalWith(dlg, [&dlg, &cases] {
        Choose(dlg, IDC_EDITED_CHANNEL, 1);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.typed);
            Retype(dlg, IDC_REMOTE_CHANNEL, c.typed);
            Spin(dlg, c.up);
            EXPECT_EQ(dlg.GetDlgItemText(IDC_REMOTE_CHANNEL), c.shown);
            EXPECT_EQ(dlg.m_nRemoteChannel, std::atoi(c.shown));
        }
        dlg.EndDialog(IDCANCEL);
    });
}

TEST_F(ChannelSetupDialogTest, NetworkTextsTakeWhatTheIniFileGivesBack) {
    struct Case {
        int id;
        size_t most;
    };
    const Case cases[] = {{IDC_NET_ADDRESS, 59}, {IDC_NET_PASSWORD, 29}, {IDC_NET_USER, 16}};
    CChannelSetupDialog dlg;
    RunModalWith(dlg, [&dlg, &cases] {
        Choose(dlg, IDC_EDITED_CHANNEL, 1);
        for (const Case& c : cases) {
            Retype(dlg, c.id, QString(70, QChar('a')));
            EXPECT_EQ(dlg.GetDlgItemText(c.id).size(), c.most) << c.id;
        }
        Click(dlg, IDC_RECTIFY_CHANNEL);
        EXPECT_EQ(std::strlen(g_EditChannelTable.Channel[1].netipaddr), 59u);
        EXPECT_EQ(std::strlen(g_EditChannelTable.Channel[1].passwd), 29u);
        EXPECT_EQ(std::strlen(g_EditChannelTable.Channel[1].username), 16u);
        dlg.EndDialog(IDCANCEL);
    });
}

// The user pastes text over an edit's: unlike typing, a paste can bring
// tabs.
void Paste(CWnd& dlg, int id, const char* text) {
    auto* edit = qobject_cast<QLineEdit*>(ControlWidget(dlg, id));
    ASSERT_NE(edit, nullptr) << id;
    edit->setFocus();
    edit->selectAll();
    edit->insert(QString::fromLatin1(text));
}

TEST_F(ChannelSetupDialogTest, NetworkTextsAreStoredTrimmedAsTheNextStartReadsThem) {
    struct Case {
        const char* name;
        const char* address;  // as pasted
        const char* user;
        const char* password;
        const char* trimmedAddress;  // what the edits show after Rectify
        const char* trimmedUser;
        const char* trimmedPassword;
        bool refused;  // "Ip Address is Null???": the channel stays as it was
    };
    const Case cases[] = {
        {"leading", " 10.0.0.7", "\tviewer", " \tpw", "10.0.0.7", "viewer", "pw", false},
        {"trailing", "10.0.0.7\t ", "viewer ", "pw ", "10.0.0.7", "viewer", "pw", false},
        {"inner blanks kept", " \tmy recorder ", "the  viewer\t", "\tp w\tx ", "my recorder",
         "the  viewer", "p w\tx", false},
        {"user and password only blanks", "10.0.0.7", "   ", " \t ", "10.0.0.7", "", "", false},
        {"address only blanks", " \t  ", " viewer", "pw\t", "", "viewer", "pw", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChdirTempDir dir;
        ASSERT_EQ(InitSettingsPaths(), 1);
        g_Settings = Settings{};
        g_Settings.nChConfigNum = 4;
        std::memcpy(g_Settings.Channel, m_original, sizeof m_original);
        const ChannelEntry expected =
            c.refused ? m_original[1] : Net(c.trimmedAddress, 3, c.trimmedUser, c.trimmedPassword);

        ScriptedMessageBoxes boxes;
        if (c.refused) {
            boxes.Expect({"Ip Address is Null???", IDOK, "ERROR", MB_OK});
        }
        CChannelSetupDialog dlg;
        EXPECT_EQ(RunModalWith(dlg,
                               [&dlg, &c, &expected] {
                                   Choose(dlg, IDC_EDITED_CHANNEL, 1);
                                   Paste(dlg, IDC_NET_ADDRESS, c.address);
                                   Paste(dlg, IDC_NET_USER, c.user);
                                   Paste(dlg, IDC_NET_PASSWORD, c.password);
                                   Click(dlg, IDC_RECTIFY_CHANNEL);
                                   EXPECT_EQ(dlg.GetDlgItemText(IDC_NET_ADDRESS), c.trimmedAddress);
                                   EXPECT_EQ(dlg.GetDlgItemText(IDC_NET_USER), c.trimmedUser);
                                   EXPECT_EQ(dlg.GetDlgItemText(IDC_NET_PASSWORD),
                                             c.trimmedPassword);
                                   EXPECT_TRUE(SameEntry(g_EditChannelTable.Channel[1], expected));
                                   Click(dlg, IDC_CHANNEL_SAVE);
                                   Click(dlg, IDOK);
                               }),
                  IDOK);
        const ChannelEntry saved = g_Settings.Channel[1];
        EXPECT_TRUE(SameEntry(saved, expected));

        // The next start reads back what the dialog stored.
        ASSERT_EQ(SaveChannelIni(), 1);
        g_Settings = Settings{};
        LoadChannelIni();
        EXPECT_EQ(g_Settings.nChConfigNum, 4);
        EXPECT_TRUE(SameEntry(g_Settings.Channel[1], saved));
    }
}

TEST_F(ChannelSetupDialogTest, ChannelsOnDevicesNotListedShowEmptyDevice) {
    // The broken camera and microphone are table entry 0 and audio device 0.
    g_Settings.Channel[0] = Local(1, "Broken camera", 352, 288, 25, 0, 1, "Broken microphone");
    CChannelSetupDialog dlg;
    RunModalWith(dlg, [&dlg] {
        EXPECT_EQ(Chosen(dlg, IDC_VIDEO_DEVICE), 0);
        EXPECT_EQ(Chosen(dlg, IDC_AUDIO_DEVICE), 0);
        EXPECT_EQ(Chosen(dlg, IDC_VIDEO_SIZE), -1);
        EXPECT_EQ(Row(dlg, 0)[3],
                  "Video:Broken camera, size=352*288, fps=25;  Audio:Broken microphone");
        dlg.EndDialog(IDCANCEL);
    });
}

// Devices of the test's own.
class ChannelSetupDeviceNamesTest : public ChannelSetupDialogTest {
protected:
    bool WithTheDevices() const override { return false; }
};

TEST_F(ChannelSetupDeviceNamesTest, LongNamesAreShownWholeAndStoredCutAtACharacter) {
    // "AB" and 60 Chinese characters: 122 bytes, of which 116 fit in 117.
    std::string name = "AB";
    for (int i = 0; i < 60; ++i) {
        name += "门";
    }
    SyntheticConfig config;
    SyntheticVideoDevice camera;
    camera.description = name;
    camera.caps = {{Subtype::I420, 352, 288, 400000}};
    camera.realtime = false;
    config.video = {camera};
    SyntheticAudioDevice mic;
    mic.description = name;
    mic.formats = {{22050, 1, 16}};
    mic.realtime = false;
    config.audio = {mic};
    InitDevices(config);

    const std::string stored = Utf8ToGb2312(name);
    ASSERT_EQ(stored.size(), 122u);
    CChannelSetupDialog dlg;
    RunModalWith(dlg, [&dlg, &stored] {
        EXPECT_EQ(Items(dlg, IDC_VIDEO_DEVICE)[1], stored);
        EXPECT_EQ(Items(dlg, IDC_AUDIO_DEVICE)[1], stored);
        Choose(dlg, IDC_EDITED_CHANNEL, 3);
        Choose(dlg, IDC_VIDEO_DEVICE, 1);
        Choose(dlg, IDC_AUDIO_DEVICE, 1);
        Click(dlg, IDC_RECTIFY_CHANNEL);
        const ChannelEntry& c = g_EditChannelTable.Channel[3];
        EXPECT_EQ(std::string(c.videoname), stored.substr(0, 116));
        EXPECT_EQ(std::string(c.audioname), stored.substr(0, 116));
        EXPECT_EQ(c.videoin, 1);
        EXPECT_EQ(c.audioin, 1);
        dlg.EndDialog(IDCANCEL);
    });
}

TEST_F(ChannelSetupDeviceNamesTest, ADeviceWhoseSizesCannotBeListedOffersNone) {
    SyntheticConfig config;
    SyntheticVideoDevice camera;
    camera.description = "Camera";
    camera.caps = {{Subtype::I420, 352, 288, 400000}};
    camera.realtime = false;
    config.video = {camera};
    InitDevices(config);
    // More sizes than the dialog's buffer holds: the list is refused.
    VideoDevMode* tail = g_CaptureDevices[0].pModeList.get();
    for (int i = 0; i < 300; ++i) {
        tail->pNext = std::make_unique<VideoDevMode>();
        tail = tail->pNext.get();
        tail->byKind = VMODE_I420;
        tail->nWidth = 2 + i;
        tail->nHeight = 2;
        tail->byMaxFps = 25;
    }
    VideoModeItem items[256];
    ASSERT_EQ(ListVideoDevModes(0, items, sizeof items), -3);
    CChannelSetupDialog dlg;
    RunModalWith(dlg, [&dlg] {
        Choose(dlg, IDC_EDITED_CHANNEL, 3);
        Choose(dlg, IDC_VIDEO_DEVICE, 1);
        EXPECT_TRUE(Items(dlg, IDC_VIDEO_SIZE).empty());
        EXPECT_TRUE(Items(dlg, IDC_FRAME_RATE).empty());
        ASSERT_EQ(dlg.VideoDevices().size(), 1u);
        EXPECT_TRUE(dlg.VideoDevices()[0].sizes.empty());
        PressKey(dlg.GetWidget(), Qt::Key_Escape);
    });
    // The records go with the dialog.
    EXPECT_TRUE(dlg.VideoDevices().empty());
}

}  // namespace
