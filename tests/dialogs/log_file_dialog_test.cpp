// "Log File" over fixture log files: the search by days and kinds with its
// lines exactly, both files in the order of their sizes, records cut off by
// a file's end, texts without their zero, Esc and the close box searching,
// Exit ending the dialog, the days the pickers allow and the list's
// colours. Mended: a record at 00:00:00 of the "from" day is listed; the
// pickers hold only the years the log's time can.

#include "dialogs/log_file_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDateTimeEdit>
#include <QListWidget>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "dialog_input.h"
#include "dialog_test_resources.h"
#include "platform/clock/local_clock.h"
#include "res/log_file_ids.h"
#include "settings/event_log.h"
#include "settings/log_entry.h"
#include "support/chdir_temp_dir.h"
#include "support/file_size_limit.h"
#include "support/modal_step.h"
#include "support/qt_app.h"
#include "support/scripted_message_boxes.h"
#include "support/ui_input.h"

namespace {

// One record's bytes: the head, then the text with its zero (or, with
// noZero, the text alone, its length counting only its characters).
std::string Record(std::uint8_t type, const LocalTime& t, const std::string& text,
                   bool noZero = false) {
    const std::uint32_t packed = PackLogTime(t);
    std::string bytes;
    bytes += static_cast<char>(type);
    bytes += static_cast<char>(1);  // the channel, never shown
    for (int i = 0; i < 4; ++i) {
        bytes += static_cast<char>(packed >> (8 * i) & 0xFF);
    }
    const std::string stored = noZero ? text : text + '\0';
    bytes += static_cast<char>(stored.size());
    return bytes + stored;
}

LocalTime At(int day, int hour, int minute, int second) {
    return MakeLocalTime(2006, 5, day, hour, minute, second);
}

void WriteFile(const char* name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

// The older file: every kind of record around 25 May, a text without its
// zero and one after it.
std::string OlderFile() {
    return Record(LOGTYPE_SYSTEM, At(24, 23, 59, 59), "Day before") +
           Record(LOGTYPE_SYSTEM, At(25, 0, 0, 0), "Quorvalind Start!  2006-05-25") +
           Record(LOGTYPE_RECORD, At(25, 9, 5, 3), "Open CH1 Manual Record") +
           Record(LOGTYPE_NET, At(25, 10, 0, 0), "Ip: 127.0.0.1 login success!") +
           Record(LOGTYPE_SETUP, At(25, 11, 0, 0), "Setup line") +
           Record(LOGTYPE_MOTION, At(25, 12, 0, 0), "Ch01 start video motion alarm record!") +
           Record(5, At(25, 12, 30, 0), "A kind nobody lists") +
           Record(LOGTYPE_SYSTEM, At(25, 23, 59, 59), "Last of the day") +
           Record(LOGTYPE_SYSTEM, At(26, 0, 0, 0), "Next day") +
           Record(LOGTYPE_SYSTEM, At(26, 8, 0, 0), "NOZERO", true) +
           Record(LOGTYPE_SYSTEM, At(26, 8, 0, 1), "After it");
}

// The newer file, smaller, its last record cut off by the end.
std::string NewerFile() {
    std::string cut = Record(LOGTYPE_SYSTEM, At(27, 11, 0, 0), "Cut off by the end");
    cut.resize(cut.size() - 5);
    return Record(LOGTYPE_SYSTEM, At(27, 10, 0, 0), "Newer file") + cut;
}

class LogFileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        SetResourceProvider(&m_resources);
        SetLocalClockSource([this] { return m_now; });
    }
    void TearDown() override {
        SetLocalClockSource({});
        SetResourceProvider(nullptr);
    }

    LocalTime m_now = At(25, 15, 0, 0);
    ChdirTempDir m_dir;
    DialogTestResources m_resources;
};

std::vector<std::string> Lines(CLogFileDialog& dlg) {
    std::vector<std::string> lines;
    for (int i = 0; i < dlg.m_ListLog.GetCount(); ++i) {
        CString text;
        dlg.m_ListLog.GetText(i, text);
        lines.push_back(text.Str());
    }
    return lines;
}

void SetDay(CLogFileDialog& dlg, int id, int day) {
    static_cast<CDateTimeCtrl*>(dlg.GetDlgItem(id))->SetTime(CTime(2006, 5, day, 0, 0, 0));
}

void SetKinds(CLogFileDialog& dlg, const std::vector<int>& checked) {
    for (int id : {IDC_LOG_SYSTEM, IDC_LOG_RECORD, IDC_LOG_NET, IDC_LOG_SETUP, IDC_LOG_MOTION}) {
        const bool on = std::find(checked.begin(), checked.end(), id) != checked.end();
        dlg.GetDlgItem(id)->SendMessage(BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED);
    }
}

TEST_F(LogFileDialogTest, SearchesByDaysAndKinds) {
    WriteFile(LOG_FILE_1, OlderFile());
    WriteFile(LOG_FILE_2, NewerFile());
    struct Case {
        const char* name;
        int from;
        int to;
        std::vector<int> kinds;
        std::vector<std::string> lines;
    };
    const int kAll[] = {IDC_LOG_SYSTEM, IDC_LOG_RECORD, IDC_LOG_NET, IDC_LOG_SETUP, IDC_LOG_MOTION};
    const Case cases[] = {
        {"one day, system",
         25,
         25,
         {IDC_LOG_SYSTEM},
         {"2006-05-25 00:00:00  Quorvalind Start!  2006-05-25",
          "2006-05-25 23:59:59  Last of the day"}},
        {"one day, every kind",
         25,
         25,
         {std::begin(kAll), std::end(kAll)},
         {"2006-05-25 00:00:00  Quorvalind Start!  2006-05-25",
          "2006-05-25 09:05:03  Open CH1 Manual Record",
          "2006-05-25 10:00:00  Ip: 127.0.0.1 login success!", "2006-05-25 11:00:00  Setup line",
          "2006-05-25 12:00:00  Ch01 start video motion alarm record!",
          "2006-05-25 23:59:59  Last of the day"}},
        {"one kind",
         25,
         25,
         {IDC_LOG_MOTION},
         {"2006-05-25 12:00:00  Ch01 start video motion alarm record!"}},
        // The older file first; the text without its zero whole and no more;
        // the cut-off record ends the newer file's search.
        {"four days, both files",
         24,
         27,
         {IDC_LOG_SYSTEM},
         {"2006-05-24 23:59:59  Day before", "2006-05-25 00:00:00  Quorvalind Start!  2006-05-25",
          "2006-05-25 23:59:59  Last of the day", "2006-05-26 00:00:00  Next day",
          "2006-05-26 08:00:00  NOZERO", "2006-05-26 08:00:01  After it",
          "2006-05-27 10:00:00  Newer file"}},
        {"from after to", 26, 25, {std::begin(kAll), std::end(kAll)}, {}},
        {"no kind", 24, 27, {}, {}},
    };
    CLogFileDialog dlg;
    RunModalWith(dlg, [&] {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            SetDay(dlg, IDC_LOG_FROM_DAY, c.from);
            SetDay(dlg, IDC_LOG_TO_DAY, c.to);
            SetKinds(dlg, c.kinds);
            Click(dlg, IDC_LOG_SEARCH);
            EXPECT_EQ(Lines(dlg), c.lines);
        }
        dlg.EndDialog(IDCANCEL);
    });
}

TEST_F(LogFileDialogTest, TheDefaultSearchListsTodaysSystemRecords) {
    WriteFile(LOG_FILE_1, OlderFile());
    CLogFileDialog dlg;
    RunModalWith(dlg, [&] {
        EXPECT_TRUE(Lines(dlg).empty());  // nothing before a search
        Click(dlg, IDC_LOG_SEARCH);
        EXPECT_EQ(Lines(dlg),
                  (std::vector<std::string>{"2006-05-25 00:00:00  Quorvalind Start!  2006-05-25",
                                            "2006-05-25 23:59:59  Last of the day"}));
        dlg.EndDialog(IDCANCEL);
    });
}

// The larger file goes first; a missing or empty file is passed over.
TEST_F(LogFileDialogTest, FilesAreSearchedLargerFirst) {
    const std::string a = Record(LOGTYPE_SYSTEM, At(25, 8, 0, 0), "A");
    const std::string b = Record(LOGTYPE_SYSTEM, At(25, 9, 0, 0), "B");
    const std::string bigB = b + Record(LOGTYPE_SYSTEM, At(25, 9, 0, 1), "B2");
    struct Case {
        const char* name;
        const char* first;  // null: no such file
        const char* second;
        std::vector<std::string> lines;
    };
    const std::string lineA = "2006-05-25 08:00:00  A";
    const std::string lineB = "2006-05-25 09:00:00  B";
    const std::string lineB2 = "2006-05-25 09:00:01  B2";
    const Case cases[] = {
        {"equal sizes: .001 first", "a", "b", {lineA, lineB}},
        {".002 larger: first", "a", "bigB", {lineB, lineB2, lineA}},
        {"only .002", nullptr, "b", {lineB}},
        {"only .001", "a", nullptr, {lineA}},
        {"empty .001", "", "b", {lineB}},
        {"neither", nullptr, nullptr, {}},
    };
    auto bytes = [&](const std::string& name) {
        return name == "a" ? a : name == "b" ? b : name == "bigB" ? bigB : std::string();
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(LOG_FILE_1);
        std::remove(LOG_FILE_2);
        if (c.first != nullptr) {
            WriteFile(LOG_FILE_1, bytes(c.first));
        }
        if (c.second != nullptr) {
            WriteFile(LOG_FILE_2, bytes(c.second));
        }
        CLogFileDialog dlg;
        RunModalWith(dlg, [&] {
            Click(dlg, IDC_LOG_SEARCH);
            EXPECT_EQ(Lines(dlg), c.lines);
            dlg.EndDialog(IDCANCEL);
        });
    }
}

// The log written by the recorder while its disk was full, then again
// with room: every record after the full spell is listed, and only those
// written during it are missing.
TEST_F(LogFileDialogTest, ALogWrittenThroughAFullDiskIsReadToItsEnd) {
    CEventLog log;
    log.OpenLogFile();
    m_now = At(25, 8, 0, 0);
    log.WriteLogEntry(LOGTYPE_SYSTEM, 0, "Quorvalind Start!  2006-05-25");
    {
        FileSizeLimit full(60);  // part of the next record fits
        for (int second = 0; second < 3; ++second) {
            m_now = At(25, 9, 0, second);
            log.WriteLogEntry(LOGTYPE_NET, 0, "Ip: 127.0.0.1 login success! (lost)");
        }
    }
    m_now = At(25, 10, 0, 0);
    log.WriteLogEntry(LOGTYPE_NET, 0, "Ip: 127.0.0.1 login success!");
    m_now = At(25, 11, 0, 0);
    log.WriteLogEntry(LOGTYPE_SYSTEM, 0, "Quorvalind Exit !");
    m_now = At(25, 15, 0, 0);

    CLogFileDialog dlg;
    RunModalWith(dlg, [&] {
        SetKinds(dlg, {IDC_LOG_SYSTEM, IDC_LOG_NET});
        Click(dlg, IDC_LOG_SEARCH);
        EXPECT_EQ(Lines(dlg),
                  (std::vector<std::string>{"2006-05-25 08:00:00  Quorvalind Start!  2006-05-25",
                                            "2006-05-25 10:00:00  Ip: 127.0.0.1 login success!",
                                            "2006-05-25 11:00:00  Quorvalind Exit !"}));
        dlg.EndDialog(IDCANCEL);
    });
}

// Search has id 2: Esc and the close box search, each time afresh; only
// Exit ends the dialog, with IDOK.
TEST_F(LogFileDialogTest, EscAndTheCloseBoxSearchAndExitEnds) {
    WriteFile(LOG_FILE_1, OlderFile());
    ScriptedMessageBoxes boxes;  // none
    CLogFileDialog dlg;
    EXPECT_EQ(RunModalWith(dlg,
                           [&] {
                               PressKey(dlg.GetWidget(), Qt::Key_Escape);
                               EXPECT_TRUE(dlg.IsWindowVisible());
                               EXPECT_EQ(Lines(dlg).size(), 2u);
                               SetKinds(dlg, {IDC_LOG_SYSTEM, IDC_LOG_RECORD});
                               dlg.GetWidget()->close();
                               EXPECT_TRUE(dlg.IsWindowVisible());
                               EXPECT_EQ(Lines(dlg).size(), 3u);
                               PressKey(dlg.GetWidget(), Qt::Key_Escape);
                               EXPECT_EQ(Lines(dlg).size(), 3u);  // not doubled
                               Click(dlg, IDOK);
                           }),
              IDOK);
    EXPECT_TRUE(boxes.Shown().empty());
}

// The log's packed year runs from 2000 to 2063.
TEST_F(LogFileDialogTest, ThePickersHoldTheYearsTheLogCan) {
    struct Case {
        LocalTime now;
        const char* shown;
    };
    for (const Case& c : {Case{MakeLocalTime(2070, 3, 1, 12, 0, 0), "2063-12-31"},
                          Case{MakeLocalTime(1999, 3, 1, 12, 0, 0), "2000-01-01"}}) {
        SCOPED_TRACE(c.shown);
        m_now = c.now;
        CLogFileDialog dlg;
        RunModalWith(dlg, [&] {
            for (int id : {IDC_LOG_FROM_DAY, IDC_LOG_TO_DAY}) {
                EXPECT_EQ(qobject_cast<QDateTimeEdit*>(ControlWidget(dlg, id))->text(), c.shown);
            }
            dlg.EndDialog(IDCANCEL);
        });
    }
    // The last day's records are found.
    m_now = MakeLocalTime(2063, 12, 31, 12, 0, 0);
    WriteFile(LOG_FILE_1, Record(LOGTYPE_SYSTEM, MakeLocalTime(2063, 12, 31, 23, 59, 59), "End"));
    CLogFileDialog dlg;
    RunModalWith(dlg, [&] {
        Click(dlg, IDC_LOG_SEARCH);
        EXPECT_EQ(Lines(dlg), std::vector<std::string>{"2063-12-31 23:59:59  End"});
        dlg.EndDialog(IDCANCEL);
    });
}

TEST_F(LogFileDialogTest, TheListHasItsOwnColours) {
    CLogFileDialog dlg;
    RunModalWith(dlg, [&] {
        QWidget* list = ControlWidget(dlg, IDC_LOG_LIST);
        EXPECT_EQ(list->palette().color(QPalette::Text), ToQColor(0x262626));
        EXPECT_EQ(list->palette().brush(QPalette::Base).color(), ToQColor(0xF09A3C));
        // The labels keep the frame's white.
        EXPECT_EQ(ControlWidget(dlg, -1)->palette().color(QPalette::WindowText),
                  ToQColor(0xFFFFFF));
        dlg.EndDialog(IDCANCEL);
    });
}

}  // namespace
