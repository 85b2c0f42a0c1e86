#include "platform/ui/dialog.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <thread>
#include <vector>

#include "platform/msgbox/message_box.h"
#include "platform/ui/controls.h"
#include "platform/ui/menu.h"
#include "platform/ui/skin_button_widget.h"
#include "platform/ui/test_resources.h"
#include "platform/ui/window_registry.h"
#include "support/qt_app.h"

namespace {

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(kTestDialog) {}

    std::function<void(TestDialog&)> onInit;
    std::vector<Seen> commands;
    std::vector<UINT_PTR> timers;
    int okCount = 0;
    int cancelCount = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND || message == WM_SYSCOMMAND) {
            commands.push_back({message, wParam, lParam});
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (onInit) {
            onInit(*this);
        }
        return TRUE;
    }
    void OnOK() override {
        ++okCount;
        CDialog::OnOK();
    }
    void OnCancel() override {
        ++cancelCount;
        CDialog::OnCancel();
    }
    void OnTimer(UINT_PTR id) override {
        timers.push_back(id);
        if (timers.size() == 3) {
            EndDialog(7);
        }
    }
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        SetResourceProvider(&m_resources);
    }
    void TearDown() override { SetResourceProvider(nullptr); }

    // Runs the dialog; step runs once the modal loop is under way.
    INT_PTR RunWith(TestDialog& dlg, std::function<void(TestDialog&)> step) {
        dlg.onInit = [step](TestDialog& d) { QTimer::singleShot(0, [&d, step] { step(d); }); };
        return dlg.DoModal();
    }

    TestResources m_resources;
};

void SendKey(QWidget* widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
}

TEST_F(DialogTest, ControlsAreFoundByIdAndObjectNameDuringInit) {
    TestDialog dlg;
    bool checked = false;
    dlg.onInit = [&](TestDialog& d) {
        ASSERT_NE(d.GetDlgItem(1000), nullptr);
        EXPECT_EQ(d.GetDlgItem(1000)->GetWindowText(), "Record");
        EXPECT_EQ(d.GetDlgItem(1000)->GetDlgCtrlID(), 1000);
        EXPECT_EQ(d.GetDlgItem(999), nullptr);
        auto* label = d.GetWidget()->findChild<QLabel*>("1170");
        ASSERT_NE(label, nullptr);
        d.SetDlgItemText(1170, "42");
        EXPECT_EQ(label->text(), "42");
        checked = true;
        d.EndDialog(IDCANCEL);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(checked);
    EXPECT_EQ(dlg.GetWidget(), nullptr);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
}

TEST_F(DialogTest, UnknownTemplateGivesAnEmptyWindow) {
    CDialog unknown(12345);
    // An unknown template still gives a window; EndDialog from a post ends it.
    unknown.MapMessage(WM_USER + 1, [&unknown](WPARAM, LPARAM) {
        unknown.EndDialog(3);
        return 0;
    });
    QTimer::singleShot(0, [&unknown] { unknown.PostMessage(WM_USER + 1); });
    EXPECT_EQ(unknown.DoModal(), 3);
}

TEST_F(DialogTest, EnterEscAndButtonsArriveAsCommands) {
    struct Case {
        const char* name;
        std::function<void(TestDialog&)> act;
        WPARAM wParam;
        bool withControl;
        INT_PTR result;
    };
    const Case cases[] = {
        {"enter", [](TestDialog& d) { SendKey(d.GetWidget(), Qt::Key_Return); }, IDOK, false, IDOK},
        {"esc", [](TestDialog& d) { SendKey(d.GetWidget(), Qt::Key_Escape); }, IDCANCEL, false,
         IDCANCEL},
        {"exit button", [](TestDialog& d) { d.GetWidget()->findChild<QPushButton*>("1")->click(); },
         MAKEWPARAM(IDOK, BN_CLICKED), true, IDOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestDialog dlg;
        EXPECT_EQ(RunWith(dlg, c.act), c.result);
        ASSERT_EQ(dlg.commands.size(), 1u);
        EXPECT_EQ(dlg.commands[0].message, static_cast<UINT>(WM_COMMAND));
        EXPECT_EQ(dlg.commands[0].wParam, c.wParam);
        EXPECT_EQ(dlg.commands[0].lParam != 0, c.withControl);
    }
}

TEST_F(DialogTest, CloseBoxIsASystemCommandTheDialogMayRefuse) {
    // Default: SC_CLOSE -> WM_CLOSE -> IDCANCEL.
    TestDialog dlg;
    EXPECT_EQ(RunWith(dlg, [](TestDialog& d) { d.GetWidget()->close(); }), IDCANCEL);
    ASSERT_EQ(dlg.commands.size(), 2u);
    EXPECT_EQ(dlg.commands[0].message, static_cast<UINT>(WM_SYSCOMMAND));
    EXPECT_EQ(dlg.commands[0].wParam, static_cast<WPARAM>(SC_CLOSE));
    EXPECT_EQ(dlg.commands[1].wParam, static_cast<WPARAM>(IDCANCEL));

    // A dialog that takes SC_CLOSE itself stays open.
    TestDialog keeps;
    keeps.MapMessage(WM_SYSCOMMAND, [](WPARAM, LPARAM) { return 0; });
    bool stillOpen = false;
    EXPECT_EQ(RunWith(keeps,
                      [&stillOpen](TestDialog& d) {
                          d.GetWidget()->close();
                          QTimer::singleShot(0, [&d, &stillOpen] {
                              stillOpen = d.IsWindowVisible() == TRUE;
                              d.EndDialog(IDOK);
                          });
                      }),
              IDOK);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(keeps.cancelCount, 0);
}

TEST_F(DialogTest, HiddenOrMinimisedDialogRunsOnUntilEnded) {
    TestDialog dlg;
    dlg.MapMessage(WM_USER + 3, [&dlg](WPARAM, LPARAM) {
        EXPECT_FALSE(dlg.IsWindowVisible());
        dlg.ShowWindow(SW_SHOW);
        EXPECT_TRUE(dlg.IsWindowVisible());
        dlg.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
        EXPECT_TRUE(dlg.IsIconic());
        dlg.EndDialog(9);
        return 0;
    });
    EXPECT_EQ(RunWith(dlg,
                      [](TestDialog& d) {
                          d.ShowWindow(SW_HIDE);  // as to the tray
                          d.PostMessage(WM_USER + 3);
                      }),
              9);
}

TEST_F(DialogTest, MessageMapAndCommandMapComeBeforeTheVirtualHandlers) {
    TestDialog dlg;
    int recordClicks = 0;
    dlg.MapCommand(1000, [&recordClicks] { ++recordClicks; });
    dlg.MapCommand(IDOK, [&dlg] { dlg.EndDialog(5); });  // takes the place of OnOK
    EXPECT_EQ(RunWith(dlg,
                      [](TestDialog& d) {
                          d.GetWidget()->findChild<QPushButton*>("1000")->click();
                          d.GetWidget()->findChild<QPushButton*>("1")->click();
                      }),
              5);
    EXPECT_EQ(recordClicks, 1);
    EXPECT_EQ(dlg.okCount, 0);
}

TEST_F(DialogTest, PostsFromWorkerThreadsArriveInOrderOnTheUiThread) {
    TestDialog dlg;
    std::vector<WPARAM> got;
    std::thread::id uiThread = std::this_thread::get_id();
    bool allOnUi = true;
    dlg.MapMessage(WM_CLOCK_UPDATE, [&](WPARAM w, LPARAM) {
        allOnUi = allOnUi && std::this_thread::get_id() == uiThread;
        got.push_back(w);
        if (got.size() == 100) {
            dlg.EndDialog(IDOK);
        }
        return 0;
    });
    std::thread worker;
    dlg.onInit = [&worker](TestDialog& d) {
        HWND h = d.GetSafeHwnd();
        worker = std::thread([h] {
            for (WPARAM i = 0; i < 100; ++i) {
                EXPECT_TRUE(PostMessage(h, WM_CLOCK_UPDATE, i, 0));
            }
        });
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    worker.join();
    ASSERT_EQ(got.size(), 100u);
    for (WPARAM i = 0; i < 100; ++i) {
        EXPECT_EQ(got[i], i);
    }
    EXPECT_TRUE(allOnUi);
}

TEST_F(DialogTest, PostsToAWindowThatIsGoneFailOrAreDropped) {
    EXPECT_FALSE(PostMessage(nullptr, WM_USER, 0, 0));
    HWND old = nullptr;
    int late = 0;
    {
        TestDialog dlg;
        dlg.MapMessage(WM_USER + 2, [&late](WPARAM, LPARAM) {
            ++late;
            return 0;
        });
        RunWith(dlg, [&old](TestDialog& d) {
            old = d.GetSafeHwnd();
            // Queued while the window lives, delivered after it is gone.
            EXPECT_TRUE(PostMessage(old, WM_USER + 2, 0, 0));
            d.EndDialog(IDOK);
        });
    }
    EXPECT_FALSE(IsWindow(old));
    EXPECT_FALSE(PostMessage(old, WM_USER + 2, 0, 0));
    QCoreApplication::processEvents();
    EXPECT_EQ(late, 0);
}

TEST_F(DialogTest, WindowTimersTickUntilKilled) {
    TestDialog dlg;
    EXPECT_EQ(dlg.SetTimer(12, 10), 0u);  // no window yet
    UINT_PTR killed = 1;
    dlg.onInit = [&killed](TestDialog& d) {
        EXPECT_EQ(d.SetTimer(0, 10), 0u);
        EXPECT_EQ(d.SetTimer(13, 5), 13u);
        EXPECT_EQ(d.SetTimer(14, 5), 14u);
        killed = d.KillTimer(14);
        EXPECT_FALSE(d.KillTimer(99));
    };
    EXPECT_EQ(dlg.DoModal(), 7);  // OnTimer ends it after three ticks
    EXPECT_TRUE(killed);
    EXPECT_EQ(dlg.timers, (std::vector<UINT_PTR>{13, 13, 13}));
}

TEST_F(DialogTest, TimerKilledOrRestartedFromItsOwnTick) {
    // The start-up timer's way: its first tick kills it.
    CDialog dlg(kTestDialog);
    int ticks = 0;
    int repeats = 0;
    dlg.MapMessage(WM_TIMER, [&](WPARAM id, LPARAM) {
        if (id == 13) {
            ++ticks;
            EXPECT_TRUE(dlg.KillTimer(13));
            dlg.SetTimer(15, 1);
        } else if (id == 15 && ++repeats == 3) {
            dlg.KillTimer(15);
            QTimer::singleShot(20, [&dlg] { dlg.EndDialog(IDOK); });
        }
        return 0;
    });
    QTimer::singleShot(0, [&dlg] { dlg.SetTimer(13, 1); });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(repeats, 3);
}

class SkinDialog : public TestDialog {
public:
    CBitmapButton m_btnRecord;
    CBrush m_brStatic;
    CBrush m_brEdit{RGB(0, 0, 0)};
    CBitmap m_bmpStatic;

protected:
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT kind) override {
        (void)pWnd;
        switch (kind) {
            case CTLCOLOR_STATIC:
                pDC->SetTextColor(RGB(80, 80, 80));
                pDC->SetBkMode(TRANSPARENT);
                return &m_brStatic;
            case CTLCOLOR_EDIT:
                pDC->SetTextColor(RGB(0, 255, 255));
                pDC->SetBkColor(RGB(60, 154, 240));
                return &m_brEdit;
            default:
                return nullptr;
        }
    }
};

TEST_F(DialogTest, BitmapButtonShowsUpDownAndFocusPictures) {
    SkinDialog dlg;
    dlg.onInit = [](TestDialog& base) {
        auto& d = static_cast<SkinDialog&>(base);
        ASSERT_TRUE(d.m_btnRecord.SubclassDlgItem(1000, &d));
        EXPECT_EQ(d.GetDlgItem(1000), &d.m_btnRecord);
        EXPECT_TRUE(d.m_btnRecord.LoadBitmaps(kBmpRed, kBmpGreen, kBmpBlue));
        d.m_btnRecord.SizeToContent();
        auto* w = d.GetWidget()->findChild<SkinButtonWidget*>("1000");
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->size(), QSize(30, 20));
        EXPECT_EQ(w->CurrentPicture().toImage().pixelColor(0, 0), QColor(Qt::red));
        w->setDown(true);
        EXPECT_EQ(w->CurrentPicture().toImage().pixelColor(0, 0), QColor(Qt::green));
        w->setDown(false);
        // Only the down picture changes with a missing focus id.
        EXPECT_FALSE(d.m_btnRecord.LoadBitmaps(999, kBmpGreen));
        EXPECT_TRUE(d.m_btnRecord.LoadBitmaps(kBmpGreen, kBmpGreen));
        EXPECT_TRUE(w->FocusPicture().isNull());
        // A click of the subclassed button still reaches the dialog.
        w->click();
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    ASSERT_EQ(dlg.commands.size(), 1u);
    EXPECT_EQ(dlg.commands[0].wParam, MAKEWPARAM(1000, BN_CLICKED));
}

TEST_F(DialogTest, ControlColoursComeFromOnCtlColor) {
    SkinDialog dlg;
    dlg.m_bmpStatic.LoadBitmap(kBmpBlue);
    dlg.m_brStatic.CreatePatternBrush(&dlg.m_bmpStatic);
    dlg.onInit = [](TestDialog& d) {
        QTimer::singleShot(0, [&d] {
            QWidget* label = d.GetWidget()->findChild<QWidget*>("1170");
            QWidget* edit = d.GetWidget()->findChild<QWidget*>("1200");
            QWidget* button = d.GetWidget()->findChild<QWidget*>("1000");
            EXPECT_FALSE(label->palette().brush(QPalette::Window).textureImage().isNull());
            EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(80, 80, 80));
            EXPECT_TRUE(label->autoFillBackground());
            EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(0, 255, 255));
            EXPECT_EQ(edit->palette().color(QPalette::Base), QColor(60, 154, 240));
            EXPECT_FALSE(button->autoFillBackground());  // default brush for buttons
            // The grab shows the pattern behind the static's text.
            QImage shot = label->grab().toImage();
            EXPECT_EQ(shot.pixelColor(shot.width() - 1, shot.height() - 1), QColor(Qt::blue));
            d.EndDialog(IDOK);
        });
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
}

TEST_F(DialogTest, PopupMenuChoicesArriveAsPostedCommands) {
    TestDialog dlg;
    UINT chosen = 0;
    dlg.MapCommand(32772, [&] {
        chosen = 32772;
        dlg.EndDialog(IDOK);
    });
    EXPECT_EQ(RunWith(dlg,
                      [](TestDialog& d) {
                          CMenu menu;
                          ASSERT_TRUE(menu.LoadMenu(kTestMenu));
                          CMenu* popup = menu.GetSubMenu(0);
                          ASSERT_NE(popup, nullptr);
                          EXPECT_EQ(popup->GetMenuItemCount(), 3);
                          EXPECT_EQ(popup->GetMenuItemID(1), 0u);
                          ASSERT_TRUE(popup->TrackPopupMenu(TPM_RIGHTBUTTON, 5, 5, &d));
                          QMenu* shown = nullptr;
                          for (QWidget* w : QApplication::topLevelWidgets()) {
                              if (w->objectName() == kTrackedMenuObjectName) {
                                  shown = qobject_cast<QMenu*>(w);
                              }
                          }
                          ASSERT_NE(shown, nullptr);
                          ASSERT_EQ(shown->actions().size(), 3);
                          EXPECT_EQ(shown->actions()[2]->text(), "Exit");
                          shown->actions()[2]->trigger();
                      }),
              IDOK);
    EXPECT_EQ(chosen, 32772u);
    ASSERT_FALSE(dlg.commands.empty());
    EXPECT_EQ(dlg.commands.back().lParam, 0);
}

TEST_F(DialogTest, SystemMenuItemsArriveAsSystemCommands) {
    TestDialog dlg;
    UINT got = 0;
    dlg.MapMessage(WM_SYSCOMMAND, [&](WPARAM w, LPARAM) {
        got = static_cast<UINT>(w);
        dlg.EndDialog(IDOK);
        return 0;
    });
    EXPECT_EQ(RunWith(dlg,
                      [](TestDialog& d) {
                          CMenu* sys = d.GetSystemMenu(FALSE);
                          ASSERT_NE(sys, nullptr);
                          sys->AppendMenu(MF_SEPARATOR);
                          sys->AppendMenu(MF_STRING, 0x10, "about Quorvalind(&A)...");
                          QKeyEvent altSpace(QEvent::KeyPress, Qt::Key_Space, Qt::AltModifier);
                          QCoreApplication::sendEvent(d.GetWidget(), &altSpace);
                          QMenu* shown = nullptr;
                          for (QWidget* w : QApplication::topLevelWidgets()) {
                              if (w->objectName() == kTrackedMenuObjectName && w->isVisible()) {
                                  shown = qobject_cast<QMenu*>(w);
                              }
                          }
                          ASSERT_NE(shown, nullptr);
                          ASSERT_EQ(shown->actions().size(), 4);
                          shown->actions()[3]->trigger();
                      }),
              IDOK);
    EXPECT_EQ(got, 0x10u);
}

TEST_F(DialogTest, ClientDcDrawingLastsOverThePaint) {
    TestDialog dlg;
    EXPECT_EQ(RunWith(dlg,
                      [](TestDialog& d) {
                          {
                              CClientDC dc(&d);
                              CBrush black(RGB(0, 0, 0));
                              dc.FillRect(RECT{150, 20, 200, 40}, &black);
                          }
                          QImage shot = d.GetWidget()->grab().toImage();
                          EXPECT_EQ(shot.pixelColor(160, 30), QColor(0, 0, 0));
                          d.EndDialog(IDOK);
                      }),
              IDOK);
}

TEST_F(DialogTest, ModelessChildAndControlObjectsMayGoInAnyOrder) {
    TestDialog parent;
    RunWith(parent, [](TestDialog& p) {
        {
            CDialog child(kTestChildDialog);
            ASSERT_TRUE(child.Create(kTestChildDialog, &p));
            EXPECT_FALSE(child.Create(kTestChildDialog, &p));
            child.MoveWindow(18, 15, 102, 82);
            child.ShowWindow(SW_SHOW);
            RECT rc;
            child.GetClientRect(&rc);
            EXPECT_EQ(rc.right, 100);  // inside the thin border
            EXPECT_EQ(rc.bottom, 80);
            HWND h = child.GetSafeHwnd();
            EXPECT_TRUE(IsWindow(h));
            child.SendMessage(WM_CLOSE);  // hides, as a dialog's Cancel
            EXPECT_FALSE(child.IsWindowVisible());
        }
        {
            // A button object that goes before its dialog hands the control back.
            CBitmapButton button;
            ASSERT_TRUE(button.SubclassDlgItem(1000, &p));
        }
        ASSERT_NE(p.GetDlgItem(1000), nullptr);
        p.GetWidget()->findChild<QPushButton*>("1000")->click();
        p.EndDialog(IDOK);
    });
    EXPECT_EQ(parent.commands.size(), 1u);
}

}  // namespace
