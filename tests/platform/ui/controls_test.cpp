// The controls of a dialog template: what each kind does, and what it tells
// its dialog (the user's doings only, never the program's).

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <vector>

#include "platform/textcodec/gb2312_codec.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"
#include "platform/ui/surface_host.h"
#include "platform/ui/test_resources.h"
#include "support/modal_step.h"
#include "support/qt_app.h"
#include "support/ui_input.h"

namespace {

struct Notice {
    UINT message;  // WM_COMMAND or WM_NOTIFY
    int id;
    int code;
    int detail;  // NM_CLICK: the row; LVN_KEYDOWN: the key; UDN_DELTAPOS: the delta
};

class ControlsDialog : public CDialog {
public:
    ControlsDialog() : CDialog(kControlsDialog) {}

    std::vector<Notice> notices;
    LRESULT deltaAnswer = 0;
    std::vector<POINT> dialogClicks;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND && lParam != 0) {
            notices.push_back(
                {message, static_cast<int>(LOWORD(wParam)), static_cast<int>(HIWORD(wParam)), 0});
        } else if (message == WM_NOTIFY) {
            auto* h = reinterpret_cast<NMHDR*>(lParam);
            int detail = 0;
            if (h->code == NM_CLICK) {
                detail = reinterpret_cast<NMITEMACTIVATE*>(lParam)->iItem;
            } else if (h->code == LVN_KEYDOWN) {
                detail = reinterpret_cast<NMLVKEYDOWN*>(lParam)->wVKey;
            } else if (h->code == UDN_DELTAPOS) {
                detail = reinterpret_cast<NMUPDOWN*>(lParam)->iDelta;
            }
            notices.push_back({message, static_cast<int>(h->idFrom), h->code, detail});
            if (h->code == UDN_DELTAPOS) {
                return deltaAnswer;
            }
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }

    CButton* Button(int id) { return static_cast<CButton*>(GetDlgItem(id)); }
    CComboBox* Combo() { return static_cast<CComboBox*>(GetDlgItem(kComboCount)); }
    CListBox* List(int id = kListPlain) { return static_cast<CListBox*>(GetDlgItem(id)); }
    CListCtrl* View() { return static_cast<CListCtrl*>(GetDlgItem(kListView)); }
    CSpinButtonCtrl* Spin() { return static_cast<CSpinButtonCtrl*>(GetDlgItem(kSpin)); }
    CEdit* Edit(int id) { return static_cast<CEdit*>(GetDlgItem(id)); }

protected:
    void OnLButtonDown(UINT /*nFlags*/, POINT point) override { dialogClicks.push_back(point); }
};

class ControlsTest : public TestResourcesFixture {
protected:
    // Runs the dialog with the step, then ends it.
    void Run(ControlsDialog& dlg, const std::function<void(ControlsDialog&)>& step) {
        EXPECT_EQ(RunModalWith(dlg,
                               [&dlg, step] {
                                   step(dlg);
                                   dlg.EndDialog(IDOK);
                               }),
                  IDOK);
    }
};

bool Checked(ControlsDialog& d, int id) {
    return d.Button(id)->GetCheck() == BST_CHECKED;
}

void ClickRadio(ControlsDialog& d, int id) {
    qobject_cast<QAbstractButton*>(ControlWidget(d, id))->click();
}

TEST_F(ControlsTest, RadiosAreExclusiveWithinTheirGroupOnly) {
    ControlsDialog dlg;
    Run(dlg, [](ControlsDialog& d) {
        ClickRadio(d, kRadioSmall);
        ClickRadio(d, kRadioBlue);
        EXPECT_TRUE(Checked(d, kRadioSmall));  // another group
        ClickRadio(d, kRadioLarge);            // across the edit between them
        EXPECT_FALSE(Checked(d, kRadioSmall));
        EXPECT_TRUE(Checked(d, kRadioLarge));
        EXPECT_TRUE(Checked(d, kRadioBlue));
        // The check box after the group is no member of it.
        qobject_cast<QAbstractButton*>(ControlWidget(d, kCheckLoud))->click();
        EXPECT_TRUE(Checked(d, kRadioBlue));
        EXPECT_TRUE(Checked(d, kCheckLoud));
        // The program may leave a group without a checked radio.
        d.Button(kRadioLarge)->SetCheck(BST_UNCHECKED);
        EXPECT_FALSE(Checked(d, kRadioSmall) || Checked(d, kRadioMedium) ||
                     Checked(d, kRadioLarge));
        EXPECT_EQ(d.Button(kRadioRed)->GetButtonStyle(), BS_AUTORADIOBUTTON);
        EXPECT_EQ(d.Button(kCheckLoud)->GetButtonStyle(), BS_AUTOCHECKBOX);
    });
}

TEST_F(ControlsTest, OnlyTheUsersChangesAreNotified) {
    struct Case {
        const char* name;
        int id;
        std::function<void(ControlsDialog&)> program;
        std::function<void(ControlsDialog&)> user;
        UINT message;
        int code;
        int detail;
    };
    const Case cases[] = {
        {"edit", kEditName, [](ControlsDialog& d) { d.SetDlgItemText(kEditName, "set"); },
         [](ControlsDialog& d) { TypeText(ControlWidget(d, kEditName), "x"); }, WM_COMMAND,
         static_cast<int>(EN_CHANGE), 0},
        {"drop-down list", kComboCount, [](ControlsDialog& d) { d.Combo()->SetCurSel(1); },
         [](ControlsDialog& d) { PressKey(ControlWidget(d, kComboCount), Qt::Key_Down); },
         WM_COMMAND, static_cast<int>(CBN_SELCHANGE), 0},
        {"list box", kListPlain,
         [](ControlsDialog& d) {
             d.List()->AddString("a");
             d.List()->AddString("b");
             d.List()->SetCurSel(1);
             d.List()->DeleteString(1);
         },
         [](ControlsDialog& d) {
             auto* list = static_cast<QListWidget*>(ControlWidget(d, kListPlain));
             list->addItem("c");
             QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                               list->visualItemRect(list->item(1)).center());
         },
         WM_COMMAND, static_cast<int>(LBN_SELCHANGE), 0},
        {"spin arrow", kSpin, [](ControlsDialog& d) { d.Spin()->SetPos(50); },
         [](ControlsDialog& d) {
             static_cast<QToolButton*>(ControlWidget(d, kSpin)->findChildren<QToolButton*>()[0])
                 ->click();
         },
         WM_NOTIFY, UDN_DELTAPOS, -1},  // up lowers the default range's position
        {"list view click", kListView,
         [](ControlsDialog& d) {
             d.View()->InsertColumn(0, "Channel", LVCFMT_LEFT, 60);
             d.View()->InsertItem(0, "CH01");
             d.View()->InsertItem(1, "CH02");
             d.View()->SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
         },
         [](ControlsDialog& d) {
             auto* view = static_cast<QTreeWidget*>(ControlWidget(d, kListView));
             QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                               view->visualItemRect(view->topLevelItem(1)).center());
         },
         WM_NOTIFY, NM_CLICK, 1},
        {"list view delete", kListView, [](ControlsDialog&) {},
         [](ControlsDialog& d) { PressKey(ControlWidget(d, kListView), Qt::Key_Delete); },
         WM_NOTIFY, LVN_KEYDOWN, static_cast<int>(VK_DELETE)},
        {"list view space", kListView, [](ControlsDialog&) {},
         [](ControlsDialog& d) { PressKey(ControlWidget(d, kListView), Qt::Key_Space); }, WM_NOTIFY,
         LVN_KEYDOWN, static_cast<int>(VK_SPACE)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlsDialog dlg;
        Run(dlg, [&c](ControlsDialog& d) {
            c.program(d);
            EXPECT_TRUE(d.notices.empty());
            c.user(d);
            ASSERT_EQ(d.notices.size(), 1u);
            EXPECT_EQ(d.notices[0].message, c.message);
            EXPECT_EQ(d.notices[0].id, c.id);
            EXPECT_EQ(d.notices[0].code, c.code);
            EXPECT_EQ(d.notices[0].detail, c.detail);
        });
    }
}

TEST_F(ControlsTest, SpinStepsTowardsUpperUnlessTheDialogKeepsIt) {
    ControlsDialog dlg;
    Run(dlg, [](ControlsDialog& d) {
        int lower = 0;
        int upper = 0;
        d.Spin()->GetRange(lower, upper);
        EXPECT_EQ(lower, 100);
        EXPECT_EQ(upper, 0);
        d.Spin()->SetRange(0, 15);
        d.Spin()->SetPos(15);
        auto arrows = ControlWidget(d, kSpin)->findChildren<QToolButton*>();
        ASSERT_EQ(arrows.size(), 2);
        arrows[0]->click();  // up, at the upper bound
        EXPECT_EQ(d.Spin()->GetPos(), 15);
        EXPECT_EQ(d.notices.back().detail, 1);
        arrows[1]->click();
        EXPECT_EQ(d.Spin()->GetPos(), 14);
        d.deltaAnswer = 1;  // a non-zero answer keeps the position
        arrows[1]->click();
        EXPECT_EQ(d.Spin()->GetPos(), 14);
        EXPECT_EQ(d.notices.size(), 3u);
    });
}

// Chinese characters take two stored bytes; the euro sign and an emoji have
// no GB2312 code.
TEST_F(ControlsTest, EditsTakeOnlyWhatTheSettingsCanStore) {
    struct Case {
        const char* name;
        int id;
        UINT limit;
        const char* programText;  // GB2312
        QString typed;
        const char* result;  // GB2312
    };
    const Case cases[] = {
        {"within the limit", kEditName, 4, "", QString::fromUtf8("ab中"), "ab\xD6\xD0"},
        {"past the limit", kEditName, 4, "", QString::fromUtf8("ab中c"), "ab\xD6\xD0"},
        {"a two-byte character over the limit", kEditName, 3, "", QString::fromUtf8("ab中c"),
         "abc"},
        {"no GB2312 code", kEditName, 0, "", QString::fromUtf8("a€b😀c"), "abc"},
        {"the program's long text stays", kEditName, 4, "abcdefgh", QString(), "abcdefgh"},
        {"typing onto a long text is refused", kEditName, 4, "abcdefgh", "x", "abcdefgh"},
        {"digits only", kEditNumber, 0, "", "1a2-3", "123"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlsDialog dlg;
        Run(dlg, [&c](ControlsDialog& d) {
            d.Edit(c.id)->SetLimitText(c.limit);
            EXPECT_EQ(d.Edit(c.id)->GetLimitText(), c.limit);
            d.SetDlgItemText(c.id, c.programText);
            auto* edit = qobject_cast<QLineEdit*>(ControlWidget(d, c.id));
            edit->end(false);
            TypeText(edit, c.typed);
            EXPECT_EQ(d.GetDlgItemText(c.id), c.result);
        });
    }
    // An over-long text the program showed can still be shortened.
    ControlsDialog dlg;
    Run(dlg, [](ControlsDialog& d) {
        d.Edit(kEditName)->SetLimitText(4);
        d.SetDlgItemText(kEditName, "abcdefgh");
        QWidget* edit = ControlWidget(d, kEditName);
        edit->setFocus();
        qobject_cast<QLineEdit*>(edit)->end(false);
        PressKey(edit, Qt::Key_Backspace);
        EXPECT_EQ(d.GetDlgItemText(kEditName), "abcdefg");
    });
}

TEST_F(ControlsTest, TextsComeBackAsTheBytesPutThere) {
    ControlsDialog dlg;
    Run(dlg, [](ControlsDialog& d) {
        // Bytes that are no valid GB2312 come back unchanged while untouched.
        const char odd[] =
            "\x80\xFF"
            "ab";
        d.SetDlgItemText(kEditName, odd);
        EXPECT_EQ(d.GetDlgItemText(kEditName), odd);
        d.SetDlgItemText(kStaticLabel, "\xD6\xD0");
        EXPECT_EQ(d.GetDlgItemText(kStaticLabel), "\xD6\xD0");
        // Once the user edits it the text is what the edit shows.
        auto* edit = qobject_cast<QLineEdit*>(ControlWidget(d, kEditName));
        edit->end(false);
        TypeText(edit, "c");
        EXPECT_EQ(d.GetDlgItemText(kEditName), Utf8ToGb2312(edit->text().toStdString()));
        EXPECT_NE(d.GetDlgItemText(kEditName), std::string(odd) + "c");
    });
}

TEST_F(ControlsTest, StyleFlagsOfTheTemplate) {
    ControlsDialog dlg;
    Run(dlg, [](ControlsDialog& d) {
        auto* number = qobject_cast<QLineEdit*>(ControlWidget(d, kEditNumber));
        EXPECT_TRUE(number->alignment() & Qt::AlignHCenter);
        auto* secret = qobject_cast<QLineEdit*>(ControlWidget(d, kEditSecret));
        EXPECT_EQ(secret->echoMode(), QLineEdit::Password);
        EXPECT_FALSE(d.GetDlgItem(kEditLocked)->IsWindowEnabled());
        EXPECT_FALSE(d.GetDlgItem(kStaticHidden)->IsWindowVisible());
        EXPECT_TRUE(d.GetDlgItem(kStaticLabel)->IsWindowVisible());
        EXPECT_EQ(d.GetDlgItem(kRadioSmall)->GetStyle(), CTL_GROUP);
        EXPECT_EQ(d.GetDlgItem(kListTabs)->GetStyle() & LBS_USETABSTOPS, LBS_USETABSTOPS);
    });
}

TEST_F(ControlsTest, ChannelRowButtonShowsItsSelection) {
    ControlsDialog dlg;
    Run(dlg, [](ControlsDialog& d) {
        CButton* button = d.Button(kRowButton);
        QWidget* widget = ControlWidget(d, kRowButton);
        const QImage plain = widget->grab().toImage();
        EXPECT_EQ(button->GetButtonStyle(), BS_PUSHBUTTON);
        button->SetButtonStyle((button->GetButtonStyle() & 0xFF) | 2);
        button->SetCheck(BST_CHECKED);
        EXPECT_EQ(button->GetButtonStyle(), BS_CHECKBOX);
        EXPECT_EQ(button->GetCheck(), BST_CHECKED);
        EXPECT_NE(widget->grab().toImage(), plain);  // a visible selected look
        // A click keeps the program's check (no automatic type) and is told.
        qobject_cast<QAbstractButton*>(widget)->click();
        EXPECT_EQ(button->GetCheck(), BST_CHECKED);
        EXPECT_EQ(d.notices.back().code, static_cast<int>(BN_CLICKED));
        button->SetState(TRUE);
        EXPECT_EQ(button->GetState() & BST_PUSHED, static_cast<UINT>(BST_PUSHED));
        // Released: unchecked, a push button again, not pushed.
        button->SetCheck(BST_UNCHECKED);
        button->SetButtonStyle(button->GetButtonStyle() & ~2u);
        button->SetState(FALSE);
        EXPECT_EQ(button->GetState(), 0u);
        EXPECT_EQ(button->GetButtonStyle(), BS_PUSHBUTTON);
        EXPECT_EQ(widget->grab().toImage(), plain);
    });
}

TEST_F(ControlsTest, ListsAndDropDownListsByIndex) {
    ControlsDialog dlg;
    Run(dlg, [](ControlsDialog& d) {
        CComboBox* combo = d.Combo();
        EXPECT_EQ(combo->GetCount(), 3);
        EXPECT_EQ(combo->GetCurSel(), CB_ERR);
        EXPECT_EQ(combo->SetCurSel(5), CB_ERR);
        EXPECT_EQ(combo->SetCurSel(2), 2);
        CString text;
        combo->GetLBText(1, text);
        EXPECT_EQ(text, "one");
        EXPECT_EQ(combo->FindStringExact(-1, "TWO"), 2);
        EXPECT_EQ(combo->FindStringExact(2, "two"), CB_ERR);
        combo->ResetContent();
        EXPECT_EQ(combo->AddString("\xD6\xD0"), 0);
        combo->GetLBText(0, text);
        EXPECT_EQ(text, "\xD6\xD0");
        // Adding items chooses none; a choice stays with its item.
        EXPECT_EQ(combo->GetCurSel(), CB_ERR);
        EXPECT_EQ(combo->InsertString(0, "a"), 0);
        EXPECT_EQ(combo->GetCurSel(), CB_ERR);
        combo->SetCurSel(1);
        EXPECT_EQ(combo->AddString("b"), 2);
        EXPECT_EQ(combo->GetCurSel(), 1);

        CListBox* list = d.List();
        EXPECT_EQ(list->AddString("b"), 0);
        EXPECT_EQ(list->InsertString(0, "a"), 0);
        EXPECT_EQ(list->InsertString(-1, "c"), 2);
        EXPECT_EQ(list->InsertString(9, "x"), LB_ERR);
        EXPECT_EQ(list->DeleteString(7), LB_ERR);
        EXPECT_EQ(list->GetCurSel(), LB_ERR);
        list->SetCurSel(1);
        EXPECT_EQ(list->GetCurSel(), 1);
        EXPECT_EQ(list->GetText(2, text), 1);
        EXPECT_EQ(text, "c");
        EXPECT_EQ(list->GetText(3, text), LB_ERR);
        // A line's value goes where the line goes.
        EXPECT_EQ(list->GetItemData(2), 0u);
        EXPECT_EQ(list->SetItemData(2, 23), 0);
        EXPECT_EQ(list->SetItemData(3, 5), LB_ERR);
        EXPECT_EQ(list->InsertString(0, "first"), 0);
        EXPECT_EQ(list->GetItemData(3), 23u);
        EXPECT_EQ(list->GetItemData(4), static_cast<DWORD_PTR>(LB_ERR));
        EXPECT_EQ(list->DeleteString(0), 3);
        EXPECT_EQ(list->DeleteString(0), 2);
        list->ResetContent();
        EXPECT_EQ(list->GetCount(), 0);
    });
}

// The dialog reads the selection when it is told of the change: it is the
// line clicked, also the first line, which a list may hold as its current
// one before anything is selected.
TEST_F(ControlsTest, AListBoxTellsOfASelectionOnceItIsMade) {
    ControlsDialog dlg;
    std::vector<int> seen;
    dlg.MapControlNotify(kListPlain, LBN_SELCHANGE,
                         [&dlg, &seen] { seen.push_back(dlg.List()->GetCurSel()); });
    Run(dlg, [](ControlsDialog& d) {
        for (const char* line : {"a", "b", "c"}) {
            d.List()->AddString(line);
        }
        auto* list = static_cast<QListWidget*>(ControlWidget(d, kListPlain));
        list->setFocus();
        list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
        for (int row : {0, 2, 2, 1}) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(row)).center());
        }
    });
    EXPECT_EQ(seen, (std::vector<int>{0, 2, 1}));  // a click on the selected line changes nothing
}

// Lines wider than the box in a list long enough for both scroll bars:
// each bar takes room from the other's side, and the box settles.
TEST_F(ControlsTest, AListBoxWithBothScrollBarsSettles) {
    ControlsDialog dlg;
    Run(dlg, [](ControlsDialog& d) {
        auto* list = static_cast<QListWidget*>(ControlWidget(d, kListPlain));
        for (int extent : {200, 130, 118, 110, 121}) {
            SCOPED_TRACE(extent);
            d.List()->ResetContent();
            d.List()->SetHorizontalExtent(extent);
            for (int i = 0; i < 12; ++i) {
                d.List()->AddString("line");
            }
            QApplication::processEvents();
            const int width = list->viewport()->width();
            EXPECT_EQ(list->horizontalScrollBar()->maximum(), std::max(0, extent - width));
            EXPECT_EQ(list->horizontalScrollBar()->isVisible(), extent > width);
        }
    });
}

// A dialog sizes its columns from the list's client while it initialises,
// before the list was ever shown.
class ColumnsAtInitDialog : public ControlsDialog {
public:
    RECT atInit{};

protected:
    BOOL OnInitDialog() override {
        ControlsDialog::OnInitDialog();
        View()->GetClientRect(&atInit);
        return TRUE;
    }
};

TEST_F(ControlsTest, AListsClientIsKnownBeforeItIsShown) {
    ColumnsAtInitDialog dlg;
    RECT shown{};
    EXPECT_EQ(RunModalWith(dlg,
                           [&dlg, &shown] {
                               dlg.View()->GetClientRect(&shown);
                               dlg.EndDialog(IDOK);
                           }),
              IDOK);
    // 144 x 80 with its frame; the header takes part of the height once
    // shown.
    EXPECT_GT(dlg.atInit.right, 130);
    EXPECT_EQ(dlg.atInit.right, shown.right);
    EXPECT_GE(dlg.atInit.bottom, shown.bottom);
}

TEST_F(ControlsTest, ListViewRowsColumnsSelectionAndColours) {
    ControlsDialog dlg;
    Run(dlg, [](ControlsDialog& d) {
        CListCtrl* view = d.View();
        view->SetExtendedStyle(view->GetExtendedStyle() | LVS_EX_FULLROWSELECT);
        EXPECT_EQ(view->GetExtendedStyle(), LVS_EX_FULLROWSELECT);
        EXPECT_EQ(view->InsertColumn(0, "Channel", LVCFMT_LEFT, 40), 0);
        EXPECT_EQ(view->InsertColumn(1, "Status", LVCFMT_LEFT, 50), 1);
        EXPECT_EQ(view->GetColumnWidth(1), 50);
        for (int i = 0; i < 3; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "CH%02d", i + 1);
            EXPECT_EQ(view->InsertItem(i, name), i);
            EXPECT_TRUE(view->SetItemText(i, 1, i == 1 ? " Active" : "Inactive"));
        }
        EXPECT_FALSE(view->SetItemText(5, 1, "none"));
        EXPECT_EQ(view->GetItemText(1, 1), " Active");
        EXPECT_EQ(view->GetFirstSelectedItemPosition(), 0);
        view->SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
        POSITION pos = view->GetFirstSelectedItemPosition();
        EXPECT_EQ(view->GetNextSelectedItem(pos), 2);
        EXPECT_EQ(pos, 0);
        EXPECT_EQ(view->GetSelectedCount(), 1u);

        view->SetBkColor(0xF09A3C);
        view->SetTextColor(0x575757);
        view->SetTextBkColor(0xF09A3C);
        EXPECT_EQ(view->GetBkColor(), 0xF09A3Cu);
        QWidget* widget = ControlWidget(d, kListView);
        EXPECT_EQ(widget->palette().color(QPalette::Base), ToQColor(0xF09A3C));
        EXPECT_EQ(widget->palette().color(QPalette::Text), ToQColor(0x575757));
        EXPECT_TRUE(view->DeleteItem(0));
        EXPECT_EQ(view->GetItemText(0, 0), "CH02");
        EXPECT_TRUE(view->DeleteAllItems());
        EXPECT_EQ(view->GetItemCount(), 0);
    });
}

TEST_F(ControlsTest, PickersShowAndGiveBackTheirTime) {
    ControlsDialog dlg;
    Run(dlg, [](ControlsDialog& d) {
        auto* time = static_cast<CDateTimeCtrl*>(d.GetDlgItem(kTimePicker));
        auto* date = static_cast<CDateTimeCtrl*>(d.GetDlgItem(kDatePicker));
        ASSERT_TRUE(time->SetTime(CTime(2006, 4, 22, 9, 5, 0)));
        ASSERT_TRUE(date->SetTime(CTime(2006, 5, 25, 0, 0, 0)));
        CTime got;
        EXPECT_EQ(time->GetTime(got), GDT_VALID);
        EXPECT_EQ(got, CTime(2006, 4, 22, 9, 5, 0));
        EXPECT_EQ(qobject_cast<QDateTimeEdit*>(ControlWidget(d, kTimePicker))->text(), "09:05");
        date->GetTime(got);
        EXPECT_EQ(got.GetDay(), 25);
        EXPECT_EQ(got.GetDayOfWeek(), 5);  // a Thursday
    });
}

// A range keeps both the program's times and the user's steps inside it.
TEST_F(ControlsTest, APickersRangeHoldsWhatItShows) {
    ControlsDialog dlg;
    Run(dlg, [](ControlsDialog& d) {
        auto* date = static_cast<CDateTimeCtrl*>(d.GetDlgItem(kDatePicker));
        auto* widget = qobject_cast<QDateTimeEdit*>(ControlWidget(d, kDatePicker));
        CTime low;
        CTime high;
        EXPECT_EQ(date->GetRange(&low, &high), 0u);
        const CTime first(2000, 1, 1, 0, 0, 0);
        const CTime last(2063, 12, 31, 23, 59, 59);
        ASSERT_TRUE(date->SetRange(&first, &last));
        EXPECT_EQ(date->GetRange(&low, &high), GDTR_MIN | GDTR_MAX);
        EXPECT_EQ(low, first);
        EXPECT_EQ(high, last);

        struct Case {
            CTime set;
            CTime shown;
        };
        for (const Case& c :
             {Case{CTime(2070, 6, 1, 12, 0, 0), last}, Case{CTime(1999, 12, 31, 0, 0, 0), first},
              Case{CTime(2031, 7, 4, 8, 0, 0), CTime(2031, 7, 4, 8, 0, 0)}}) {
            date->SetTime(c.set);
            CTime got;
            date->GetTime(got);
            EXPECT_EQ(got, c.shown) << c.set.GetYear();
        }
        // The user stepping past the last day stays on it.
        date->SetTime(last);
        widget->setFocus();
        widget->setSelectedSection(QDateTimeEdit::YearSection);
        PressKey(widget, Qt::Key_Up);
        CTime got;
        date->GetTime(got);
        EXPECT_EQ(got.GetYear(), 2063);

        // Lifting the upper bound lets a later time through.
        ASSERT_TRUE(date->SetRange(&first, nullptr));
        EXPECT_EQ(date->GetRange(&low, nullptr), GDTR_MIN);
        date->SetTime(CTime(2070, 6, 1, 0, 0, 0));
        date->GetTime(got);
        EXPECT_EQ(got.GetYear(), 2070);
        // An upside-down range is refused and changes nothing.
        EXPECT_FALSE(date->SetRange(&last, &first));
        EXPECT_EQ(date->GetRange(nullptr, nullptr), GDTR_MIN);
    });
}

// A custom control painted red by its object, which takes the left button
// and leaves the right one to the dialog.
class RedPanel : public CStatic {
public:
    std::vector<POINT> clicks;

protected:
    void OnPaint(CDC& dc) override {
        RECT rc;
        GetClientRect(&rc);
        dc.FillSolidRect(rc, RGB(255, 0, 0));
    }
    void OnLButtonDown(UINT /*nFlags*/, POINT point) override { clicks.push_back(point); }
};

TEST_F(ControlsTest, CustomControlIsPaintedAndClickedThroughItsObject) {
    ControlsDialog dlg;
    Run(dlg, [](ControlsDialog& d) {
        RedPanel panel;
        ASSERT_TRUE(panel.SubclassDlgItem(kCustom, &d));
        QWidget* widget = ControlWidget(d, kCustom);
        EXPECT_EQ(widget->grab().toImage().pixelColor(5, 5), QColor(255, 0, 0));
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(7, 9));
        ASSERT_EQ(panel.clicks.size(), 1u);
        EXPECT_EQ(panel.clicks[0].x, 7);
        EXPECT_EQ(panel.clicks[0].y, 9);
        EXPECT_TRUE(d.dialogClicks.empty());
    });
    // Without an object of its own the control passes clicks to the dialog,
    // in the dialog's coordinates.
    ControlsDialog plain;
    Run(plain, [](ControlsDialog& d) {
        QTest::mouseClick(ControlWidget(d, kCustom), Qt::LeftButton, {}, QPoint(7, 9));
        ASSERT_EQ(d.dialogClicks.size(), 1u);
        EXPECT_EQ(d.dialogClicks[0].x, 230 + 7);
        EXPECT_EQ(d.dialogClicks[0].y, 208 + 9);
    });
}

// A display target of the control's own: what lands on it shows inside the
// control's frame, clicks still reach the dialog, and once the target is
// given up its window is gone for the renderers.
TEST_F(ControlsTest, SurfaceHostShowsItsOwnTargetInsideItsFrame) {
    ControlsDialog dlg;
    Run(dlg, [](ControlsDialog& d) {
        CSurfaceHost host;
        ASSERT_TRUE(host.Attach(kCustom, &d, 1));
        EXPECT_FALSE(host.Attach(kCustom, &d, 1));
        const DisplayWindowHandle hWnd = host.DisplayHandle();
        ASSERT_TRUE(IsWindow(hWnd));
        RECT client;
        RECT window;
        ASSERT_TRUE(GetClientRectOnScreen(hWnd, &client));
        ASSERT_TRUE(GetWindowRect(hWnd, &window));
        EXPECT_EQ(client.left, 1);
        EXPECT_EQ(client.top, 1);
        EXPECT_EQ(client.right, 59);
        EXPECT_EQ(client.bottom, 39);
        EXPECT_EQ(window.left, 0);
        EXPECT_EQ(window.right, 60);
        EXPECT_EQ(host.Target()->Width(), 60);
        EXPECT_EQ(host.Target()->Height(), 40);

        host.Target()->FillRect(RECT{1, 1, 30, 39}, 0x00FF00);
        host.Target()->FillRect(RECT{30, 1, 59, 39}, 0x0000FF);
        host.Present();
        const QImage shown = ControlWidget(d, kCustom)->grab().toImage();
        EXPECT_EQ(shown.pixelColor(0, 0), QColor(128, 128, 128));  // the frame
        EXPECT_EQ(shown.pixelColor(1, 1), QColor(0, 255, 0));
        EXPECT_EQ(shown.pixelColor(29, 38), QColor(0, 255, 0));
        EXPECT_EQ(shown.pixelColor(30, 1), QColor(0, 0, 255));
        EXPECT_EQ(shown.pixelColor(58, 38), QColor(0, 0, 255));

        QTest::mouseClick(ControlWidget(d, kCustom), Qt::LeftButton, {}, QPoint(7, 9));
        ASSERT_EQ(d.dialogClicks.size(), 1u);
        EXPECT_EQ(d.dialogClicks[0].x, 230 + 7);
        EXPECT_EQ(d.dialogClicks[0].y, 208 + 9);

        host.ReleaseTarget();
        host.ReleaseTarget();
        EXPECT_FALSE(IsWindow(hWnd));
        EXPECT_EQ(host.DisplayHandle(), nullptr);
    });
}

// A frame along the inside of the rectangle; a single line centred both
// ways, clipped to the rectangle, over the background only when opaque.
TEST(DrawingTest, FrameRectAndCentredText) {
    TestQtApp();
    QImage image(120, 40, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        CDC dc(&painter);
        CBrush green(RGB(0, 250, 0));
        dc.FrameRect(RECT{10, 5, 110, 35}, &green);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(RGB(250, 250, 0));
        dc.DrawText("Thurs.", RECT{10, 5, 110, 35}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        dc.FrameRect(RECT{0, 0, 0, 10}, &green);  // empty: nothing
    }
    EXPECT_EQ(image.pixelColor(10, 5), QColor(0, 250, 0));
    EXPECT_EQ(image.pixelColor(109, 34), QColor(0, 250, 0));
    EXPECT_EQ(image.pixelColor(60, 5), QColor(0, 250, 0));
    EXPECT_EQ(image.pixelColor(11, 6), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 0, 0));
    int left = 1000;
    int right = -1;
    int top = 1000;
    int bottom = -1;
    for (int y = 6; y < 34; ++y) {
        for (int x = 11; x < 109; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 100 && c.green() > 100) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
            EXPECT_LT(c.blue(), 10) << x << "," << y;  // no background box
        }
    }
    ASSERT_GE(right, left);
    EXPECT_NEAR((left + right) / 2.0, 60, 3);
    EXPECT_NEAR((top + bottom) / 2.0, 20, 4);

    // Clipped: a text far wider than its rectangle stays inside it.
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        CDC dc(&painter);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(RGB(255, 255, 255));
        dc.DrawText("WWWWWWWWWWWWWWWWWWWW", RECT{40, 10, 80, 30},
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 120; ++x) {
            if (x < 40 || x >= 80 || y < 10 || y >= 30) {
                EXPECT_EQ(image.pixelColor(x, y), QColor(0, 0, 0)) << x << "," << y;
            }
        }
    }
}

TEST_F(ControlsTest, FocusAndEnter) {
    ControlsDialog dlg;
    int rowClicks = 0;
    dlg.MapCommand(kRowButton, [&rowClicks] { ++rowClicks; });
    Run(dlg, [&rowClicks](ControlsDialog& d) {
        d.GetDlgItem(kEditPort)->SetFocus();
        EXPECT_EQ(CWnd::GetFocus(), d.GetDlgItem(kEditPort));
        // Enter presses the push button that has the focus.
        d.GetDlgItem(kRowButton)->SetFocus();
        EXPECT_EQ(CWnd::GetFocus(), d.GetDlgItem(kRowButton));
        PressKey(d.GetWidget(), Qt::Key_Return);
        EXPECT_EQ(rowClicks, 1);
        EXPECT_TRUE(d.IsWindowVisible());
    });
}

}  // namespace
