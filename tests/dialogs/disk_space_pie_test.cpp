// The disk space pie: where its parts go, the texts of its caption and
// legend, and what it paints for full, empty, nearly full and missing
// drives, checked on the pixels of a grab.

#include "dialogs/disk_space_pie.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <cmath>
#include <filesystem>

#include "dialog_test_resources.h"
#include "platform/drives/drives.h"
#include "platform/ui/dialog.h"
#include "support/chdir_temp_dir.h"
#include "support/modal_step.h"
#include "support/qt_app.h"
#include "support/ui_input.h"

namespace {

constexpr std::uint64_t kGb = std::uint64_t{1} << 30;
const QColor kBlue(0, 0, 255);
const QColor kPink(255, 20, 255);

bool SameRect(const RECT& r, int l, int t, int rr, int b) {
    return r.left == l && r.top == t && r.right == rr && r.bottom == b;
}

TEST(DiskSpacePieLayoutTest, TwoHundredPixelsSquare) {
    const CDiskSpacePie::Layout l = CDiskSpacePie::LayoutFor(200, 200);
    EXPECT_TRUE(SameRect(l.pieArea, 6, 85, 194, 194));
    EXPECT_EQ(l.centre.x, 100);
    EXPECT_EQ(l.centre.y, 123);
    EXPECT_EQ(l.radius, 54);
    EXPECT_TRUE(SameRect(l.square, 46, 69, 154, 177));
    EXPECT_TRUE(SameRect(l.legend, 5, 5, 195, 78));
    EXPECT_EQ(l.bandTop[0], 5);
    EXPECT_EQ(l.bandTop[1], 29);
    EXPECT_EQ(l.bandTop[2], 54);
    EXPECT_EQ(l.capacityText.x, 10);
    EXPECT_EQ(l.capacityText.y, 10);
    EXPECT_EQ(l.usedText.x, 48);
    EXPECT_EQ(l.usedText.y, 29);
    EXPECT_EQ(l.freeText.x, 48);
    EXPECT_EQ(l.freeText.y, 49);
    EXPECT_TRUE(SameRect(l.usedKey, 15, 29, 28, 42));
    EXPECT_TRUE(SameRect(l.freeKey, 15, 49, 28, 62));
}

class DiskSpacePieTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        SetResourceProvider(&m_resources);
        std::filesystem::create_directory("d");
        SetDriveMapOverride(DriveMap{{'D', m_dir.path() + "/d"}});
        SetDiskSpaceSource([this](char letter, const std::string&, DiskSpace& out) {
            if (letter != 'D') {
                return false;
            }
            out.totalBytes = m_total;
            out.totalFree = m_free;
            out.freeToCaller = m_free / 2;  // not what the pie shows
            return true;
        });
    }
    void TearDown() override {
        SetDiskSpaceSource({});
        SetDriveMapOverride(std::nullopt);
        SetResourceProvider(nullptr);
    }

    // The pie pointed at the drive, painted and grabbed.
    QImage Grab(const char* drive, CDiskSpacePie::Texts* texts = nullptr) {
        QImage image;
        CDialog dlg(kPieDialog);
        RunModalWith(dlg, [&] {
            CDiskSpacePie pie;
            ASSERT_TRUE(pie.SubclassDlgItem(kPie, &dlg));
            pie.SetDrive(drive);
            if (texts != nullptr) {
                *texts = pie.GetTexts();
            }
            image = ControlWidget(dlg, kPie)->grab().toImage();
            dlg.EndDialog(IDOK);
        });
        return image;
    }

    DialogTestResources m_resources;
    ChdirTempDir m_dir;
    std::uint64_t m_total = 40 * kGb;
    std::uint64_t m_free = 10 * kGb;
};

TEST_F(DiskSpacePieTest, CaptionAndLegendTexts) {
    struct Case {
        std::uint64_t total;
        std::uint64_t free;
        const char* caption;
        const char* capacity;
        const char* used;
        const char* freeText;
    } cases[] = {
        {40 * kGb, 10 * kGb, "25.00% Free", "Capacity: 40.00 GB", "Used: 30.00 GB",
         "Free: 10.00 GB"},
        // The unit changes only above its threshold.
        {kGb, 1048576, "0.10% Free", "Capacity: 1024.00 MB", "Used: 1023.00 MB",
         "Free: 1024.00 KB"},
        {1048577, 512, "0.05% Free", "Capacity: 1.00 MB", "Used: 1023.50 KB", "Free: 0.50 KB"},
        {kGb + 1, kGb + 1, "100.00% Free", "Capacity: 1.00 GB", "Used: 0.00 KB", "Free: 1.00 GB"},
        // A drive that claims more free than it holds is full of free space.
        {1000, 5000, "100.00% Free", "Capacity: 0.98 KB", "Used: 0.00 KB", "Free: 0.98 KB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capacity);
        m_total = c.total;
        m_free = c.free;
        CDiskSpacePie::Texts texts;
        Grab("D:", &texts);
        EXPECT_EQ(texts.caption, c.caption);
        EXPECT_EQ(texts.capacity, c.capacity);
        EXPECT_EQ(texts.used, c.used);
        EXPECT_EQ(texts.free, c.freeText);
    }
}

// What one quarter of the circle shows, probed at 45 degrees inside it, and
// how many pink pixels the circle holds.
struct Picture {
    QColor quarters[4];  // upper right, upper left, lower left, lower right
    int pink = 0;
    int circle = 0;
};

Picture Look(const QImage& image) {
    const CDiskSpacePie::Layout l = CDiskSpacePie::LayoutFor(image.width(), image.height());
    Picture p;
    const int d = static_cast<int>(l.radius * 0.5);
    const QPoint probes[4] = {{l.centre.x + d, l.centre.y - d},
                              {l.centre.x - d, l.centre.y - d},
                              {l.centre.x - d, l.centre.y + d},
                              {l.centre.x + d, l.centre.y + d}};
    for (int q = 0; q < 4; ++q) {
        p.quarters[q] = image.pixelColor(probes[q]);
    }
    const int r = l.radius - 2;  // inside the outline
    for (int y = l.centre.y - r; y <= l.centre.y + r; ++y) {
        for (int x = l.centre.x - r; x <= l.centre.x + r; ++x) {
            if ((x - l.centre.x) * (x - l.centre.x) + (y - l.centre.y) * (y - l.centre.y) <=
                r * r) {
                ++p.circle;
                p.pink += image.pixelColor(x, y) == kPink ? 1 : 0;
            }
        }
    }
    return p;
}

TEST_F(DiskSpacePieTest, SectorsOnThePixels) {
    struct Case {
        const char* name;
        std::uint64_t free;  // of 40 GB
        QColor quarters[4];
        double pinkShareMin;
        double pinkShareMax;
    } cases[] = {
        // Used runs counter-clockwise from three o'clock through 270 degrees.
        {"40 GB, 10 GB free", 10 * kGb, {kBlue, kBlue, kBlue, kPink}, 0.22, 0.28},
        {"full", 0, {kBlue, kBlue, kBlue, kBlue}, 0, 0},
        {"empty", 40 * kGb, {kPink, kPink, kPink, kPink}, 0.99, 1.0},
        // Too little to move an end point: still a used drive, not an empty one.
        {"0.1 % free", 40 * kGb / 1000, {kBlue, kBlue, kBlue, kBlue}, 0, 0.01},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_free = c.free;
        const QImage image = Grab("D:");
        ASSERT_EQ(image.size(), QSize(200, 200));
        const Picture p = Look(image);
        for (int q = 0; q < 4; ++q) {
            EXPECT_EQ(p.quarters[q], c.quarters[q]) << "quarter " << q;
        }
        const double share = static_cast<double>(p.pink) / p.circle;
        EXPECT_GE(share, c.pinkShareMin);
        EXPECT_LE(share, c.pinkShareMax);
        // The frame, the white ground, the black outline, the colour keys.
        EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
        EXPECT_EQ(image.pixelColor(199, 199), QColor(Qt::black));
        EXPECT_EQ(image.pixelColor(190, 190), QColor(Qt::white));
        EXPECT_EQ(image.pixelColor(100, 69), QColor(Qt::black));
        EXPECT_EQ(image.pixelColor(20, 35), kBlue);
        EXPECT_EQ(image.pixelColor(20, 55), kPink);
    }
}

TEST_F(DiskSpacePieTest, ADriveThatIsNotThereShowsOnlyTheFrame) {
    for (const char* drive : {"E:", ""}) {
        SCOPED_TRACE(drive);
        CDiskSpacePie::Texts texts;
        const QImage image = Grab(drive, &texts);
        EXPECT_TRUE(texts.caption.IsEmpty());
        EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
        for (int y = 1; y < 199; ++y) {
            for (int x = 1; x < 199; ++x) {
                ASSERT_EQ(image.pixelColor(x, y), QColor(Qt::white)) << x << "," << y;
            }
        }
    }
}

}  // namespace
