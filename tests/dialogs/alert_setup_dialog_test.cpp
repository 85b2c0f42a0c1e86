// "Email and Ftp Alerts Setup": the frame's cases, what it shows of the
// stored block and how every control goes back into it, the two groups and
// their checks, the spins, the texts held below their fields, and the two
// tests with what they send (over a recording transport here; against real
// servers in alert_setup_net_test.cpp). Mended faults: a change in one edit
// reads and shows nothing else, a spin or test whose read failed does
// nothing more, a port above 65535 is refused, the test mail goes to the
// port on screen.

#include "dialogs/alert_setup_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include <cstring>
#include <string>

#include "alerts/alert_fakes.h"
#include "dialog_input.h"
#include "dialog_test_resources.h"
#include "frame_cases.h"
#include "platform/ui/up_down_widget.h"
#include "res/alert_setup_ids.h"
#include "support/modal_step.h"
#include "support/qt_app.h"
#include "support/scripted_message_boxes.h"
#include "support/ui_input.h"

namespace {

constexpr char kQuestion[] = "Setting is changed! Back to save?";
constexpr char kPortPrompt[] = "Please enter an integer between 0 and 65535.";
constexpr char kNumberPrompt[] = "Please enter a positive integer.";

template <std::size_t N>
void Put(char (&field)[N], const char* text) {
    std::memset(field, 0, N);
    std::strncpy(field, text, N - 1);
}

AlertBlock StoredBlock() {
    AlertBlock a{};
    a.bEmailAlert = 1;
    Put(a.sSmtpServer, "mail.example");
    a.nSmtpPort = 2525;
    a.bSmtpLogin = 1;
    Put(a.sSmtpUser, "cam");
    Put(a.sSmtpPassword, "secret");
    Put(a.sMailFrom, "cam@example");
    Put(a.sMailTo, "guard@example");
    Put(a.sMailSubject, "Alarm");
    Put(a.sMailMessage, "Look at the door");
    a.byAttachImageNum = 3;
    a.bFtpAlert = 1;
    Put(a.sFtpServer, "ftp.example");
    a.nFtpPort = 2121;
    a.bFtpLogin = 1;
    Put(a.sFtpUser, "up");
    Put(a.sFtpPassword, "load");
    Put(a.sFtpDirectory, "alerts/in");
    a.byFtpGap = 5;
    a.bFtpProxy = 0;
    Put(a.sFtpProxy, "");
    a.bFtpPassive = 1;
    return a;
}

bool LiveIs(const AlertBlock& expected) {
    return std::memcmp(&g_Settings.Alert, &expected, sizeof expected) == 0;
}

class AlertSetupDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        SetResourceProvider(&m_resources);
        SetAlertTransport(&m_transport);
        g_Settings = Settings{};
        g_Settings.Alert = StoredBlock();
    }
    void TearDown() override {
        SetAlertTransport(nullptr);
        SetResourceProvider(nullptr);
    }

    DialogTestResources m_resources;
    FakeAlertTransport m_transport;
};

QLineEdit* Edit(CWnd& dlg, int id) {
    return qobject_cast<QLineEdit*>(ControlWidget(dlg, id));
}

// Typed at the end of the edit's text.
void TypeInto(CWnd& dlg, int id, const QString& text) {
    QLineEdit* edit = Edit(dlg, id);
    ASSERT_NE(edit, nullptr) << id;
    edit->end(false);
    TypeText(edit, text);
}

void SpinArrow(CWnd& dlg, int id, bool up) {
    auto* spin = dynamic_cast<UpDownWidget*>(ControlWidget(dlg, id));
    ASSERT_NE(spin, nullptr) << id;
    (up ? spin->UpArrow() : spin->DownArrow())->click();
}

bool Enabled(CWnd& dlg, int id) {
    return dlg.GetDlgItem(id)->IsWindowEnabled() == TRUE;
}

void Do(CAlertSetupDialog& d, FrameAct act) {
    switch (act) {
        case FrameAct::Change:
            TypeInto(d, IDC_MAIL_SUBJECT, "1");
            break;
        case FrameAct::ChangeAgain:
            TypeInto(d, IDC_MAIL_SUBJECT, "2");
            break;
        case FrameAct::Save:
            Click(d, IDC_ALERT_SAVE);
            break;
        case FrameAct::Exit:
            Click(d, IDOK);
            break;
        case FrameAct::Esc:
            PressKey(d.GetWidget(), Qt::Key_Escape);
            break;
        case FrameAct::StillOpenAndChanged:
            EXPECT_TRUE(d.IsWindowVisible());
            EXPECT_EQ(d.GetDlgItemText(IDC_MAIL_SUBJECT), "Alarm1");
            break;
    }
}

TEST_F(AlertSetupDialogTest, TheFramesCases) {
    AlertBlock changed = StoredBlock();
    Put(changed.sMailSubject, "Alarm1");
    using A = FrameAct;
    RunFrameCases<CAlertSetupDialog>(
        FrameCasesWith({
            {"change, Esc", {A::Change, A::Esc}, {}, IDCANCEL, false},
            {"change, Save, Esc", {A::Change, A::Save, A::Esc}, {}, IDOK, true},
        }),
        [] { g_Settings.Alert = StoredBlock(); }, Do,
        [&](bool saved) { return LiveIs(saved ? changed : StoredBlock()); });
}

TEST_F(AlertSetupDialogTest, ItShowsTheStoredBlock) {
    CAlertSetupDialog dlg;
    RunModalWith(dlg, [&dlg] {
        struct Shown {
            int id;
            const char* text;
        };
        for (const Shown& s :
             {Shown{IDC_SMTP_SERVER, "mail.example"}, Shown{IDC_SMTP_PORT, "2525"},
              Shown{IDC_SMTP_USER, "cam"}, Shown{IDC_SMTP_PASSWORD, "secret"},
              Shown{IDC_MAIL_FROM, "cam@example"}, Shown{IDC_MAIL_TO, "guard@example"},
              Shown{IDC_MAIL_SUBJECT, "Alarm"}, Shown{IDC_MAIL_MESSAGE, "Look at the door"},
              Shown{IDC_FTP_SERVER, "ftp.example"}, Shown{IDC_FTP_PORT, "2121"},
              Shown{IDC_FTP_USER, "up"}, Shown{IDC_FTP_PASSWORD, "load"},
              Shown{IDC_FTP_DIRECTORY, "alerts/in"}, Shown{IDC_FTP_PROXY, ""},
              Shown{IDC_FTP_GAP, "5"}}) {
            EXPECT_EQ(dlg.GetDlgItemText(s.id), s.text) << s.id;
        }
        auto* attach = qobject_cast<QComboBox*>(ControlWidget(dlg, IDC_ATTACH_IMAGE_NUMBER));
        EXPECT_EQ(attach->count(), 11);
        EXPECT_EQ(attach->currentText(), "3");
        EXPECT_EQ(Edit(dlg, IDC_SMTP_PASSWORD)->echoMode(), QLineEdit::Password);
        EXPECT_EQ(Edit(dlg, IDC_FTP_PASSWORD)->echoMode(), QLineEdit::Password);
        // Every edit centres its text but the message.
        EXPECT_TRUE(Edit(dlg, IDC_SMTP_SERVER)->alignment() & Qt::AlignHCenter);
        EXPECT_FALSE(Edit(dlg, IDC_MAIL_MESSAGE)->alignment() & Qt::AlignHCenter);
        // The gap changes only through its spin.
        EXPECT_FALSE(Enabled(dlg, IDC_FTP_GAP));
        dlg.EndDialog(IDCANCEL);
    });
}

TEST_F(AlertSetupDialogTest, EveryControlReachesTheBlock) {
    CAlertSetupDialog dlg;
    EXPECT_EQ(RunModalWith(dlg,
                           [&dlg] {
                               Retype(dlg, IDC_SMTP_SERVER, "smtp.home");
                               Retype(dlg, IDC_SMTP_PORT, "587");
                               Click(dlg, IDC_SMTP_LOGIN);
                               Retype(dlg, IDC_SMTP_USER, "me");
                               Retype(dlg, IDC_SMTP_PASSWORD, "pw");
                               Retype(dlg, IDC_MAIL_FROM, "a@home");
                               Retype(dlg, IDC_MAIL_TO, "b@home");
                               Retype(dlg, IDC_MAIL_SUBJECT, "Hi");
                               Retype(dlg, IDC_MAIL_MESSAGE, "Body text");
                               auto* attach = qobject_cast<QComboBox*>(
                                   ControlWidget(dlg, IDC_ATTACH_IMAGE_NUMBER));
                               attach->setCurrentIndex(0);
                               Retype(dlg, IDC_FTP_SERVER, "ftp.home");
                               Retype(dlg, IDC_FTP_PORT, "21");
                               Click(dlg, IDC_FTP_LOGIN);
                               Retype(dlg, IDC_FTP_USER, "u");
                               Retype(dlg, IDC_FTP_PASSWORD, "p");
                               Retype(dlg, IDC_FTP_DIRECTORY, "d");
                               Click(dlg, IDC_FTP_USE_PROXY);
                               Retype(dlg, IDC_FTP_PROXY, "proxy:3128");
                               Click(dlg, IDC_FTP_PASSIVE);
                               SpinArrow(dlg, IDC_FTP_GAP_SPIN, true);
                               Click(dlg, IDC_ENABLE_EMAIL_ALERT);
                               Click(dlg, IDC_ALERT_SAVE);
                               Click(dlg, IDOK);
                           }),
              IDOK);
    AlertBlock expected = StoredBlock();
    expected.bEmailAlert = 0;
    Put(expected.sSmtpServer, "smtp.home");
    expected.nSmtpPort = 587;
    expected.bSmtpLogin = 0;
    Put(expected.sSmtpUser, "me");
    Put(expected.sSmtpPassword, "pw");
    Put(expected.sMailFrom, "a@home");
    Put(expected.sMailTo, "b@home");
    Put(expected.sMailSubject, "Hi");
    Put(expected.sMailMessage, "Body text");
    expected.byAttachImageNum = 0;
    Put(expected.sFtpServer, "ftp.home");
    expected.nFtpPort = 21;
    expected.bFtpLogin = 0;
    Put(expected.sFtpUser, "u");
    Put(expected.sFtpPassword, "p");
    Put(expected.sFtpDirectory, "d");
    expected.bFtpProxy = 1;
    Put(expected.sFtpProxy, "proxy:3128");
    expected.bFtpPassive = 0;
    expected.byFtpGap = 6;
    EXPECT_TRUE(LiveIs(expected));
}

// A stored gap of 0 shows as 1, so the working copy differs at once.
TEST_F(AlertSetupDialogTest, AStoredGapOfNoneShowsOneAndIsAChange) {
    g_Settings.Alert.byFtpGap = 0;
    ScriptedMessageBoxes boxes;
    boxes.Expect(kQuestion, IDNO);
    CAlertSetupDialog dlg;
    EXPECT_EQ(RunModalWith(dlg,
                           [&dlg] {
                               EXPECT_EQ(dlg.GetDlgItemText(IDC_FTP_GAP), "1");
                               Click(dlg, IDOK);
                           }),
              IDCANCEL);
    CAlertSetupDialog again;
    EXPECT_EQ(RunModalWith(again,
                           [&again] {
                               Click(again, IDC_ALERT_SAVE);
                               Click(again, IDOK);
                           }),
              IDOK);
    EXPECT_EQ(g_Settings.Alert.byFtpGap, 1);
}

TEST_F(AlertSetupDialogTest, EachCheckSwitchesItsGroup) {
    const int mail[] = {IDC_SMTP_SERVER,   IDC_SMTP_LOGIN,     IDC_SMTP_USER,
                        IDC_SMTP_PASSWORD, IDC_MAIL_FROM,      IDC_MAIL_TO,
                        IDC_MAIL_SUBJECT,  IDC_MAIL_MESSAGE,   IDC_ATTACH_IMAGE_NUMBER,
                        IDC_SMTP_PORT,     IDC_SMTP_PORT_SPIN, IDC_SEND_TEST_MAIL};
    const int ftp[] = {IDC_FTP_SERVER,   IDC_FTP_PORT,      IDC_FTP_LOGIN,     IDC_FTP_USER,
                       IDC_FTP_PASSWORD, IDC_FTP_DIRECTORY, IDC_FTP_USE_PROXY, IDC_FTP_PROXY,
                       IDC_FTP_PASSIVE,  IDC_FTP_PORT_SPIN, IDC_FTP_TEST};
    g_Settings.Alert.bEmailAlert = 0;
    CAlertSetupDialog dlg;
    RunModalWith(dlg, [&] {
        for (int id : mail) {
            EXPECT_FALSE(Enabled(dlg, id)) << id;
        }
        for (int id : ftp) {
            EXPECT_TRUE(Enabled(dlg, id)) << id;
        }
        Click(dlg, IDC_ENABLE_EMAIL_ALERT);
        Click(dlg, IDC_ENABLE_FTP_ALERT);
        for (int id : mail) {
            EXPECT_TRUE(Enabled(dlg, id)) << id;
        }
        for (int id : ftp) {
            EXPECT_FALSE(Enabled(dlg, id)) << id;
        }
        // The gap's spin belongs to neither group; the login and proxy
        // checks switch nothing.
        EXPECT_TRUE(Enabled(dlg, IDC_FTP_GAP_SPIN));
        Click(dlg, IDC_SMTP_LOGIN);
        EXPECT_TRUE(Enabled(dlg, IDC_SMTP_USER));
        dlg.EndDialog(IDCANCEL);
    });
}

TEST_F(AlertSetupDialogTest, SpinsStepWithinTheirBounds) {
    struct Case {
        const char* name;
        int spin;
        int edit;
        const char* start;
        bool up;
        const char* shown;
    };
    const Case cases[] = {
        {"smtp up", IDC_SMTP_PORT_SPIN, IDC_SMTP_PORT, "25", true, "26"},
        {"smtp down at its minimum", IDC_SMTP_PORT_SPIN, IDC_SMTP_PORT, "25", false, "25"},
        {"smtp up at its maximum", IDC_SMTP_PORT_SPIN, IDC_SMTP_PORT, "62255", true, "62255"},
        {"smtp down from above", IDC_SMTP_PORT_SPIN, IDC_SMTP_PORT, "65535", false, "65534"},
        {"ftp down at its minimum", IDC_FTP_PORT_SPIN, IDC_FTP_PORT, "21", false, "21"},
        {"ftp up from below", IDC_FTP_PORT_SPIN, IDC_FTP_PORT, "0", true, "1"},
        {"ftp up at its maximum", IDC_FTP_PORT_SPIN, IDC_FTP_PORT, "62255", true, "62255"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CAlertSetupDialog dlg;
        RunModalWith(dlg, [&] {
            Retype(dlg, c.edit, c.start);
            SpinArrow(dlg, c.spin, c.up);
            EXPECT_EQ(dlg.GetDlgItemText(c.edit), c.shown);
            dlg.EndDialog(IDCANCEL);
        });
    }
    // The gap from its stored 5: down to 1 and no further, up to 30 and no
    // further.
    CAlertSetupDialog dlg;
    RunModalWith(dlg, [&] {
        for (int i = 0; i < 6; ++i) {
            SpinArrow(dlg, IDC_FTP_GAP_SPIN, false);
        }
        EXPECT_EQ(dlg.GetDlgItemText(IDC_FTP_GAP), "1");
        for (int i = 0; i < 40; ++i) {
            SpinArrow(dlg, IDC_FTP_GAP_SPIN, true);
        }
        EXPECT_EQ(dlg.GetDlgItemText(IDC_FTP_GAP), "30");
        dlg.EndDialog(IDCANCEL);
    });
}

// Each limited edit keeps its last accepted text when a key or a paste
// would take it past its limit; a Chinese character counts two bytes.
TEST_F(AlertSetupDialogTest, TextsStayWithinTheirLimits) {
    struct Case {
        int id;
        int limit;
    };
    const Case cases[] = {
        {IDC_SMTP_SERVER, 60},   {IDC_SMTP_PASSWORD, 30},  {IDC_MAIL_FROM, 60},  {IDC_MAIL_TO, 60},
        {IDC_MAIL_SUBJECT, 126}, {IDC_MAIL_MESSAGE, 510},  {IDC_FTP_SERVER, 60}, {IDC_FTP_USER, 30},
        {IDC_FTP_PASSWORD, 30},  {IDC_FTP_DIRECTORY, 126}, {IDC_FTP_PROXY, 60}};
    CAlertSetupDialog dlg;
    RunModalWith(dlg, [&] {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.id);
            const QString full(c.limit, QChar('a'));
            Retype(dlg, c.id, full);
            EXPECT_EQ(dlg.GetDlgItemText(c.id).size(), static_cast<size_t>(c.limit));
            TypeInto(dlg, c.id, "b");
            EXPECT_EQ(dlg.GetDlgItemText(c.id), full.toStdString());
            // One byte short: a two-byte character does not fit either.
            Retype(dlg, c.id, QString(c.limit - 1, QChar('c')));
            TypeInto(dlg, c.id, QString::fromUtf8("门"));
            EXPECT_EQ(dlg.GetDlgItemText(c.id), std::string(c.limit - 1, 'c'));
            // A paste that would pass the limit is undone whole.
            Retype(dlg, c.id, "short");
            QApplication::clipboard()->setText(QString(c.limit, QChar('p')));
            Edit(dlg, c.id)->paste();
            EXPECT_EQ(dlg.GetDlgItemText(c.id), "short");
        }
        // The SMTP user stops at 30 as it is typed.
        Retype(dlg, IDC_SMTP_USER, QString(31, QChar('u')));
        EXPECT_EQ(dlg.GetDlgItemText(IDC_SMTP_USER), std::string(30, 'u'));
        dlg.EndDialog(IDCANCEL);
    });
}

// An empty port made every keystroke elsewhere prompt and put back what
// the other edits held before.
TEST_F(AlertSetupDialogTest, AChangeInOneEditReadsNoOtherControl) {
    ScriptedMessageBoxes boxes;  // no box expected while typing
    CAlertSetupDialog dlg;
    RunModalWith(dlg, [&] {
        Retype(dlg, IDC_SMTP_PORT, "");
        TypeInto(dlg, IDC_FTP_DIRECTORY, "x");
        TypeInto(dlg, IDC_MAIL_TO, "y");
        TypeInto(dlg, IDC_FTP_SERVER, "z");
        EXPECT_EQ(dlg.GetDlgItemText(IDC_FTP_DIRECTORY), "alerts/inx");
        EXPECT_EQ(dlg.GetDlgItemText(IDC_MAIL_TO), "guard@exampley");
        EXPECT_EQ(dlg.GetDlgItemText(IDC_FTP_SERVER), "ftp.examplez");
        EXPECT_EQ(dlg.GetDlgItemText(IDC_SMTP_PORT), "");
        dlg.EndDialog(IDCANCEL);
    });
    EXPECT_TRUE(boxes.Shown().empty());
}

// After a failed read a spin showed every member over what was just
// typed, and a test sent the old values.
TEST_F(AlertSetupDialogTest, ASpinOrTestWhoseReadFailedDoesNothingMore) {
    struct Case {
        const char* name;
        std::function<void(CAlertSetupDialog&)> act;
    };
    const Case cases[] = {
        {"gap spin", [](CAlertSetupDialog& d) { SpinArrow(d, IDC_FTP_GAP_SPIN, true); }},
        {"ftp port spin", [](CAlertSetupDialog& d) { SpinArrow(d, IDC_FTP_PORT_SPIN, true); }},
        {"test mail", [](CAlertSetupDialog& d) { Click(d, IDC_SEND_TEST_MAIL); }},
        {"ftp test", [](CAlertSetupDialog& d) { Click(d, IDC_FTP_TEST); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedMessageBoxes boxes;
        boxes.Expect({kNumberPrompt, IDOK, "Quorvalind", MB_OK | MB_ICONEXCLAMATION});
        CAlertSetupDialog dlg;
        RunModalWith(dlg, [&] {
            Retype(dlg, IDC_SMTP_PORT, "");
            Click(dlg, IDC_FTP_PASSIVE);  // bound after the port: not read
            c.act(dlg);
            EXPECT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(IDC_SMTP_PORT));
            EXPECT_EQ(dlg.GetDlgItemText(IDC_FTP_GAP), "5");
            EXPECT_EQ(dlg.GetDlgItemText(IDC_FTP_PORT), "2121");
            EXPECT_EQ(dlg.GetDlgItem(IDC_FTP_PASSIVE)->SendMessage(BM_GETCHECK), BST_UNCHECKED);
            EXPECT_EQ(dlg.GetWindowText(), "Email and Ftp Alerts Setup");
            dlg.EndDialog(IDCANCEL);
        });
        EXPECT_TRUE(m_transport.Mails().empty());
        EXPECT_TRUE(m_transport.Opens().empty());
    }
}

// A typed 70000 was stored as its low 16 bits, 4464.
TEST_F(AlertSetupDialogTest, APortAbove65535IsRefused) {
    for (int id : {IDC_SMTP_PORT, IDC_FTP_PORT}) {
        SCOPED_TRACE(id);
        g_Settings.Alert = StoredBlock();
        ScriptedMessageBoxes boxes;
        // Save's read, then Exit's store and its final read.
        for (int i = 0; i < 3; ++i) {
            boxes.Expect({kPortPrompt, IDOK, "Quorvalind", MB_OK | MB_ICONEXCLAMATION});
        }
        CAlertSetupDialog dlg;
        EXPECT_EQ(RunModalWith(dlg,
                               [&] {
                                   Retype(dlg, id, "70000");
                                   Click(dlg, IDC_ALERT_SAVE);
                                   EXPECT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(id));
                                   Click(dlg, IDOK);
                                   EXPECT_TRUE(dlg.IsWindowVisible());
                                   Retype(dlg, id, "65535");
                                   Click(dlg, IDC_ALERT_SAVE);
                                   Click(dlg, IDOK);
                               }),
                  IDOK);
        EXPECT_EQ(id == IDC_SMTP_PORT ? +g_Settings.Alert.nSmtpPort : +g_Settings.Alert.nFtpPort,
                  65535);
    }
}

TEST_F(AlertSetupDialogTest, TheTestMailTakesTheValuesOnScreen) {
    struct Case {
        const char* name;
        bool login;
        bool fails;
    };
    for (const Case& c : {Case{"with login", true, false}, Case{"without login", false, false},
                          Case{"failing", true, true}}) {
        SCOPED_TRACE(c.name);
        FakeAlertTransport transport;
        SetAlertTransport(&transport);
        g_Settings.Alert = StoredBlock();
        g_Settings.Alert.bSmtpLogin = c.login ? 1 : 0;
        if (c.fails) {
            transport.FailMail("Error info: Login denied\r\n details: 535");
        }
        ScriptedMessageBoxes boxes;
        if (c.fails) {
            boxes.Expect(
                {"Error info: Login denied\r\n details: 535", IDOK, "Send email failed!", MB_OK});
        } else {
            boxes.Expect({"Send email OK!", IDOK, "Send email OK!", MB_OK});
        }
        boxes.Expect(kQuestion, IDNO);  // the port and subject typed
        CAlertSetupDialog dlg;
        EXPECT_EQ(RunModalWith(dlg,
                               [&] {
                                   Retype(dlg, IDC_SMTP_PORT, "1025");
                                   TypeInto(dlg, IDC_MAIL_SUBJECT, "!");
                                   Click(dlg, IDC_SEND_TEST_MAIL);
                                   Click(dlg, IDOK);
                               }),
                  IDCANCEL);
        const std::vector<CMailMessage> mails = transport.Mails();
        ASSERT_EQ(mails.size(), 1u);
        const CMailMessage& m = mails[0];
        EXPECT_EQ(m.sServer, "mail.example");
        EXPECT_EQ(m.nPort, 1025);
        EXPECT_EQ(m.sUser, c.login ? "cam" : "");
        EXPECT_EQ(m.sPassword, c.login ? "secret" : "");
        EXPECT_EQ(m.sFrom, "cam@example");
        EXPECT_EQ(m.sTo, "guard@example");
        EXPECT_EQ(m.sSubject, "Alarm!");  // no channel text
        EXPECT_EQ(m.sBody, "Look at the door");
        ASSERT_EQ(m.byAttachCount, 1);
        EXPECT_EQ(m.sAttachment[0], "Quorvalind.jpg");
        // The test changed no setting.
        EXPECT_TRUE(LiveIs([&] {
            AlertBlock a = StoredBlock();
            a.bSmtpLogin = c.login ? 1 : 0;
            return a;
        }()));
    }
    SetAlertTransport(&m_transport);
}

TEST_F(AlertSetupDialogTest, TheFtpTestTellsEachStepsResult) {
    struct Case {
        const char* name;
        const char* openError;  // null: the session opens
        bool putFails;
        const char* caption;
        const char* box;
        const char* boxCaption;
    };
    const Case cases[] = {
        {"uploaded", nullptr, false, "Upload file Quorvalind.jpg OK!", "Ftp Test Success!", "OK"},
        {"put fails", nullptr, true, "Email and Ftp Alerts Setup", "Ftp Test Failed", "FAILED"},
        {"no internet handle", "Open Ftp Upload Failed!", false, "Open Ftp Upload Failed!",
         "Ftp Test Failed", "FAILED"},
        {"refused login", "Login ftp.example Failed!", false, "Login ftp.example Failed!",
         "Ftp Test Failed", "FAILED"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeAlertTransport transport;
        SetAlertTransport(&transport);
        if (c.openError != nullptr) {
            transport.FailOpen(c.openError);
        }
        if (c.putFails) {
            transport.FailPuts();
        }
        ScriptedMessageBoxes boxes;
        std::string captionDuringBox;
        CAlertSetupDialog dlg;
        boxes.Expect(
            {c.box, IDOK, c.boxCaption, MB_OK, [&] { captionDuringBox = dlg.GetWindowText(); }});
        RunModalWith(dlg, [&] {
            // The proxy goes with its text, although its check is off.
            Retype(dlg, IDC_FTP_PROXY, "127.0.0.1:3128");
            Click(dlg, IDC_FTP_LOGIN);  // off: the user still logs in
            Click(dlg, IDC_FTP_TEST);
            // The caption stays until the dialog closes.
            EXPECT_EQ(dlg.GetWindowText(), c.caption);
            dlg.EndDialog(IDCANCEL);
        });
        EXPECT_EQ(captionDuringBox, c.caption);
        const std::vector<FtpOpenCall> opens = transport.Opens();
        ASSERT_EQ(opens.size(), 1u);
        EXPECT_EQ(opens[0].server, "ftp.example");
        EXPECT_EQ(opens[0].port, 2121);
        EXPECT_EQ(opens[0].user, "up");
        EXPECT_EQ(opens[0].password, "load");
        EXPECT_EQ(opens[0].directory, "alerts/in");
        EXPECT_TRUE(opens[0].passive);
        EXPECT_EQ(opens[0].proxy, "127.0.0.1:3128");
        EXPECT_FALSE(opens[0].abortable);
        const std::vector<FtpPutCall> puts = transport.Puts();
        if (c.openError == nullptr) {
            ASSERT_EQ(puts.size(), 1u);
            EXPECT_EQ(puts[0].localPath, "Quorvalind.jpg");
            EXPECT_EQ(puts[0].remoteName, "Quorvalind.jpg");
        } else {
            EXPECT_TRUE(puts.empty());
        }
        // Closed whether it opened or not.
        EXPECT_EQ(transport.Closes(), 1);
        EXPECT_EQ(transport.OpenSessions(), 0);
    }
    SetAlertTransport(&m_transport);
}

}  // namespace
