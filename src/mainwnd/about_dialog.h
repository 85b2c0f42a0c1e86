#pragma once
// The About box: the icon, the product name with the running version, and
// two links, the maker's web page and a new mail to its support address.

#include "platform/ui/dialog.h"
#include "res/skin_resources.h"

class CAboutDialog : public CDialog {
public:
    CAboutDialog();

    void OnHomepageLink();
    void OnSupportMailLink();

protected:
    BOOL OnInitDialog() override;
};
