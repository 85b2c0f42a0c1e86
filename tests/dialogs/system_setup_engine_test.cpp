// The system dialog in the running recorder: the System button's path runs
// the real dialog; an account added and saved there is written to the
// settings file and logs in on the login server, opens the channel it has
// the right to and receives its stream, and is refused the other channel.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "dialog_input.h"
#include "netservice/loopback_client.h"
#include "platform/ui/folder_chooser.h"
#include "res/system_setup_ids.h"
#include "setup_engine_fixture.h"
#include "support/modal_step.h"

using namespace engine_test;

namespace {

constexpr size_t kSettingsFileBytes = 6059;

class SystemSetupEngineTest : public SetupDialogEngineTest {
protected:
    void SetUp() override {
        SetupDialogEngineTest::SetUp();
        std::filesystem::create_directory("snaps");
        SetFolderChooser([this](const FolderChooserRequest&) {
            return std::optional<std::string>(m_dir.path() + "/snaps");
        });
    }
    void TearDown() override {
        SetFolderChooser({});
        SetupDialogEngineTest::TearDown();
    }
};

std::vector<char> FileBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// Logs in and asks for a channel: the two answers' codes.
std::pair<uint8_t, uint8_t> LoginAndOpen(LoopbackClient& client, const char* user,
                                         const char* password, uint8_t channel) {
    std::pair<uint8_t, uint8_t> codes{0, 0};
    std::string payload;
    EXPECT_TRUE(client.Send(LoginBytes(user, password)));
    EXPECT_TRUE(client.ReadAnswer(&codes.first, &payload));
    if (codes.first != NETCMD_LOGIN_OK) {
        return codes;
    }
    EXPECT_EQ(payload, std::string(1, '\x02'));  // the channel count
    EXPECT_TRUE(client.Send(OpenBytes(channel)));
    EXPECT_TRUE(client.ReadAnswer(&codes.second, &payload));
    EXPECT_EQ(payload, std::string(1, char(channel)));
    return codes;
}

TEST_F(SystemSetupEngineTest, AnAccountSavedInTheDialogLogsInAndOpensItsChannel) {
    Start(2);  // channel 2 for the right the account lacks
    bool shown = false;
    ActOnNextModal([&shown](CWnd& dlg) {
        shown = dlg.GetWindowText() == "System setup...";
        Retype(dlg, IDC_USER_NAME, "guard");
        Retype(dlg, IDC_USER_PASSWORD, "s3cret");
        Click(dlg, IDC_USER_RIGHT_FIRST);  // Ch01 only
        Click(dlg, IDC_ADD_USER);
        Click(dlg, IDC_BROWSE_SNAPSHOT_PATH);
        Click(dlg, IDC_SYSTEM_SAVE);
        Click(dlg, IDOK);
    });
    m_state->OnSystemSetup();  // the System button's handler
    EXPECT_TRUE(shown);
    EXPECT_EQ(m_log.lines().back().text, "Change and save system setup!");
    EXPECT_EQ(m_state->GetSnapshotFolder(), "C:\\snaps");
    EXPECT_EQ(m_state->GetRecordFolder(), "C:\\OstVA_Rec");  // C: still enabled

    // The settings file: the live system block first, byte for byte, with
    // the account in the first slot and the folder at their places.
    const std::vector<char> file = FileBytes("Quorvalind.tmp");
    ASSERT_EQ(file.size(), kSettingsFileBytes);
    EXPECT_EQ(std::memcmp(file.data(), &g_Settings.System, sizeof(SystemBlock)), 0);
    const char folder[] = "C:\\snaps";
    EXPECT_EQ(
        std::memcmp(file.data() + offsetof(SystemBlock, sSnapshotPath), folder, sizeof folder), 0);
    const size_t name = offsetof(SystemBlock, sUserName);
    const size_t password = offsetof(SystemBlock, sUserPassword);
    const size_t rights = offsetof(SystemBlock, byUserChannel);
    EXPECT_EQ(std::string(file.data() + name, 18), std::string("guard") + std::string(13, '\0'));
    EXPECT_EQ(std::string(file.data() + password, 18),
              std::string("s3cret") + std::string(12, '\0'));
    EXPECT_EQ(std::string(file.data() + rights, 16),
              std::string(1, '\x01') + std::string(15, '\0'));
    g_Settings.System = SystemBlock{};
    ASSERT_EQ(LoadSettingsFile(), 1);
    EXPECT_STREQ(g_Settings.System.sUserName[0], "guard");

    // The account logs in and receives its channel's stream.
    LoopbackClient viewer(GetLoginServerPort());
    ASSERT_TRUE(viewer.connected());
    EXPECT_EQ(LoginAndOpen(viewer, "guard", "s3cret", 0),
              std::make_pair(NETCMD_LOGIN_OK, NETCMD_OPEN_OK));
    StreamHeader header{};
    Bytes payload;
    bool streamed = false;
    for (int i = 0; i < 50 && !streamed; ++i) {
        Pictures(1);
        streamed = viewer.ReadPacket(&header, &payload, 200);
    }
    EXPECT_TRUE(streamed);
    // The channel it has no right to, and a wrong password.
    LoopbackClient other(GetLoginServerPort());
    EXPECT_EQ(LoginAndOpen(other, "guard", "s3cret", 1),
              std::make_pair(NETCMD_LOGIN_OK, NETCMD_NO_RIGHT));
    LoopbackClient wrong(GetLoginServerPort());
    EXPECT_EQ(LoginAndOpen(wrong, "guard", "S3cret", 0).first, NETCMD_LOGIN_FAILED);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(SystemSetupEngineTest, ExitWithoutSaveWritesNothing) {
    Start();
    ActOnNextModal([](CWnd& dlg) { Click(dlg, IDOK); });
    const size_t lines = m_log.lines().size();
    m_state->OnSystemSetup();
    EXPECT_EQ(m_log.lines().size(), lines);
    EXPECT_FALSE(std::filesystem::exists("Quorvalind.tmp"));
}

}  // namespace
