// The auto-width list box: its horizontal extent follows its widest line
// through adds, inserts, deletes, directory listings and resets.

#include "dialogs/h_extent_list_box.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QScrollBar>
#include <fstream>

#include "dialog_test_resources.h"
#include "support/chdir_temp_dir.h"
#include "support/modal_step.h"
#include "support/qt_app.h"

namespace {

// Can be told to fail its adds as a list out of memory does.
class FullListBox : public CHExtentListBox {
public:
    bool full = false;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (full && (message == LB_ADDSTRING || message == LB_INSERTSTRING)) {
            return LB_ERRSPACE;
        }
        return CHExtentListBox::DefWindowProc(message, wParam, lParam);
    }
};

class HExtentListBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        SetResourceProvider(&m_resources);
    }
    void TearDown() override { SetResourceProvider(nullptr); }

    // Runs the step with the list box subclassed onto control id.
    void WithList(int id, const std::function<void(FullListBox&, QListWidget&)>& step) {
        CDialog dlg(kListBoxDialog);
        RunModalWith(dlg, [&] {
            FullListBox list;
            ASSERT_TRUE(list.SubclassDlgItem(id, &dlg));
            step(list, *static_cast<QListWidget*>(list.GetWidget()));
            dlg.EndDialog(IDOK);
        });
    }

    DialogTestResources m_resources;
};

int Plain(const QListWidget& w, const char* text) {
    return w.fontMetrics().horizontalAdvance(QString::fromUtf8(text)) + 3;
}

TEST_F(HExtentListBoxTest, TheExtentFollowsTheWidestLine) {
    const char* kShort = " User : bob, Password: x";
    const char* kLong = " User : a much longer name, Password: a very long password indeed";
    WithList(kListPlain, [&](FullListBox& list, QListWidget& w) {
        EXPECT_EQ(list.GetHorizontalExtent(), 0);
        list.AddString(kShort);
        EXPECT_EQ(list.GetHorizontalExtent(), Plain(w, kShort));
        list.AddString(kLong);
        EXPECT_EQ(list.GetHorizontalExtent(), Plain(w, kLong));
        EXPECT_GT(w.horizontalScrollBar()->maximum(), 0);  // wider than the box
        list.InsertString(0, kShort);                      // never shrinks on an add
        EXPECT_EQ(list.GetHorizontalExtent(), Plain(w, kLong));
        list.DeleteString(2);
        EXPECT_EQ(list.GetHorizontalExtent(), Plain(w, kShort));
        EXPECT_EQ(w.horizontalScrollBar()->maximum(), 0);
        // Failed adds and inserts leave it as it was.
        list.full = true;
        EXPECT_EQ(list.AddString(kLong), LB_ERRSPACE);
        list.full = false;
        EXPECT_EQ(list.InsertString(7, kLong), LB_ERR);
        EXPECT_EQ(list.DeleteString(9), LB_ERR);
        EXPECT_EQ(list.GetHorizontalExtent(), Plain(w, kShort));
        // The last delete and a reset leave nothing to scroll.
        list.DeleteString(0);
        list.DeleteString(0);
        EXPECT_EQ(list.GetCount(), 0);
        EXPECT_EQ(list.GetHorizontalExtent(), 0);
        list.AddString(kLong);
        list.ResetContent();
        EXPECT_EQ(list.GetHorizontalExtent(), 0);
        EXPECT_EQ(w.horizontalScrollBar()->maximum(), 0);
    });
}

TEST_F(HExtentListBoxTest, TabbedLinesAndDirectoryListings) {
    WithList(kListTabs, [](FullListBox& list, QListWidget& w) {
        // A tab reaches the next stop of eight average character widths.
        const int stop = 8 * w.fontMetrics().averageCharWidth();
        list.AddString("ab\tc");
        EXPECT_EQ(list.GetHorizontalExtent(), stop + w.fontMetrics().horizontalAdvance("c") + 2);
    });
    ChdirTempDir dir;
    std::ofstream("CH01_2006_05_25__09_05_03.avi") << "x";
    std::ofstream("a.avi") << "x";
    std::ofstream("notes.txt") << "x";
    WithList(kListPlain, [](FullListBox& list, QListWidget& w) {
        EXPECT_EQ(list.Dir(0, "*.avi"), 1);
        EXPECT_EQ(list.GetCount(), 2);
        EXPECT_EQ(list.GetHorizontalExtent(), Plain(w, "CH01_2006_05_25__09_05_03.avi"));
    });
}

}  // namespace
