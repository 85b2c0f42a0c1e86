#include "platform/paths/native_path.h"

#include <gtest/gtest.h>

#include "platform/drives/drives.h"
#include "support/chdir_temp_dir.h"

namespace {

TEST(NativePathTest, StoredPathsBecomeRealOnes) {
    ChdirTempDir dir;
    SetDriveMapOverride(DriveMap{{'D', "/srv/disk_d"}, {'R', "/"}});
    const std::string cwd = dir.path();
    struct Case {
        const char* stored;
        std::string native;
    };
    const Case cases[] = {
        {"C:\\OstVA_Rec\\CH01_2006_05_25__08_00_05.avi",
         cwd + "/OstVA_Rec/CH01_2006_05_25__08_00_05.avi"},
        {"c:\\Ch02_x.jpg", cwd + "/Ch02_x.jpg"},
        {"C:", cwd},
        {"C:\\", cwd + "/"},
        {"C:name", cwd + "/name"},
        {"D:\\OstVA_Rec", "/srv/disk_d/OstVA_Rec"},
        {"R:\\top", "/top"},    // a drive on the root folder gives no double slash
        {"E:\\OstVA_Rec", ""},  // not mapped
        {"/work/tmp\\Quorvalind.ini", "/work/tmp/Quorvalind.ini"},
        {"/already/posix", "/already/posix"},
        {"Quorvalind.001", "Quorvalind.001"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToNativePath(c.stored), c.native) << c.stored;
    }
    SetDriveMapOverride(std::nullopt);
}

}  // namespace
