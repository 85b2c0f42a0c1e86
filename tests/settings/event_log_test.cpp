#include "settings/event_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock/local_clock.h"
#include "support/chdir_temp_dir.h"
#include "support/file_size_limit.h"

namespace {

std::string FileBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every record of a log file, which must end exactly at the last record.
std::vector<LogEntry> WalkLog(const char* path) {
    std::string bytes = FileBytes(path);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::vector<LogEntry> entries;
    size_t offset = 0;
    LogEntry entry;
    while (ParseLogEntry(data, bytes.size(), offset, entry)) {
        EXPECT_GE(entry.byLength, 1);
        EXPECT_EQ(bytes[offset - 1], '\0') << "record text without its zero";
        entries.push_back(entry);
    }
    EXPECT_EQ(offset, bytes.size()) << path << " does not end at a record boundary";
    return entries;
}

// A file of whole records of 7 + 93 bytes, at least size bytes long.
void WriteRecordsFile(const char* path, size_t size) {
    std::string record = std::string("\0\0\0\0\0\0\x5D", 7) + std::string(92, 'p') + '\0';
    std::string bytes;
    while (bytes.size() < size) {
        bytes += record;
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

class EventLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLocalClockSource([] { return MakeLocalTime(2026, 12, 10, 9, 30, 15); });
    }
    void TearDown() override { SetLocalClockSource({}); }
    ChdirTempDir dir_;
};

TEST_F(EventLogTest, FirstStartCreatesTheFirstFile) {
    CEventLog log;
    ASSERT_EQ(log.OpenLogFile(), 1);
    EXPECT_TRUE(std::filesystem::exists(LOG_FILE_1));
    EXPECT_EQ(log.GetLogIndex(), 1);
    log.WriteLogEntry(LOGTYPE_SYSTEM, 0, "Quorvalind Start!  1.51");
    log.WriteLogEntry(LOGTYPE_MOTION, 3, "Ch03 start video motion alarm record!");

    std::vector<LogEntry> entries = WalkLog(LOG_FILE_1);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].byType, LOGTYPE_SYSTEM);
    EXPECT_EQ(entries[0].byChannel, 0);
    EXPECT_STREQ(entries[0].szText, "Quorvalind Start!  1.51");
    EXPECT_EQ(entries[0].byLength, 24);
    EXPECT_EQ(+entries[0].dwTime, PackLogTime(MakeLocalTime(2026, 12, 10, 9, 30, 15)));
    EXPECT_EQ(entries[1].byType, LOGTYPE_MOTION);
    EXPECT_EQ(entries[1].byChannel, 3);
    EXPECT_FALSE(std::filesystem::exists(LOG_FILE_2));
}

TEST_F(EventLogTest, RecordBytesAreTheFileFormat) {
    CEventLog log;
    log.OpenLogFile();
    log.WriteLogEntry(LOGTYPE_NET, 0, "ok");
    std::uint32_t t = PackLogTime(MakeLocalTime(2026, 12, 10, 9, 30, 15));
    std::string expected = {2,
                            0,
                            static_cast<char>(t & 0xFF),
                            static_cast<char>(t >> 8 & 0xFF),
                            static_cast<char>(t >> 16 & 0xFF),
                            static_cast<char>(t >> 24),
                            3,
                            'o',
                            'k',
                            '\0'};
    EXPECT_EQ(FileBytes(LOG_FILE_1), expected);
}

TEST_F(EventLogTest, TextsAreCutAndEmptyTextsKeepTheirZero) {
    CEventLog log;
    log.OpenLogFile();
    log.WriteLogEntry(LOGTYPE_SYSTEM, 0, std::string(300, 'x').c_str());
    log.WriteLogEntry(LOGTYPE_SYSTEM, 0, "");
    log.WriteLogEntry(LOGTYPE_SYSTEM, 0, nullptr);
    std::vector<LogEntry> entries = WalkLog(LOG_FILE_1);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].byLength, 255);
    EXPECT_EQ(std::string(entries[0].szText), std::string(254, 'x'));
    EXPECT_EQ(entries[1].byLength, 1);
    EXPECT_EQ(entries[2].byLength, 1);
    EXPECT_EQ(FileBytes(LOG_FILE_1).size(), 262u + 8u + 8u);
}

TEST_F(EventLogTest, StartChoosesTheFileBySizeOfTheFirst) {
    struct Case {
        size_t firstSize;
        int index;
        bool firstLineSwitches;
    };
    // Sizes made of whole 100-byte records, plus the exact limit cases.
    const Case cases[] = {{1'200'001, 0, false}, {1'200'000, 1, true}, {1000, 1, false}};
    for (const Case& c : cases) {
        std::filesystem::remove(LOG_FILE_1);
        std::ofstream(LOG_FILE_1, std::ios::binary) << std::string(c.firstSize, 'a');
        std::ofstream(LOG_FILE_2, std::ios::binary) << "older";
        CEventLog log;
        log.OpenLogFile();
        EXPECT_EQ(log.GetLogIndex(), c.index) << c.firstSize;
        log.WriteLogEntry(LOGTYPE_SYSTEM, 0, "start");
        if (c.index == 0) {
            EXPECT_EQ(FileBytes(LOG_FILE_2).substr(0, 5), "older");  // appended, not emptied
            EXPECT_EQ(FileBytes(LOG_FILE_2).size(), 5u + 13u);
            EXPECT_EQ(FileBytes(LOG_FILE_1).size(), c.firstSize);
        } else if (c.firstLineSwitches) {
            EXPECT_EQ(log.GetLogIndex(), 0);
            EXPECT_EQ(FileBytes(LOG_FILE_1).size(), c.firstSize + 13u);
            EXPECT_EQ(FileBytes(LOG_FILE_2).size(), 0u);  // emptied by the switch
        } else {
            EXPECT_EQ(FileBytes(LOG_FILE_1).size(), c.firstSize + 13u);
            EXPECT_EQ(FileBytes(LOG_FILE_2), "older");
        }
    }
}

TEST_F(EventLogTest, FilesAlternateAtTheLimitAndEndOnRecordBoundaries) {
    CEventLog log;
    log.OpenLogFile();
    const std::string text(200, 't');
    int written = 0;
    int switches = 0;
    int index = log.GetLogIndex();
    while (switches < 2) {
        log.WriteLogEntry(LOGTYPE_RECORD, 1, (text + std::to_string(written)).c_str());
        ++written;
        if (log.GetLogIndex() != index) {
            index = log.GetLogIndex();
            ++switches;
        }
    }
    EXPECT_EQ(log.GetLogIndex(), 1);  // .001, .002, .001
    log.WriteLogEntry(LOGTYPE_RECORD, 1, "after");
    std::vector<LogEntry> second = WalkLog(LOG_FILE_2);
    std::vector<LogEntry> first = WalkLog(LOG_FILE_1);
    size_t secondSize = FileBytes(LOG_FILE_2).size();
    EXPECT_GT(secondSize, static_cast<size_t>(MAX_LOG_FILE_SIZE));
    EXPECT_LE(secondSize, static_cast<size_t>(MAX_LOG_FILE_SIZE) + 262);
    ASSERT_EQ(first.size(), 1u);  // emptied at the second switch
    EXPECT_STREQ(first[0].szText, "after");
    // The file that reached the limit ends with the record that carried it over.
    EXPECT_EQ(std::string(second.back().szText), text + std::to_string(written - 1));
}

TEST_F(EventLogTest, ThreadsCrossingTheLimitTogetherSwitchOnce) {
    WriteRecordsFile(LOG_FILE_1, 1'199'000);
    const size_t before = WalkLog(LOG_FILE_1).size();
    CEventLog log;
    log.OpenLogFile();
    ASSERT_EQ(log.GetLogIndex(), 1);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&log, t] {
            for (int i = 0; i < 100; ++i) {
                log.WriteLogEntry(LOGTYPE_NET, t + 1, "Login ip: 127.0.0.1 OK!");
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(log.GetLogIndex(), 0);
    size_t total = WalkLog(LOG_FILE_1).size() + WalkLog(LOG_FILE_2).size();
    EXPECT_EQ(total, before + 800);  // a second switch would have emptied .001
}

TEST_F(EventLogTest, AFileThatCannotBeOpenedDropsLines) {
    std::filesystem::create_directory(LOG_FILE_1);
    CEventLog log;
    EXPECT_EQ(log.OpenLogFile(), 1);
    EXPECT_FALSE(log.IsOpen());
    log.WriteLogEntry(LOGTYPE_SYSTEM, 0, "dropped");
    EXPECT_TRUE(std::filesystem::is_directory(LOG_FILE_1));
}

TEST_F(EventLogTest, AnUnreadableFirstFileIsAppendedToNotEmptied) {
    std::ofstream(LOG_FILE_1, std::ios::binary) << std::string("\0\0\0\0\0\0\x02z\0", 9);
    chmod(LOG_FILE_1, 0200);  // write only
    CEventLog log;
    log.OpenLogFile();
    log.WriteLogEntry(LOGTYPE_SYSTEM, 0, "next");
    chmod(LOG_FILE_1, 0600);
    std::vector<LogEntry> entries = WalkLog(LOG_FILE_1);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_STREQ(entries[0].szText, "z");
}

// A full disk: records that do not fit are cut short by the file system.
// Each goes in whole or not at all, and once there is room again the log
// goes on where its last whole record ended.
TEST_F(EventLogTest, RecordsThatCannotBeWrittenLeaveNoTrace) {
    CEventLog log;
    log.OpenLogFile();
    log.WriteLogEntry(LOGTYPE_SYSTEM, 0, "Quorvalind Start!  1.51");
    log.WriteLogEntry(LOGTYPE_NET, 0, "Login ip: 127.0.0.1 OK!");
    const std::string whole = FileBytes(LOG_FILE_1);
    {
        // Room for a part of each record, never a whole one.
        FileSizeLimit full(whole.size() + 40);
        for (int i = 0; i < 5; ++i) {
            log.WriteLogEntry(LOGTYPE_NET, 0, ("lost " + std::string(100, 'x')).c_str());
            EXPECT_EQ(FileBytes(LOG_FILE_1), whole) << "after failed record " << i;
        }
    }
    log.WriteLogEntry(LOGTYPE_NET, 0, "Login ip: 127.0.0.2 OK!");
    log.WriteLogEntry(LOGTYPE_SYSTEM, 0, "Quorvalind Exit !");

    std::vector<std::string> texts;
    for (const LogEntry& e : WalkLog(LOG_FILE_1)) {
        texts.emplace_back(e.szText);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"Quorvalind Start!  1.51", "Login ip: 127.0.0.1 OK!",
                                               "Login ip: 127.0.0.2 OK!", "Quorvalind Exit !"}));
}

TEST(LogTimeTest, PacksFieldsAndStaysInOrder) {
    struct Case {
        LocalTime time;
        std::uint32_t packed;
    };
    const Case cases[] = {
        {MakeLocalTime(2000, 1, 1, 0, 0, 0), 1u << 22 | 1u << 17},
        {MakeLocalTime(2063, 12, 31, 23, 59, 59),
         63u << 26 | 12u << 22 | 31u << 17 | 23u << 12 | 59u << 6 | 59u},
        {MakeLocalTime(2006, 5, 25, 8, 0, 5), 6u << 26 | 5u << 22 | 25u << 17 | 8u << 12 | 5u},
        // Outside the six-bit year: the nearest end of the range.
        {MakeLocalTime(2064, 1, 1, 0, 0, 0),
         63u << 26 | 12u << 22 | 31u << 17 | 23u << 12 | 59u << 6 | 59u},
        {MakeLocalTime(1999, 12, 31, 23, 59, 59), 1u << 22 | 1u << 17},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PackLogTime(c.time), c.packed) << c.time.year;
    }
    LocalTime back = UnpackLogTime(PackLogTime(MakeLocalTime(2026, 12, 10, 9, 30, 15)));
    EXPECT_EQ(back.year, 2026);
    EXPECT_EQ(back.month, 12);
    EXPECT_EQ(back.day, 10);
    EXPECT_EQ(back.hour, 9);
    EXPECT_EQ(back.minute, 30);
    EXPECT_EQ(back.second, 15);

    const LocalTime ordered[] = {
        MakeLocalTime(1990, 6, 1, 0, 0, 0),  MakeLocalTime(2000, 1, 1, 0, 0, 1),
        MakeLocalTime(2006, 5, 25, 8, 0, 5), MakeLocalTime(2006, 5, 25, 8, 1, 0),
        MakeLocalTime(2006, 12, 1, 0, 0, 0), MakeLocalTime(2063, 12, 31, 23, 59, 59),
    };
    for (size_t i = 1; i < std::size(ordered); ++i) {
        EXPECT_LT(PackLogTime(ordered[i - 1]), PackLogTime(ordered[i])) << i;
    }
    EXPECT_LE(PackLogTime(MakeLocalTime(2063, 12, 31, 23, 59, 59)),
              PackLogTime(MakeLocalTime(2100, 1, 1, 0, 0, 0)));
}

TEST(LogTimeTest, ParsingStopsAtACutRecord) {
    const unsigned char bytes[] = {0, 1, 0, 0, 0, 0, 3, 'a', 'b', 'c',  // text without its zero
                                   4, 2, 0, 0, 0, 0, 5, 'x'};           // cut off
    size_t offset = 0;
    LogEntry entry;
    ASSERT_TRUE(ParseLogEntry(bytes, sizeof bytes, offset, entry));
    EXPECT_STREQ(entry.szText, "ab");  // never read beyond its length
    EXPECT_EQ(offset, 10u);
    EXPECT_FALSE(ParseLogEntry(bytes, sizeof bytes, offset, entry));
    EXPECT_EQ(offset, 10u);
    EXPECT_FALSE(ParseLogEntry(bytes, 3, offset, entry));
}

}  // namespace
