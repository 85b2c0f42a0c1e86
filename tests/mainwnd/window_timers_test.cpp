// The window timers' handlers on channels that are only active (no
// devices): schedules, the blink, the record drive and the start-up tick.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>

#include "channel/av_channel.h"
#include "engine_test_support.h"
#include "mainwnd/main_dialog_state.h"
#include "platform/clock/local_clock.h"
#include "platform/drives/drives.h"
#include "settings/globals.h"
#include "settings/log_entry.h"
#include "settings/settings.h"
#include "support/chdir_temp_dir.h"
#include "support/recording_event_log.h"

using namespace engine_test;

namespace {

constexpr uint64_t MB = 1u << 20;

class WindowTimersTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_Settings = Settings{};
        state_ = std::make_unique<CMainDialogState>();
        state_->SetEventLog(&log_);
        state_->InstallServices();
        SetLocalClockSource([this] { return now_; });
        SetDriveMapOverride(DriveMap{});
        SetDiskSpaceSource([this](char letter, const std::string&, DiskSpace& out) {
            auto it = freeMb_.find(letter);
            if (it == freeMb_.end()) {
                return false;
            }
            out.freeToCaller = it->second * MB;
            return true;
        });
    }
    void TearDown() override {
        for (int n = 0; n < MAX_AV_CHANNELS; ++n) {
            delete g_pAVChannel[n].exchange(nullptr);
        }
        g_nChannelCount = 0;
        state_.reset();
        SetLocalClockSource({});
        SetDiskSpaceSource({});
        SetDriveMapOverride(std::nullopt);
    }

    // count channels; those in active[] are started without devices.
    void MakeChannels(int count, std::initializer_list<int> active) {
        g_nChannelCount = static_cast<uint8_t>(count);
        for (int n = 0; n < count; ++n) {
            g_pAVChannel[n] = new CAVChannel(n);
        }
        for (int n : active) {
            g_pAVChannel[n].load()->StartLocal(-1, -1);
        }
    }
    CAVChannel& Channel(int n) { return *g_pAVChannel[n].load(); }

    void At(int year, int month, int day, int hour, int minute, int second) {
        now_ = MakeLocalTime(year, month, day, hour, minute, second);
    }
    static void Window1(ScheduleTimes& t, int h1, int m1, int h2, int m2) {
        t.byStart1Hour = static_cast<uint8_t>(h1);
        t.byStart1Minute = static_cast<uint8_t>(m1);
        t.byEnd1Hour = static_cast<uint8_t>(h2);
        t.byEnd1Minute = static_cast<uint8_t>(m2);
    }
    std::vector<RecordingEventLog::Line> RecordLines() {
        std::vector<RecordingEventLog::Line> out;
        for (const auto& l : log_.lines()) {
            if (l.type == LOGTYPE_RECORD) {
                out.push_back(l);
            }
        }
        return out;
    }

    ChdirTempDir dir_;
    RecordingEventLog log_;
    BoxRecorder boxes_;
    std::unique_ptr<CMainDialogState> state_;
    LocalTime now_ = MakeLocalTime(2026, 12, 10, 12, 0, 0);
    std::map<char, uint64_t> freeMb_;
};

TEST_F(WindowTimersTest, EveryDayRecordWindowOpensAtSecondOneAndClosesAtTheEndMinute) {
    MakeChannels(1, {0});
    ScheduleEntry& s = g_Settings.Schedule[0];
    s.bySchedRecord[0] = 1;
    Window1(s.SchedTimes[0], 8, 0, 18, 0);
    struct Step {
        int h, m, sec;
        int expected;
    } steps[] = {{8, 0, 0, 0}, {8, 0, 1, 1}, {12, 0, 0, 1}, {17, 59, 59, 1}, {18, 0, 0, 0}};
    for (const Step& st : steps) {
        At(2026, 12, 10, st.h, st.m, st.sec);
        state_->OnTimer(IDT_SCHEDULE);
        EXPECT_EQ(Channel(0).bScheduleRecord.load(), st.expected) << st.h << ":" << st.m;
    }
    const std::vector<RecordingEventLog::Line> expected = {
        {LOGTYPE_RECORD, 1, "Open CH1 Schedule Record"},
        {LOGTYPE_RECORD, 1, "Close CH1 Schedule Record"}};
    EXPECT_EQ(RecordLines(), expected);
    EXPECT_EQ(Channel(0).nRecordAge.load(), 5);
}

TEST_F(WindowTimersTest, WeekdayWindowsAddToEveryDayAndMotionIsNotLogged) {
    MakeChannels(3, {1, 2});
    ScheduleEntry& s = g_Settings.Schedule[1];
    s.bySchedRecord[7] = 1;  // Sunday
    Window1(s.SchedTimes[7], 10, 0, 11, 0);
    s.byMotionRecord[0] = 1;  // every day, two windows
    Window1(s.MotionTimes[0], 8, 0, 12, 0);
    s.MotionTimes[0].byStart2Hour = 13;
    s.MotionTimes[0].byEnd2Hour = 17;
    struct Case {
        int day;  // December 2026: the 13th is a Sunday, the 14th a Monday
        int h, m;
        int record, motion;
    } cases[] = {{13, 10, 30, 1, 1}, {14, 10, 30, 0, 1}, {14, 12, 30, 0, 0}, {14, 13, 30, 0, 1}};
    for (const Case& c : cases) {
        At(2026, 12, c.day, c.h, c.m, 0);
        state_->EvaluateSchedules();
        EXPECT_EQ(Channel(1).bScheduleRecord.load(), c.record) << c.day << " " << c.h;
        EXPECT_EQ(Channel(1).bMotionDetect.load(), c.motion) << c.day << " " << c.h;
    }
    EXPECT_EQ(RecordLines().size(), 2u);  // open on Sunday, close on Monday
    EXPECT_EQ(RecordLines()[0].channel, 2);
    // An idle channel keeps its age and flags.
    EXPECT_EQ(Channel(0).nRecordAge.load(), 0);
    EXPECT_EQ(Channel(2).nRecordAge.load(), 4);
}

TEST_F(WindowTimersTest, BlinkAlternatesRecordFacesAndSkipsInactiveChannels) {
    MakeChannels(3, {0, 1});
    std::vector<std::tuple<int, int, int>> faces;
    std::vector<unsigned> beeps;
    state_->hooks.setChannelButtonFaces = [&](int n, int a, int b) { faces.emplace_back(n, a, b); };
    state_->hooks.messageBeep = [&](unsigned t) { beeps.push_back(t); };
    Channel(0).bManualRecord = 1;
    Channel(0).bRecording = 1;
    // Channel 1 records by motion, with the audio alarm, and manually too.
    Channel(1).bRecording = 1;
    Channel(1).bMotionAlarm = 1;
    Channel(1).bManualRecord = 1;
    g_Settings.Schedule[1].bMotionAudioAlarm = 1;
    Channel(2).bManualRecord = 1;  // inactive: never blinks
    Channel(2).bRecording = 1;
    using Faces = std::vector<std::tuple<int, int, int>>;
    state_->OnTimer(IDT_BLINK);
    EXPECT_EQ(faces, (Faces{{0, BUTTON_FACE_MANUAL, BUTTON_FACE_MANUAL},
                            {1, BUTTON_FACE_MOTION, BUTTON_FACE_MOTION}}));
    EXPECT_EQ(state_->m_byBlinkState[0], BLINK_MANUAL);
    EXPECT_EQ(state_->m_byBlinkState[1], BLINK_MOTION);
    EXPECT_EQ(state_->m_byBlinkState[2], BLINK_NORMAL);
    EXPECT_EQ(beeps, std::vector<unsigned>{MB_ICONASTERISK_BEEP});
    faces.clear();
    state_->OnTimer(IDT_BLINK);
    EXPECT_EQ(faces, (Faces{{0, BUTTON_FACE_RESTING, BUTTON_FACE_MANUAL},
                            {1, BUTTON_FACE_MANUAL, BUTTON_FACE_MANUAL}}));
    EXPECT_EQ(state_->m_byBlinkState[0], BLINK_NORMAL);
    EXPECT_EQ(state_->m_byBlinkState[1], BLINK_MANUAL_ON);
    EXPECT_EQ(beeps.size(), 1u);
    EXPECT_EQ(state_->m_bBlinkPhase, 0);
}

TEST_F(WindowTimersTest, RecordDriveChoiceWarnsOnceAndForcesNewFiles) {
    MakeChannels(2, {0});
    std::filesystem::create_directory("driveE");
    SetDriveMapOverride(DriveMap{{'E', dir_.path() + "/driveE"}});
    g_Settings.System.byRecordDrive['C' - 'C'] = 1;
    g_Settings.System.byRecordDrive['E' - 'C'] = 1;
    freeMb_ = {{'C', 50}, {'E', 2048}};
    RecordingPoster window;
    EXPECT_EQ(state_->ChooseRecordDrive(), 1);
    EXPECT_EQ(state_->GetRecordFolder(), "E:\\OstVA_Rec");
    EXPECT_TRUE(std::filesystem::is_directory("driveE/OstVA_Rec"));
    EXPECT_EQ(Channel(0).nRecordAge.load(), RECORD_AGE_NEW_FILE);
    EXPECT_EQ(Channel(1).nRecordAge.load(), RECORD_AGE_NEW_FILE);

    // 99 MB keeps the drive; 98 MB gives it up, and no drive has room.
    Channel(0).nRecordAge = 5;
    freeMb_['E'] = 99;
    state_->OnTimer(IDT_RECONNECT);
    EXPECT_EQ(state_->GetRecordFolder(), "E:\\OstVA_Rec");
    EXPECT_EQ(Channel(0).nRecordAge.load(), 5);
    freeMb_['E'] = 98;
    state_->OnTimer(IDT_RECONNECT);
    EXPECT_EQ(state_->GetRecordFolder(), "");
    EXPECT_EQ(Channel(0).nRecordAge.load(), RECORD_AGE_NEW_FILE);
    EXPECT_EQ(window.Count(WM_NO_RECORD_DISK), 1);
    // An empty folder is not looked at again by the periodic check.
    freeMb_['E'] = 5000;
    state_->OnTimer(IDT_RECONNECT);
    EXPECT_EQ(state_->GetRecordFolder(), "");
    EXPECT_EQ(window.Count(WM_NO_RECORD_DISK), 1);

    std::vector<unsigned> beeps;
    state_->hooks.messageBeep = [&](unsigned t) { beeps.push_back(t); };
    state_->OnNoRecordDisk();
    const auto shown = boxes_.Boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "FULL ! No Record Disk Space!");
    EXPECT_EQ(shown[0].caption, "WARNING");
    EXPECT_EQ(beeps, std::vector<unsigned>{SIMPLE_BEEP});
}

TEST_F(WindowTimersTest, StartupTickRunsOnceThroughItsHooks) {
    MakeChannels(0, {});
    RecordingPoster window;
    std::vector<unsigned> killed;
    int layouts = 0;
    state_->hooks.killTimer = [&](unsigned id) { killed.push_back(id); };
    state_->hooks.selectLayout4 = [&] { ++layouts; };
    state_->m_nStartupTimer = 7;
    state_->OnTimer(IDT_STARTUP);
    EXPECT_EQ(killed, std::vector<unsigned>{IDT_STARTUP});
    EXPECT_EQ(state_->m_nStartupTimer, 0u);
    EXPECT_EQ(layouts, 1);
    EXPECT_EQ(window.Count(WM_CHANNEL_SELECTED), 1);
}

TEST_F(WindowTimersTest, FoldersAreHandedOutAsCopies) {
    EXPECT_EQ(state_->GetSnapshotFolder(), "C:\\");
    EXPECT_EQ(state_->GetRecordFolder(), "");
    // The channels reach the same object as their host.
    state_->SetRecordFolder("D:\\OstVA_Rec");
    EXPECT_EQ(ChannelHost().GetRecordFolder(), "D:\\OstVA_Rec");
    ChannelHost().WriteLogEntry(LOGTYPE_MOTION, 3, "x");
    EXPECT_EQ(log_.lines().back(), (RecordingEventLog::Line{LOGTYPE_MOTION, 3, "x"}));
}

}  // namespace
