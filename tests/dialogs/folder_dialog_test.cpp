// The folder picker through the chooser seam: what it asks the chooser,
// and the stored form and result of what comes back.

#include "dialogs/folder_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/drives/drives.h"
#include "platform/msgbox/message_box.h"
#include "platform/ui/folder_chooser.h"
#include "support/chdir_temp_dir.h"
#include "support/qt_app.h"

namespace {

class FolderDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        std::filesystem::create_directories("snap");
        std::filesystem::create_directories("d");
        SetDriveMapOverride(DriveMap{{'D', m_dir.path() + "/d"}, {'E', "/not/there"}});
        SetFolderChooser([this](const FolderChooserRequest& request) {
            m_request = request;
            return m_answer;
        });
    }
    void TearDown() override {
        SetFolderChooser({});
        SetDriveMapOverride(std::nullopt);
    }

    ChdirTempDir m_dir;
    FolderChooserRequest m_request;
    std::optional<std::string> m_answer;
};

TEST_F(FolderDialogTest, AsksForFoldersFromTheInitialOneBesideTheDrives) {
    CFolderDialog picker("Select Snapshot Path", "C:\\snap");
    m_answer = std::nullopt;
    EXPECT_EQ(picker.DoModal(), -1);
    EXPECT_TRUE(picker.GetFolderPath().IsEmpty());
    EXPECT_EQ(m_request.title, "Select Snapshot Path");
    EXPECT_EQ(m_request.initialFolder, m_dir.path() + "/snap");
    // The drives that are there: C: and D:, not the missing E:.
    EXPECT_EQ(m_request.places, (std::vector<std::string>{m_dir.path(), m_dir.path() + "/d"}));
    CFolderDialog none("Pick", nullptr);
    none.DoModal();
    EXPECT_EQ(m_request.initialFolder, "");
}

TEST_F(FolderDialogTest, TheChosenFolderInItsStoredForm) {
    const std::string c = m_dir.path();
    struct Case {
        std::string chosen;
        int result;
        const char* stored;
        bool storable;
    } cases[] = {
        {c + "/snap", IDOK, "C:\\snap", true},
        {c, IDOK, "C:\\", true},
        {c + "/d/cam 1", IDOK, "D:\\cam 1", true},
        {c + "/\xE5\xBF\xAB\xE7\x85\xA7", IDOK, "C:\\\xBF\xEC\xD5\xD5", true},  // 快照 in GB2312
        {c + "/\xF0\x9F\x93\xB7", IDOK, "C:\\?", false},                        // a camera emoji
        {"/elsewhere/snap", IDCANCEL, "", false},                               // on no drive
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.chosen);
        m_answer = k.chosen;
        CFolderDialog picker("Select Snapshot Path", "C:\\snap");
        EXPECT_EQ(picker.DoModal(), k.result);
        EXPECT_EQ(picker.GetFolderPath(), k.stored);
        EXPECT_EQ(picker.IsFolderPathStorable() == TRUE, k.storable);
    }
}

}  // namespace
