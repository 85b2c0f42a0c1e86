#include "res/skin_resources.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "platform/ui/gdi.h"
#include "res/main_window_controls.h"
#include "res/skin_table.h"
#include "support/qt_app.h"

namespace {

class SkinResourcesTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        InstallSkinResources();
        provider = GetResourceProvider();
        ASSERT_NE(provider, nullptr);
    }
    void TearDown() override { SetResourceProvider(nullptr); }
    const IResourceProvider* provider = nullptr;
};

struct ButtonCase {
    const char* caption;
    UINT up, down, focus;
    int width, height;
};

// The skin table of the main window, button by button.
const ButtonCase kButtons[] = {
    {"Setup", 139, 138, 140, 42, 42},   {"Record", 142, 144, 143, 42, 42},
    {"Motion", 148, 141, 149, 42, 42},  {"System", 145, 147, 146, 42, 42},
    {"-", 157, 159, 158, 45, 15},       {"+", 160, 156, 161, 45, 15},
    {"Default", 253, 252, 254, 24, 15}, {"Help", 259, 258, 0, 20, 16},
    {"1", 165, 173, 172, 48, 24},       {"2", 162, 179, 178, 48, 24},
    {"4", 163, 169, 168, 48, 24},       {"6", 166, 175, 174, 48, 24},
    {"9", 164, 171, 170, 48, 24},       {"16", 167, 177, 176, 48, 24},
    {"<", 199, 196, 0, 18, 18},         {">", 197, 198, 0, 18, 18},
    {"Snap", 249, 248, 0, 18, 18},      {"HomePage", 256, 255, 257, 149, 40},
    {"Logfile", 261, 260, 0, 18, 16},   {"Mute", 151, 153, 152, 28, 28},
    {"EXIT", 154, 150, 155, 47, 49},
};

TEST_F(SkinResourcesTest, EveryButtonFaceHasItsSizeAndRole) {
    for (const ButtonCase& b : kButtons) {
        SCOPED_TRACE(b.caption);
        const std::pair<UINT, SkinRole> faces[] = {{b.up, SkinRole::ButtonUp},
                                                   {b.down, SkinRole::ButtonDown},
                                                   {b.focus, SkinRole::ButtonFocus}};
        for (const auto& [id, role] : faces) {
            if (id == 0) {
                continue;
            }
            const SkinBitmapInfo* info = FindSkinBitmap(id);
            ASSERT_NE(info, nullptr) << id;
            EXPECT_EQ(info->role, role) << id;
            QImage image = provider->LoadBitmap(id);
            EXPECT_EQ(image.size(), QSize(b.width, b.height)) << id;
        }
    }
}

TEST_F(SkinResourcesTest, MainWindowControlsLieApartInsideTheWindow) {
    struct Place {
        int id;
        RECT rect;
    };
    std::vector<Place> places;
    for (const MainControl& c : MainWindowControls()) {
        places.push_back({c.id, RECT{c.x, c.y, c.x + c.cx, c.y + c.cy}});
        if (c.kind == MainControlKind::SkinButton) {
            // The faces are as large as the button.
            const SkinBitmapInfo* up = FindSkinBitmap(c.up);
            ASSERT_NE(up, nullptr) << c.id;
            EXPECT_EQ(up->width, c.cx) << c.id;
            EXPECT_EQ(up->height, c.cy) << c.id;
        }
    }
    for (int n = 0; n < 16; ++n) {
        places.push_back({ChannelButtonControlId(n), ChannelButtonRect(n)});
    }
    std::set<int> ids;
    for (size_t i = 0; i < places.size(); ++i) {
        const RECT& a = places[i].rect;
        SCOPED_TRACE(places[i].id);
        EXPECT_TRUE(ids.insert(places[i].id).second);
        EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= 1024 && a.bottom <= 768);
        EXPECT_TRUE(a.left < a.right && a.top < a.bottom);
        for (size_t j = i + 1; j < places.size(); ++j) {
            const RECT& b = places[j].rect;
            const bool apart =
                a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;
            EXPECT_TRUE(apart) << "overlaps " << places[j].id;
        }
    }
    // Two rows of eight channel buttons.
    const std::pair<int, RECT> channels[] = {{0, RECT{531, 693, 559, 721}},
                                             {7, RECT{782, 693, 810, 721}},
                                             {8, RECT{531, 726, 559, 754}},
                                             {15, RECT{782, 726, 810, 754}},
                                             {16, RECT{0, 0, 0, 0}}};
    for (const auto& [n, r] : channels) {
        const RECT got = ChannelButtonRect(n);
        EXPECT_TRUE(got.left == r.left && got.top == r.top && got.right == r.right &&
                    got.bottom == r.bottom)
            << n;
    }
}

// Channel n's button pictures: resting, manual, motion, schedule.
const UINT kBadges[16][4] = {
    {181, 201, 217, 233}, {182, 202, 218, 234}, {183, 203, 219, 235}, {184, 204, 220, 236},
    {185, 205, 221, 237}, {186, 206, 222, 238}, {187, 207, 223, 239}, {188, 200, 216, 232},
    {189, 209, 225, 241}, {190, 210, 226, 242}, {191, 211, 227, 243}, {192, 212, 228, 244},
    {194, 213, 229, 245}, {195, 214, 230, 246}, {193, 215, 231, 247}, {180, 208, 224, 240},
};
const int kChannelControls[16] = {1083, 1085, 1086, 1087, 1088, 1089, 1090, 1091,
                                  1084, 1092, 1093, 1094, 1095, 1096, 1097, 1098};

TEST_F(SkinResourcesTest, ChannelBadgesShowTheirChannelInTheirColour) {
    const BadgeColour colours[4] = {BadgeColour::Blue, BadgeColour::Gold, BadgeColour::Red,
                                    BadgeColour::Green};
    std::set<qint64> distinct;
    for (int n = 0; n < 16; ++n) {
        ChannelBitmapIds ids = ChannelButtonBitmaps(n);
        EXPECT_EQ(ids.resting, kBadges[n][0]);
        EXPECT_EQ(ids.manual, kBadges[n][1]);
        EXPECT_EQ(ids.motion, kBadges[n][2]);
        EXPECT_EQ(ids.schedule, kBadges[n][3]);
        EXPECT_EQ(ChannelButtonControlId(n), kChannelControls[n]);
        for (int k = 0; k < 4; ++k) {
            SCOPED_TRACE(kBadges[n][k]);
            const SkinBitmapInfo* info = FindSkinBitmap(kBadges[n][k]);
            ASSERT_NE(info, nullptr);
            EXPECT_EQ(info->role, SkinRole::ChannelBadge);
            EXPECT_EQ(info->channel, n + 1);
            EXPECT_EQ(info->colour, colours[k]);
            QImage image = provider->LoadBitmap(kBadges[n][k]);
            ASSERT_EQ(image.size(), QSize(28, 28));
            distinct.insert(image.cacheKey());
            // The ring of the badge carries its colour.
            QColor rim = image.pixelColor(14, 4);
            switch (colours[k]) {
                case BadgeColour::Blue:
                    EXPECT_GT(rim.blue(), rim.red());
                    break;
                case BadgeColour::Gold:
                    EXPECT_GT(rim.red(), rim.blue());
                    EXPECT_GT(rim.green(), rim.blue());
                    break;
                case BadgeColour::Red:
                    EXPECT_GT(rim.red(), rim.green());
                    break;
                default:
                    EXPECT_GT(rim.green(), rim.red());
                    break;
            }
        }
    }
    EXPECT_EQ(distinct.size(), 64u);
    // Two channels' badges of one colour differ by their number.
    EXPECT_NE(provider->LoadBitmap(181), provider->LoadBitmap(182));
}

TEST_F(SkinResourcesTest, BackgroundsPatternIconStringAndMenu) {
    EXPECT_EQ(provider->LoadBitmap(130).size(), QSize(1024, 768));
    QImage setup = provider->LoadBitmap(133);
    EXPECT_EQ(setup.size(), QSize(736, 572));
    EXPECT_EQ(setup.depth(), 24);
    CBitmap pattern;
    ASSERT_TRUE(pattern.LoadBitmap(251));
    CBrush brush;
    EXPECT_TRUE(brush.CreatePatternBrush(&pattern));
    EXPECT_TRUE(provider->LoadBitmap(999).isNull());
    // 130, 251, 133; 58 button faces; 64 badges; no id twice.
    std::set<UINT> ids;
    for (const SkinBitmapInfo& info : SkinBitmapTable()) {
        EXPECT_TRUE(ids.insert(info.id).second) << info.id;
    }
    EXPECT_EQ(ids.size(), 3 + 58 + 64u);

    HICON icon = LoadIcon(IDR_MAINFRAME);
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->icon.pixmap(32, 32).isNull());
    DestroyIcon(icon);
    EXPECT_EQ(LoadIcon(129), nullptr);

    EXPECT_EQ(provider->LoadString(IDS_ABOUTBOX), "about Quorvalind(&A)...");
    EXPECT_EQ(provider->LoadString(102), "%.2lf%% Free");  // the disk space pie's
    EXPECT_EQ(provider->LoadString(111), "Free: %2.2f KB");
    EXPECT_EQ(provider->LoadString(112), "");

    std::vector<MenuItem> menu = provider->LoadMenu(IDR_TRAY_MENU);
    ASSERT_EQ(menu.size(), 1u);
    ASSERT_EQ(menu[0].popup.size(), 3u);
    EXPECT_EQ(menu[0].popup[0].id, 32771u);
    EXPECT_EQ(menu[0].popup[0].text, "Show Window");
    EXPECT_TRUE(menu[0].popup[1].separator);
    EXPECT_EQ(menu[0].popup[2].id, 32772u);
    EXPECT_EQ(menu[0].popup[2].text, "Exit");
}

TEST_F(SkinResourcesTest, TemplatesHoldTheirControls) {
    const DialogTemplate* main = provider->FindTemplate(IDD_MAIN_DIALOG);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->cx, 1024);
    EXPECT_EQ(main->cy, 768);
    std::set<int> ids;
    for (const ControlTemplate& c : main->controls) {
        EXPECT_TRUE(ids.insert(c.id).second) << c.id;
    }
    for (int id : {1,    1000, 1001, 1073, 1082, 1128, 1137, 1170, 1171, 1172, 1173, 1074,
                   1075, 1076, 1077, 1078, 1079, 1080, 1081, 1099, 1175, 1176, 1177}) {
        EXPECT_EQ(ids.count(id), 1u) << id;
    }
    for (int id = 1083; id <= 1098; ++id) {
        EXPECT_EQ(ids.count(id), 1u) << id;
    }
    for (int id = 1129; id <= 1136; ++id) {
        EXPECT_EQ(ids.count(id), 1u) << id;
    }

    const DialogTemplate* wall = provider->FindTemplate(IDD_VIDEO_WALL);
    ASSERT_NE(wall, nullptr);
    EXPECT_TRUE(wall->child);
    EXPECT_EQ(wall->cx, 790);
    EXPECT_EQ(wall->cy, 646);

    const DialogTemplate* about = provider->FindTemplate(IDD_ABOUTBOX);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->caption, "About Quorvalind");
    std::set<int> aboutIds;
    for (const ControlTemplate& c : about->controls) {
        aboutIds.insert(c.id);
    }
    for (int id : {1, 1128, 1129, 1197}) {
        EXPECT_EQ(aboutIds.count(id), 1u) << id;
    }
}

}  // namespace
