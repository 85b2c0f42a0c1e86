// "System setup...": the frame's cases, what it shows of the stored system
// block, the viewer accounts (add, select, change, delete, every message,
// the list lines), the record drives with their pie, the snapshot folder
// through the picker, and the mended faults: Change never gives two
// accounts one name, names with a comma work through their lines, Add
// gives no right on hidden channels, selecting a line or choosing a
// folder keeps the other edits, and a folder is taken whole or not at all.

#include "dialogs/system_setup_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "dialog_input.h"
#include "dialog_test_resources.h"
#include "dialogs/account_slots.h"
#include "frame_cases.h"
#include "platform/drives/drives.h"
#include "platform/ui/folder_chooser.h"
#include "res/system_setup_ids.h"
#include "settings/globals.h"
#include "support/chdir_temp_dir.h"
#include "support/modal_step.h"
#include "support/qt_app.h"
#include "support/scripted_message_boxes.h"
#include "support/ui_input.h"

namespace {

constexpr char kTooLong[] = "User name or password is too long!";
constexpr char kSelectUser[] = "Please select user in list...";
constexpr char kFolderTooLong[] = "Please enter no more than 156 characters.";
constexpr char kUnstorable[] = "This folder name cannot be stored!";
constexpr char kNoDrive[] = "This folder is on no drive of the recorder!";
constexpr std::uint64_t kGb = std::uint64_t{1} << 30;

void SetAccount(SystemBlock& b, int slot, const char* name, const char* password,
                std::vector<int> channels) {
    std::memset(b.sUserName[slot], 0, 18);
    std::memset(b.sUserPassword[slot], 0, 18);
    std::memset(b.byUserChannel[slot], 0, MAX_CHANNELS);
    std::strncpy(b.sUserName[slot], name, 17);
    std::strncpy(b.sUserPassword[slot], password, 17);
    for (int c : channels) {
        b.byUserChannel[slot][c] = 1;
    }
}

bool IsShown(CWnd& dlg, int id) {
    return dlg.GetDlgItem(id)->IsWindowVisible() == TRUE;
}

void Account(CWnd& dlg, const char* name, const char* password) {
    Retype(dlg, IDC_USER_NAME, name);
    Retype(dlg, IDC_USER_PASSWORD, password);
}

QListWidget* UserList(CWnd& dlg) {
    return qobject_cast<QListWidget*>(ControlWidget(dlg, IDC_USER_LIST));
}

std::vector<std::string> Lines(CWnd& dlg) {
    std::vector<std::string> lines;
    QListWidget* list = UserList(dlg);
    for (int i = 0; i < list->count(); ++i) {
        lines.push_back(list->item(i)->text().toStdString());
    }
    return lines;
}

// The user's click on a line.
void SelectLine(CWnd& dlg, int row) {
    QListWidget* list = UserList(dlg);
    ASSERT_LT(row, list->count());
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    ASSERT_EQ(list->currentRow(), row);
}

std::string Line(const char* name, const char* password) {
    return std::string(" User : ") + name + ", Password: " + password;
}

class SystemSetupDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        SetResourceProvider(&m_resources);
        std::filesystem::create_directories("d");
        std::filesystem::create_directories("f");
        std::filesystem::create_directories("snap");
        SetDriveMapOverride(
            DriveMap{{'D', m_dir.path() + "/d"}, {'E', "/not/there"}, {'F', m_dir.path() + "/f"}});
        SetDiskSpaceSource([](char letter, const std::string&, DiskSpace& out) {
            out.totalBytes = (letter == 'F' ? 2 : 40) * kGb;
            out.totalFree = (letter == 'F' ? 1 : 10) * kGb;
            return true;
        });
        SetFolderChooser([this](const FolderChooserRequest& request) {
            m_request = request;
            return m_chosen;
        });
        g_Settings = Settings{};
        g_nChannelCount = 4;
        SystemBlock& b = g_Settings.System;
        std::memset(&b, 0, sizeof b);
        std::strcpy(b.sSnapshotPath, "C:\\");
        b.bySnapshotQuality = 7;
        b.byDriveFullAction = 1;
        b.byRecordDrive[0] = 1;          // C:
        b.byRecordDrive['E' - 'C'] = 1;  // not there: hidden, kept
        SetAccount(b, 0, "viewer", "viewer", {0, 1, 2, 3});
        m_original = b;
    }
    void TearDown() override {
        g_nChannelCount = 0;
        SetFolderChooser({});
        SetDiskSpaceSource({});
        SetDriveMapOverride(std::nullopt);
        SetResourceProvider(nullptr);
    }

    INT_PTR Run(CSystemSetupDialog& dlg, const std::function<void()>& step) {
        return RunModalWith(dlg, step);
    }
    bool LiveIs(const SystemBlock& expected) const {
        return std::memcmp(&g_Settings.System, &expected, sizeof expected) == 0;
    }

    DialogTestResources m_resources;
    ChdirTempDir m_dir;
    SystemBlock m_original{};
    FolderChooserRequest m_request;
    std::optional<std::string> m_chosen;
};

void Do(CSystemSetupDialog& d, FrameAct act) {
    switch (act) {
        case FrameAct::Change:
            Click(d, IDC_OVERLAY);
            break;
        case FrameAct::ChangeAgain:
            Click(d, IDC_YUY2);
            break;
        case FrameAct::Save:
            Click(d, IDC_SYSTEM_SAVE);
            break;
        case FrameAct::Exit:
            Click(d, IDOK);
            break;
        case FrameAct::Esc:
            PressKey(d.GetWidget(), Qt::Key_Escape);
            break;
        case FrameAct::StillOpenAndChanged:
            EXPECT_TRUE(d.IsWindowVisible());
            EXPECT_TRUE(IsChecked(d, IDC_OVERLAY));
            break;
    }
}

TEST_F(SystemSetupDialogTest, TheFramesCases) {
    SystemBlock changed = m_original;
    changed.bOverlay = 1;
    using A = FrameAct;
    RunFrameCases<CSystemSetupDialog>(
        FrameCasesWith({
            // Esc ends it at once: IDOK once Save was pressed.
            {"change, Esc", {A::Change, A::Esc}, {}, IDCANCEL, false},
            {"change, Save, Esc", {A::Change, A::Save, A::Esc}, {}, IDOK, true},
        }),
        [this] { g_Settings.System = m_original; }, Do,
        [&](bool saved) { return LiveIs(saved ? changed : m_original); });
}

TEST_F(SystemSetupDialogTest, ShowsTheStoredBlockTheRunningChannelsAndTheDrivesThatAreThere) {
    g_Settings.System.bYuy2 = 1;
    CSystemSetupDialog dlg;
    EXPECT_EQ(
        Run(dlg,
            [&dlg] {
                EXPECT_EQ(dlg.GetWindowText(), "System setup...");
                EXPECT_EQ(Lines(dlg), std::vector<std::string>{Line("viewer", "viewer")});
                EXPECT_EQ(dlg.GetDlgItemText(IDC_USER_NAME), "");
                EXPECT_EQ(dlg.GetDlgItemText(IDC_USER_PASSWORD), "");
                for (int n = 0; n < MAX_CHANNELS; ++n) {
                    EXPECT_EQ(IsShown(dlg, IDC_USER_RIGHT_FIRST + n), n < 4) << n;
                    EXPECT_FALSE(IsChecked(dlg, IDC_USER_RIGHT_FIRST + n)) << n;
                }
                // C: (the current folder), D: and F: are there; E: is
                // mapped to a folder that is not, G: to Z: are not mapped.
                for (int i = 0; i < RECORD_DRIVE_COUNT; ++i) {
                    const char letter = static_cast<char>('C' + i);
                    EXPECT_EQ(IsShown(dlg, IDC_RECORD_DRIVE_FIRST + i),
                              letter == 'C' || letter == 'D' || letter == 'F')
                        << letter;
                }
                EXPECT_TRUE(IsChecked(dlg, IDC_RECORD_DRIVE_FIRST));
                EXPECT_EQ(dlg.m_bDrive['E' - 'C'], 1);
                EXPECT_EQ(dlg.GetDlgItemText(IDC_RECORD_DRIVE_GROUP), "Select Record Driver C:");
                EXPECT_EQ(dlg.m_wndPie.GetDrive(), "C:");
                EXPECT_EQ(dlg.m_wndPie.GetTexts().capacity, "Capacity: 40.00 GB");
                EXPECT_EQ(dlg.GetDlgItemText(IDC_SNAPSHOT_PATH), "C:\\");
                auto* quality = qobject_cast<QComboBox*>(ControlWidget(dlg, IDC_SNAPSHOT_QUALITY));
                EXPECT_EQ(quality->count(), 8);
                EXPECT_EQ(quality->currentText(), "     8");
                EXPECT_FALSE(IsChecked(dlg, IDC_OVERLAY));
                EXPECT_TRUE(IsChecked(dlg, IDC_YUY2));
                EXPECT_FALSE(IsChecked(dlg, IDC_DRIVE_FULL_DELETE));
                EXPECT_TRUE(IsChecked(dlg, IDC_DRIVE_FULL_PROMPT));

                // A drive box toggles and points the pie at its drive.
                Click(dlg, IDC_RECORD_DRIVE_FIRST + ('F' - 'C'));
                EXPECT_EQ(dlg.GetDlgItemText(IDC_RECORD_DRIVE_GROUP), "Select Record Driver F:");
                EXPECT_EQ(dlg.m_wndPie.GetDrive(), "F:");
                EXPECT_EQ(dlg.m_wndPie.GetTexts().capacity, "Capacity: 2.00 GB");
                Click(dlg, IDC_RECORD_DRIVE_FIRST);  // C: off, and shown
                EXPECT_EQ(dlg.m_wndPie.GetDrive(), "C:");
                Click(dlg, IDC_DRIVE_FULL_DELETE);
                Click(dlg, IDC_SYSTEM_SAVE);
                Click(dlg, IDOK);
            }),
        IDOK);
    SystemBlock expected = m_original;
    expected.bYuy2 = 1;
    expected.byRecordDrive[0] = 0;
    expected.byRecordDrive['F' - 'C'] = 1;
    expected.byDriveFullAction = 0;
    EXPECT_TRUE(LiveIs(expected));  // E:'s hidden flag kept
}

TEST_F(SystemSetupDialogTest, AccountsAreAddedSelectedChangedAndDeleted) {
    ScriptedMessageBoxes boxes;
    boxes.Expect(kTooLong);     // Add with an empty name
    boxes.Expect(kTooLong);     // Change with an empty name: before the selection check
    boxes.Expect(kSelectUser);  // Change with none selected
    boxes.Expect(kSelectUser);  // Delete with none selected
    CSystemSetupDialog dlg;
    EXPECT_EQ(Run(dlg,
                  [&dlg] {
                      const SystemBlock& w = g_EditSystemBlock;
                      Account(dlg, "Bob", "pw1");
                      Click(dlg, IDC_USER_RIGHT_FIRST);
                      Click(dlg, IDC_USER_RIGHT_FIRST + 2);
                      Click(dlg, IDC_ADD_USER);
                      Account(dlg, "Bob", "pw2");  // there already: nothing, no message
                      Click(dlg, IDC_ADD_USER);
                      Account(dlg, "bob", "");  // another user
                      Click(dlg, IDC_ADD_USER);
                      EXPECT_EQ(Lines(dlg),
                                (std::vector<std::string>{Line("viewer", "viewer"),
                                                          Line("Bob", "pw1"), Line("bob", "")}));
                      const uint8_t bobRights[MAX_CHANNELS] = {1, 0, 1};
                      EXPECT_EQ(std::memcmp(w.byUserChannel[1], bobRights, MAX_CHANNELS), 0);

                      // 16 characters at most, typed or stored; at least one.
                      Account(dlg, "ABCDEFGHIJKLMNOPQ", "0123456789abcdefX");
                      EXPECT_EQ(dlg.GetDlgItemText(IDC_USER_NAME), "ABCDEFGHIJKLMNOP");
                      EXPECT_EQ(dlg.GetDlgItemText(IDC_USER_PASSWORD), "0123456789abcdef");
                      Click(dlg, IDC_ADD_USER);
                      EXPECT_STREQ(w.sUserName[3], "ABCDEFGHIJKLMNOP");
                      Account(dlg, "", "x");
                      Click(dlg, IDC_ADD_USER);
                      Click(dlg, IDC_CHANGE_USER);
                      EXPECT_EQ(Lines(dlg).size(), 4u);

                      // Selecting shows the account; Change rewrites it.
                      SelectLine(dlg, 1);
                      EXPECT_EQ(dlg.GetDlgItemText(IDC_USER_NAME), "Bob");
                      EXPECT_EQ(dlg.GetDlgItemText(IDC_USER_PASSWORD), "pw1");
                      for (int n = 0; n < 4; ++n) {
                          EXPECT_EQ(IsChecked(dlg, IDC_USER_RIGHT_FIRST + n), n == 0 || n == 2)
                              << n;
                      }
                      Retype(dlg, IDC_USER_PASSWORD, "pw9");
                      Click(dlg, IDC_USER_RIGHT_FIRST + 3);
                      Click(dlg, IDC_CHANGE_USER);
                      EXPECT_EQ(Lines(dlg)[1], Line("Bob", "pw9"));
                      EXPECT_EQ(w.byUserChannel[1][3], 1);
                      EXPECT_EQ(UserList(dlg)->currentRow(), -1);  // the list was rebuilt
                      Click(dlg, IDC_CHANGE_USER);
                      Click(dlg, IDC_DELETE_USER);

                      // Deleting frees the slot; the next Add fills the lowest
                      // free slot, its line at the end.
                      SelectLine(dlg, 0);
                      Click(dlg, IDC_DELETE_USER);
                      EXPECT_EQ(w.sUserName[0][0], '\0');
                      EXPECT_EQ(w.byUserChannel[0][0], 0);
                      EXPECT_EQ(dlg.GetDlgItemText(IDC_USER_NAME), "viewer");  // edits keep it
                      Account(dlg, "Ann", "a");
                      Click(dlg, IDC_ADD_USER);
                      EXPECT_STREQ(w.sUserName[0], "Ann");
                      EXPECT_EQ(Lines(dlg).back(), Line("Ann", "a"));
                      Click(dlg, IDC_SYSTEM_SAVE);
                      Click(dlg, IDOK);
                  }),
              IDOK);
    EXPECT_STREQ(g_Settings.System.sUserName[0], "Ann");
    EXPECT_STREQ(g_Settings.System.sUserPassword[1], "pw9");
    EXPECT_STREQ(g_Settings.System.sUserName[2], "bob");
}

TEST_F(SystemSetupDialogTest, AFullTableTakesNoMoreAndSaysNothing) {
    for (int i = 1; i < MAX_USERS; ++i) {
        const std::string name = "user" + std::to_string(i);
        SetAccount(g_Settings.System, i, name.c_str(), "p", {});
    }
    ScriptedMessageBoxes boxes;
    CSystemSetupDialog dlg;
    Run(dlg, [&dlg] {
        EXPECT_EQ(Lines(dlg).size(), 24u);
        Account(dlg, "late", "p");
        Click(dlg, IDC_ADD_USER);
        EXPECT_EQ(Lines(dlg).size(), 24u);
        EXPECT_EQ(FindSlotByName(g_EditSystemBlock, "late"), -1);
        dlg.EndDialog(IDCANCEL);
    });
}

// Two accounts of one name would let either password in with both
// accounts' rights.
TEST_F(SystemSetupDialogTest, ChangeRefusesANameAnotherAccountHolds) {
    SetAccount(g_Settings.System, 1, "Bob", "bobpw", {1});
    ScriptedMessageBoxes boxes;  // refused without a message
    CSystemSetupDialog dlg;
    EXPECT_EQ(Run(dlg,
                  [&dlg] {
                      SelectLine(dlg, 1);
                      Retype(dlg, IDC_USER_NAME, "viewer");
                      Retype(dlg, IDC_USER_PASSWORD, "new");
                      Click(dlg, IDC_CHANGE_USER);
                      EXPECT_EQ(Lines(dlg), (std::vector<std::string>{Line("viewer", "viewer"),
                                                                      Line("Bob", "bobpw")}));
                      // Its own name stays allowed, and "bob" is another name.
                      Retype(dlg, IDC_USER_NAME, "Bob");
                      Click(dlg, IDC_CHANGE_USER);
                      EXPECT_EQ(Lines(dlg)[1], Line("Bob", "new"));
                      SelectLine(dlg, 1);
                      Retype(dlg, IDC_USER_NAME, "bob");
                      Click(dlg, IDC_CHANGE_USER);
                      EXPECT_EQ(Lines(dlg)[1], Line("bob", "new"));
                      Click(dlg, IDC_SYSTEM_SAVE);
                      Click(dlg, IDOK);
                  }),
              IDOK);
    EXPECT_STREQ(g_Settings.System.sUserName[0], "viewer");
    EXPECT_STREQ(g_Settings.System.sUserPassword[0], "viewer");
    EXPECT_STREQ(g_Settings.System.sUserName[1], "bob");
}

TEST_F(SystemSetupDialogTest, NamesWithACommaAreFoundThroughTheirLines) {
    CSystemSetupDialog dlg;
    EXPECT_EQ(
        Run(dlg,
            [&dlg] {
                Account(dlg, "a", "first");
                Click(dlg, IDC_ADD_USER);
                Account(dlg, "a,b", "second");
                Click(dlg, IDC_ADD_USER);
                EXPECT_EQ(Lines(dlg)[2], Line("a,b", "second"));
                SelectLine(dlg, 2);
                EXPECT_EQ(dlg.GetDlgItemText(IDC_USER_NAME), "a,b");
                EXPECT_EQ(dlg.GetDlgItemText(IDC_USER_PASSWORD), "second");
                Retype(dlg, IDC_USER_PASSWORD, "third");
                Click(dlg, IDC_CHANGE_USER);
                EXPECT_EQ(Lines(dlg),
                          (std::vector<std::string>{Line("viewer", "viewer"), Line("a", "first"),
                                                    Line("a,b", "third")}));
                SelectLine(dlg, 2);
                Click(dlg, IDC_DELETE_USER);
                EXPECT_EQ(Lines(dlg),
                          (std::vector<std::string>{Line("viewer", "viewer"), Line("a", "first")}));
                Click(dlg, IDC_SYSTEM_SAVE);
                Click(dlg, IDOK);
            }),
        IDOK);
    EXPECT_STREQ(g_Settings.System.sUserPassword[1], "first");
    EXPECT_EQ(g_Settings.System.sUserName[2][0], '\0');
}

// With 4 channels running only Ch01..Ch04 show; the boxes of the others
// still hold the rights of the account selected last.
TEST_F(SystemSetupDialogTest, RightsOfChannelsThatDoNotRun) {
    SetAccount(g_Settings.System, 1, "night", "n", {0, 9});
    SetAccount(g_Settings.System, 2, "day", "d", {1});
    CSystemSetupDialog dlg;
    EXPECT_EQ(Run(dlg,
                  [&dlg] {
                      const SystemBlock& w = g_EditSystemBlock;
                      SelectLine(dlg, 1);
                      EXPECT_EQ(dlg.m_bRight[9], 1);
                      // Add: no right on the hidden channel 10.
                      Account(dlg, "dawn", "x");
                      Click(dlg, IDC_ADD_USER);
                      EXPECT_STREQ(w.sUserName[3], "dawn");
                      EXPECT_EQ(w.byUserChannel[3][0], 1);
                      EXPECT_EQ(w.byUserChannel[3][9], 0);
                      // Change: the account keeps its hidden right, even
                      // when another account was shown in between.
                      SelectLine(dlg, 2);
                      SelectLine(dlg, 1);
                      Click(dlg, IDC_USER_RIGHT_FIRST);  // Ch01 off
                      Click(dlg, IDC_CHANGE_USER);
                      EXPECT_EQ(w.byUserChannel[1][0], 0);
                      EXPECT_EQ(w.byUserChannel[1][9], 1);
                      SelectLine(dlg, 2);
                      Click(dlg, IDC_CHANGE_USER);
                      EXPECT_EQ(w.byUserChannel[2][1], 1);
                      EXPECT_EQ(w.byUserChannel[2][9], 0);
                      Click(dlg, IDC_SYSTEM_SAVE);
                      Click(dlg, IDOK);
                  }),
              IDOK);
    EXPECT_EQ(g_Settings.System.byUserChannel[1][9], 1);
    EXPECT_EQ(g_Settings.System.byUserChannel[3][9], 0);
}

TEST_F(SystemSetupDialogTest, SelectingALineKeepsTheOtherEdits) {
    CSystemSetupDialog dlg;
    EXPECT_EQ(Run(dlg,
                  [&dlg] {
                      Click(dlg, IDC_RECORD_DRIVE_FIRST + 1);  // D:
                      Click(dlg, IDC_OVERLAY);
                      qobject_cast<QComboBox*>(ControlWidget(dlg, IDC_SNAPSHOT_QUALITY))
                          ->setCurrentIndex(3);
                      Retype(dlg, IDC_SNAPSHOT_PATH, "C:\\snap");
                      SelectLine(dlg, 0);
                      EXPECT_EQ(dlg.GetDlgItemText(IDC_USER_NAME), "viewer");
                      EXPECT_TRUE(IsChecked(dlg, IDC_RECORD_DRIVE_FIRST + 1));
                      EXPECT_TRUE(IsChecked(dlg, IDC_OVERLAY));
                      EXPECT_EQ(dlg.GetDlgItemText(IDC_SNAPSHOT_PATH), "C:\\snap");
                      EXPECT_EQ(qobject_cast<QComboBox*>(ControlWidget(dlg, IDC_SNAPSHOT_QUALITY))
                                    ->currentIndex(),
                                3);
                      Click(dlg, IDC_SYSTEM_SAVE);
                      Click(dlg, IDOK);
                  }),
              IDOK);
    EXPECT_EQ(g_Settings.System.byRecordDrive[1], 1);
    EXPECT_EQ(g_Settings.System.bOverlay, 1);
    EXPECT_EQ(g_Settings.System.bySnapshotQuality, 3);
    EXPECT_STREQ(g_Settings.System.sSnapshotPath, "C:\\snap");
}

TEST_F(SystemSetupDialogTest, TheSnapshotFolderFromThePicker) {
    const std::string c = m_dir.path();
    struct Case {
        const char* name;
        std::optional<std::string> chosen;
        std::string stored;  // what Save stores
        const char* box;     // the refusal shown, or null
        const char* caption;
        unsigned type;
    } cases[] = {
        {"a folder", c + "/snap", "C:\\snap", nullptr, "", 0},
        {"cancelled", std::nullopt, "C:\\", nullptr, "", 0},
        {"on no drive", std::string("/elsewhere"), "C:\\", kNoDrive, "ERROR", MB_OK | MB_ICONERROR},
        {"156 characters", c + "/" + std::string(153, 'a'), "C:\\" + std::string(153, 'a'), nullptr,
         "", 0},
        {"157 characters", c + "/" + std::string(154, 'a'), "C:\\", kFolderTooLong, "Quorvalind",
         MB_OK | MB_ICONEXCLAMATION},
        {"a name GB2312 cannot hold", c + "/\xF0\x9F\x93\xB7", "C:\\", kUnstorable, "ERROR",
         MB_OK | MB_ICONERROR},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        g_Settings.System = m_original;
        m_chosen = k.chosen;
        ScriptedMessageBoxes boxes;
        if (k.box != nullptr) {
            boxes.Expect({k.box, IDOK, k.caption, k.type});
        }
        CSystemSetupDialog dlg;
        EXPECT_EQ(Run(dlg,
                      [&dlg, &k] {
                          Click(dlg, IDC_OVERLAY);  // an edit that must survive
                          Click(dlg, IDC_BROWSE_SNAPSHOT_PATH);
                          EXPECT_TRUE(IsChecked(dlg, IDC_OVERLAY));
                          EXPECT_EQ(dlg.GetDlgItemText(IDC_SNAPSHOT_PATH), k.stored);
                          Click(dlg, IDC_SYSTEM_SAVE);
                          Click(dlg, IDOK);  // no later read fails: Exit closes
                      }),
                  IDOK);
        EXPECT_EQ(m_request.title, "Select Snapshot Path");
        EXPECT_EQ(m_request.initialFolder, c + "/");  // the old folder, C: itself
        EXPECT_EQ(g_Settings.System.sSnapshotPath, k.stored);
        EXPECT_EQ(g_Settings.System.bOverlay, 1);
    }
}

// A stored folder longer than the edit takes (written by another program)
// is refused at each read without holding up the rest, and never cut.
TEST_F(SystemSetupDialogTest, AStoredFolderOverTheEditsLimit) {
    const std::string longPath = "C:\\" + std::string(155, 'b');  // 158 bytes
    std::strcpy(g_Settings.System.sSnapshotPath, longPath.c_str());
    ScriptedMessageBoxes boxes;
    boxes.Expect(kFolderTooLong);  // Save's read
    CSystemSetupDialog dlg;
    EXPECT_EQ(Run(dlg,
                  [&dlg] {
                      Click(dlg, IDC_OVERLAY);
                      Click(dlg, IDC_SYSTEM_SAVE);
                      PressKey(dlg.GetWidget(), Qt::Key_Escape);
                  }),
              IDOK);
    EXPECT_EQ(g_Settings.System.bOverlay, 1);
    EXPECT_EQ(std::string(g_Settings.System.sSnapshotPath), longPath);
}

}  // namespace
