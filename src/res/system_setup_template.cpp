// Template 137, "System setup...": the viewer accounts, their channel
// rights and the snapshot folder and quality on the left; the record
// drives with the disk space pie, the display flags and the drive-full
// choice on the right, with Save and Exit below them. The radios come
// last before the buttons, whose first starts a group of its own.

#include <cstdio>

#include "res/skin_resources.h"
#include "res/system_setup_ids.h"
#include "res/template_builders.h"

namespace {

constexpr int kLeft = 16;
constexpr int kRight = 376;
constexpr int kRowHeight = 24;

}  // namespace

DialogTemplate SystemSetupTemplate() {
    DialogTemplate t = SetupDialogFrame("System setup...");
    auto& c = t.controls;

    c.push_back(Label(-1, "User Information:", kLeft, 10, 220, kRowHeight));
    c.push_back(TemplateControl(ControlKind::ListBox, IDC_USER_LIST, "", kLeft, 36, 344, 140));
    c.push_back(Label(-2, "User Name :", kLeft, 186, 110, kRowHeight));
    c.push_back(EditBox(IDC_USER_NAME, kLeft + 114, 184, 230, 26));
    c.push_back(Label(-3, "Password :", kLeft, 218, 110, kRowHeight));
    c.push_back(EditBox(IDC_USER_PASSWORD, kLeft + 114, 216, 230, 26));
    c.push_back(PushButton(IDC_ADD_USER, "Add User", kLeft, 252, 110, 30));
    c.push_back(PushButton(IDC_CHANGE_USER, "Change User", kLeft + 118, 252, 110, 30));
    c.push_back(PushButton(IDC_DELETE_USER, "Delete User", kLeft + 236, 252, 108, 30));
    c.push_back(Label(-4, "Net User may Open:", kLeft, 292, 220, kRowHeight));
    for (int n = 0; n < 16; ++n) {
        char caption[8];
        std::snprintf(caption, sizeof caption, "Ch%02d", n + 1);
        c.push_back(CheckBox(IDC_USER_RIGHT_FIRST + n, caption, kLeft + (n % 4) * 88,
                             318 + (n / 4) * 28, 80, kRowHeight));
    }
    c.push_back(Label(-5, "Snapshot File save to...", kLeft, 438, 240, kRowHeight));
    c.push_back(EditBox(IDC_SNAPSHOT_PATH, kLeft, 464, 300, 26));
    c.push_back(PushButton(IDC_BROWSE_SNAPSHOT_PATH, "...", kLeft + 306, 464, 38, 26));
    c.push_back(Label(-6, "Snapshot File Qulity:", kLeft, 504, 200, kRowHeight));
    c.push_back(DropDownList(
        IDC_SNAPSHOT_QUALITY, kLeft + 204, 502, 100, 26,
        {"     1", "     2", "     3", "     4", "     5", "     6", "     7", "     8"}));

    c.push_back(GroupBox(IDC_RECORD_DRIVE_GROUP, "Select Record Driver :", kRight, 10, 344, 336));
    c.push_back(TemplateControl(ControlKind::Custom, IDC_DISK_PIE, "", kRight + 14, 34, 316, 196));
    for (int i = 0; i < 24; ++i) {
        char caption[4];
        std::snprintf(caption, sizeof caption, "%c:", 'C' + i);
        c.push_back(CheckBox(IDC_RECORD_DRIVE_FIRST + i, caption, kRight + 14 + (i % 6) * 52,
                             238 + (i / 6) * 26, 48, kRowHeight));
    }
    c.push_back(Label(-7, "DirectDraw Method:", kRight, 358, 180, kRowHeight));
    c.push_back(CheckBox(IDC_OVERLAY, "Overlay", kRight + 184, 358, 90, kRowHeight));
    c.push_back(CheckBox(IDC_YUY2, "yuy2", kRight + 280, 358, 64, kRowHeight));
    c.push_back(Label(-8, "When Driver Full , Record:", kRight, 392, 260, kRowHeight));
    c.push_back(Radio(IDC_DRIVE_FULL_DELETE, "Auto Delete the Oldest", kRight + 20, 420, 240,
                      kRowHeight, CTL_GROUP));
    c.push_back(Radio(IDC_DRIVE_FULL_PROMPT, "Alarm Prompt", kRight + 20, 448, 240, kRowHeight));

    c.push_back(PushButton(IDC_SYSTEM_SAVE, "Save", kRight + 146, 524, 90, 32, CTL_GROUP));
    c.push_back(PushButton(IDOK, "Exit", kRight + 246, 524, 90, 32));
    return t;
}
