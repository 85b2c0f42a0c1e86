#include "platform/drives/drives.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/chdir_temp_dir.h"

namespace {

class DrivesTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetDriveMapOverride(std::nullopt);
        SetDiskSpaceSource({});
    }

    void WriteDriveFile(const std::string& text) {
        std::ofstream(kDriveMapFileName, std::ios::binary) << text;
    }

    std::string MakeFolder(const std::string& name) {
        std::filesystem::create_directory(name);
        return dir_.path() + "/" + name;
    }

    ChdirTempDir dir_;
};

constexpr std::uint32_t Bit(char letter) {
    return 1u << (letter - 'A');
}

TEST_F(DrivesTest, WithoutDriveFileOnlyCIsTheCurrentDirectory) {
    EXPECT_EQ(GetDriveFolder('C'), dir_.path());
    EXPECT_EQ(GetDriveFolder('c'), dir_.path());
    EXPECT_EQ(GetDriveFolder('D'), "");
    EXPECT_EQ(GetLogicalDrives(), Bit('C'));
    EXPECT_EQ(GetDriveTypeA("C:\\"), DRIVE_FIXED);
    EXPECT_EQ(GetDriveTypeA("D:"), DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(GetDriveTypeA("A:"), DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(GetDriveTypeA(""), DRIVE_UNKNOWN);
    EXPECT_EQ(GetDriveTypeA(nullptr), DRIVE_UNKNOWN);
}

TEST_F(DrivesTest, DriveFileMapsLettersAndSkipsBadLines) {
    std::string d = MakeFolder("disk_d");
    std::string f = MakeFolder("disk_f");
    WriteDriveFile(
        "# record disks\r\n"
        "D=" +
        d +
        "/\r\n"
        "E = " +
        dir_.path() +
        "/missing\n"
        "f=" +
        f +
        "\n"
        "\n"
        "C=/elsewhere\n"  // C: is always the current directory
        "G=relative/path\n"
        "HH=/x\n"
        "J\n"
        "K=\n");

    EXPECT_EQ(GetDriveFolder('D'), d);  // trailing slash dropped
    EXPECT_EQ(GetDriveFolder('E'), dir_.path() + "/missing");
    EXPECT_EQ(GetDriveFolder('F'), f);
    EXPECT_EQ(GetDriveFolder('C'), dir_.path());
    for (char letter : {'G', 'H', 'J', 'K'}) {
        EXPECT_EQ(GetDriveFolder(letter), "") << letter;
    }
    // E: is mapped but its folder is not there: no drive.
    EXPECT_EQ(GetLogicalDrives(), Bit('C') | Bit('D') | Bit('F'));
    EXPECT_EQ(GetDriveTypeA("d:"), DRIVE_FIXED);
    EXPECT_EQ(GetDriveTypeA("E:\\"), DRIVE_NO_ROOT_DIR);
}

TEST_F(DrivesTest, AChangedDriveFileIsReadAgain) {
    std::string d = MakeFolder("d");
    std::string longer = MakeFolder("d_second");
    WriteDriveFile("D=" + d + "\n");
    EXPECT_EQ(GetDriveFolder('D'), d);
    WriteDriveFile("D=" + longer + "\n");
    EXPECT_EQ(GetDriveFolder('D'), longer);
    std::filesystem::remove(kDriveMapFileName);
    EXPECT_EQ(GetDriveFolder('D'), "");
}

TEST_F(DrivesTest, OverrideReplacesTheFile) {
    std::string d = MakeFolder("d");
    std::string e = MakeFolder("e");
    WriteDriveFile("D=" + d + "\n");
    SetDriveMapOverride(DriveMap{{'e', e}, {'C', "/ignored"}});
    EXPECT_EQ(GetDriveFolder('D'), "");
    EXPECT_EQ(GetDriveFolder('E'), e);
    EXPECT_EQ(GetDriveFolder('C'), dir_.path());
    EXPECT_EQ(GetLogicalDrives(), Bit('C') | Bit('E'));
    SetDriveMapOverride(std::nullopt);
    EXPECT_EQ(GetDriveFolder('D'), d);
}

TEST_F(DrivesTest, NativeFoldersTurnIntoStoredPathsThroughTheDriveThatHoldsThem) {
    std::string d = MakeFolder("d");
    std::string e = MakeFolder("d/e");  // inside D: and C: too
    SetDriveMapOverride(DriveMap{{'D', d}, {'E', e}, {'F', dir_.path()}});
    const std::string c = dir_.path();
    struct Case {
        std::string native;
        std::string stored;
    } cases[] = {
        {c, "C:\\"},  // C: wins the tie with F:
        {c + "/snap/day", "C:\\snap\\day"},
        {d + "/", "D:\\"},
        {d + "/x", "D:\\x"},
        {e + "/y", "E:\\y"},  // the closest drive
        {d + "x", "C:\\dx"},  // "dx" is not inside "d"
        {"/nowhere/z", ""},
        {"relative/z", ""},
        {"", ""},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(ToDrivePath(k.native), k.stored) << k.native;
    }
    // And back again.
    EXPECT_EQ(ResolveDrivePath(ToDrivePath(e + "/y")), e + "/y");
    // The root folder as a drive holds every absolute path.
    SetDriveMapOverride(DriveMap{{'Z', "/"}});
    EXPECT_EQ(ToDrivePath("/nowhere/z"), "Z:\\nowhere\\z");
}

// Stored paths are in the settings' code page; the folder on disk is named
// in UTF-8, and a path built from the current directory is native already.
TEST_F(DrivesTest, StoredNamesReachTheFileSystemInUtf8) {
    const std::string d = MakeFolder("d");
    SetDriveMapOverride(DriveMap{{'D', d}});
    // "\xc9\xe3\xcf\xf1" is GB2312 for the two characters below.
    EXPECT_EQ(ResolveDrivePath("D:\\snap\xc9\xe3\xcf\xf1"), d + "/snap\xe6\x91\x84\xe5\x83\x8f");
    EXPECT_EQ(ResolveDrivePath(d + "/\xe6\x91\x84"), d + "/\xe6\x91\x84");
}

TEST_F(DrivesTest, InjectedFreeSpaceAnswersPerDrive) {
    std::string e = MakeFolder("e");
    SetDriveMapOverride(DriveMap{{'E', e}});
    SetDiskSpaceSource([&](char letter, const std::string& folder, DiskSpace& out) {
        if (letter != 'E') {
            return false;  // a drive without medium
        }
        EXPECT_EQ(folder, e + "/OstVA_Rec");
        out = {2'000'000'000ull, 4'000'000'000ull, 2'100'000'000ull};
        return true;
    });

    std::uint64_t freeToCaller = 0, total = 0, totalFree = 0;
    ASSERT_EQ(GetDiskFreeSpaceExA("E:\\OstVA_Rec", &freeToCaller, &total, &totalFree), 1);
    EXPECT_EQ(freeToCaller, 2'000'000'000ull);
    EXPECT_EQ(total, 4'000'000'000ull);
    EXPECT_EQ(totalFree, 2'100'000'000ull);

    EXPECT_EQ(GetDiskFreeSpaceExA("C:\\", &freeToCaller, nullptr, nullptr), 0);
    EXPECT_EQ(GetDiskFreeSpaceExA("F:\\", &freeToCaller, nullptr, nullptr), 0);  // not mapped
    EXPECT_EQ(GetDiskFreeSpaceExA("", nullptr, nullptr, nullptr), 0);
}

TEST_F(DrivesTest, RealFreeSpaceComesFromTheFileSystem) {
    std::uint64_t freeToCaller = 0, total = 0, totalFree = 0;
    ASSERT_EQ(GetDiskFreeSpaceExA("C:\\", &freeToCaller, &total, &totalFree), 1);
    EXPECT_GT(total, 0u);
    EXPECT_LE(freeToCaller, totalFree);
    EXPECT_LE(totalFree, total);
    EXPECT_EQ(GetDiskFreeSpaceExA("C:\\no_such_folder", &freeToCaller, nullptr, nullptr), 0);
}

}  // namespace
