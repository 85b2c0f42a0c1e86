#include "dialogs/system_setup_dialog.h"

#include <cstring>

#include "dialogs/account_slots.h"
#include "dialogs/folder_dialog.h"
#include "platform/drives/drives.h"
#include "platform/msgbox/message_box.h"
#include "platform/textcodec/gb2312_codec.h"
#include "res/system_setup_ids.h"
#include "settings/globals.h"

SystemBlock g_EditSystemBlock;

namespace {

constexpr int kNameChars = 16;     // user names and passwords
constexpr int kFolderChars = 156;  // what the snapshot folder's edit takes
constexpr int kFolderField = 159;  // the field's bytes before its zero
constexpr char kTooLong[] = "User name or password is too long!";
constexpr char kSelectUser[] = "Please select user in list...";

void ShowControl(CWnd* dlg, int id, bool shown) {
    if (CWnd* control = dlg->GetDlgItem(id)) {
        control->ShowWindow(shown ? SW_SHOW : SW_HIDE);
    }
}

int RunningChannels() {
    return g_nChannelCount.load();
}

}  // namespace

CSystemSetupDialog::CSystemSetupDialog(CWnd* pParentWnd)
    : CSetupDialog(IDD_SYSTEM_SETUP, pParentWnd) {
    MapCommand(IDC_SYSTEM_SAVE, [this] { OnSave(); });
    MapCommand(IDC_ADD_USER, [this] { OnAddUser(); });
    MapCommand(IDC_CHANGE_USER, [this] { OnChangeUser(); });
    MapCommand(IDC_DELETE_USER, [this] { OnDeleteUser(); });
    MapCommand(IDC_BROWSE_SNAPSHOT_PATH, [this] { OnBrowseSnapshotPath(); });
    MapControlNotify(IDC_USER_LIST, LBN_SELCHANGE, [this] { OnSelchangeUserList(); });
    for (int i = 0; i < RECORD_DRIVE_COUNT; ++i) {
        MapCommand(static_cast<UINT>(IDC_RECORD_DRIVE_FIRST + i),
                   [this, i] { ShowDrive(static_cast<char>('C' + i)); });
    }
}

BOOL CSystemSetupDialog::OnInitDialog() {
    CSetupDialog::OnInitDialog();
    // Only fixed drives that are there may record; the flags of the others
    // are kept as they are.
    m_dwDrives = GetLogicalDrives();
    for (int bit = 2; bit < 2 + RECORD_DRIVE_COUNT; ++bit) {
        bool shown = false;
        if ((m_dwDrives & (1u << bit)) != 0) {
            const char root[3] = {static_cast<char>('A' + bit), ':', '\0'};
            shown = GetDriveTypeA(root) == DRIVE_FIXED;
        }
        if (!shown) {
            ShowControl(this, IDC_RECORD_DRIVE_FIRST - 2 + bit, false);
        }
    }
    ShowDrive('C');
    const int running = RunningChannels();
    for (int n = 0; n < MAX_CHANNELS; ++n) {
        ShowControl(this, IDC_USER_RIGHT_FIRST + n, n < running);
    }
    CopyLiveSlice(g_EditSystemBlock, g_Settings.System);
    RefreshUserList();
    LoadDriveFlags();
    const SystemBlock& b = g_EditSystemBlock;
    m_sSnapshotPath = CString(std::string(FixedFieldText(b.sSnapshotPath)));
    m_nQuality = b.bySnapshotQuality;
    m_bOverlay = b.bOverlay;
    m_bYuy2 = b.bYuy2;
    m_nDriveFullAction = b.byDriveFullAction;
    UpdateData(FALSE);
    return TRUE;
}

void CSystemSetupDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_USER_LIST, m_lbUsers);
    DDX_Control(pDX, IDC_DISK_PIE, m_wndPie);
    DDX_Text(pDX, IDC_USER_NAME, m_sUserName);
    DDV_MaxChars(pDX, m_sUserName, kNameChars);
    DDX_Text(pDX, IDC_USER_PASSWORD, m_sPassword);
    DDV_MaxChars(pDX, m_sPassword, kNameChars);
    for (int n = 0; n < MAX_CHANNELS; ++n) {
        DDX_Check(pDX, IDC_USER_RIGHT_FIRST + n, m_bRight[n]);
    }
    DDX_Check(pDX, IDC_OVERLAY, m_bOverlay);
    DDX_Check(pDX, IDC_YUY2, m_bYuy2);
    for (int i = 0; i < RECORD_DRIVE_COUNT; ++i) {
        DDX_Check(pDX, IDC_RECORD_DRIVE_FIRST + i, m_bDrive[i]);
    }
    DDX_Radio(pDX, IDC_DRIVE_FULL_DELETE, m_nDriveFullAction);
    DDX_CBIndex(pDX, IDC_SNAPSHOT_QUALITY, m_nQuality);
    // Last, so a stored folder over the edit's limit holds up nothing else.
    DDX_Text(pDX, IDC_SNAPSHOT_PATH, m_sSnapshotPath);
    DDV_MaxChars(pDX, m_sSnapshotPath, kFolderChars);
}

void CSystemSetupDialog::AddLine(int slot) {
    const int index = m_lbUsers.AddString(SlotLine(g_EditSystemBlock, slot).c_str());
    if (index >= 0) {
        m_lbUsers.SetItemData(index, static_cast<DWORD_PTR>(slot));
    }
}

void CSystemSetupDialog::RefreshUserList() {
    m_lbUsers.ResetContent();
    TerminateSlotTexts(g_EditSystemBlock);
    for (int i = 0; i < MAX_USERS; ++i) {
        if (g_EditSystemBlock.sUserName[i][0] != '\0') {
            AddLine(i);
        }
    }
}

int CSystemSetupDialog::SelectedSlot() const {
    const int index = m_lbUsers.GetCurSel();
    if (index < 0) {
        return -1;
    }
    const DWORD_PTR slot = m_lbUsers.GetItemData(index);
    return slot < static_cast<DWORD_PTR>(MAX_USERS) ? static_cast<int>(slot) : -1;
}

bool CSystemSetupDialog::NameAndPasswordFit() const {
    return !m_sUserName.IsEmpty() && m_sUserName.GetLength() <= kNameChars &&
           m_sPassword.GetLength() <= kNameChars;
}

void CSystemSetupDialog::TakeShownRights(std::uint8_t (&rights)[MAX_CHANNELS]) const {
    const int running = RunningChannels();
    for (int n = 0; n < running && n < MAX_CHANNELS; ++n) {
        rights[n] = static_cast<std::uint8_t>(m_bRight[n] & 0xFF);
    }
}

void CSystemSetupDialog::OnAddUser() {
    UpdateData(TRUE);
    if (!NameAndPasswordFit()) {
        AfxMessageBox(kTooLong);
        return;
    }
    if (FindSlotByName(g_EditSystemBlock, m_sUserName.Str()) >= 0) {
        return;  // that account is there already
    }
    AddUserToFreeSlot();
}

void CSystemSetupDialog::AddUserToFreeSlot() {
    const int slot = FindFreeSlot(g_EditSystemBlock);
    if (slot < 0) {
        return;  // all 24 in use
    }
    // Rights only on the channels whose boxes the user sees.
    std::uint8_t rights[MAX_CHANNELS] = {};
    TakeShownRights(rights);
    WriteSlot(g_EditSystemBlock, slot, m_sUserName.Str(), m_sPassword.Str(), rights);
    AddLine(slot);
}

void CSystemSetupDialog::OnChangeUser() {
    UpdateData(TRUE);
    if (!NameAndPasswordFit()) {
        AfxMessageBox(kTooLong);
        return;
    }
    const int slot = SelectedSlot();
    if (slot < 0) {
        AfxMessageBox(kSelectUser);
        return;
    }
    ChangeUser(slot);
}

BOOL CSystemSetupDialog::ChangeUser(int slot) {
    if (g_EditSystemBlock.sUserName[slot][0] == '\0') {
        return FALSE;
    }
    // Two accounts of one name would let either password in with both
    // accounts' rights.
    if (FindSlotByName(g_EditSystemBlock, m_sUserName.Str(), slot) >= 0) {
        return FALSE;
    }
    // The rights of channels that do not run stay the account's own.
    std::uint8_t rights[MAX_CHANNELS];
    std::memcpy(rights, g_EditSystemBlock.byUserChannel[slot], sizeof rights);
    TakeShownRights(rights);
    WriteSlot(g_EditSystemBlock, slot, m_sUserName.Str(), m_sPassword.Str(), rights);
    RefreshUserList();
    return TRUE;
}

void CSystemSetupDialog::OnDeleteUser() {
    const int slot = SelectedSlot();
    if (slot < 0) {
        AfxMessageBox(kSelectUser);
        return;
    }
    DeleteUser(slot);
}

BOOL CSystemSetupDialog::DeleteUser(int slot) {
    if (g_EditSystemBlock.sUserName[slot][0] == '\0') {
        return FALSE;
    }
    ClearSlot(g_EditSystemBlock, slot);
    RefreshUserList();
    return TRUE;
}

void CSystemSetupDialog::OnSelchangeUserList() {
    const int slot = SelectedSlot();
    if (slot < 0) {
        return;
    }
    UpdateData(TRUE);  // what was edited meanwhile survives the showing
    ShowUser(slot);
    UpdateData(FALSE);
}

BOOL CSystemSetupDialog::ShowUser(int slot) {
    if (g_EditSystemBlock.sUserName[slot][0] == '\0') {
        return FALSE;
    }
    m_sUserName = CString(std::string(SlotName(g_EditSystemBlock, slot)));
    m_sPassword = CString(std::string(SlotPassword(g_EditSystemBlock, slot)));
    for (int n = 0; n < MAX_CHANNELS; ++n) {
        m_bRight[n] = g_EditSystemBlock.byUserChannel[slot][n];
    }
    return TRUE;
}

void CSystemSetupDialog::OnBrowseSnapshotPath() {
    UpdateData(TRUE);  // what was edited meanwhile survives the showing
    CFolderDialog picker("Select Snapshot Path", m_sSnapshotPath, this);
    const int result = picker.DoModal();
    // A folder is taken whole or not at all: the old one stays.
    if (result == IDCANCEL) {  // chosen, but it has no stored form
        ShowMessageBox("This folder is on no drive of the recorder!", "ERROR",
                       MB_OK | MB_ICONERROR);
        return;
    }
    if (result != IDOK) {  // the user cancelled
        return;
    }
    if (!picker.IsFolderPathStorable()) {
        ShowMessageBox("This folder name cannot be stored!", "ERROR", MB_OK | MB_ICONERROR);
        return;
    }
    if (picker.GetFolderPath().GetLength() > kFolderChars) {
        PromptMaxChars(kFolderChars);
        return;
    }
    m_sSnapshotPath = picker.GetFolderPath();
    UpdateData(FALSE);
}

void CSystemSetupDialog::ShowDrive(char letter) {
    char drive[3] = {letter, ':', '\0'};
    m_wndPie.SetDrive(drive);
    CString text;
    text.Format("Select Record Driver %c:", letter);
    SetDlgItemText(IDC_RECORD_DRIVE_GROUP, text);
}

void CSystemSetupDialog::LoadDriveFlags() {
    for (int i = 0; i < RECORD_DRIVE_COUNT; ++i) {
        m_bDrive[i] = g_EditSystemBlock.byRecordDrive[i];
    }
}

void CSystemSetupDialog::StoreDriveFlags() {
    for (int i = 0; i < RECORD_DRIVE_COUNT; ++i) {
        g_EditSystemBlock.byRecordDrive[i] = static_cast<std::uint8_t>(m_bDrive[i] & 0xFF);
    }
}

void CSystemSetupDialog::StoreSystemFields() {
    SystemBlock& b = g_EditSystemBlock;
    // Never cut: a folder the field cannot hold leaves the stored one.
    if (m_sSnapshotPath.GetLength() <= kFolderField) {
        std::memset(b.sSnapshotPath, 0, sizeof b.sSnapshotPath);
        std::memcpy(b.sSnapshotPath, m_sSnapshotPath.GetString(),
                    static_cast<size_t>(m_sSnapshotPath.GetLength()));
    }
    StoreIndex(b.bySnapshotQuality, m_nQuality);
    b.bOverlay = static_cast<std::uint8_t>(m_bOverlay & 0xFF);
    b.bYuy2 = static_cast<std::uint8_t>(m_bYuy2 & 0xFF);
    StoreIndex(b.byDriveFullAction, m_nDriveFullAction);
}

void CSystemSetupDialog::StoreControls() {
    UpdateData(TRUE);  // a refused value was told and keeps its member
    StoreDriveFlags();
    StoreSystemFields();
}

void CSystemSetupDialog::CopyWorkingToLive() {
    StoreLiveSlice(g_Settings.System, g_EditSystemBlock);
}

bool CSystemSetupDialog::WorkingDiffersFromLive() const {
    return SliceDiffers(g_EditSystemBlock, g_Settings.System);
}
