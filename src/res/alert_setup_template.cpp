// Template 264, "Email and Ftp Alerts Setup": the e-mail alert on the
// left, the FTP alert on the right, each headed by its enable check and
// ending in its test button; Save and Exit below. The edits centre their
// text, except the one-line message.

#include <string>
#include <vector>

#include "res/alert_setup_ids.h"
#include "res/skin_resources.h"
#include "res/template_builders.h"

namespace {

constexpr int kRowStep = 36;
constexpr int kFirstRow = 28;
constexpr int kLineHeight = 24;  // checks and labels
constexpr int kEditHeight = 26;
constexpr int kSpinWidth = 20;
constexpr int kPortWidth = 100;

// One column: its left edge, where its labels end and its edits start.
struct Column {
    int x;
    int labelWidth;
    int editWidth;

    int LabelX() const { return x + 12; }
    int EditX() const { return LabelX() + labelWidth + 4; }
};

constexpr Column kMail{16, 172, 152};
constexpr Column kFtp{376, 168, 148};

int RowY(int row) {
    return kFirstRow + row * kRowStep;
}

// A row's label; ids below 0 are the labels'.
void AddRowLabel(DialogTemplate& t, const Column& c, int row, int labelId, const char* label) {
    t.controls.push_back(
        Label(labelId, label, c.LabelX(), RowY(row) + 2, c.labelWidth, kLineHeight - 2));
}

// "Label:" and its edit on one row.
void AddEditRow(DialogTemplate& t, const Column& c, int row, int labelId, const char* label,
                int editId, UINT style = CTL_CENTER) {
    AddRowLabel(t, c, row, labelId, label);
    t.controls.push_back(EditBox(editId, c.EditX(), RowY(row), c.editWidth, kEditHeight, style));
}

// A number edit with its spin to the right.
void AddNumberRow(DialogTemplate& t, const Column& c, int row, int labelId, const char* label,
                  int editId, int spinId, UINT extraStyle = 0) {
    AddRowLabel(t, c, row, labelId, label);
    t.controls.push_back(EditBox(editId, c.EditX(), RowY(row), kPortWidth, kEditHeight,
                                 CTL_NUMBER | CTL_CENTER | extraStyle));
    t.controls.push_back(TemplateControl(ControlKind::UpDown, spinId, "", c.EditX() + kPortWidth,
                                         RowY(row), kSpinWidth, kEditHeight));
}

void AddCheckRow(DialogTemplate& t, const Column& c, int row, int id, const char* text,
                 int width = 220) {
    t.controls.push_back(CheckBox(id, text, c.LabelX(), RowY(row), width, kLineHeight));
}

std::vector<std::string> AttachCounts() {
    std::vector<std::string> items;
    for (int n = 0; n <= 10; ++n) {
        items.push_back(std::to_string(n));
    }
    return items;
}

}  // namespace

DialogTemplate AlertSetupTemplate() {
    DialogTemplate t = SetupDialogFrame("Email and Ftp Alerts Setup");
    constexpr int kGroupTop = 12;
    constexpr int kGroupHeight = 476;
    constexpr int kTestButtonY = 436;
    constexpr int kTestButtonWidth = 152;

    t.controls.push_back(GroupBox(-1, "", kMail.x, kGroupTop, 352, kGroupHeight));
    AddCheckRow(t, kMail, 0, IDC_ENABLE_EMAIL_ALERT, "Enable Email Alert");
    AddEditRow(t, kMail, 1, -3, "Outgoing Mail Server:", IDC_SMTP_SERVER);
    AddNumberRow(t, kMail, 2, -4, "Smtp Port Number :", IDC_SMTP_PORT, IDC_SMTP_PORT_SPIN);
    AddCheckRow(t, kMail, 3, IDC_SMTP_LOGIN, "Server Requires Login");
    AddEditRow(t, kMail, 4, -5, "User Name:", IDC_SMTP_USER);
    AddEditRow(t, kMail, 5, -6, "Password:", IDC_SMTP_PASSWORD, CTL_CENTER | CTL_PASSWORD);
    AddEditRow(t, kMail, 6, -7, "From:", IDC_MAIL_FROM);
    AddEditRow(t, kMail, 7, -8, "To:", IDC_MAIL_TO);
    AddEditRow(t, kMail, 8, -9, "Subject:", IDC_MAIL_SUBJECT);
    AddEditRow(t, kMail, 9, -10, "Message:", IDC_MAIL_MESSAGE, 0);
    AddRowLabel(t, kMail, 10, -11, "Attach image number:");
    t.controls.push_back(DropDownList(IDC_ATTACH_IMAGE_NUMBER, kMail.EditX(), RowY(10), kPortWidth,
                                      kEditHeight, AttachCounts()));
    t.controls.push_back(PushButton(IDC_SEND_TEST_MAIL, "Send Test Mail",
                                    kMail.x + (352 - kTestButtonWidth) / 2, kTestButtonY,
                                    kTestButtonWidth, 32));

    t.controls.push_back(GroupBox(-2, "", kFtp.x, kGroupTop, 344, kGroupHeight));
    AddCheckRow(t, kFtp, 0, IDC_ENABLE_FTP_ALERT, "Enable Ftp Alert");
    AddEditRow(t, kFtp, 1, -12, "Ftp Server:", IDC_FTP_SERVER);
    AddNumberRow(t, kFtp, 2, -13, "Ftp Port Number :", IDC_FTP_PORT, IDC_FTP_PORT_SPIN);
    AddCheckRow(t, kFtp, 3, IDC_FTP_LOGIN, "Server Requires Login");
    AddEditRow(t, kFtp, 4, -14, "User Name:", IDC_FTP_USER);
    AddEditRow(t, kFtp, 5, -15, "Password:", IDC_FTP_PASSWORD, CTL_CENTER | CTL_PASSWORD);
    AddEditRow(t, kFtp, 6, -16, "Ftp Directory:", IDC_FTP_DIRECTORY);
    // The proxy's edit stands beside its check.
    AddCheckRow(t, kFtp, 7, IDC_FTP_USE_PROXY, "User a Proxy Server", kFtp.labelWidth);
    t.controls.push_back(
        EditBox(IDC_FTP_PROXY, kFtp.EditX(), RowY(7), kFtp.editWidth, kEditHeight, CTL_CENTER));
    AddCheckRow(t, kFtp, 8, IDC_FTP_PASSIVE, "Passive Mode");
    AddNumberRow(t, kFtp, 9, -17, "Ftp Gap(second):", IDC_FTP_GAP, IDC_FTP_GAP_SPIN, CTL_DISABLED);
    t.controls.push_back(PushButton(IDC_FTP_TEST, "Ftp Test", kFtp.x + (344 - kTestButtonWidth) / 2,
                                    kTestButtonY, kTestButtonWidth, 32));

    t.controls.push_back(PushButton(IDC_ALERT_SAVE, "Save", 526, 524, 90, 32));
    t.controls.push_back(PushButton(IDOK, "Exit", 626, 524, 90, 32));
    return t;
}
