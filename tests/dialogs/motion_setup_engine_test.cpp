// The motion dialog in the running recorder over a synthetic camera: the
// Motion button's path runs the real dialog; its preview shows the moving
// picture with the grid and the marks, the motion test's levels rise where
// the block moves, clicks edit the area, a channel that sends no picture
// shows black with its own marks, and what the day bars and the
// time windows set reaches the settings file and the running schedules.
// While Exit asks, the channel goes on showing and recording; Esc leaves
// no channel feeding the dialog.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "channel/channel_fakes.h"
#include "dialog_input.h"
#include "dialogs/alert_setup_hook.h"
#include "dialogs/motion_setup_dialog.h"
#include "platform/display/display_device.h"
#include "res/motion_setup_ids.h"
#include "settings/log_entry.h"
#include "settings/settings_lock.h"
#include "setup_engine_fixture.h"
#include "support/modal_step.h"
#include "support/scripted_message_boxes.h"
#include "support/ui_input.h"

using namespace engine_test;

namespace {

constexpr char kRecordFolder[] = "OstVA_Rec";

class MotionSetupEngineTest : public SetupDialogEngineTest {
protected:
    void SetUp() override {
        SetupDialogEngineTest::SetUp();
        SetDefaultDisplayDevice(std::make_shared<DisplayDevice>());
    }
    void TearDown() override {
        SetupDialogEngineTest::TearDown();
        SetDefaultDisplayDevice(nullptr);
    }

    // n pictures, then until the dialog has drawn the last one.
    void ShownPictures(CMotionSetupDialog& dlg, int n) {
        const int drawn = dlg.DrawnPictures();
        Pictures(n);
        ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.DrawnPictures() > drawn; }, 10000));
        QCoreApplication::processEvents();
    }

    // Runs the Motion button's handler with step acting in the dialog.
    void MotionButton(const std::function<void(CMotionSetupDialog&)>& step) {
        bool ran = false;
        ActOnNextModal([&](CWnd& wnd) {
            auto* dlg = dynamic_cast<CMotionSetupDialog*>(&wnd);
            ASSERT_NE(dlg, nullptr);
            EXPECT_EQ(dlg->GetWindowText(), "Video Motion Setup...");
            ran = true;
            step(*dlg);
        });
        m_state->OnMotionSetup();
        EXPECT_TRUE(ran);
    }

    WindowPoster m_window{[this] {
        if (m_state) {
            m_state->OnSaveSettings();
        }
    }};
};

// The preview as the user sees it: the luma of each shown pixel (the
// picture is stretched over the frame and clipped to the 352 x 288 inside).
struct Shown {
    std::vector<int> luma;
    int at(int x, int y) const { return luma[static_cast<size_t>(y) * 352 + x]; }
    // Pixels brighter than the block's edge within a rectangle.
    int Bright(int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                n += at(x, y) > 200 ? 1 : 0;
            }
        }
        return n;
    }
    int Mean(int x0, int y0, int x1, int y1) const {
        long sum = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                sum += at(x, y);
            }
        }
        return static_cast<int>(sum / ((x1 - x0) * (y1 - y0)));
    }
    // The leftmost column of the block's band that is bright.
    int BlockLeft() const {
        for (int x = 0; x < 352; ++x) {
            if (at(x, 144 - 2) > 200) {
                return x;
            }
        }
        return -1;
    }
};

Shown Look(CMotionSetupDialog& dlg) {
    Shown s;
    const auto target = dlg.PreviewHost().Target();
    s.luma.resize(352 * 288);
    for (int y = 0; y < 288; ++y) {
        for (int x = 0; x < 352; ++x) {
            const uint32_t p = target->Pixel(x + 1, y + 1);
            s.luma[static_cast<size_t>(y) * 352 + x] =
                qGray(static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                      static_cast<int>(p & 0xFF));
        }
    }
    return s;
}

// A cell's inside, away from its grid lines (cells of 44 x 36).
struct Cell {
    int x0, y0, x1, y1;
};
Cell Inside(int row, int column) {
    return {column * 44 + 4, row * 36 + 4, column * 44 + 40, row * 36 + 32};
}

TEST_F(MotionSetupEngineTest, PreviewShowsTheMovingPictureGridMarksAndTheTestsLevels) {
    g_Settings.Schedule[0].byMotionMask[5 * 8 + 2] = 1;
    Start();
    Pictures(2);
    MotionButton([&](CMotionSetupDialog& dlg) {
        EXPECT_EQ(Channel().GetPreviewSink(), &dlg);
        ShownPictures(dlg, 1);
        const Shown first = Look(dlg);
        ShownPictures(dlg, 3);
        const Shown later = Look(dlg);
        // The block moved to the right between the two looks.
        ASSERT_GE(first.BlockLeft(), 0);
        EXPECT_GT(later.BlockLeft(), first.BlockLeft() + 8);
        // Black grid lines between the cells.
        int dark = 0;
        for (int y = 10; y < 100; ++y) {
            dark += std::min({later.at(87, y), later.at(88, y), later.at(89, y)}) < 40 ? 1 : 0;
        }
        EXPECT_GT(dark, 80);
        // The diamond on the watched cell, none on its neighbours.
        const Cell watched = Inside(5, 2);
        const Cell plain = Inside(5, 6);
        EXPECT_GT(later.Bright(watched.x0, watched.y0, watched.x1, watched.y1), 20);
        EXPECT_EQ(later.Bright(plain.x0, plain.y0, plain.x1, plain.y1), 0);

        // A click on cell (6, 6) marks it in the next picture.
        QTest::mouseClick(ControlWidget(dlg, IDC_MOTION_IMAGE), Qt::LeftButton, {},
                          QPoint(6 * 354 / 8 + 20, 6 * 290 / 8 + 18));
        ShownPictures(dlg, 1);
        const Cell clicked = Inside(6, 6);
        EXPECT_GT(Look(dlg).Bright(clicked.x0, clicked.y0, clicked.x1, clicked.y1), 20);

        // The motion test: levels where the block moves (rows 3 and 4),
        // none elsewhere, and those cells shown darker.
        Click(dlg, IDC_MOTION_TEST);
        ShownPictures(dlg, 4);
        uint8_t levels[64];
        ASSERT_EQ(Channel().GetMotionLevels(levels), 1);
        int moving = -1;
        for (int cell = 0; cell < 64; ++cell) {
            const int row = cell / 8;
            if (row == 3 || row == 4) {
                if (levels[cell] > 0 && moving < 0) {
                    moving = cell;
                }
            } else {
                EXPECT_EQ(levels[cell], 0) << "cell " << cell;
            }
        }
        ASSERT_GE(moving, 0);
        const Shown tested = Look(dlg);
        const Cell still = Inside(0, moving % 8);
        const int stillMean = tested.Mean(still.x0, still.y0, still.x1, still.y1);
        // Above the block's band in the moving cell's row 3 part: background.
        const int shadedMean = tested.Mean(moving % 8 * 44 + 4, 108 + 2, moving % 8 * 44 + 40, 126);
        // Halved in luma, which the screen shows in studio range.
        auto lumaOf = [](int grey) { return grey * 219 / 255 + 16; };
        EXPECT_NEAR(lumaOf(shadedMean) * 2, lumaOf(stillMean), 6);
        Click(dlg, IDC_MOTION_TEST);
        EXPECT_EQ(Channel().bMotionTest.load(), 0);

        Click(dlg, IDC_MOTION_SAVE);
        Click(dlg, IDOK);
    });
    EXPECT_EQ(Channel().GetPreviewSink(), nullptr);
    EXPECT_EQ(m_log.lines().back().text, "Change and save motion setup!");
    g_Settings.Schedule[0] = ScheduleEntry{};
    ASSERT_EQ(LoadSettingsFile(), 1);
    EXPECT_EQ(g_Settings.Schedule[0].byMotionMask[5 * 8 + 2], 1);
    EXPECT_EQ(g_Settings.Schedule[0].byMotionMask[6 * 8 + 6], 1);
}

// Black wherever no diamond of the given cells lies: each of those cells
// shows its diamond, no other pixel is lit.
void ExpectBlackWithMarks(const Shown& s, const std::vector<int>& cells) {
    int lit = 0;
    std::vector<int> ink(64, 0);
    for (int y = 0; y < 288; ++y) {
        for (int x = 0; x < 352; ++x) {
            const int cell = y / 36 * 8 + x / 44;
            if (std::find(cells.begin(), cells.end(), cell) != cells.end()) {
                ink[static_cast<size_t>(cell)] += s.at(x, y) > 200 ? 1 : 0;
            } else {
                lit += s.at(x, y) != 0 ? 1 : 0;
            }
        }
    }
    EXPECT_EQ(lit, 0);
    for (int cell : cells) {
        EXPECT_GT(ink[static_cast<size_t>(cell)], 20) << "cell " << cell;
    }
}

// A change to a channel that sends no picture (here one without a camera)
// shows black with that channel's marks at once, and a picture of the
// channel left that still waits for its draw stays away. Until a picture
// comes, every click shows at once, also after a picture too large for
// the preview was dropped.
TEST_F(MotionSetupEngineTest, AChannelWithoutPicturesShowsBlackWithItsOwnMarks) {
    g_Settings.Schedule[0].byMotionMask[5 * 8 + 2] = 1;
    g_Settings.Schedule[1].byMotionMask[1 * 8 + 6] = 1;
    Start(2, [] { g_Settings.Channel[1].videoin = 0; });
    Pictures(2);
    MotionButton([&](CMotionSetupDialog& dlg) {
        auto clickCell = [&](int row, int column) {
            QTest::mouseClick(ControlWidget(dlg, IDC_MOTION_IMAGE), Qt::LeftButton, {},
                              QPoint(column * 354 / 8 + 20, row * 290 / 8 + 18));
        };
        ShownPictures(dlg, 1);
        ASSERT_GT(Look(dlg).Mean(0, 0, 352, 288), 40);
        // One more picture, taken but not drawn when the channel changes.
        const int taken = dlg.TakenPictures();
        const int drawn = dlg.DrawnPictures();
        Pictures(1);
        ASSERT_EQ(dlg.TakenPictures(), taken + 1);
        Click(dlg, IDC_MOTION_CHANNEL_FIRST + 1);
        ExpectBlackWithMarks(Look(dlg), {1 * 8 + 6});
        QCoreApplication::processEvents();
        EXPECT_EQ(dlg.DrawnPictures(), drawn);
        ExpectBlackWithMarks(Look(dlg), {1 * 8 + 6});

        clickCell(6, 1);
        EXPECT_EQ(g_EditScheduleTable[1].byMotionMask[6 * 8 + 1], 1);
        ExpectBlackWithMarks(Look(dlg), {1 * 8 + 6, 6 * 8 + 1});
        clickCell(1, 6);
        ExpectBlackWithMarks(Look(dlg), {6 * 8 + 1});

        // A remote peer's 704 x 576 picture is dropped and changes nothing.
        std::vector<uint8_t> large(704 * 576 * 3 / 2, 200);
        const uint8_t* y = large.data();
        dlg.OnPreviewFrame(y, y + 704 * 576, y + 704 * 576 * 5 / 4, 704, 352, 704, 576);
        EXPECT_EQ(dlg.DroppedPictures(), 1);
        clickCell(7, 7);
        ExpectBlackWithMarks(Look(dlg), {6 * 8 + 1, 7 * 8 + 7});

        // Back on channel 1: its marks on black, then its pictures again.
        Click(dlg, IDC_MOTION_CHANNEL_FIRST);
        ExpectBlackWithMarks(Look(dlg), {5 * 8 + 2});
        ShownPictures(dlg, 1);
        const Shown live = Look(dlg);
        EXPECT_GT(live.Mean(0, 0, 352, 288), 40);
        EXPECT_GE(live.BlockLeft(), 0);
        dlg.EndDialog(IDCANCEL);
    });
}

TEST_F(MotionSetupEngineTest, DaysAndWindowsReachTheSettingsFileAndTheRunningSchedules) {
    Start();
    MotionButton([&](CMotionSetupDialog& dlg) {
        auto picker = [&](int id) { return qobject_cast<QDateTimeEdit*>(ControlWidget(dlg, id)); };
        auto clickDay = [](CDaySelectorBar* bar, int cell) {
            QTest::mouseClick(bar->GetWidget(), Qt::LeftButton, {}, QPoint(1 + cell * 42 + 20, 10));
            QCoreApplication::processEvents();
        };
        // Thursday's record window 09:00 to 10:00.
        clickDay(dlg.GetScheduleBar(), 4);
        ASSERT_EQ(dlg.GetScheduleDay(), 4);
        Click(dlg, IDC_SCHEDULE_RECORD);
        picker(IDC_SCHEDULE_TIME_FIRST)->setTime(QTime(9, 0));
        picker(IDC_SCHEDULE_TIME_FIRST + 1)->setTime(QTime(10, 0));
        // Motion every day, second window 08:30 to 12:00.
        Click(dlg, IDC_MOTION_RECORD);
        picker(IDC_MOTION_TIME_FIRST + 2)->setTime(QTime(8, 30));
        picker(IDC_MOTION_TIME_FIRST + 3)->setTime(QTime(12, 0));
        Click(dlg, IDC_MOTION_SAVE);
        Click(dlg, IDOK);
    });
    g_Settings.Schedule[0] = ScheduleEntry{};
    ASSERT_EQ(LoadSettingsFile(), 1);
    const ScheduleEntry e = g_Settings.Schedule[0];
    EXPECT_EQ(e.bySchedRecord[4], 1);
    EXPECT_EQ(e.bySchedRecord[0], 0);
    EXPECT_EQ(e.SchedTimes[4].byStart1Hour, 9);
    EXPECT_EQ(e.SchedTimes[4].byEnd1Hour, 10);
    EXPECT_EQ(e.byMotionRecord[0], 1);
    EXPECT_EQ(e.MotionTimes[0].byStart2Hour, 8);
    EXPECT_EQ(e.MotionTimes[0].byStart2Minute, 30);
    EXPECT_EQ(e.MotionTimes[0].byEnd2Hour, 12);

    // The next second's evaluation follows them.
    m_state->OnTimer(IDT_SCHEDULE);
    EXPECT_EQ(Channel().bScheduleRecord.load(), 1);
    EXPECT_EQ(Channel().bMotionDetect.load(), 1);
    EXPECT_EQ(m_log.lines().back().text, "Open CH1 Schedule Record");
    m_now = MakeLocalTime(2006, 5, 25, 10, 0, 0);
    m_state->OnTimer(IDT_SCHEDULE);
    EXPECT_EQ(Channel().bScheduleRecord.load(), 0);
    EXPECT_EQ(Channel().bMotionDetect.load(), 1);
}

// While "Setting is changed! Back to save?" is open, the shown channel's
// display step goes through the preview and its pictures are recorded.
TEST_F(MotionSetupEngineTest, WhileExitAsksTheChannelGoesOnShowingAndRecording) {
    Start();
    Pictures(3);
    int taken = 0;
    MotionButton([&](CMotionSetupDialog& dlg) {
        ShownPictures(dlg, 2);
        Click(dlg, IDC_MOTION_AUDIO_ALARM);
        ScriptedMessageBoxes boxes;
        boxes.Expect({"Setting is changed! Back to save?", IDNO, "", ~0u, [&] {
                          const int before = dlg.TakenPictures();
                          Pictures(5);  // each waited for through its encoding
                          taken = dlg.TakenPictures() - before;
                      }});
        Click(dlg, IDOK);
    });
    EXPECT_EQ(taken, 5);
    EXPECT_EQ(Channel().GetPreviewSink(), nullptr);
    Pictures(2);
    m_state->RunExit();
    const std::vector<std::string> files = ListFiles(kRecordFolder, "CH01_", ".avi");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(ProbeVideoField(std::string(kRecordFolder) + "/" + files[0], "nb_read_packets"),
              std::to_string(m_pictures));
}

// Esc ends the dialog at once; the channel then feeds it no more.
TEST_F(MotionSetupEngineTest, EscLeavesNoChannelWithASink) {
    Start();
    CMotionSetupDialog dlg(nullptr);
    EXPECT_EQ(RunModalWith(dlg,
                           [&] {
                               ShownPictures(dlg, 2);
                               PressKey(dlg.GetWidget(), Qt::Key_Escape);
                           }),
              IDCANCEL);
    EXPECT_EQ(Channel().GetPreviewSink(), nullptr);
    const int taken = dlg.TakenPictures();
    Pictures(3);
    EXPECT_EQ(dlg.TakenPictures(), taken);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

// The alert dialog (a stand-in that saves, as the real one's Save does)
// makes the main window write the settings file at once, even when the
// motion dialog is then left with Exit and No.
TEST_F(MotionSetupEngineTest, ASavedAlertDialogIsWrittenEvenWhenTheMotionDialogIsNot) {
    Start();
    SetAlertSetupDialogHook([](CWnd*) {
        StoreSettingsText(g_Settings.Alert.sSmtpServer, "mail.gate.example");
        return INT_PTR{IDOK};
    });
    MotionButton([&](CMotionSetupDialog& dlg) {
        Click(dlg, IDC_ALERT_SETUP);
        QCoreApplication::processEvents();  // the main window's turn
        Click(dlg, IDC_SCHEDULE_RECORD);
        ScriptedMessageBoxes boxes;
        boxes.Expect("Setting is changed! Back to save?", IDNO);
        Click(dlg, IDOK);
    });
    SetAlertSetupDialogHook({});
    for (const auto& line : m_log.lines()) {
        EXPECT_NE(line.text, "Change and save motion setup!");
    }
    g_Settings.Alert = AlertBlock{};
    g_Settings.Schedule[0].bySchedRecord[0] = 7;
    ASSERT_EQ(LoadSettingsFile(), 1);
    EXPECT_EQ(ReadSettingsText(g_Settings.Alert.sSmtpServer), "mail.gate.example");
    EXPECT_EQ(g_Settings.Schedule[0].bySchedRecord[0], 0);
}

}  // namespace
