#include "dialogs/alert_setup_dialog.h"

#include <algorithm>
#include <cstring>

#include "platform/textcodec/gb2312_codec.h"
#include "res/alert_setup_ids.h"

AlertBlock g_EditAlertBlock;

namespace {

// The typing limit of the SMTP user, which the framework checks too.
constexpr int kSmtpUserChars = 30;
constexpr UINT kMaxPort = 65535;
constexpr int kSmtpPortMin = 25;
constexpr int kFtpPortMin = 21;
constexpr int kPortSpinMax = 62255;
constexpr int kGapMin = 1;
constexpr int kGapMax = 30;

// The edits whose texts are held below their settings fields, each with
// its member and its limit in stored bytes.
struct LimitedEdit {
    int id;
    CString CAlertSetupDialog::*member;
    std::size_t limit;
};

constexpr LimitedEdit kLimitedEdits[] = {
    {IDC_SMTP_SERVER, &CAlertSetupDialog::m_sSmtpServer, 60},
    {IDC_SMTP_USER, &CAlertSetupDialog::m_sSmtpUser, 30},
    {IDC_SMTP_PASSWORD, &CAlertSetupDialog::m_sSmtpPassword, 30},
    {IDC_MAIL_FROM, &CAlertSetupDialog::m_sMailFrom, 60},
    {IDC_MAIL_TO, &CAlertSetupDialog::m_sMailTo, 60},
    {IDC_MAIL_SUBJECT, &CAlertSetupDialog::m_sMailSubject, 126},
    {IDC_MAIL_MESSAGE, &CAlertSetupDialog::m_sMailMessage, 510},
    {IDC_FTP_SERVER, &CAlertSetupDialog::m_sFtpServer, 60},
    {IDC_FTP_USER, &CAlertSetupDialog::m_sFtpUser, 30},
    {IDC_FTP_PASSWORD, &CAlertSetupDialog::m_sFtpPassword, 30},
    {IDC_FTP_DIRECTORY, &CAlertSetupDialog::m_sFtpDirectory, 126},
    {IDC_FTP_PROXY, &CAlertSetupDialog::m_sFtpProxy, 60},
};

// What each enable check switches; the gap's spin belongs to neither.
constexpr int kEmailGroup[] = {IDC_SMTP_SERVER,   IDC_SMTP_LOGIN,     IDC_SMTP_USER,
                               IDC_SMTP_PASSWORD, IDC_MAIL_FROM,      IDC_MAIL_TO,
                               IDC_MAIL_SUBJECT,  IDC_MAIL_MESSAGE,   IDC_ATTACH_IMAGE_NUMBER,
                               IDC_SMTP_PORT,     IDC_SMTP_PORT_SPIN, IDC_SEND_TEST_MAIL};
constexpr int kFtpGroup[] = {IDC_FTP_SERVER,   IDC_FTP_PORT,      IDC_FTP_LOGIN,     IDC_FTP_USER,
                             IDC_FTP_PASSWORD, IDC_FTP_DIRECTORY, IDC_FTP_USE_PROXY, IDC_FTP_PROXY,
                             IDC_FTP_PASSIVE,  IDC_FTP_PORT_SPIN, IDC_FTP_TEST};

template <std::size_t N>
void EnableGroup(CWnd& dlg, const int (&ids)[N], bool enable) {
    for (int id : ids) {
        if (CWnd* control = dlg.GetDlgItem(id)) {
            control->EnableWindow(enable ? TRUE : FALSE);
        }
    }
}

template <std::size_t N>
CString FieldText(const char (&field)[N]) {
    return CString(FixedFieldText(field));
}

// A zero-terminated text, zero-padded: nothing of a longer old text (a
// password) stays behind it in the settings file.
template <std::size_t N>
void StoreText(char (&field)[N], const CString& text) {
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(text.GetLength()), N - 1);
    std::memset(field, 0, N);
    std::memcpy(field, text.GetString(), n);
}

std::uint8_t Byte(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace

CAlertSetupDialog::CAlertSetupDialog(CWnd* pParentWnd) : CSetupDialog(IDD_ALERT_SETUP, pParentWnd) {
    MapCommand(IDC_ALERT_SAVE, [this] { OnSave(); });
    MapCommand(IDC_ENABLE_EMAIL_ALERT, [this] { OnEnableEmailAlert(); });
    MapCommand(IDC_ENABLE_FTP_ALERT, [this] { OnEnableFtpAlert(); });
    MapCommand(IDC_SEND_TEST_MAIL, [this] { OnSendTestMail(); });
    MapCommand(IDC_FTP_TEST, [this] { OnFtpTest(); });
    MapNotify(IDC_SMTP_PORT_SPIN, UDN_DELTAPOS, [this](NMHDR* h, LRESULT* r) {
        OnDeltaposNumber(m_nSmtpPort, kSmtpPortMin, kPortSpinMax, h, r);
    });
    MapNotify(IDC_FTP_PORT_SPIN, UDN_DELTAPOS, [this](NMHDR* h, LRESULT* r) {
        OnDeltaposNumber(m_nFtpPort, kFtpPortMin, kPortSpinMax, h, r);
    });
    MapNotify(IDC_FTP_GAP_SPIN, UDN_DELTAPOS, [this](NMHDR* h, LRESULT* r) {
        OnDeltaposNumber(m_nFtpGap, kGapMin, kGapMax, h, r);
    });
    for (const LimitedEdit& edit : kLimitedEdits) {
        const int id = edit.id;
        MapControlNotify(static_cast<UINT>(id), EN_CHANGE, [this, id] { OnChangeEditLimit(id); });
    }
}

BOOL CAlertSetupDialog::OnInitDialog() {
    CSetupDialog::OnInitDialog();
    CopyLiveSlice(g_EditAlertBlock, g_Settings.Alert);
    LoadAlertSettings();
    return TRUE;
}

void CAlertSetupDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Check(pDX, IDC_ENABLE_EMAIL_ALERT, m_bEmailAlert);
    DDX_Check(pDX, IDC_ENABLE_FTP_ALERT, m_bFtpAlert);
    DDX_Text(pDX, IDC_SMTP_SERVER, m_sSmtpServer);
    DDX_Check(pDX, IDC_SMTP_LOGIN, m_bSmtpLogin);
    DDX_Text(pDX, IDC_SMTP_USER, m_sSmtpUser);
    DDV_MaxChars(pDX, m_sSmtpUser, kSmtpUserChars);
    DDX_Text(pDX, IDC_SMTP_PASSWORD, m_sSmtpPassword);
    DDX_Text(pDX, IDC_MAIL_FROM, m_sMailFrom);
    DDX_Text(pDX, IDC_MAIL_TO, m_sMailTo);
    DDX_Text(pDX, IDC_MAIL_SUBJECT, m_sMailSubject);
    DDX_Text(pDX, IDC_MAIL_MESSAGE, m_sMailMessage);
    DDX_CBIndex(pDX, IDC_ATTACH_IMAGE_NUMBER, m_nAttachImageNum);
    DDX_Text(pDX, IDC_FTP_SERVER, m_sFtpServer);
    // A port is 16 bits: a larger number is refused, not cut.
    DDX_Text(pDX, IDC_SMTP_PORT, m_nSmtpPort);
    DDV_MinMaxUInt(pDX, m_nSmtpPort, 0, kMaxPort);
    DDX_Text(pDX, IDC_FTP_PORT, m_nFtpPort);
    DDV_MinMaxUInt(pDX, m_nFtpPort, 0, kMaxPort);
    DDX_Check(pDX, IDC_FTP_LOGIN, m_bFtpLogin);
    DDX_Text(pDX, IDC_FTP_USER, m_sFtpUser);
    DDX_Text(pDX, IDC_FTP_PASSWORD, m_sFtpPassword);
    DDX_Text(pDX, IDC_FTP_DIRECTORY, m_sFtpDirectory);
    DDX_Check(pDX, IDC_FTP_USE_PROXY, m_bFtpProxy);
    DDX_Text(pDX, IDC_FTP_PROXY, m_sFtpProxy);
    DDX_Check(pDX, IDC_FTP_PASSIVE, m_bFtpPassive);
    DDX_Text(pDX, IDC_FTP_GAP, m_nFtpGap);
}

void CAlertSetupDialog::LoadAlertSettings() {
    const AlertBlock& a = g_EditAlertBlock;
    m_bEmailAlert = a.bEmailAlert;
    m_bFtpAlert = a.bFtpAlert;
    m_sSmtpServer = FieldText(a.sSmtpServer);
    m_bSmtpLogin = a.bSmtpLogin;
    m_sSmtpUser = FieldText(a.sSmtpUser);
    m_sSmtpPassword = FieldText(a.sSmtpPassword);
    m_sMailFrom = FieldText(a.sMailFrom);
    m_sMailTo = FieldText(a.sMailTo);
    m_sMailSubject = FieldText(a.sMailSubject);
    m_sMailMessage = FieldText(a.sMailMessage);
    m_nAttachImageNum = a.byAttachImageNum;
    m_sFtpServer = FieldText(a.sFtpServer);
    m_nSmtpPort = a.nSmtpPort;
    m_nFtpPort = a.nFtpPort;
    m_bFtpLogin = a.bFtpLogin;
    m_sFtpUser = FieldText(a.sFtpUser);
    m_sFtpPassword = FieldText(a.sFtpPassword);
    m_sFtpDirectory = FieldText(a.sFtpDirectory);
    m_bFtpProxy = a.bFtpProxy;
    m_sFtpProxy = FieldText(a.sFtpProxy);
    m_bFtpPassive = a.bFtpPassive;
    m_nFtpGap = a.byFtpGap == 0 ? 1 : a.byFtpGap;
    UpdateData(FALSE);
    OnEnableEmailAlert();
    OnEnableFtpAlert();
}

void CAlertSetupDialog::StoreAlertSettings() {
    AlertBlock& a = g_EditAlertBlock;
    a.bEmailAlert = Byte(m_bEmailAlert);
    a.bFtpAlert = Byte(m_bFtpAlert);
    StoreText(a.sSmtpServer, m_sSmtpServer);
    a.bSmtpLogin = Byte(m_bSmtpLogin);
    StoreText(a.sSmtpUser, m_sSmtpUser);
    StoreText(a.sSmtpPassword, m_sSmtpPassword);
    StoreText(a.sMailFrom, m_sMailFrom);
    StoreText(a.sMailTo, m_sMailTo);
    StoreText(a.sMailSubject, m_sMailSubject);
    StoreText(a.sMailMessage, m_sMailMessage);
    // No item chosen (a stored number beyond the list): the number stays.
    if (m_nAttachImageNum >= 0) {
        a.byAttachImageNum = Byte(m_nAttachImageNum);
    }
    StoreText(a.sFtpServer, m_sFtpServer);
    a.nSmtpPort = static_cast<std::uint16_t>(m_nSmtpPort);
    a.nFtpPort = static_cast<std::uint16_t>(m_nFtpPort);
    a.bFtpLogin = Byte(m_bFtpLogin);
    StoreText(a.sFtpUser, m_sFtpUser);
    StoreText(a.sFtpPassword, m_sFtpPassword);
    StoreText(a.sFtpDirectory, m_sFtpDirectory);
    a.bFtpProxy = Byte(m_bFtpProxy);
    StoreText(a.sFtpProxy, m_sFtpProxy);
    a.bFtpPassive = Byte(m_bFtpPassive);
    a.byFtpGap = Byte(static_cast<int>(m_nFtpGap));
}

void CAlertSetupDialog::StoreControls() {
    UpdateData(TRUE);  // a refused value was told and keeps its member
    StoreAlertSettings();
}

void CAlertSetupDialog::CopyWorkingToLive() {
    StoreLiveSlice(g_Settings.Alert, g_EditAlertBlock);
}

bool CAlertSetupDialog::WorkingDiffersFromLive() const {
    return SliceDiffers(g_EditAlertBlock, g_Settings.Alert);
}

void CAlertSetupDialog::OnEnableEmailAlert() {
    UpdateData(TRUE);
    EnableGroup(*this, kEmailGroup, m_bEmailAlert != 0);
}

void CAlertSetupDialog::OnEnableFtpAlert() {
    UpdateData(TRUE);
    EnableGroup(*this, kFtpGroup, m_bFtpAlert != 0);
}

void CAlertSetupDialog::OnChangeEditLimit(int nID) {
    for (const LimitedEdit& edit : kLimitedEdits) {
        if (edit.id != nID) {
            continue;
        }
        CString& accepted = this->*edit.member;
        const std::string text = GetDlgItemText(nID);
        if (text.size() > edit.limit) {
            SetDlgItemText(nID, accepted);
        } else {
            accepted = CString(text);
        }
        return;
    }
}

void CAlertSetupDialog::OnDeltaposNumber(UINT& member, int nMin, int nMax, NMHDR* pNMHDR,
                                         LRESULT* pResult) {
    *pResult = 0;
    if (!UpdateData(TRUE)) {
        return;  // the prompt has said why
    }
    int value = static_cast<int>(member);
    if (SpinStep(value, reinterpret_cast<NMUPDOWN*>(pNMHDR)->iDelta, nMin, nMax)) {
        member = static_cast<UINT>(value);
        UpdateData(FALSE);
    }
}
