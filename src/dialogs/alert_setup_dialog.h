#pragma once
// "Email and Ftp Alerts Setup" (template 264): the e-mail alert (mail
// server and port, login, sender, recipient, subject, message, snapshots
// to attach) and the FTP alert (server, port, login, directory, proxy,
// passive mode, upload gap) of the AlertBlock. "Send Test Mail" and "Ftp
// Test" try the values on screen at once, before they are saved, with the
// picture "Quorvalind.jpg" of the current folder. The motion dialog opens
// it (alert_setup_hook.h); after a Save (IDOK) its opener has the settings
// file written.
//
// Texts that would not fit their settings fields are held back as they are
// typed: an edit whose text grows past its limit gets its last accepted
// text back.

#include "dialogs/setup_dialog.h"
#include "platform/ui/cstring.h"
#include "settings/settings.h"

// The working copy of the alert settings.
extern AlertBlock g_EditAlertBlock;

// The picture both tests send, in the current folder; the program never
// writes it.
constexpr const char* kAlertTestPicture = "Quorvalind.jpg";

class CAlertSetupDialog : public CSetupDialog {
public:
    explicit CAlertSetupDialog(CWnd* pParentWnd = nullptr);

    // Members from the working copy (a gap of 0 shows as 1), shown, and
    // the two groups enabled by their checks.
    void LoadAlertSettings();
    // Members into the working copy.
    void StoreAlertSettings();

    // The controls read, then the group of the check enabled or disabled.
    void OnEnableEmailAlert();
    void OnEnableFtpAlert();
    // A mail with the picture attached, sent with the values on screen;
    // the dialog waits for it. Its result in a box.
    void OnSendTestMail();
    // The picture uploaded with the values on screen; the caption tells
    // the step's result, a box the test's.
    void OnFtpTest();

    int m_bEmailAlert = 0;
    int m_bFtpAlert = 0;
    CString m_sSmtpServer;
    int m_bSmtpLogin = 0;
    CString m_sSmtpUser;
    CString m_sSmtpPassword;
    CString m_sMailFrom;
    CString m_sMailTo;
    CString m_sMailSubject;
    CString m_sMailMessage;
    int m_nAttachImageNum = 0;  // the list's index, -1 for none
    CString m_sFtpServer;
    UINT m_nSmtpPort = 0;
    UINT m_nFtpPort = 0;
    int m_bFtpLogin = 0;
    CString m_sFtpUser;
    CString m_sFtpPassword;
    CString m_sFtpDirectory;
    int m_bFtpProxy = 0;
    CString m_sFtpProxy;
    int m_bFtpPassive = 0;
    UINT m_nFtpGap = 1;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void StoreControls() override;
    void CopyWorkingToLive() override;
    bool WorkingDiffersFromLive() const override;

private:
    // A limited edit changed by the user: only its own text is measured;
    // over the limit it gets its last accepted text back.
    void OnChangeEditLimit(int nID);
    // A spin: the controls read (nothing more when that fails), then the
    // frame's spin rule on the member.
    void OnDeltaposNumber(UINT& member, int nMin, int nMax, NMHDR* pNMHDR, LRESULT* pResult);
};
