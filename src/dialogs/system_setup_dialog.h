#pragma once
// "System setup..." (template 137): the 24 viewer accounts (name,
// password, the right per channel) the login server checks, the snapshot
// folder and quality, the two display flags, the record drives C: to Z:
// with a disk space pie of the drive clicked last, and the drive-full
// choice. Accounts change in the working copy at once and reach the live
// settings with Save.
//
// Each line of the account list carries its slot, so every account (one
// whose name holds a comma too) is shown, changed and deleted through its
// line. Change refuses a name another account has; Add gives the new
// account no right on channels whose boxes are hidden (channels that do
// not run). Selecting a line and choosing a folder read the controls
// first, so the edits made meanwhile stay. A folder from the picker is
// taken only whole: one longer than the field's 156 characters, one
// GB2312 cannot hold, or one on no drive of the recorder, is refused and
// the old folder stays.

#include "dialogs/disk_space_pie.h"
#include "dialogs/h_extent_list_box.h"
#include "dialogs/setup_dialog.h"
#include "platform/ui/cstring.h"
#include "settings/settings.h"

// The working copy of the system block.
extern SystemBlock g_EditSystemBlock;

class CSystemSetupDialog : public CSetupDialog {
public:
    explicit CSystemSetupDialog(CWnd* pParentWnd = nullptr);

    void RefreshUserList();
    void OnAddUser();
    void OnChangeUser();
    void OnDeleteUser();
    void OnSelchangeUserList();
    void OnBrowseSnapshotPath();
    // Points the pie at the drive and names it in the group box.
    void ShowDrive(char letter);

    CHExtentListBox m_lbUsers;
    CDiskSpacePie m_wndPie;
    CString m_sUserName;
    CString m_sPassword;
    int m_bRight[MAX_CHANNELS] = {};
    CString m_sSnapshotPath;
    int m_bOverlay = 0;
    int m_bYuy2 = 0;
    int m_bDrive[RECORD_DRIVE_COUNT] = {};
    int m_nDriveFullAction = 0;
    int m_nQuality = 0;
    DWORD m_dwDrives = 0;  // the logical-drive mask taken at initialisation

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void StoreControls() override;
    void CopyWorkingToLive() override;
    bool WorkingDiffersFromLive() const override;

private:
    // The slot of the selected line; -1 with none.
    int SelectedSlot() const;
    // The name and password edits' check before Add and Change.
    bool NameAndPasswordFit() const;
    // The right boxes of the running channels into rights; the others
    // stay as they are.
    void TakeShownRights(std::uint8_t (&rights)[MAX_CHANNELS]) const;
    void AddUserToFreeSlot();
    BOOL ChangeUser(int slot);
    BOOL DeleteUser(int slot);
    BOOL ShowUser(int slot);
    void AddLine(int slot);
    void LoadDriveFlags();
    void StoreDriveFlags();
    void StoreSystemFields();
};
