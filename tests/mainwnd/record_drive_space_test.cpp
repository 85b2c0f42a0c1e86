#include "mainwnd/record_drive_space.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "platform/drives/drives.h"
#include "support/chdir_temp_dir.h"

namespace {

constexpr uint64_t MB = 1u << 20;

class RecordDriveSpaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (char letter : {'D', 'E', 'F'}) {
            std::filesystem::path folder = m_dir.path() + "/drive" + letter;
            std::filesystem::create_directory(folder);
            m_map[letter] = folder.string();
        }
        SetDriveMapOverride(m_map);
        SetDiskSpaceSource([this](char letter, const std::string&, DiskSpace& out) {
            auto it = m_freeMb.find(letter);
            if (it == m_freeMb.end()) {
                return false;  // no medium
            }
            out.freeToCaller = it->second * MB;
            out.totalBytes = out.totalFree = 1000 * MB * 1000;
            return true;
        });
    }
    void TearDown() override {
        SetDiskSpaceSource({});
        SetDriveMapOverride(std::nullopt);
    }

    static void Enable(uint8_t (&drives)[24], char letter) { drives[letter - 'C'] = 1; }

    ChdirTempDir m_dir;
    DriveMap m_map;
    std::map<char, uint64_t> m_freeMb;
};

TEST_F(RecordDriveSpaceTest, FirstEnabledDriveWithMoreThan100MbIsChosenAndItsFolderMade) {
    uint8_t drives[24] = {};
    Enable(drives, 'C');
    Enable(drives, 'E');
    m_freeMb = {{'C', 50}, {'E', 2048}};
    EXPECT_EQ(FindRecordFolder(drives), "E:\\OstVA_Rec");
    struct stat st;
    ASSERT_EQ(stat((m_map['E'] + "/OstVA_Rec").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST_F(RecordDriveSpaceTest, ThresholdsAndDrivesWithoutMedium) {
    uint8_t drives[24] = {};
    Enable(drives, 'D');
    Enable(drives, 'F');
    struct Case {
        uint64_t d, f;  // 0 = no medium on D:
        const char* folder;
    };
    const Case cases[] = {
        {100, 100, ""},  // exactly 100 MB is not enough
        {101, 500, "D:\\OstVA_Rec"},
        {0, 101, "F:\\OstVA_Rec"},  // D: fails its query and is passed over
    };
    for (const Case& c : cases) {
        m_freeMb.clear();
        if (c.d) {
            m_freeMb['D'] = c.d;
        }
        m_freeMb['F'] = c.f;
        EXPECT_EQ(FindRecordFolder(drives), c.folder) << c.d << " " << c.f;
    }
    uint8_t none[24] = {};
    EXPECT_EQ(FindRecordFolder(none), "");
}

TEST_F(RecordDriveSpaceTest, CurrentFolderIsKeptDownTo99Mb) {
    m_freeMb['D'] = 99;
    EXPECT_FALSE(RecordFolderIsShortOfSpace("D:\\OstVA_Rec"));
    m_freeMb['D'] = 98;
    EXPECT_TRUE(RecordFolderIsShortOfSpace("D:\\OstVA_Rec"));
    m_freeMb.erase('D');  // a failing query gives the folder up
    EXPECT_TRUE(RecordFolderIsShortOfSpace("D:\\OstVA_Rec"));
    EXPECT_FALSE(RecordFolderIsShortOfSpace(""));  // an empty folder is not looked at
}

}  // namespace
