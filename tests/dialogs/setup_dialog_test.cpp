// The setup dialog frame on a small dialog of its own: Exit, Save, Esc and
// the question, with what the live slice holds afterwards byte for byte;
// the colours, the spin rule and the channel button row.

#include "dialogs/setup_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QToolButton>
#include <cstring>

#include "dialog_test_resources.h"
#include "frame_cases.h"
#include "support/modal_step.h"
#include "support/qt_app.h"
#include "support/scripted_message_boxes.h"
#include "support/ui_input.h"

namespace {

#pragma pack(push, 1)
struct TestSlice {
    char name[9];
    uint8_t flag;
    uint8_t number;
};
#pragma pack(pop)

TestSlice g_Live;
TestSlice g_Working;
int g_nReleases = 0;  // the dialogs' clean-up runs

class FrameDialog : public CSetupDialog {
public:
    FrameDialog() : CSetupDialog(kFrameTestDialog, nullptr) {
        MapCommand(kFrameSave, [this] { OnSave(); });
        MapNotify(kFrameSpin, UDN_DELTAPOS, [this](NMHDR* pNMHDR, LRESULT* pResult) {
            UpdateData(TRUE);
            if (SpinStep(m_nNumber, reinterpret_cast<NMUPDOWN*>(pNMHDR)->iDelta, 0, 50)) {
                UpdateData(FALSE);
            }
            *pResult = 0;
        });
    }

    CString m_sName;
    int m_bFlag = 0;
    int m_nNumber = 0;
    int released = 0;

    using CSetupDialog::ReleaseRowButton;
    using CSetupDialog::SelectRowButton;
    using CSetupDialog::SpinStep;

protected:
    BOOL OnInitDialog() override {
        CSetupDialog::OnInitDialog();
        CopyLiveSlice(g_Working, g_Live);
        m_sName =
            CString(std::string(g_Working.name, strnlen(g_Working.name, sizeof g_Working.name)));
        m_bFlag = g_Working.flag;
        m_nNumber = g_Working.number;
        UpdateData(FALSE);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, kFrameName, m_sName);
        DDV_MaxChars(pDX, m_sName, 8);
        DDX_Check(pDX, kFrameFlag, m_bFlag);
        DDX_Text(pDX, kFrameNumber, m_nNumber);
        DDV_MinMaxInt(pDX, m_nNumber, 0, 50);
    }
    void StoreControls() override {
        UpdateData(TRUE);
        std::memset(g_Working.name, 0, sizeof g_Working.name);
        std::memcpy(g_Working.name, m_sName.GetString(),
                    std::min<size_t>(m_sName.Str().size(), sizeof g_Working.name - 1));
        g_Working.flag = static_cast<uint8_t>(m_bFlag);
        g_Working.number = static_cast<uint8_t>(m_nNumber);
    }
    void CopyWorkingToLive() override { StoreLiveSlice(g_Live, g_Working); }
    bool WorkingDiffersFromLive() const override { return SliceDiffers(g_Working, g_Live); }
    void ReleaseOnLeave() override {
        ++released;
        ++g_nReleases;
    }
};

class SetupDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        SetResourceProvider(&m_resources);
        g_Live = TestSlice{"Front", 0, 10};
    }
    void TearDown() override { SetResourceProvider(nullptr); }
    DialogTestResources m_resources;
};

void Do(FrameDialog& d, FrameAct act) {
    switch (act) {
        case FrameAct::Change:
        case FrameAct::ChangeAgain:
            TypeText(ControlWidget(d, kFrameName), act == FrameAct::Change ? "1" : "2");
            break;
        case FrameAct::Save:
            qobject_cast<QAbstractButton*>(ControlWidget(d, kFrameSave))->click();
            break;
        case FrameAct::Exit:
            qobject_cast<QAbstractButton*>(ControlWidget(d, IDOK))->click();
            break;
        case FrameAct::Esc:
            PressKey(d.GetWidget(), Qt::Key_Escape);
            break;
        case FrameAct::StillOpenAndChanged:
            EXPECT_TRUE(d.IsWindowVisible());
            EXPECT_EQ(d.GetDlgItemText(kFrameName), "Front1");
            EXPECT_EQ(d.released, 0);
            PressKey(d.GetWidget(), Qt::Key_Escape);  // leave without saving
            break;
    }
}

// Here Esc ends the dialog: with IDOK once Save was pressed.
TEST_F(SetupDialogTest, ExitSaveAndEscDecideTheResultAndTheLiveSlice) {
    const TestSlice original{"Front", 0, 10};
    const TestSlice changed{"Front1", 0, 10};
    using A = FrameAct;
    RunFrameCases<FrameDialog>(
        {
            {"open, Exit", {A::Exit}, {}, IDCANCEL, false},
            {"change, Exit, No", {A::Change, A::Exit}, {IDNO}, IDCANCEL, false},
            {"change, Exit, Yes",
             {A::Change, A::Exit, A::StillOpenAndChanged},
             {IDYES},
             IDCANCEL,
             false},
            {"change, Save, Exit", {A::Change, A::Save, A::Exit}, {}, IDOK, true},
            {"change, Save, change, Exit, No",
             {A::Change, A::Save, A::ChangeAgain, A::Exit},
             {IDNO},
             IDOK,
             true},
            {"change, Save, Esc", {A::Change, A::Save, A::Esc}, {}, IDOK, true},
            {"change, Esc", {A::Change, A::Esc}, {}, IDCANCEL, false},
        },
        [&original] {
            g_Live = original;
            g_nReleases = 0;
        },
        Do,
        [&](bool saved) {
            EXPECT_EQ(g_nReleases, 1);  // its clean-up ran on its way out, once
            return std::memcmp(&g_Live, saved ? &changed : &original, sizeof(TestSlice)) == 0;
        });
}

TEST_F(SetupDialogTest, AfterASaveExitEndsOnlyWhenTheFinalReadSucceeds) {
    ScriptedMessageBoxes boxes;
    // The refused value is neither stored (so nothing differs) nor let
    // through by the final read, which keeps the dialog open.
    boxes.Expect("Please enter an integer between 0 and 50.");
    boxes.Expect("Please enter an integer between 0 and 50.");
    // Corrected, it differs from what Save copied.
    boxes.Expect("Setting is changed! Back to save?", IDNO);
    FrameDialog dlg;
    bool stayedOpen = false;
    EXPECT_EQ(RunModalWith(dlg,
                           [&dlg, &stayedOpen] {
                               Do(dlg, FrameAct::Save);
                               dlg.SetDlgItemText(kFrameNumber, "77");
                               Do(dlg, FrameAct::Exit);
                               stayedOpen = dlg.IsWindowVisible() == TRUE;
                               EXPECT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(kFrameNumber));
                               dlg.SetDlgItemText(kFrameNumber, "12");
                               Do(dlg, FrameAct::Exit);
                           }),
              IDOK);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(g_Live.number, 10);  // Exit copies nothing
}

TEST_F(SetupDialogTest, TheProgramsEndGivesIdokOnlyAfterASave) {
    FrameDialog dlg;
    INT_PTR before = 0;
    INT_PTR after = 0;
    RunModalWith(dlg, [&] {
        before = dlg.ResultWhenProgramEnds();
        Do(dlg, FrameAct::Save);
        after = dlg.ResultWhenProgramEnds();
        dlg.OnProgramEnding();
        EXPECT_EQ(dlg.released, 1);
        dlg.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(before, IDCANCEL);
    EXPECT_EQ(after, IDOK);
}

TEST_F(SetupDialogTest, TheFramesColours) {
    FrameDialog dlg;
    RunModalWith(dlg, [this, &dlg] {
        QWidget* edit = ControlWidget(dlg, kFrameName);
        QWidget* check = ControlWidget(dlg, kFrameFlag);
        EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(0x00, 0xFF, 0xFF));
        EXPECT_EQ(check->palette().color(QPalette::WindowText), QColor(Qt::white));
        // The skin behind everything: the dialog shows bitmap 133.
        const QImage skin = m_resources.LoadBitmap(133).convertToFormat(QImage::Format_RGB32);
        const QImage shot = dlg.GetWidget()->grab().toImage();
        EXPECT_EQ(shot.pixelColor(300, 300), skin.pixelColor(300, 300));
        EXPECT_EQ(shot.pixelColor(20 + 110, 60 + 12), skin.pixelColor(20 + 110, 60 + 12));
        dlg.EndDialog(IDCANCEL);
    });
}

TEST_F(SetupDialogTest, SpinStepsWithinItsBoundsAndOnlyTowardsThem) {
    struct Case {
        int start, delta, min, max, result;
        BOOL changed;
    };
    const Case cases[] = {
        {10, -1, 0, 50, 11, TRUE},   {50, -1, 0, 50, 50, FALSE},     {0, 1, 0, 50, 0, FALSE},
        {10, 1, 0, 50, 9, TRUE},     {0, -1, 15, 900, 1, TRUE},      {0, 1, 15, 900, 0, FALSE},
        {15, 1, 15, 900, 15, FALSE}, {900, -1, 15, 900, 900, FALSE},
    };
    for (const Case& c : cases) {
        int value = c.start;
        EXPECT_EQ(FrameDialog::SpinStep(value, c.delta, c.min, c.max), c.changed) << c.start;
        EXPECT_EQ(value, c.result) << c.start << " by " << c.delta;
    }
    // Through the control: the up arrow at the maximum changes nothing.
    g_Live.number = 50;
    FrameDialog dlg;
    RunModalWith(dlg, [&dlg] {
        auto arrows = ControlWidget(dlg, kFrameSpin)->findChildren<QToolButton*>();
        ASSERT_EQ(arrows.size(), 2);
        arrows[0]->click();
        EXPECT_EQ(dlg.GetDlgItemText(kFrameNumber), "50");
        arrows[1]->click();
        EXPECT_EQ(dlg.GetDlgItemText(kFrameNumber), "49");
        dlg.EndDialog(IDCANCEL);
    });
}

}  // namespace
