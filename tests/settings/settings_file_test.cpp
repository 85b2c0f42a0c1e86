#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "settings/settings.h"
#include "settings/settings_lock.h"
#include "support/chdir_temp_dir.h"

namespace {

std::string FileBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const char* path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string LiveImage() {
    std::string image;
    image.append(reinterpret_cast<const char*>(&g_Settings.System), sizeof g_Settings.System);
    image.append(reinterpret_cast<const char*>(g_Settings.Schedule), sizeof g_Settings.Schedule);
    image.append(reinterpret_cast<const char*>(&g_Settings.Alert), sizeof g_Settings.Alert);
    return image;
}

constexpr size_t kSchedule = SYSTEM_BLOCK_SIZE;
constexpr size_t kAlert = SYSTEM_BLOCK_SIZE + SCHEDULE_BLOCK_SIZE;

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(&g_Settings, 0, sizeof g_Settings);
        ASSERT_EQ(InitSettingsPaths(), 1);
    }
    static constexpr const char* kFile = "Quorvalind.tmp";
    ChdirTempDir dir_;
};

TEST_F(SettingsFileTest, PathsAreTheCurrentDirectoryWithTheFileNames) {
    EXPECT_EQ(std::string(g_szIniFile), dir_.path() + "\\Quorvalind.ini");
    EXPECT_EQ(std::string(g_szSettingsFile), dir_.path() + "\\Quorvalind.tmp");
}

TEST_F(SettingsFileTest, WithoutFileTheDefaultsStand) {
    std::memset(&g_Settings, 0x5A, sizeof g_Settings);
    EXPECT_EQ(LoadSettingsFile(), 0);
    const SystemBlock& s = g_Settings.System;
    EXPECT_STREQ(s.sSnapshotPath, "C:");
    EXPECT_EQ(s.bySnapshotQuality, 0);
    EXPECT_EQ(s.bOverlay, 1);
    EXPECT_EQ(s.bYuy2, 1);
    for (int i = 0; i < RECORD_DRIVE_COUNT; ++i) {
        EXPECT_EQ(s.byRecordDrive[i], 0);
    }
    for (int i = 0; i < MAX_USERS; ++i) {
        EXPECT_STREQ(s.sUserName[i], "");
    }
    const ScheduleEntry zero{};
    for (const ScheduleEntry& e : g_Settings.Schedule) {
        EXPECT_EQ(std::memcmp(&e, &zero, sizeof zero), 0);
    }
    const AlertBlock& a = g_Settings.Alert;
    EXPECT_EQ(+a.nSmtpPort, 25);
    EXPECT_EQ(+a.nFtpPort, 21);
    EXPECT_EQ(a.byFtpGap, 1);
    EXPECT_EQ(a.bEmailAlert, 0);
    EXPECT_EQ(a.bFtpAlert, 0);
}

TEST_F(SettingsFileTest, DefaultsFileIsTheThreeBlocksLittleEndian) {
    LoadSettingsFile();
    ASSERT_EQ(SaveSettingsFile(), 1);
    std::string bytes = FileBytes(kFile);
    ASSERT_EQ(bytes.size(), 6059u);
    EXPECT_EQ(bytes.substr(24, 3), std::string("C:\0", 3));
    EXPECT_EQ(bytes[185], 1);                                            // bOverlay
    EXPECT_EQ(bytes[186], 1);                                            // bYuy2
    EXPECT_EQ(bytes.substr(kAlert + 66, 2), std::string("\x19\0", 2));   // SMTP port 25
    EXPECT_EQ(bytes.substr(kAlert + 968, 2), std::string("\x15\0", 2));  // FTP port 21
    EXPECT_EQ(bytes[kAlert + 1163], 1);                                  // upload gap
}

TEST_F(SettingsFileTest, WrittenReadAndWrittenAgainIsByteIdentical) {
    // Every byte set, reserved bytes included, within what loading keeps.
    std::string image(SETTINGS_FILE_SIZE, '\0');
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<char>(1 + (i * 37) % 200);
    }
    std::memcpy(&g_Settings.System, image.data(), SYSTEM_BLOCK_SIZE);
    std::memcpy(g_Settings.Schedule, image.data() + kSchedule, SCHEDULE_BLOCK_SIZE);
    std::memcpy(&g_Settings.Alert, image.data() + kAlert, ALERT_BLOCK_SIZE);
    StoreSettingsText(g_Settings.System.sSnapshotPath, "D:\\snap");
    g_Settings.System.bySnapshotQuality = 7;
    g_Settings.System.byReserved = 0xEE;
    for (int i = 0; i < MAX_USERS; ++i) {
        g_Settings.System.sUserName[i][17] = 0;
        g_Settings.System.sUserPassword[i][17] = 0;
    }
    for (ScheduleEntry& e : g_Settings.Schedule) {
        e.nMotionRecordTime = 900;
        e.byMotionSmart = 30;
    }
    AlertBlock& a = g_Settings.Alert;
    for (char* text : {a.sSmtpServer, a.sMailMessage}) {
        text[0] = static_cast<char>(0xC9);  // GB2312 bytes travel unchanged
    }
    a.sSmtpServer[64] = a.sSmtpUser[31] = a.sSmtpPassword[31] = a.sMailFrom[63] = 0;
    a.sMailTo[63] = a.sMailSubject[127] = a.sMailMessage[511] = a.sFtpServer[63] = 0;
    a.sFtpUser[31] = a.sFtpPassword[31] = a.sFtpDirectory[127] = a.sFtpProxy[63] = 0;
    a.byAttachImageNum = 10;
    a.byFtpGap = 30;
    a.byReserved = 0xAB;
    a.nSmtpPort = 62255;

    ASSERT_EQ(SaveSettingsFile(), 1);
    std::string first = FileBytes(kFile);
    ASSERT_EQ(first, LiveImage());

    std::memset(&g_Settings, 0, sizeof g_Settings);
    ASSERT_EQ(LoadSettingsFile(), 1);
    EXPECT_EQ(LiveImage(), first);
    ASSERT_EQ(SaveSettingsFile(), 1);
    EXPECT_EQ(FileBytes(kFile), first);
}

TEST_F(SettingsFileTest, AShortFileOverwritesOnlyWhatItHolds) {
    std::string system(SYSTEM_BLOCK_SIZE, '\0');
    system[0] = 1;  // C: records
    std::memcpy(&system[24], "E:\\pics", 7);
    system[184] = 3;
    system[189] = 'a';  // first account "a"
    WriteBytes(kFile, system);
    ASSERT_EQ(LoadSettingsFile(), 1);
    EXPECT_EQ(g_Settings.System.byRecordDrive[0], 1);
    EXPECT_STREQ(g_Settings.System.sSnapshotPath, "E:\\pics");
    EXPECT_EQ(g_Settings.System.bySnapshotQuality, 3);
    EXPECT_EQ(g_Settings.System.bOverlay, 0);  // from the file
    EXPECT_STREQ(g_Settings.System.sUserName[0], "a");
    EXPECT_EQ(+g_Settings.Alert.nSmtpPort, 25);  // beyond the file: defaults
    EXPECT_EQ(g_Settings.Alert.byFtpGap, 1);
    EXPECT_EQ(+g_Settings.Schedule[0].nMotionRecordTime, 0);

    // Half a field: only its first byte comes from the file.
    std::string cut(kAlert + 67, '\0');
    cut[kAlert + 1] = 'm';
    cut[kAlert + 66] = 0x50;
    WriteBytes(kFile, cut);
    ASSERT_EQ(LoadSettingsFile(), 1);
    EXPECT_STREQ(g_Settings.Alert.sSmtpServer, "m");
    EXPECT_EQ(+g_Settings.Alert.nSmtpPort, 0x50);  // low byte 0x50 from the file, high byte 0
    EXPECT_EQ(+g_Settings.Alert.nFtpPort, 21);
}

TEST_F(SettingsFileTest, BytesPastTheThreeBlocksAreIgnored) {
    LoadSettingsFile();
    SaveSettingsFile();
    std::string bytes = FileBytes(kFile) + std::string(500, '\x7F');
    WriteBytes(kFile, bytes);
    ASSERT_EQ(LoadSettingsFile(), 1);
    EXPECT_EQ(LiveImage(), bytes.substr(0, SETTINGS_FILE_SIZE));
}

TEST_F(SettingsFileTest, DamagedFileIsBroughtIntoRange) {
    std::string bytes(SETTINGS_FILE_SIZE, 'x');  // no string has its zero
    struct Value {
        size_t offset;
        unsigned char stored;
    };
    const Value stored[] = {
        {184, 200},                     // snapshot quality
        {kSchedule + 208, 0xFF},        // motion record time 65535
        {kSchedule + 209, 0xFF},        //
        {kSchedule + 210, 99},          // motion threshold
        {kSchedule + 212 + 208, 0x84},  // channel 2: 900 stays
        {kSchedule + 212 + 209, 0x03},
        {kSchedule + 212 + 210, 30},
        {kAlert + 901, 11},  // attachments
        {kAlert + 1163, 0},  // upload gap 0
    };
    for (const Value& v : stored) {
        bytes[v.offset] = static_cast<char>(v.stored);
    }
    WriteBytes(kFile, bytes);
    ASSERT_EQ(LoadSettingsFile(), 1);

    const SystemBlock& s = g_Settings.System;
    EXPECT_EQ(s.bySnapshotQuality, 7);
    EXPECT_EQ(+g_Settings.Schedule[0].nMotionRecordTime, 900);
    EXPECT_EQ(g_Settings.Schedule[0].byMotionSmart, 30);
    EXPECT_EQ(+g_Settings.Schedule[1].nMotionRecordTime, 900);
    EXPECT_EQ(g_Settings.Schedule[1].byMotionSmart, 30);
    EXPECT_EQ(g_Settings.Alert.byAttachImageNum, 10);
    EXPECT_EQ(g_Settings.Alert.byFtpGap, 1);

    EXPECT_EQ(std::string(s.sSnapshotPath), std::string(159, 'x'));
    for (int i = 0; i < MAX_USERS; ++i) {
        EXPECT_EQ(strlen(s.sUserName[i]), 17u);
        EXPECT_EQ(strlen(s.sUserPassword[i]), 17u);
    }
    const AlertBlock& a = g_Settings.Alert;
    const struct {
        const char* text;
        size_t size;
    } texts[] = {
        {a.sSmtpServer, 65}, {a.sSmtpUser, 32},     {a.sSmtpPassword, 32},  {a.sMailFrom, 64},
        {a.sMailTo, 64},     {a.sMailSubject, 128}, {a.sMailMessage, 512},  {a.sFtpServer, 64},
        {a.sFtpUser, 32},    {a.sFtpPassword, 32},  {a.sFtpDirectory, 128}, {a.sFtpProxy, 64},
    };
    for (const auto& t : texts) {
        EXPECT_EQ(strnlen(t.text, t.size), t.size - 1);
    }

    // An upload gap above the range is lowered.
    bytes[kAlert + 1163] = 31;
    WriteBytes(kFile, bytes);
    LoadSettingsFile();
    EXPECT_EQ(g_Settings.Alert.byFtpGap, 30);
}

TEST_F(SettingsFileTest, AFailedSaveKeepsTheOldFileAndReportsIt) {
    LoadSettingsFile();
    ASSERT_EQ(SaveSettingsFile(), 1);
    const std::string old = FileBytes(kFile);

    g_Settings.Alert.bEmailAlert = 1;
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    rlimit small = limit;
    small.rlim_cur = 4096;  // the disk fills part way through the write
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int result = SaveSettingsFile();
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(FileBytes(kFile), old);

    std::snprintf(g_szSettingsFile, sizeof g_szSettingsFile, "%s\\missing\\Quorvalind.tmp",
                  dir_.path().c_str());
    EXPECT_EQ(SaveSettingsFile(), 0);
    std::snprintf(g_szSettingsFile, sizeof g_szSettingsFile, "Q:\\Quorvalind.tmp");
    EXPECT_EQ(SaveSettingsFile(), 0);
    EXPECT_EQ(LoadSettingsFile(), 0);
}

// A directory of exactly the given length below the test folder.
std::string MakeDeepDirectory(const std::string& base, size_t length) {
    std::string path = base;
    while (path.size() < length) {
        size_t part = std::min<size_t>(100, length - path.size() - 1);
        path += '/';
        path.append(part, 'd');
        std::filesystem::create_directory(path);
    }
    return path;
}

TEST_F(SettingsFileTest, CurrentDirectoryOf299CharactersFitsAnd300DoesNot) {
    std::string fits = MakeDeepDirectory(dir_.path(), 299);
    ASSERT_EQ(fits.size(), 299u);
    ASSERT_EQ(chdir(fits.c_str()), 0);
    ASSERT_EQ(InitSettingsPaths(), 1);
    EXPECT_EQ(std::string(g_szSettingsFile), fits + "\\Quorvalind.tmp");
    EXPECT_EQ(SaveSettingsFile(), 1);
    EXPECT_TRUE(std::filesystem::exists(fits + "/Quorvalind.tmp"));

    std::string tooLong = MakeDeepDirectory(dir_.path(), 300);
    ASSERT_EQ(tooLong.size(), 300u);
    ASSERT_EQ(chdir(tooLong.c_str()), 0);
    EXPECT_EQ(InitSettingsPaths(), 0);
    ASSERT_EQ(chdir(dir_.path().c_str()), 0);
}

TEST(SettingsLockTest, TextHelpersStayInsideTheField) {
    char field[6];
    StoreSettingsText(field, "abcdefgh");
    EXPECT_EQ(std::string(field, 6), std::string("abcde\0", 6));
    StoreSettingsText(field, "x");
    EXPECT_EQ(std::string(field, 6), std::string("x\0\0\0\0\0", 6));
    const char full[4] = {'w', 'x', 'y', 'z'};
    EXPECT_EQ(ReadSettingsText(full), "wxyz");
    EXPECT_EQ(ReadSettingsText(field), "x");
}

TEST(SettingsLockTest, UserAccountIsCopiedWhole) {
    std::memset(&g_Settings.System, 0, sizeof g_Settings.System);
    StoreSettingsText(g_Settings.System.sUserName[23], "guard");
    StoreSettingsText(g_Settings.System.sUserPassword[23], "pw");
    g_Settings.System.byUserChannel[23][15] = 1;
    UserAccount account = ReadUserAccount(23);
    EXPECT_EQ(account.name, "guard");
    EXPECT_EQ(account.password, "pw");
    EXPECT_EQ(account.channels[15], 1);
    EXPECT_EQ(account.channels[0], 0);
    EXPECT_EQ(ReadUserAccount(24).name, "");
    EXPECT_EQ(ReadUserAccount(-1).name, "");
}

TEST(SettingsLockTest, ReadersNeverSeeAHalfCopiedBlock) {
    AlertBlock first{};
    AlertBlock second{};
    std::memset(&first, 0x11, sizeof first);
    std::memset(&second, 0x22, sizeof second);
    StoreSettings(g_Settings.Alert, first);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int i = 0; !stop; ++i) {
            StoreSettings(g_Settings.Alert, i % 2 ? first : second);
        }
    });
    for (int i = 0; i < 20000; ++i) {
        AlertBlock copy = ReadSettings(g_Settings.Alert);
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&copy);
        size_t same = 0;
        while (same < sizeof copy && bytes[same] == bytes[0]) {
            ++same;
        }
        ASSERT_EQ(same, sizeof copy) << "torn copy at read " << i;
    }
    stop = true;
    writer.join();
}

}  // namespace
