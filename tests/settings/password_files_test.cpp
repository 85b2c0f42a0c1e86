// The settings file (viewer, mail and FTP passwords) and the ini file
// (remote channels' passwords) are readable by their owner only.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "settings/channel_ini.h"
#include "settings/settings.h"
#include "support/chdir_temp_dir.h"

namespace {

namespace fs = std::filesystem;

struct Writer {
    const char* name;
    const char* file;
    int (*save)();
};

const Writer kWriters[] = {
    {"settings file", "Quorvalind.tmp", [] { return SaveSettingsFile(); }},
    {"channel ini", "Quorvalind.ini", [] { return SaveChannelIni(); }},
    {"record ini", "Quorvalind.ini", [] { return SaveRecordIni(1); }},
};

class PasswordFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(&g_Settings, 0, sizeof g_Settings);
        g_Settings.nChConfigNum = 1;
        std::strcpy(g_Settings.Channel[0].passwd, "secret");
        std::strcpy(g_Settings.System.sUserPassword[0], "secret");
        ASSERT_EQ(InitSettingsPaths(), 1);
        savedUmask_ = umask(022);
    }
    void TearDown() override { umask(savedUmask_); }

    ChdirTempDir dir_;
    mode_t savedUmask_ = 0;
};

TEST_F(PasswordFilesTest, AFirstSaveUnderTheUsualUmaskIsTheOwnersAlone) {
    for (const Writer& w : kWriters) {
        SCOPED_TRACE(w.name);
        fs::remove(w.file);
        ASSERT_EQ(w.save(), 1);
        EXPECT_EQ(fs::status(w.file).permissions(), fs::perms(0600));
    }
}

TEST_F(PasswordFilesTest, AnOpenOldFileIsClosedToOthersByTheNextSave) {
    for (const Writer& w : kWriters) {
        SCOPED_TRACE(w.name);
        std::ofstream(w.file) << "";
        fs::permissions(w.file, fs::perms(0644));
        ASSERT_EQ(w.save(), 1);
        EXPECT_EQ(fs::status(w.file).permissions(), fs::perms(0600));
    }
}

}  // namespace
