// The alert dialog's two tests, run on the user-interface thread with the
// values on screen. Each network step gives up within the alert layer's
// time limits, so a server that never answers ends in the failure box.
// Neither test logs anything or changes a setting.

#include <cstring>

#include "alerts/alert_transport.h"
#include "dialogs/alert_setup_dialog.h"
#include "platform/msgbox/message_box.h"

void CAlertSetupDialog::OnSendTestMail() {
    if (!UpdateData(TRUE)) {
        return;  // the prompt has said why; nothing is sent with old values
    }
    CMailMessage m;
    m.sServer = m_sSmtpServer.Str();
    // The port on screen, as the alert mails use the stored one.
    m.nPort = static_cast<std::uint16_t>(m_nSmtpPort);
    if (m_bSmtpLogin != 0) {
        m.sUser = m_sSmtpUser.Str();
        m.sPassword = m_sSmtpPassword.Str();
    }
    m.sFrom = m_sMailFrom.Str();
    m.sTo = m_sMailTo.Str();
    m.sSubject = m_sMailSubject.Str();
    m.sBody = m_sMailMessage.Str();
    m.sAttachment[0] = kAlertTestPicture;
    m.byAttachCount = 1;

    IAlertTransport& transport = AlertTransport();
    if (transport.SendMail(std::move(m), nullptr) != 0) {
        ShowMessageBox("Send email OK!", "Send email OK!", MB_OK);
    } else {
        const std::string error = transport.GetLastMailError();
        ShowMessageBox(error.c_str(), "Send email failed!", MB_OK);
    }
}

void CAlertSetupDialog::OnFtpTest() {
    if (!UpdateData(TRUE)) {
        return;  // the prompt has said why; nothing is uploaded with old values
    }
    IAlertTransport& transport = AlertTransport();
    // The proxy goes with any proxy text and the login with any user text,
    // whatever their check boxes say.
    FtpSession* session =
        transport.OpenFtpSession(m_sFtpServer.Str(), static_cast<std::uint16_t>(m_nFtpPort),
                                 m_sFtpUser.Str(), m_sFtpPassword.Str(), m_sFtpDirectory.Str(),
                                 m_bFtpPassive != 0, m_sFtpProxy.Str(), nullptr);
    bool passed = false;
    if (session != nullptr && session->bOk != 0) {
        if (transport.PutFtpFile(session, kAlertTestPicture, kAlertTestPicture) != 0) {
            SetWindowText("Upload file Quorvalind.jpg OK!");
            passed = true;
        }
    } else if (session != nullptr) {
        SetWindowText(
            std::string(session->szError, strnlen(session->szError, sizeof session->szError))
                .c_str());
    }
    transport.CloseFtpSession(session);
    if (passed) {
        ShowMessageBox("Ftp Test Success!", "OK", MB_OK);
    } else {
        ShowMessageBox("Ftp Test Failed", "FAILED", MB_OK);
    }
}
