// Drawing contexts: a memory context and its copy to another context, and
// the figures and placed texts the custom-drawn controls paint, checked on
// their pixels.

#include "platform/ui/gdi.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "support/qt_app.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

QImage Canvas(int w, int h, QColor fill = Qt::white) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

bool Is(const QImage& image, int x, int y, QColor colour) {
    return image.pixelColor(x, y) == colour;
}

class GdiTest : public ::testing::Test {
protected:
    void SetUp() override { TestQtApp(); }
};

TEST_F(GdiTest, AMemoryContextDrawsIntoItsBitmapAndCopiesOut) {
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
    EXPECT_FALSE(memory.CreateCompatibleDC(nullptr));
    CBitmap bitmap;
    EXPECT_FALSE(bitmap.CreateCompatibleBitmap(&memory, 0, 10));
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&memory, 40, 30));
    EXPECT_EQ(memory.SelectObject(&bitmap), nullptr);
    memory.FillSolidRect(RECT{0, 0, 40, 30}, RGB(255, 255, 255));
    memory.FillSolidRect(RECT{10, 5, 20, 15}, kRed);

    QImage target = Canvas(60, 60, Qt::green);
    {
        QPainter painter(&target);
        CDC dc(&painter);
        // Only a plain copy from a context with a bitmap.
        EXPECT_FALSE(dc.BitBlt(0, 0, 40, 30, &memory, 0, 0, 0x00EE0086));
        CDC empty;
        EXPECT_FALSE(dc.BitBlt(0, 0, 40, 30, &empty, 0, 0, SRCCOPY));
        EXPECT_TRUE(dc.BitBlt(20, 20, 30, 20, &memory, 5, 5, SRCCOPY));
    }
    EXPECT_TRUE(Is(target, 19, 19, Qt::green));
    EXPECT_TRUE(Is(target, 20, 20, Qt::white));  // source (5, 5)
    EXPECT_TRUE(Is(target, 25, 20, Qt::red));    // source (10, 5)
    EXPECT_TRUE(Is(target, 34, 29, Qt::red));    // source (19, 14)
    EXPECT_TRUE(Is(target, 35, 30, Qt::white));  // source (20, 15)
    EXPECT_TRUE(Is(target, 50, 40, Qt::green));  // past the 30 x 20 copied

    // Deselected and ended, the bitmap keeps what was drawn.
    EXPECT_EQ(memory.SelectObject(static_cast<CBitmap*>(nullptr)), &bitmap);
    memory.FillSolidRect(RECT{0, 0, 40, 30}, kBlue);  // into nothing
    EXPECT_TRUE(memory.DeleteDC());
    EXPECT_TRUE(Is(bitmap.GetImage(), 12, 7, Qt::red));
    EXPECT_TRUE(Is(bitmap.GetImage(), 0, 0, Qt::white));
}

// A red sector of the circle filling the 101 x 101 image; true when drawn.
bool RedPie(QImage& image, double start, double sweep) {
    QPainter painter(&image);
    CDC dc(&painter);
    CBrush brush(kRed);
    CPen pen(PS_SOLID, 1, kRed);
    dc.SelectObject(&brush);
    dc.SelectObject(&pen);
    return dc.Pie(RECT{0, 0, 101, 101}, start, sweep) == TRUE;
}

// Which quarters of the circle a sector covers, seen at 45 degrees inside
// each quarter: upper right, upper left, lower left, lower right.
struct PieCase {
    const char* name;
    double start;
    double sweep;
    bool drawn;
    bool quarters[4];
};

TEST_F(GdiTest, PieSectorsRunCounterClockwiseFromThreeOClock) {
    const PieCase cases[] = {
        {"first quarter", 0, 90, true, {true, false, false, false}},
        {"three quarters", 0, 270, true, {true, true, true, false}},
        {"the last quarter", 270, 90, true, {false, false, false, true}},
        {"second quarter", 90, 90, true, {false, true, false, false}},
        {"a full turn", 0, 360, true, {true, true, true, true}},
        {"more than a full turn", 45, 400, true, {true, true, true, true}},
        {"a sweep under 1/32 degree", 0, 0.03, false, {false, false, false, false}},
        {"nothing", 120, 0, false, {false, false, false, false}},
    };
    const QPoint probes[4] = {{75, 25}, {25, 25}, {25, 75}, {75, 75}};
    for (const PieCase& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image = Canvas(101, 101);
        EXPECT_EQ(RedPie(image, c.start, c.sweep), c.drawn);
        for (int q = 0; q < 4; ++q) {
            EXPECT_EQ(Is(image, probes[q].x(), probes[q].y(), Qt::red), c.quarters[q])
                << "quarter " << q;
        }
    }
    // A thin sector still shows: 2 degrees just above three o'clock.
    QImage image = Canvas(101, 101);
    EXPECT_TRUE(RedPie(image, 0, 2));
    EXPECT_TRUE(Is(image, 95, 49, Qt::red));
    EXPECT_TRUE(Is(image, 95, 55, Qt::white));
}

TEST_F(GdiTest, EllipsesFillWithTheBrushUnlessHollowAndStayInsideTheirBox) {
    struct Case {
        const char* name;
        bool hollow;
        QColor centre;
    } cases[] = {{"default brush", false, Qt::white}, {"hollow brush", true, Qt::blue}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image = Canvas(60, 60, Qt::blue);
        {
            QPainter painter(&image);
            CDC dc(&painter);
            if (c.hollow) {
                EXPECT_EQ(dc.SelectStockObject(HOLLOW_BRUSH), nullptr);
            }
            EXPECT_TRUE(dc.Ellipse(RECT{10, 10, 51, 51}));
        }
        EXPECT_TRUE(Is(image, 30, 30, c.centre));
        EXPECT_TRUE(Is(image, 30, 10, Qt::black));  // the outline: the box's top ...
        EXPECT_TRUE(Is(image, 50, 30, Qt::black));  // ... and its last column inside
        EXPECT_TRUE(Is(image, 51, 30, Qt::blue));
        EXPECT_TRUE(Is(image, 30, 51, Qt::blue));
    }
    CDC dc;
    EXPECT_EQ(dc.SelectStockObject(0), nullptr);  // only the hollow brush
}

// The box of the pixels that are not white.
QRect Ink(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != Qt::white) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

TEST_F(GdiTest, DrawTextPlacesOneLineAtTheTopOrTheBottom) {
    const RECT area{20, 10, 180, 90};
    struct Case {
        const char* name;
        UINT format;
        bool centred;  // else at the left edge
        bool bottom;   // else at the top edge
    } cases[] = {
        {"centred at the bottom", DT_CENTER | DT_BOTTOM | DT_SINGLELINE, true, true},
        {"top left", DT_LEFT | DT_TOP | DT_SINGLELINE, false, false},
        {"bottom only with a single line", DT_LEFT | DT_BOTTOM, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image = Canvas(200, 100);
        const int height = QFontMetrics(QFont()).height();
        {
            QPainter painter(&image);
            CDC dc(&painter);
            dc.SetBkMode(TRANSPARENT);
            dc.DrawText("25.00% Free", area, c.format);
        }
        const QRect ink = Ink(image);
        ASSERT_FALSE(ink.isNull());
        EXPECT_TRUE(QRect(20, 10, 160, 80).contains(ink));
        if (c.centred) {
            EXPECT_NEAR(ink.center().x(), 100, 3);
        } else {
            EXPECT_LE(ink.left(), 20 + 3);
        }
        if (c.bottom) {
            EXPECT_GE(ink.bottom(), 90 - height);
        } else {
            EXPECT_LE(ink.top(), 10 + height);
        }
        EXPECT_LE(ink.height(), height);
    }
    // Opaque, the text's box takes the background colour.
    QImage image = Canvas(200, 100, Qt::blue);
    {
        QPainter painter(&image);
        CDC dc(&painter);
        dc.DrawText("Free", area, DT_LEFT | DT_TOP | DT_SINGLELINE);
    }
    EXPECT_TRUE(Is(image, 20, 10, Qt::white));
    EXPECT_TRUE(Is(image, 19, 10, Qt::blue));
}

}  // namespace
