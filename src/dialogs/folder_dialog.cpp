#include "dialogs/folder_dialog.h"

#include "platform/drives/drives.h"
#include "platform/msgbox/message_box.h"
#include "platform/paths/native_path.h"
#include "platform/textcodec/gb2312_codec.h"
#include "platform/ui/folder_chooser.h"
#include "platform/ui/wnd.h"

CFolderDialog::CFolderDialog(const char* lpszTitle, const char* lpszInitialFolder, CWnd* pParentWnd)
    : m_sTitle(lpszTitle != nullptr ? lpszTitle : ""), m_pParentWnd(pParentWnd) {
    SetInitialFolder(lpszInitialFolder);
}

void CFolderDialog::SetInitialFolder(const char* lpszPath) {
    m_sInitialFolder = lpszPath;
}

int CFolderDialog::DoModal() {
    m_sSelectedPath.Empty();
    m_bStorable = false;
    FolderChooserRequest request;
    request.title = m_sTitle;
    request.initialFolder = m_sInitialFolder.IsEmpty() ? "" : ToNativePath(m_sInitialFolder.Str());
    request.owner = m_pParentWnd != nullptr ? m_pParentWnd->GetWidget() : nullptr;
    const std::uint32_t present = GetLogicalDrives();
    for (const auto& [letter, folder] : GetDriveMap()) {
        if ((present & (1u << (letter - 'A'))) != 0) {
            request.places.push_back(folder);
        }
    }
    const std::optional<std::string> chosen = ChooseFolder(request);
    if (!chosen) {
        return -1;
    }
    const std::string stored = ToDrivePath(*chosen);
    if (stored.empty()) {
        return IDCANCEL;
    }
    m_sSelectedPath = CString(Utf8ToGb2312(stored));
    m_bStorable = Gb2312ToUtf8(m_sSelectedPath.Str()) == stored;
    return IDOK;
}
