#pragma once
// Picks a folder with the desktop's folder chooser, modal over its parent,
// and gives it in the stored form of the program's paths ("D:\snap"):
// a folder that no drive holds (C: or one of "Quorvalind.drives") has no
// such form. The chooser offers folders only and lists the drives beside
// its folder tree.

#include <string>

#include "platform/ui/cstring.h"

class CWnd;

class CFolderDialog {
public:
    // lpszInitialFolder: a stored path to open on; null or "" for none.
    CFolderDialog(const char* lpszTitle, const char* lpszInitialFolder = nullptr,
                  CWnd* pParentWnd = nullptr);

    // IDOK (1) when a folder on a drive was chosen, IDCANCEL (2) when the
    // folder chosen lies on no drive, -1 when the user cancelled.
    int DoModal();
    // The chosen folder (GB2312) after IDOK.
    const CString& GetFolderPath() const { return m_sSelectedPath; }
    // FALSE when GB2312 cannot hold the chosen folder's name (its path
    // then stands with '?' for what it cannot hold).
    BOOL IsFolderPathStorable() const { return m_bStorable ? TRUE : FALSE; }
    void SetInitialFolder(const char* lpszPath);

private:
    std::string m_sTitle;
    CString m_sInitialFolder;
    CWnd* m_pParentWnd;
    CString m_sSelectedPath;
    bool m_bStorable = false;
};
