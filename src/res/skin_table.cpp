#include "res/skin_table.h"

#include <array>
#include <set>

#include "res/main_window_controls.h"

namespace {

constexpr std::array<ChannelBitmapIds, 16> kChannelBitmaps = {{
    {181, 201, 217, 233},
    {182, 202, 218, 234},
    {183, 203, 219, 235},
    {184, 204, 220, 236},
    {185, 205, 221, 237},
    {186, 206, 222, 238},
    {187, 207, 223, 239},
    {188, 200, 216, 232},
    {189, 209, 225, 241},
    {190, 210, 226, 242},
    {191, 211, 227, 243},
    {192, 212, 228, 244},
    {194, 213, 229, 245},
    {195, 214, 230, 246},
    {193, 215, 231, 247},
    {180, 208, 224, 240},
}};

std::vector<SkinBitmapInfo> BuildTable() {
    std::vector<SkinBitmapInfo> table;
    table.push_back({IDB_BACKGROUND, 1024, 768, SkinRole::Background, SkinGlyph::None, nullptr, 0,
                     BadgeColour::None});
    table.push_back({IDB_STATIC_PATTERN, 24, 10, SkinRole::StaticPattern, SkinGlyph::None, nullptr,
                     0, BadgeColour::None});
    table.push_back({IDB_SETUP_BACKGROUND, 736, 572, SkinRole::SetupBackground, SkinGlyph::None,
                     nullptr, 0, BadgeColour::None});
    std::set<UINT> seen;  // the four "-" and the four "+" buttons share their faces
    for (const MainControl& b : MainWindowControls()) {
        if (b.kind != MainControlKind::SkinButton || !seen.insert(b.up).second) {
            continue;
        }
        table.push_back(
            {b.up, b.cx, b.cy, SkinRole::ButtonUp, b.glyph, b.label, 0, BadgeColour::None});
        // Mute's pressed face is its sound-off face.
        const SkinGlyph pressed = b.up == IDB_MUTE_SOUND_ON ? SkinGlyph::SoundOff : b.glyph;
        table.push_back(
            {b.down, b.cx, b.cy, SkinRole::ButtonDown, pressed, b.label, 0, BadgeColour::None});
        if (b.focus != 0) {
            table.push_back({b.focus, b.cx, b.cy, SkinRole::ButtonFocus, b.glyph, b.label, 0,
                             BadgeColour::None});
        }
    }
    for (int n = 0; n < 16; ++n) {
        const ChannelBitmapIds& ids = kChannelBitmaps[n];
        const std::pair<UINT, BadgeColour> badges[] = {{ids.resting, BadgeColour::Blue},
                                                       {ids.manual, BadgeColour::Gold},
                                                       {ids.motion, BadgeColour::Red},
                                                       {ids.schedule, BadgeColour::Green}};
        for (const auto& [id, colour] : badges) {
            table.push_back(
                {id, 28, 28, SkinRole::ChannelBadge, SkinGlyph::None, nullptr, n + 1, colour});
        }
    }
    return table;
}

}  // namespace

const std::vector<SkinBitmapInfo>& SkinBitmapTable() {
    static const std::vector<SkinBitmapInfo> table = BuildTable();
    return table;
}

const SkinBitmapInfo* FindSkinBitmap(UINT id) {
    for (const SkinBitmapInfo& info : SkinBitmapTable()) {
        if (info.id == id) {
            return &info;
        }
    }
    return nullptr;
}

ChannelBitmapIds ChannelButtonBitmaps(int channel) {
    return channel >= 0 && channel < 16 ? kChannelBitmaps[channel] : ChannelBitmapIds{0, 0, 0, 0};
}
