// The day bar: where a click lands on bars of every width (the cell drawn
// there, the last cell taking the rest), what it posts to its owner, and
// what it draws.

#include "dialogs/day_selector_bar.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QTest>
#include <vector>

#include "dialog_test_resources.h"
#include "platform/threads/thread_messages.h"
#include "support/qt_app.h"

namespace {

TEST(DaySelectorCellTest, AClickSelectsTheCellDrawnUnderIt) {
    struct Case {
        int width;
        int x;
        int cell;
    };
    const Case cases[] = {
        {203, 0, 0},  {203, 24, 0}, {203, 25, 1},  {203, 174, 6}, {203, 175, 7}, {203, 202, 7},
        {336, 41, 0}, {336, 42, 1}, {336, 335, 7}, {338, 337, 7}, {8, 0, 0},     {8, 7, 7},
        {15, 14, 7},  {16, 15, 7},  {7, 3, -1},    {0, 0, -1},    {203, -1, -1}, {203, 203, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CDaySelectorBar::CellAt(c.x, c.width), c.cell)
            << "x " << c.x << " on " << c.width << " pixels";
    }
}

TEST(DaySelectorCellTest, TheCellsAreNamedAlldayThenMondayToSunday) {
    const char* const names[] = {"Allday", "Mon.", "Tues.", "Wed.",
                                 "Thurs.", "Fri.", "Sat.",  "Sun."};
    for (int i = 0; i < DAY_CELLS; ++i) {
        EXPECT_STREQ(DayCellName(i), names[i]);
    }
    EXPECT_STREQ(DayCellName(8), "");
}

// An owner that keeps what the bars post to it.
class BarOwner : public CDialog {
public:
    BarOwner() : CDialog(kFrameTestDialog) {
        MapMessage(WM_DAY_SELECTED, [this](WPARAM w, LPARAM l) {
            posts.push_back({w, l});
            return LRESULT{0};
        });
    }
    struct Post {
        WPARAM bar;
        LPARAM day;
    };
    std::vector<Post> posts;
};

class DaySelectorBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        SetResourceProvider(&m_resources);
        ASSERT_TRUE(m_owner.Create(kFrameTestDialog));
        m_owner.ShowWindow(SW_SHOW);
        ASSERT_TRUE(m_bar.Create(&m_owner));
        // 203 pixels of client inside the one-pixel border.
        m_bar.MoveWindow(10, 10, 205, 32);
        m_bar.ShowWindow(SW_SHOW);
    }
    void TearDown() override {
        m_bar.DestroyWindow();
        m_owner.DestroyWindow();
        SetResourceProvider(nullptr);
    }

    void ClickAt(int clientX) {
        QTest::mouseClick(m_bar.GetWidget(), Qt::LeftButton, {}, QPoint(clientX + 1, 10));
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
        }
    }

    DialogTestResources m_resources;
    BarOwner m_owner;
    CDaySelectorBar m_bar{nullptr};
};

TEST_F(DaySelectorBarTest, ANewCellIsPostedToTheOwnerAndTheChosenOneIsNot) {
    RECT client;
    m_bar.GetClientRect(&client);
    ASSERT_EQ(client.right, 203);
    EXPECT_EQ(m_bar.GetSelected(), 0);
    ClickAt(10);  // "Allday", already chosen
    EXPECT_TRUE(m_owner.posts.empty());
    ClickAt(175);
    ASSERT_EQ(m_owner.posts.size(), 1u);
    EXPECT_EQ(m_owner.posts[0].bar, reinterpret_cast<WPARAM>(&m_bar));
    EXPECT_EQ(m_owner.posts[0].day, 7);
    EXPECT_EQ(m_bar.GetSelected(), 7);
    ClickAt(202);
    EXPECT_EQ(m_owner.posts.size(), 1u);
    ClickAt(30);
    ASSERT_EQ(m_owner.posts.size(), 2u);
    EXPECT_EQ(m_owner.posts[1].day, 1);
}

TEST_F(DaySelectorBarTest, CellsAreFramedGreenOnBlackWithTheChosenOneRed) {
    ClickAt(60);  // "Tues.": cells are 25 pixels wide, the last 28
    const QImage shown = m_bar.GetWidget()->grab().toImage();
    auto at = [&shown](int clientX, int clientY) {
        return shown.pixelColor(clientX + 1, clientY + 1);
    };
    const QColor green(0, 250, 0);
    const QColor red(250, 0, 0);
    const QColor black(0, 0, 0);
    EXPECT_EQ(at(0, 0), green);
    // The frames where no name lies over them.
    EXPECT_EQ(at(24, 2), green);
    EXPECT_EQ(at(25, 2), green);
    EXPECT_EQ(at(24, 29), green);
    EXPECT_EQ(at(3, 2), black);
    EXPECT_EQ(at(53, 2), red);    // inside cell 2
    EXPECT_EQ(at(49, 2), green);  // its left frame
    EXPECT_EQ(at(76, 2), black);  // cell 3
    EXPECT_EQ(at(175, 2), green);
    EXPECT_EQ(at(202, 2), green);  // the last cell's right frame
    EXPECT_EQ(at(200, 2), black);
    // The names in yellow somewhere inside their cells.
    int yellow = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 203; ++x) {
            const QColor c = at(x, y);
            yellow += c.red() > 120 && c.green() > 120 && c.blue() < 60 ? 1 : 0;
        }
    }
    EXPECT_GT(yellow, 40);
}

}  // namespace
