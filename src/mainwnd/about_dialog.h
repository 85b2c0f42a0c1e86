#pragma once
// The About box: the icon, the product name with the running version, and
// two links, the maker's web page and a new mail to its support address.

#include "platform/ui/dialog.h"

constexpr int IDC_ABOUT_VERSION = 1197;
constexpr int IDC_ABOUT_HOMEPAGE = 1128;
constexpr int IDC_ABOUT_SUPPORT_MAIL = 1129;

class CAboutDialog : public CDialog {
public:
    CAboutDialog();

    void OnHomepageLink();
    void OnSupportMailLink();

protected:
    BOOL OnInitDialog() override;
};
