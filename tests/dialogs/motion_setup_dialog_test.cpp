// "Video Motion Setup...": the frame's cases with its departures (every way
// out releases the preview), what a channel and day show of the working
// copy and how the controls go back, the day bars, the channel row, the
// motion area under the preview, the motion test, the record-time checks,
// the spins, the alert button, and the mended faults: no lock held while
// Exit asks, the final read before the release, record times above 65535
// refused, pictures larger than the buffers dropped.

#include "dialogs/motion_setup_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QTest>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "channel/av_channel.h"
#include "dialog_input.h"
#include "dialog_test_resources.h"
#include "dialogs/alert_setup_hook.h"
#include "frame_cases.h"
#include "mainwnd/main_window_poster.h"
#include "media/osd_text.h"
#include "platform/display/display_device.h"
#include "platform/threads/thread_messages.h"
#include "res/motion_setup_ids.h"
#include "settings/globals.h"
#include "support/modal_step.h"
#include "support/qt_app.h"
#include "support/scripted_message_boxes.h"
#include "support/ui_input.h"

namespace {

constexpr char kRangePrompt[] = "Please enter an integer between 0 and 65535.";
constexpr char kIntegerPrompt[] = "Please enter an integer.";

void Pump() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
}

void SetPicker(CWnd& dlg, int id, int hour, int minute) {
    auto* picker = qobject_cast<QDateTimeEdit*>(ControlWidget(dlg, id));
    ASSERT_NE(picker, nullptr) << id;
    picker->setTime(QTime(hour, minute));
}

QTime PickerTime(CWnd& dlg, int id) {
    return qobject_cast<QDateTimeEdit*>(ControlWidget(dlg, id))->time();
}

// A click on the day bar's cell (client width 338: cells of 42 pixels).
void ClickDay(CDaySelectorBar* bar, int cell) {
    ASSERT_NE(bar, nullptr);
    QTest::mouseClick(bar->GetWidget(), Qt::LeftButton, {}, QPoint(1 + cell * 42 + 20, 10));
    Pump();
}

// A click on the preview control at its own widget coordinates.
void ClickPreview(CWnd& dlg, int x, int y) {
    QTest::mouseClick(ControlWidget(dlg, IDC_MOTION_IMAGE), Qt::LeftButton, {}, QPoint(x, y));
}

// A spin's arrow: delta -1 is up.
void Spin(CWnd& dlg, int spinId, int delta) {
    NMUPDOWN nm{};
    nm.hdr.idFrom = static_cast<UINT_PTR>(spinId);
    nm.hdr.code = UDN_DELTAPOS;
    nm.iDelta = delta;
    dlg.SendMessage(WM_NOTIFY, static_cast<WPARAM>(spinId), reinterpret_cast<LPARAM>(&nm));
}

ScheduleEntry Entry(uint16_t recordTime, uint8_t smart) {
    ScheduleEntry e{};
    e.nMotionRecordTime = recordTime;
    e.byMotionSmart = smart;
    return e;
}

// A poster that keeps the messages for the main window.
class KeptPosts final : public IMainWindowPoster {
public:
    KeptPosts() { SetMainWindowPoster(this); }
    ~KeptPosts() override { SetMainWindowPoster(nullptr); }
    bool Post(unsigned message, WPARAM, LPARAM) override {
        messages.push_back(message);
        return true;
    }
    std::vector<unsigned> messages;
};

class MotionSetupDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        InitOsdFont();
        SetResourceProvider(&m_resources);
        SetDefaultDisplayDevice(std::make_shared<DisplayDevice>());
        g_Settings = Settings{};
        g_Settings.nChConfigNum = 4;
        for (int n : {0, 1, 3}) {
            g_Settings.Channel[n].status = 1;
            g_Settings.Channel[n].mode = SOURCE_LOCAL;
        }
        for (int n = 0; n < MAX_CHANNELS; ++n) {
            g_Settings.Schedule[n] = Entry(30, 5);
        }
        g_Settings.Schedule[1] = Entry(60, 9);
        g_Settings.Schedule[1].bySchedRecord[0] = 1;
        g_Settings.Schedule[1].SchedTimes[0] = ScheduleTimes{8, 0, 18, 30, 0, 0, 0, 0};
        g_Settings.Schedule[1].MotionTimes[3] = ScheduleTimes{1, 2, 3, 4, 5, 6, 7, 8};
        g_Settings.Schedule[1].byMotionRecord[3] = 1;
        std::memcpy(m_original, g_Settings.Schedule, sizeof m_original);
        MakeChannels(4);
    }
    void TearDown() override {
        MakeChannels(0);
        SetAlertSetupDialogHook({});
        SetDefaultDisplayDevice(nullptr);
        SetResourceProvider(nullptr);
    }

    // Idle channel objects 0 .. count - 1, as the main window makes them.
    void MakeChannels(int count) {
        g_nChannelCount = 0;
        for (auto& p : g_pAVChannel) {
            p = nullptr;
        }
        m_channels.clear();
        for (int n = 0; n < count; ++n) {
            m_channels.push_back(std::make_unique<CAVChannel>(n));
            g_pAVChannel[n] = m_channels.back().get();
        }
        g_nChannelCount = static_cast<uint8_t>(count);
    }

    bool NoChannelHasASink() {
        for (const auto& c : m_channels) {
            if (c->GetPreviewSink() != nullptr) {
                return false;
            }
        }
        return true;
    }

    bool LiveIs(const ScheduleEntry (&expected)[MAX_CHANNELS]) {
        return std::memcmp(g_Settings.Schedule, expected, sizeof expected) == 0;
    }

    DialogTestResources m_resources;
    ScheduleEntry m_original[MAX_CHANNELS];
    std::vector<std::unique_ptr<CAVChannel>> m_channels;
};

void Do(CMotionSetupDialog& d, FrameAct act) {
    if (PlaySaveExitOrEsc(d, act, IDC_MOTION_SAVE)) {
        return;
    }
    switch (act) {
        case FrameAct::Change:
            Click(d, IDC_SCHEDULE_RECORD);
            break;
        case FrameAct::ChangeAgain:
            Click(d, IDC_MOTION_AUDIO_ALARM);
            break;
        default:
            break;
        case FrameAct::StillOpenAndChanged:
            EXPECT_TRUE(d.IsWindowVisible());
            EXPECT_TRUE(IsChecked(d, IDC_SCHEDULE_RECORD));
            EXPECT_TRUE(d.HasPreviewBuffers());
            break;
    }
}

// Esc ends the dialog as the frame's Esc does; every way out leaves no
// channel with the dialog as its sink.
TEST_F(MotionSetupDialogTest, TheFramesCasesAndEveryWayOutReleasesThePreview) {
    ScheduleEntry changed[MAX_CHANNELS];
    std::memcpy(changed, m_original, sizeof changed);
    changed[0].bySchedRecord[0] = 1;
    using A = FrameAct;
    RunFrameCases<CMotionSetupDialog>(
        FrameCasesWith({
            {"change, Esc", {A::Change, A::Esc}, {}, IDCANCEL, false},
            {"change, Save, Esc", {A::Change, A::Save, A::Esc}, {}, IDOK, true},
        }),
        [this] { std::memcpy(g_Settings.Schedule, m_original, sizeof m_original); }, Do,
        [&](bool saved) {
            EXPECT_TRUE(NoChannelHasASink());
            return LiveIs(saved ? changed : m_original);
        });
}

TEST_F(MotionSetupDialogTest, ChannelOneIsShownAndOnlyConfiguredChannelsCanBeChosen) {
    CMotionSetupDialog dlg;
    RunModalWith(dlg, [&] {
        EXPECT_EQ(m_channels[0]->GetPreviewSink(), &dlg);
        EXPECT_EQ(m_channels[1]->GetPreviewSink(), nullptr);
        EXPECT_TRUE(IsChecked(dlg, IDC_MOTION_CHANNEL_FIRST));
        for (int k = 0; k < MAX_CHANNELS; ++k) {
            EXPECT_EQ(dlg.GetDlgItem(IDC_MOTION_CHANNEL_FIRST + k)->IsWindowEnabled() == TRUE,
                      k == 0 || k == 1 || k == 3)
                << k;
        }
        EXPECT_EQ(dlg.GetDlgItemText(IDC_MOTION_RECORD_TIME), "30");
        EXPECT_EQ(dlg.GetDlgItemText(IDC_MOTION_SMART), "5");
        EXPECT_FALSE(dlg.GetDlgItem(IDC_MOTION_SMART)->IsWindowEnabled());
        EXPECT_EQ(dlg.GetDlgItemText(IDC_SCHEDULE_HEADING), "Channel 01 Schedule Record Setup:");

        // Channel 02: its every-day schedule and its sink.
        Click(dlg, IDC_MOTION_CHANNEL_FIRST + 1);
        EXPECT_EQ(dlg.GetChannel(), 1);
        EXPECT_EQ(m_channels[0]->GetPreviewSink(), nullptr);
        EXPECT_EQ(m_channels[1]->GetPreviewSink(), &dlg);
        EXPECT_FALSE(IsChecked(dlg, IDC_MOTION_CHANNEL_FIRST));
        EXPECT_TRUE(IsChecked(dlg, IDC_MOTION_CHANNEL_FIRST + 1));
        EXPECT_TRUE(IsChecked(dlg, IDC_SCHEDULE_RECORD));
        EXPECT_EQ(PickerTime(dlg, IDC_SCHEDULE_TIME_FIRST), QTime(8, 0));
        EXPECT_EQ(PickerTime(dlg, IDC_SCHEDULE_TIME_FIRST + 1), QTime(18, 30));
        EXPECT_EQ(dlg.GetDlgItemText(IDC_MOTION_RECORD_TIME), "60");
        EXPECT_EQ(dlg.GetDlgItemText(IDC_MOTION_SMART), "9");
        dlg.EndDialog(IDCANCEL);
    });
}

TEST_F(MotionSetupDialogTest, WithoutChannelsNothingIsLoadedAndNoPreviewIsAsked) {
    MakeChannels(0);
    g_Settings.Schedule[0] = Entry(77, 3);
    CMotionSetupDialog dlg;
    EXPECT_EQ(
        RunModalWith(dlg,
                     [&] {
                         for (int k = 0; k < MAX_CHANNELS; ++k) {
                             EXPECT_FALSE(
                                 dlg.GetDlgItem(IDC_MOTION_CHANNEL_FIRST + k)->IsWindowEnabled());
                         }
                         EXPECT_EQ(dlg.GetDlgItemText(IDC_MOTION_RECORD_TIME), "0");
                         EXPECT_EQ(PickerTime(dlg, IDC_MOTION_TIME_FIRST + 3), QTime(0, 0));
                         Click(dlg, IDC_MOTION_TEST);
                         EXPECT_FALSE(dlg.IsTestMode());
                         Click(dlg, IDOK);
                     }),
        IDCANCEL);
}

// Each bar chooses its own section's day; the day left is stored, the day
// chosen shown, and the days stay when the channel changes.
TEST_F(MotionSetupDialogTest, DayBarsStoreTheDayLeftAndShowTheDayChosen) {
    CMotionSetupDialog dlg;
    RunModalWith(dlg, [&] {
        ClickDay(dlg.GetScheduleBar(), 1);  // "Mon."
        EXPECT_EQ(dlg.GetScheduleDay(), 1);
        EXPECT_EQ(dlg.GetMotionDay(), 0);
        Click(dlg, IDC_SCHEDULE_RECORD);
        SetPicker(dlg, IDC_SCHEDULE_TIME_FIRST, 7, 15);
        SetPicker(dlg, IDC_SCHEDULE_TIME_FIRST + 3, 23, 59);
        ClickDay(dlg.GetScheduleBar(), 2);  // "Tues."
        const ScheduleEntry& e = g_EditScheduleTable[0];
        EXPECT_EQ(e.bySchedRecord[1], 1);
        EXPECT_EQ(e.SchedTimes[1].byStart1Hour, 7);
        EXPECT_EQ(e.SchedTimes[1].byStart1Minute, 15);
        EXPECT_EQ(e.SchedTimes[1].byEnd2Hour, 23);
        EXPECT_EQ(e.SchedTimes[1].byEnd2Minute, 59);
        EXPECT_EQ(e.bySchedRecord[0], 0);
        EXPECT_FALSE(IsChecked(dlg, IDC_SCHEDULE_RECORD));
        EXPECT_EQ(PickerTime(dlg, IDC_SCHEDULE_TIME_FIRST), QTime(0, 0));

        // The motion bar: Thursday of channel 02 after a channel change.
        ClickDay(dlg.GetMotionBar(), 3);
        Click(dlg, IDC_MOTION_CHANNEL_FIRST + 1);
        EXPECT_EQ(dlg.GetScheduleDay(), 2);
        EXPECT_EQ(dlg.GetMotionDay(), 3);
        EXPECT_TRUE(IsChecked(dlg, IDC_MOTION_RECORD));
        const int motion = IDC_MOTION_TIME_FIRST;
        EXPECT_EQ(PickerTime(dlg, motion), QTime(1, 2));
        EXPECT_EQ(PickerTime(dlg, motion + 1), QTime(3, 4));
        EXPECT_EQ(PickerTime(dlg, motion + 2), QTime(5, 6));
        EXPECT_EQ(PickerTime(dlg, motion + 3), QTime(7, 8));
        // A post naming no bar of the dialog changes nothing.
        dlg.SendMessage(WM_DAY_SELECTED, 12345, 5);
        EXPECT_EQ(dlg.GetScheduleDay(), 2);
        EXPECT_EQ(dlg.GetMotionDay(), 3);
        dlg.EndDialog(IDCANCEL);
    });
}

TEST_F(MotionSetupDialogTest, ClicksOnThePreviewFlipTheCellUnderThemOnly) {
    struct Case {
        const char* what;
        int x, y;  // in the control (354 x 290 with its frame)
        int cell;  // -1: none
    };
    const Case cases[] = {
        {"left edge", 0, 100, -1},
        {"top edge", 100, 0, -1},
        {"first cell", 1, 1, 0},
        {"bottom-right corner", 353, 289, 63},
        {"row 2, column 5", 5 * 354 / 8 + 3, 2 * 290 / 8 + 3, 2 * 8 + 5},
    };
    CMotionSetupDialog dlg;
    RunModalWith(dlg, [&] {
        for (const Case& c : cases) {
            uint8_t before[64];
            std::memcpy(before, g_EditScheduleTable[0].byMotionMask, 64);
            ClickPreview(dlg, c.x, c.y);
            for (int i = 0; i < 64; ++i) {
                EXPECT_EQ(g_EditScheduleTable[0].byMotionMask[i],
                          i == c.cell ? !before[i] : before[i])
                    << c.what << ", cell " << i;
            }
        }
        ClickPreview(dlg, 353, 289);  // back off again
        EXPECT_EQ(g_EditScheduleTable[0].byMotionMask[63], 0);
        // Any value but 0 counts as watched and becomes 0.
        g_EditScheduleTable[0].byMotionMask[0] = 9;
        ClickPreview(dlg, 1, 1);
        EXPECT_EQ(g_EditScheduleTable[0].byMotionMask[0], 0);
        // The live area changes only with Save.
        EXPECT_EQ(g_Settings.Schedule[0].byMotionMask[2 * 8 + 5], 0);
        Click(dlg, IDC_MOTION_SAVE);
        EXPECT_EQ(g_Settings.Schedule[0].byMotionMask[2 * 8 + 5], 1);
        dlg.EndDialog(IDCANCEL);
    });
}

// While the test runs the channel row does nothing; Exit leaves the
// channel's test flag as it is.
TEST_F(MotionSetupDialogTest, MotionTestTurnsTheChannelsFlagAndHoldsTheRow) {
    CMotionSetupDialog dlg;
    RunModalWith(dlg, [&] {
        Click(dlg, IDC_MOTION_TEST);
        EXPECT_TRUE(dlg.IsTestMode());
        EXPECT_EQ(dlg.GetDlgItemText(IDC_MOTION_TEST), "End Test");
        EXPECT_EQ(m_channels[0]->bMotionTest.load(), 1);
        Click(dlg, IDC_MOTION_CHANNEL_FIRST + 1);
        EXPECT_EQ(dlg.GetChannel(), 0);
        EXPECT_TRUE(IsChecked(dlg, IDC_MOTION_CHANNEL_FIRST));
        EXPECT_EQ(m_channels[1]->GetPreviewSink(), nullptr);
        Click(dlg, IDC_MOTION_TEST);
        EXPECT_EQ(dlg.GetDlgItemText(IDC_MOTION_TEST), "Motion Test");
        EXPECT_EQ(m_channels[0]->bMotionTest.load(), 0);
        Click(dlg, IDC_MOTION_TEST);
        Click(dlg, IDOK);
    });
    EXPECT_EQ(m_channels[0]->bMotionTest.load(), 1);
}

// Save refuses a record time of 1 to 14 seconds on any configured channel,
// naming it; 0 and anything from 15 up are taken. A typed time above what
// the field holds is refused as it is read and the previous one kept.
TEST_F(MotionSetupDialogTest, RecordTimesAreCheckedAtSaveAndAsTheyAreRead) {
    struct Case {
        const char* typed;  // into channel 04's edit
        std::vector<const char*> boxes;
        bool saved;
        uint16_t stored;
    };
    const Case cases[] = {
        {"10", {"Channel 04 's motion record time=10 is too short!!!"}, false, 10},
        {"1", {"Channel 04 's motion record time=1 is too short!!!"}, false, 1},
        {"0", {}, true, 0},
        {"15", {}, true, 15},
        {"901", {}, true, 901},
        {"65535", {}, true, 65535},
        {"65536", {kRangePrompt}, true, 30},
        {"99999", {kRangePrompt}, true, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        std::memcpy(g_Settings.Schedule, m_original, sizeof m_original);
        ScriptedMessageBoxes boxes;
        for (const char* text : c.boxes) {
            const bool range = std::strcmp(text, kRangePrompt) == 0;
            boxes.Expect({text, IDOK, range ? "Quorvalind" : "ERROR",
                          range ? MB_OK | MB_ICONEXCLAMATION : MB_OK});
        }
        CMotionSetupDialog dlg;
        RunModalWith(dlg, [&] {
            Click(dlg, IDC_MOTION_CHANNEL_FIRST + 3);
            Retype(dlg, IDC_MOTION_RECORD_TIME, c.typed);
            Click(dlg, IDC_MOTION_SAVE);
            EXPECT_EQ(g_EditScheduleTable[3].nMotionRecordTime, c.stored);
            if (std::strcmp(c.typed, "65536") == 0 || std::strcmp(c.typed, "99999") == 0) {
                EXPECT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(IDC_MOTION_RECORD_TIME));
            }
            dlg.EndDialog(IDCANCEL);
        });
        EXPECT_EQ(dlg.IsSaved() == TRUE, c.saved);
        EXPECT_EQ(+g_Settings.Schedule[3].nMotionRecordTime, c.saved ? c.stored : 30);
    }
}

// The message names the channel with the short time, which need not be
// the one shown, and Save then copies nothing.
TEST_F(MotionSetupDialogTest, AShortTimeOnAChannelNotShownHoldsUpTheSave) {
    g_Settings.Schedule[2] = Entry(10, 5);  // channel 03 is configured but disabled
    std::memcpy(m_original, g_Settings.Schedule, sizeof m_original);
    ScriptedMessageBoxes boxes;
    boxes.Expect({"Channel 03 's motion record time=10 is too short!!!", IDOK, "ERROR", MB_OK});
    CMotionSetupDialog dlg;
    RunModalWith(dlg, [&] {
        Click(dlg, IDC_SCHEDULE_RECORD);
        Click(dlg, IDC_MOTION_SAVE);
        EXPECT_TRUE(dlg.IsWindowVisible());
        dlg.EndDialog(IDCANCEL);
    });
    EXPECT_FALSE(dlg.IsSaved());
    EXPECT_TRUE(LiveIs(m_original));
}

TEST_F(MotionSetupDialogTest, SpinsKeepTheirBoundsAndTheThresholdCannotBeTyped) {
    g_Settings.Schedule[0] = Entry(0, 0);
    CMotionSetupDialog dlg;
    RunModalWith(dlg, [&] {
        auto text = [&](int id) { return dlg.GetDlgItemText(id); };
        Spin(dlg, IDC_MOTION_RECORD_TIME_SPIN, -1);
        EXPECT_EQ(text(IDC_MOTION_RECORD_TIME), "1");  // up from 0 moves towards the range
        Spin(dlg, IDC_MOTION_RECORD_TIME_SPIN, -1);
        EXPECT_EQ(text(IDC_MOTION_RECORD_TIME), "2");
        Retype(dlg, IDC_MOTION_RECORD_TIME, "15");
        Spin(dlg, IDC_MOTION_RECORD_TIME_SPIN, 1);
        EXPECT_EQ(text(IDC_MOTION_RECORD_TIME), "15");
        Retype(dlg, IDC_MOTION_RECORD_TIME, "900");
        Spin(dlg, IDC_MOTION_RECORD_TIME_SPIN, -1);
        EXPECT_EQ(text(IDC_MOTION_RECORD_TIME), "900");
        Spin(dlg, IDC_MOTION_RECORD_TIME_SPIN, 1);
        EXPECT_EQ(text(IDC_MOTION_RECORD_TIME), "899");

        Spin(dlg, IDC_MOTION_SMART_SPIN, 1);
        EXPECT_EQ(text(IDC_MOTION_SMART), "0");
        for (int i = 0; i < 35; ++i) {
            Spin(dlg, IDC_MOTION_SMART_SPIN, -1);
        }
        EXPECT_EQ(text(IDC_MOTION_SMART), "30");
        TypeText(ControlWidget(dlg, IDC_MOTION_SMART), "7");
        EXPECT_EQ(text(IDC_MOTION_SMART), "30");
        Click(dlg, IDC_MOTION_SAVE);
        dlg.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(g_Settings.Schedule[0].byMotionSmart, 30);
    EXPECT_EQ(+g_Settings.Schedule[0].nMotionRecordTime, 899);
}

// The mend: after a Save, a failing final read keeps the dialog open and
// whole (bars, buffers, sink); Exit after the fix ends it with IDOK.
TEST_F(MotionSetupDialogTest, AFailingFinalReadLeavesTheDialogWhole) {
    ScriptedMessageBoxes boxes;
    // Exit's store and its final read each refuse the empty edit.
    boxes.Expect(kIntegerPrompt, IDOK);
    boxes.Expect(kIntegerPrompt, IDOK);
    CMotionSetupDialog dlg;
    EXPECT_EQ(RunModalWith(dlg,
                           [&] {
                               Click(dlg, IDC_SCHEDULE_RECORD);
                               Click(dlg, IDC_MOTION_SAVE);
                               Retype(dlg, IDC_MOTION_RECORD_TIME, "");
                               Click(dlg, IDOK);
                               EXPECT_TRUE(dlg.IsWindowVisible());
                               EXPECT_NE(dlg.GetScheduleBar(), nullptr);
                               EXPECT_NE(dlg.GetMotionBar(), nullptr);
                               EXPECT_TRUE(dlg.HasPreviewBuffers());
                               EXPECT_EQ(m_channels[0]->GetPreviewSink(), &dlg);
                               Retype(dlg, IDC_MOTION_RECORD_TIME, "30");
                               ClickDay(dlg.GetMotionBar(), 4);
                               EXPECT_EQ(dlg.GetMotionDay(), 4);
                               Click(dlg, IDOK);
                           }),
              IDOK);
    EXPECT_TRUE(NoChannelHasASink());
    EXPECT_EQ(dlg.GetScheduleBar(), nullptr);
    EXPECT_FALSE(dlg.HasPreviewBuffers());
}

// The mend: while Exit asks, the preview lock is free, so the display
// step's hand-over goes through.
TEST_F(MotionSetupDialogTest, ThePreviewTakesPicturesWhileExitAsks) {
    std::vector<uint8_t> picture(352 * 288 * 3 / 2, 100);
    CMotionSetupDialog dlg;
    ScriptedMessageBoxes boxes;
    bool taken = false;
    boxes.Expect({"Setting is changed! Back to save?", IDNO, "", ~0u, [&] {
                      const int before = dlg.TakenPictures();
                      std::thread drawVideo([&] {
                          const uint8_t* y = picture.data();
                          dlg.OnPreviewFrame(y, y + 352 * 288, y + 352 * 288 * 5 / 4, 352, 176, 352,
                                             288);
                      });
                      drawVideo.join();
                      taken = dlg.TakenPictures() == before + 1;
                  }});
    EXPECT_EQ(RunModalWith(dlg,
                           [&] {
                               Click(dlg, IDC_SCHEDULE_RECORD);
                               Click(dlg, IDOK);
                           }),
              IDCANCEL);
    EXPECT_TRUE(taken);
}

// The buffers take a 352 x 288 picture with rows of up to 385 (chroma
// 193) bytes; anything larger is dropped whole, never copied in part.
TEST_F(MotionSetupDialogTest, PicturesLargerThanTheBuffersAreDropped) {
    struct Case {
        const char* what;
        int yStride, uvStride, width, height;
        bool taken;
    };
    const Case cases[] = {
        {"352 x 288", 352, 176, 352, 288, true},
        {"a decoder's widest rows", 385, 193, 352, 288, true},
        {"160 x 120", 160, 80, 160, 120, true},
        {"a remote 704 x 576", 704, 352, 704, 576, false},
        {"704 x 144", 704, 352, 704, 144, false},
        {"rows too long", 386, 193, 352, 288, false},
        {"chroma rows too long", 385, 194, 352, 288, false},
        {"too high", 352, 176, 352, 290, false},
        {"no size", 352, 176, 0, 0, false},
    };
    CMotionSetupDialog dlg;
    RunModalWith(dlg, [&] {
        int taken = 0;
        int dropped = 0;
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            // Exactly the bytes the picture has, so a copy past them is seen.
            std::vector<uint8_t> y(static_cast<size_t>(c.yStride) * std::max(c.height, 1), 90);
            std::vector<uint8_t> u(static_cast<size_t>(c.uvStride) * std::max(c.height / 2, 1),
                                   128);
            std::vector<uint8_t> v(u.size(), 128);
            dlg.OnPreviewFrame(y.data(), u.data(), v.data(), c.yStride, c.uvStride, c.width,
                               c.height);
            (c.taken ? taken : dropped) += 1;
            EXPECT_EQ(dlg.TakenPictures(), taken);
            EXPECT_EQ(dlg.DroppedPictures(), dropped);
        }
        dlg.EndDialog(IDCANCEL);
    });
    // Once released, a late picture finds no buffers and is not counted.
    std::vector<uint8_t> y(352 * 288, 0);
    const int takenBefore = dlg.TakenPictures();
    dlg.OnPreviewFrame(y.data(), y.data(), y.data(), 352, 176, 352, 288);
    EXPECT_EQ(dlg.TakenPictures(), takenBefore);
}

// A picture is drawn into the preview with the grid and the marks, once.
TEST_F(MotionSetupDialogTest, APictureIsShownWithTheGridAndTheMarks) {
    g_Settings.Schedule[0].byMotionMask[0] = 1;
    CMotionSetupDialog dlg;
    RunModalWith(dlg, [&] {
        std::vector<uint8_t> picture(352 * 288 * 3 / 2, 128);
        std::fill(picture.begin(), picture.begin() + 352 * 288, 160);
        const uint8_t* y = picture.data();
        dlg.OnPreviewFrame(y, y + 352 * 288, y + 352 * 288 * 5 / 4, 352, 176, 352, 288);
        ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.DrawnPictures() == 1; }));
        Pump();
        EXPECT_EQ(dlg.DrawnPictures(), 1);
        const QImage shown = ControlWidget(dlg, IDC_MOTION_IMAGE)->grab().toImage();
        auto luma = [&](int x, int row) { return qGray(shown.pixel(x + 1, row + 1)); };
        // The picture's grey, a black grid line near x = 44 and y = 36, and
        // bright ink of the diamond in cell 0 only.
        EXPECT_NEAR(luma(20, 60), 160, 25);
        int darkColumn = 0;
        for (int x = 40; x < 50; ++x) {
            darkColumn += luma(x, 60) < 40 ? 1 : 0;
        }
        EXPECT_GE(darkColumn, 1);
        int darkRow = 0;
        for (int row = 32; row < 42; ++row) {
            darkRow += luma(100, row) < 40 ? 1 : 0;
        }
        EXPECT_GE(darkRow, 1);
        auto brightIn = [&](int x0, int y0) {
            int n = 0;
            for (int row = y0; row < y0 + 36; ++row) {
                for (int x = x0; x < x0 + 44; ++x) {
                    n += luma(x, row) > 220 ? 1 : 0;
                }
            }
            return n;
        };
        EXPECT_GT(brightIn(0, 0), 10);
        EXPECT_EQ(brightIn(44, 0), 0);
        dlg.EndDialog(IDCANCEL);
    });
}

// The alert button runs the alert dialog; only a saved one makes the main
// window write the settings file. Without a stand-in behind the hook the
// alert setup dialog itself opens.
TEST_F(MotionSetupDialogTest, ASavedAlertDialogMakesTheMainWindowWriteTheSettings) {
    struct Case {
        const char* what;
        bool hook;
        INT_PTR result;
        size_t posts;
    };
    for (const Case c : {Case{"the alert dialog, left", false, 0, 0}, Case{"saved", true, IDOK, 1},
                         Case{"left", true, IDCANCEL, 0}}) {
        SCOPED_TRACE(c.what);
        KeptPosts posts;
        CWnd* parent = nullptr;
        std::string opened;
        if (c.hook) {
            SetAlertSetupDialogHook([&](CWnd* p) {
                parent = p;
                return c.result;
            });
        } else {
            SetAlertSetupDialogHook({});
            g_Settings.Alert.byFtpGap = 1;  // shown as stored, so leaving asks nothing
        }
        CMotionSetupDialog dlg;
        RunModalWith(dlg, [&] {
            if (!c.hook) {
                ActOnNextModal([&opened](CWnd& alert) {
                    opened = alert.GetWindowText();
                    Click(alert, IDOK);
                });
            }
            Click(dlg, IDC_ALERT_SETUP);
            Click(dlg, IDOK);
        });
        ASSERT_EQ(posts.messages.size(), c.posts);
        if (c.posts > 0) {
            EXPECT_EQ(posts.messages[0], WM_SAVE_SETTINGS);
        }
        EXPECT_EQ(parent, c.hook ? &dlg : nullptr);
        EXPECT_EQ(opened, c.hook ? "" : "Email and Ftp Alerts Setup");
    }
}

}  // namespace
