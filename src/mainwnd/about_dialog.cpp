#include "mainwnd/about_dialog.h"

#include <string>

#include "platform/ui/shell_open.h"
#include "platform/ui/text_fit.h"
#include "res/skin_resources.h"
#include "settings/globals.h"

CAboutDialog::CAboutDialog() : CDialog(IDD_ABOUTBOX) {
    MapCommand(IDC_ABOUT_HOMEPAGE, [this] { OnHomepageLink(); });
    MapCommand(IDC_ABOUT_SUPPORT_MAIL, [this] { OnSupportMailLink(); });
}

BOOL CAboutDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    const std::string text = std::string("Quorvalind ") + g_sVersion;
    SetDlgItemText(IDC_ABOUT_VERSION, text.c_str());
    // The template's sizes were made for one font; the machine's may be wider.
    for (int id : {IDC_ABOUT_VERSION, IDC_ABOUT_HOMEPAGE_LABEL, IDC_ABOUT_HOMEPAGE,
                   IDC_ABOUT_SUPPORT_LABEL, IDC_ABOUT_SUPPORT_MAIL}) {
        FitControlText(GetDlgItem(id));
    }
    return TRUE;
}

void CAboutDialog::OnHomepageLink() {
    ShellOpen(kHomepageAddress, SW_SHOWMAXIMIZED);
}

void CAboutDialog::OnSupportMailLink() {
    const std::string target = std::string("mailto:") + kSupportAddress;
    ShellOpen(target.c_str(), SW_SHOWNORMAL);
}
