// The video wall's window repaints what changed on its screen, and only
// that: a new overlay picture, a band of changed rows, the frames it draws
// itself, and nothing while nothing changes.

#include <gtest/gtest.h>

#include <QEvent>
#include <QImage>
#include <QPaintEvent>
#include <QRegion>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <random>
#include <vector>

#include "mainwnd/video_display.h"
#include "mainwnd/video_wall.h"
#include "platform/ui/dialog.h"
#include "res/skin_resources.h"
#include "support/qt_app.h"
#include "support/qt_pump.h"

namespace {

// Collects the regions the widget is asked to paint.
class PaintLog : public QObject {
public:
    QRegion painted;
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
            ++paints;
        }
        return false;
    }
};

constexpr int kPicW = 64;
constexpr int kPicH = 32;
constexpr int kPitch = kPicW * 2;

class VideoWallPaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        InstallSkinResources();
        ASSERT_TRUE(parent_.Create(IDD_MAIN_DIALOG, nullptr));
        wall_ = std::make_unique<CVideoWallDialog>(&parent_);
        ASSERT_TRUE(wall_->Create(&parent_));
        wall_->MoveWindow(VIDEO_WALL_X, VIDEO_WALL_Y, VIDEO_WALL_WIDTH, VIDEO_WALL_HEIGHT);
        parent_.ShowWindow(SW_SHOW);
        wall_->ShowWindow(SW_SHOW);
        wall_->UpdateScreenPosition();
        wall_->GetWidget()->installEventFilter(&log_);
        wall_->GetClientRect(&client_);
        onScreen_ = client_;
        wall_->ClientToScreen(&onScreen_);
        picture_.resize(static_cast<size_t>(kPitch) * kPicH);
        std::mt19937 gen(4);
        for (auto& b : picture_) {
            b = static_cast<uint8_t>(gen());
        }
        // Let the first paints of the new window pass.
        ASSERT_TRUE(PumpUntil([&] { return log_.paints > 0; }));
        Pump(100);
        Reset();
    }
    void TearDown() override {
        wall_.reset();
        parent_.DestroyWindow();
    }

    void Reset() {
        log_.painted = QRegion();
        log_.paints = 0;
    }
    void Present() { wall_->Target()->SetOverlayPicture(picture_.data(), kPicW, kPicH, kPitch); }
    // The widget's rectangle of a client rectangle (inside the border).
    QRect WidgetRect(const RECT& rc) const {
        const int b = (wall_->GetWidget()->width() - (client_.right - client_.left)) / 2;
        return QRect(rc.left + b, rc.top + b, rc.right - rc.left, rc.bottom - rc.top);
    }

    CDialog parent_{IDD_MAIN_DIALOG};
    std::unique_ptr<CVideoWallDialog> wall_;
    PaintLog log_;
    RECT client_{};
    RECT onScreen_{};
    std::vector<uint8_t> picture_;
};

TEST_F(VideoWallPaintTest, RepaintsWhatChangedAndNothingElse) {
    std::shared_ptr<DisplayTarget> target = wall_->Target();
    ASSERT_NE(target, nullptr);
    target->SetOverlayPosition(true, RECT{0, 0, kPicW, kPicH}, onScreen_, COLOR_KEY_RGB32);
    Present();
    // The part of the wall on the screen the target stands for.
    const RECT visible{0, 0, std::min(client_.right, target->Width() - onScreen_.left),
                       std::min(client_.bottom, target->Height() - onScreen_.top)};
    const QRect whole = WidgetRect(visible);
    auto covered = [&](const QRect& r) { return QRegion(r).subtracted(log_.painted).isEmpty(); };
    ASSERT_TRUE(PumpUntil([&] { return covered(whole); }))
        << "a new picture over the whole wall repaints it";
    // What the window shows is the picture keyed into the wall.
    const QImage shown = wall_->GetWidget()->grab().toImage();
    const QColor centre = shown.pixelColor(whole.center());
    EXPECT_NE(centre, QColor(8, 0, 8));

    // Nothing changed: no repaint at the next presents.
    Reset();
    Present();
    Pump(3 * VIDEO_WALL_PRESENT_MS);
    EXPECT_EQ(log_.paints, 0);

    // Two source rows of the 32 changed: the band of the wall showing them.
    const int wallH = onScreen_.bottom - onScreen_.top;
    for (int y = 10; y < 12; ++y) {
        picture_[static_cast<size_t>(y) * kPitch + 6] ^= 0x20;
    }
    Present();
    ASSERT_TRUE(PumpUntil([&] { return log_.paints > 0; }));
    Pump(2 * VIDEO_WALL_PRESENT_MS);
    const QRect band = log_.painted.boundingRect();
    const int top = (10 * wallH + kPicH - 1) / kPicH;  // first row showing row 10
    const int bottom = (12 * wallH + kPicH - 1) / kPicH;
    EXPECT_EQ(band, WidgetRect(RECT{0, top, visible.right, bottom}));

    // The wall's own drawing repaints it whole.
    Reset();
    wall_->RepaintWall();
    ASSERT_TRUE(PumpUntil([&] { return covered(whole); }));
}

}  // namespace
