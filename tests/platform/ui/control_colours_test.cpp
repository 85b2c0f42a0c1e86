// Control colours: what OnCtlColor answers for each kind reaches the
// control, and a pattern brush lies under every control as it lies under
// the dialog, so the skin shows through without a seam.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>

#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"
#include "platform/ui/test_resources.h"
#include "support/modal_step.h"
#include "support/qt_app.h"

namespace {

class SkinnedDialog : public CDialog {
public:
    SkinnedDialog() : CDialog(kControlsDialog) {}
    std::vector<UINT> asked;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_bmpSkin.LoadBitmap(kBmpSkin);
        m_brSkin.CreatePatternBrush(&m_bmpSkin);
        return TRUE;
    }
    HBRUSH OnCtlColor(CDC* pDC, CWnd* /*pWnd*/, UINT nCtlColor) override {
        asked.push_back(nCtlColor);
        switch (nCtlColor) {
            case CTLCOLOR_EDIT:
                pDC->SetTextColor(0xFFFF00);
                pDC->SetBkColor(0xF09A3C);
                pDC->SetBkMode(TRANSPARENT);
                return &m_brSkin;
            case CTLCOLOR_STATIC:
                pDC->SetTextColor(0xFFFFFF);
                pDC->SetBkMode(TRANSPARENT);
                return &m_brSkin;
            default:
                pDC->SetBkMode(TRANSPARENT);
                return &m_brSkin;
        }
    }

private:
    CBitmap m_bmpSkin;
    CBrush m_brSkin;
};

class ControlColoursTest : public TestResourcesFixture {};

TEST_F(ControlColoursTest, TextColoursByKind) {
    SkinnedDialog dlg;
    RunModalWith(dlg, [&dlg] {
        QWidget* edit = dlg.GetDlgItem(kEditName)->GetWidget();
        QWidget* label = dlg.GetDlgItem(kStaticLabel)->GetWidget();
        QWidget* check = dlg.GetDlgItem(kCheckLoud)->GetWidget();
        EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(0, 255, 255));
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 255, 255));
        EXPECT_EQ(check->palette().color(QPalette::WindowText), QColor(255, 255, 255));
        // The check mark keeps its own colour on the white box.
        EXPECT_NE(check->palette().color(QPalette::Text), QColor(255, 255, 255));
        dlg.EndDialog(IDOK);
    });
    // Drop-down lists, list views, spins, pickers and custom controls keep
    // their own look; the dialog and the four skinned kinds are asked.
    for (UINT kind : dlg.asked) {
        EXPECT_TRUE(kind == CTLCOLOR_DLG || kind == CTLCOLOR_EDIT || kind == CTLCOLOR_STATIC ||
                    kind == CTLCOLOR_BTN || kind == CTLCOLOR_LISTBOX)
            << kind;
    }
}

TEST_F(ControlColoursTest, TheSkinRunsOnUnderControlsWithoutASeam) {
    SkinnedDialog dlg;
    const QImage skin = TestResources::Gradient(400, 300);
    RunModalWith(dlg, [&dlg, &skin] {
        dlg.GetDlgItem(kStaticLabel)->MoveWindow(331, 93, 64, 20);  // off its template place
        const QImage shot = dlg.GetWidget()->grab().toImage();
        struct Spot {
            const char* where;
            int x, y;
        };
        const Spot spots[] = {
            {"dialog", 395, 5},
            {"static right of its text", 331 + 62, 93 + 18},
            {"group box inside", 150, 100},
            {"check box right of its text", 200 + 76, 36 + 11},
            {"empty edit inside its frame", 264 + 30, 62 + 12},
            {"list box inside", 4 + 60, 122 + 40},
        };
        for (const Spot& s : spots) {
            EXPECT_EQ(shot.pixelColor(s.x, s.y), skin.pixelColor(s.x, s.y)) << s.where;
        }
        dlg.EndDialog(IDOK);
    });
}

}  // namespace
