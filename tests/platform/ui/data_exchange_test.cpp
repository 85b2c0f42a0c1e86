// Dialog data exchange: every kind shown and read back, every prompt with
// the focus on the failing control, and a read that stops there.

#include "platform/ui/data_exchange.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>

#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"
#include "platform/ui/test_resources.h"
#include "support/modal_step.h"
#include "support/qt_app.h"
#include "support/scripted_message_boxes.h"
#include "support/ui_input.h"

namespace {

// The members in the order DoDataExchange binds them.
struct Members {
    int size = -1;    // radio group Small / Medium / Large
    CString name;     // at most 8 characters
    int number = 15;  // 10..20
    UINT port = 50;   // 1..100
    int loud = 0;     // check box
    int count = -1;   // drop-down list
    int colour = -1;  // radio group Red / Blue
    CTime time{2006, 4, 22, 0, 0, 0};
    bool operator==(const Members&) const = default;
};

class ExchangeDialog : public CDialog {
public:
    ExchangeDialog() : CDialog(kControlsDialog) {}

    Members m;
    CListBox m_list;  // bound with DDX_Control
    int failedAt = 0;

    using CDialog::UpdateData;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Radio(pDX, kRadioSmall, m.size);
        DDX_Text(pDX, kEditName, m.name);
        DDV_MaxChars(pDX, m.name, 8);
        DDX_Text(pDX, kEditNumber, m.number);
        DDV_MinMaxInt(pDX, m.number, 10, 20);
        DDX_Text(pDX, kEditPort, m.port);
        DDV_MinMaxUInt(pDX, m.port, 1, 100);
        DDX_Check(pDX, kCheckLoud, m.loud);
        DDX_CBIndex(pDX, kComboCount, m.count);
        DDX_Radio(pDX, kRadioRed, m.colour);
        DDX_DateTimeCtrl(pDX, kTimePicker, m.time);
        DDX_Control(pDX, kListPlain, m_list);
        failedAt = pDX->FailedControl();
    }
};

class DataExchangeTest : public TestResourcesFixture {};

const Members kShown{1, "Bob", 12, 7, 1, 2, 0, CTime(2006, 4, 22, 9, 30, 0)};

TEST_F(DataExchangeTest, EveryKindIsShownAndReadBack) {
    ExchangeDialog dlg;
    dlg.m = kShown;
    EXPECT_EQ(
        RunModalWith(dlg,
                     [&dlg] {
                         // OnInitDialog showed the members.
                         EXPECT_EQ(dlg.GetDlgItemText(kEditName), "Bob");
                         EXPECT_EQ(dlg.GetDlgItemText(kEditNumber), "12");
                         EXPECT_EQ(dlg.GetDlgItemText(kEditPort), "7");
                         auto checked = [&dlg](int id) {
                             return dlg.GetDlgItem(id)->SendMessage(BM_GETCHECK) == 1;
                         };
                         EXPECT_TRUE(checked(kRadioMedium));
                         EXPECT_FALSE(checked(kRadioSmall) || checked(kRadioLarge));
                         EXPECT_TRUE(checked(kRadioRed));
                         EXPECT_TRUE(checked(kCheckLoud));
                         EXPECT_EQ(dlg.GetDlgItem(kComboCount)->SendMessage(CB_GETCURSEL), 2);
                         EXPECT_EQ(dlg.GetDlgItem(kListPlain), &dlg.m_list);
                         // Another value each, then read.
                         dlg.SetDlgItemText(kEditName, "Alice");
                         dlg.SetDlgItemText(kEditNumber, " 20 ");
                         dlg.SetDlgItemText(kEditPort, "100");
                         qobject_cast<QAbstractButton*>(ControlWidget(dlg, kRadioLarge))->click();
                         qobject_cast<QAbstractButton*>(ControlWidget(dlg, kCheckLoud))->click();
                         dlg.GetDlgItem(kComboCount)->SendMessage(CB_SETCURSEL, 0);
                         dlg.GetDlgItem(kRadioRed)->SendMessage(BM_SETCHECK, 0);
                         static_cast<CDateTimeCtrl*>(dlg.GetDlgItem(kTimePicker))
                             ->SetTime(CTime(2006, 4, 22, 23, 59, 0));
                         EXPECT_TRUE(dlg.UpdateData(TRUE));
                         dlg.EndDialog(IDOK);
                     }),
        IDOK);
    const Members read{2, "Alice", 20, 100, 0, 0, -1, CTime(2006, 4, 22, 23, 59, 0)};
    EXPECT_TRUE(dlg.m == read);
    EXPECT_EQ(dlg.failedAt, 0);
}

TEST_F(DataExchangeTest, AFailedReadPromptsFocusesAndStopsThere) {
    struct Case {
        const char* name;
        int control;
        const char* text;  // put into the failing control
        const char* prompt;
    };
    const Case cases[] = {
        {"not an integer", kEditNumber, "1x", "Please enter an integer."},
        {"an empty integer", kEditNumber, "", "Please enter an integer."},
        {"integer below its range", kEditNumber, "9", "Please enter an integer between 10 and 20."},
        {"integer above its range", kEditNumber, "21",
         "Please enter an integer between 10 and 20."},
        {"unsigned with a sign", kEditPort, "-1", "Please enter a positive integer."},
        {"unsigned beyond 32 bits", kEditPort, "4294967296", "Please enter a positive integer."},
        {"unsigned above its range", kEditPort, "101",
         "Please enter an integer between 1 and 100."},
        {"unsigned below its range", kEditPort, "0", "Please enter an integer between 1 and 100."},
        {"a text the program made too long", kEditName, "ninechars",
         "Please enter no more than 8 characters."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedMessageBoxes boxes;
        boxes.Expect({c.prompt, IDOK, "Quorvalind", MB_OK | MB_ICONEXCLAMATION});
        ExchangeDialog dlg;
        dlg.m = kShown;
        EXPECT_EQ(RunModalWith(
                      dlg,
                      [&dlg, &c] {
                          // New values everywhere, one of them refused.
                          qobject_cast<QAbstractButton*>(ControlWidget(dlg, kRadioSmall))->click();
                          dlg.SetDlgItemText(kEditName, "Carol");
                          dlg.SetDlgItemText(kEditNumber, "11");
                          dlg.SetDlgItemText(kEditPort, "9");
                          dlg.GetDlgItem(kCheckLoud)->SendMessage(BM_SETCHECK, 0);
                          dlg.GetDlgItem(kComboCount)->SendMessage(CB_SETCURSEL, 1);
                          dlg.GetDlgItem(kRadioBlue)->SendMessage(BM_SETCHECK, 1);
                          dlg.SetDlgItemText(c.control, c.text);
                          EXPECT_FALSE(dlg.UpdateData(TRUE));
                          EXPECT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(c.control));
                          EXPECT_EQ(qobject_cast<QLineEdit*>(ControlWidget(dlg, c.control))
                                        ->selectedText()
                                        .toStdString(),
                                    std::string(c.text));
                          dlg.EndDialog(IDOK);
                      }),
                  IDOK);
        EXPECT_EQ(dlg.failedAt, c.control);
        // Before the failing control: new; the failing one and after: as before.
        EXPECT_EQ(dlg.m.size, 0);
        EXPECT_EQ(dlg.m.name, c.control == kEditName ? kShown.name : CString("Carol"));
        EXPECT_EQ(dlg.m.number, c.control == kEditPort ? 11 : kShown.number);
        EXPECT_EQ(dlg.m.port, kShown.port);
        EXPECT_EQ(dlg.m.loud, kShown.loud);
        EXPECT_EQ(dlg.m.count, kShown.count);
        EXPECT_EQ(dlg.m.colour, kShown.colour);
    }
}

TEST_F(DataExchangeTest, OkEndsTheDialogOnlyWhenTheReadSucceeds) {
    ScriptedMessageBoxes boxes;
    boxes.Expect("Please enter an integer between 10 and 20.");
    ExchangeDialog dlg;
    dlg.m = kShown;
    bool stayedOpen = false;
    EXPECT_EQ(RunModalWith(dlg,
                           [&dlg, &stayedOpen] {
                               dlg.SetDlgItemText(kEditNumber, "99");
                               auto* ok = qobject_cast<QAbstractButton*>(ControlWidget(dlg, IDOK));
                               ok->click();
                               stayedOpen = dlg.IsWindowVisible() == TRUE;
                               dlg.SetDlgItemText(kEditNumber, "19");
                               ok->click();
                           }),
              IDOK);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(dlg.m.number, 19);
}

TEST_F(DataExchangeTest, ALengthCheckLimitsTypingWithoutCuttingTheProgramsText) {
    ExchangeDialog dlg;
    dlg.m = kShown;
    dlg.m.name = "twelve chars";  // longer than its 8
    EXPECT_EQ(RunModalWith(dlg,
                           [&dlg] {
                               EXPECT_EQ(dlg.GetDlgItemText(kEditName), "twelve chars");
                               EXPECT_EQ(dlg.GetDlgItem(kEditName)->SendMessage(EM_GETLIMITTEXT),
                                         8);
                               dlg.SetDlgItemText(kEditName, "");
                               TypeText(ControlWidget(dlg, kEditName), "123456789");
                               EXPECT_EQ(dlg.GetDlgItemText(kEditName), "12345678");
                               dlg.EndDialog(IDCANCEL);
                           }),
              IDCANCEL);
}

}  // namespace
