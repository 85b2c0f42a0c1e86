#include "res/main_window_controls.h"

namespace {

constexpr MainControl Skin(int id, const char* caption, int x, int y, int cx, int cy, UINT up,
                           UINT down, UINT focus, SkinGlyph glyph, const char* label) {
    return {MainControlKind::SkinButton, id, caption, x, y, cx, cy, up, down, focus, glyph, label};
}

// A value display: 24 x 10 pixels, so a small font.
constexpr MainControl Value(int id, int x, int y) {
    return {
        MainControlKind::ValueDisplay, id, "0", x, y, 24, 10, 0, 0, 0, SkinGlyph::None, nullptr};
}

constexpr SkinGlyph kText = SkinGlyph::Text;

constexpr MainControl kControls[] = {
    Skin(IDC_BTN_SETUP, "Setup", 872, 160, 42, 42, 139, 138, 140, kText, "Setup"),
    Skin(IDC_BTN_RECORD, "Record", 936, 200, 42, 42, 142, 144, 143, kText, "Record"),
    Skin(IDC_BTN_MOTION, "Motion", 871, 243, 42, 42, 148, 141, 149, kText, "Motion"),
    Skin(IDC_BTN_SYSTEM, "System", 936, 283, 42, 42, 145, 147, 146, kText, "System"),
    Skin(IDC_BRIGHT_DOWN + 0, "Bright-", 880, 360, 45, 15, 157, 159, 158, SkinGlyph::Minus, "-"),
    Skin(IDC_BRIGHT_DOWN + 1, "Bright+", 925, 360, 45, 15, 160, 156, 161, SkinGlyph::Plus, "+"),
    Value(IDC_VALUE_BRIGHT + 0, 945, 346),
    Skin(IDC_BRIGHT_DOWN + 2, "Contrast-", 880, 401, 45, 15, 157, 159, 158, SkinGlyph::Minus, "-"),
    Skin(IDC_BRIGHT_DOWN + 3, "Contrast+", 925, 401, 45, 15, 160, 156, 161, SkinGlyph::Plus, "+"),
    Value(IDC_VALUE_BRIGHT + 1, 945, 386),
    Skin(IDC_BRIGHT_DOWN + 4, "Saturation-", 880, 442, 45, 15, 157, 159, 158, SkinGlyph::Minus,
         "-"),
    Skin(IDC_BRIGHT_DOWN + 5, "Saturation+", 925, 442, 45, 15, 160, 156, 161, SkinGlyph::Plus, "+"),
    Value(IDC_VALUE_BRIGHT + 2, 945, 428),
    Skin(IDC_BRIGHT_DOWN + 6, "Hue-", 880, 483, 45, 15, 157, 159, 158, SkinGlyph::Minus, "-"),
    Skin(IDC_BRIGHT_DOWN + 7, "Hue+", 925, 483, 45, 15, 160, 156, 161, SkinGlyph::Plus, "+"),
    Value(IDC_VALUE_BRIGHT + 3, 945, 469),
    Skin(IDC_COLOR_DEFAULT, "Default", 936, 510, 24, 15, 253, 252, 254, kText, "Def"),
    Skin(IDC_BTN_HELP, "Help", 48, 665, 20, 16, 259, 258, 0, SkinGlyph::Help, "Help"),
    Skin(IDC_LAYOUT_1, "1", 33, 694, 48, 24, 165, 173, 172, SkinGlyph::Layout1, "1"),
    Skin(IDC_LAYOUT_2, "2", 100, 694, 48, 24, 162, 179, 178, SkinGlyph::Layout2, "2"),
    Skin(IDC_LAYOUT_4, "4", 168, 694, 48, 24, 163, 169, 168, SkinGlyph::Layout4, "4"),
    Skin(IDC_LAYOUT_6, "6", 33, 726, 48, 24, 166, 175, 174, SkinGlyph::Layout6, "6"),
    Skin(IDC_LAYOUT_9, "9", 100, 726, 48, 24, 164, 171, 170, SkinGlyph::Layout9, "9"),
    Skin(IDC_LAYOUT_16, "16", 168, 726, 48, 24, 167, 177, 176, SkinGlyph::Layout16, "16"),
    Skin(IDC_PAGE_PREV, "<", 238, 718, 18, 18, 199, 196, 0, SkinGlyph::PagePrev, "<"),
    Skin(IDC_PAGE_NEXT, ">", 273, 718, 18, 18, 197, 198, 0, SkinGlyph::PageNext, ">"),
    Skin(IDC_BTN_SNAP, "Snap", 308, 718, 18, 18, 249, 248, 0, SkinGlyph::Camera, "Snap"),
    Skin(IDC_BTN_HOMEPAGE, "HomePage", 352, 706, 149, 40, 256, 255, 257, kText, "HomePage"),
    Skin(IDC_BTN_LOGFILE, "Logfile", 751, 665, 18, 16, 261, 260, 0, SkinGlyph::Log, "Logfile"),
    Skin(IDC_BTN_MUTE, "Mute", 881, 703, 28, 28, IDB_MUTE_SOUND_ON, IDB_MUTE_SOUND_OFF, 152,
         SkinGlyph::SoundOn, "Mute"),
    Skin(IDC_BTN_EXIT, "EXIT", 936, 689, 47, 49, 154, 150, 155, SkinGlyph::Power, "EXIT"),
};

constexpr int kChannelControlIds[16] = {1083, 1085, 1086, 1087, 1088, 1089, 1090, 1091,
                                        1084, 1092, 1093, 1094, 1095, 1096, 1097, 1098};
constexpr int kChannelButtonX[8] = {531, 566, 602, 638, 674, 710, 746, 782};
constexpr int kChannelButtonY[2] = {693, 726};
constexpr int kChannelButtonSize = 28;

}  // namespace

std::span<const MainControl> MainWindowControls() {
    return kControls;
}

int ChannelButtonControlId(int channel) {
    return channel >= 0 && channel < 16 ? kChannelControlIds[channel] : 0;
}

RECT ChannelButtonRect(int channel) {
    if (channel < 0 || channel >= 16) {
        return RECT{0, 0, 0, 0};
    }
    const int x = kChannelButtonX[channel % 8];
    const int y = kChannelButtonY[channel / 8];
    return RECT{x, y, x + kChannelButtonSize, y + kChannelButtonSize};
}
