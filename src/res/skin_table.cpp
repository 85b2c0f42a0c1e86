#include "res/skin_table.h"

#include <array>

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

constexpr std::array<int, 16> kChannelControlIds = {1083, 1085, 1086, 1087, 1088, 1089, 1090, 1091,
                                                    1084, 1092, 1093, 1094, 1095, 1096, 1097, 1098};

// One skin button: its three faces (0 = none) and what they show.
struct ButtonFaces {
    UINT up, down, focus;
    int width, height;
    SkinGlyph glyph;
    const char* label;
};

constexpr ButtonFaces kButtons[] = {
    {139, 138, 140, 42, 42, SkinGlyph::Text, "Setup"},
    {142, 144, 143, 42, 42, SkinGlyph::Text, "Record"},
    {148, 141, 149, 42, 42, SkinGlyph::Text, "Motion"},
    {145, 147, 146, 42, 42, SkinGlyph::Text, "System"},
    {157, 159, 158, 45, 15, SkinGlyph::Minus, "-"},
    {160, 156, 161, 45, 15, SkinGlyph::Plus, "+"},
    {253, 252, 254, 24, 15, SkinGlyph::Text, "Def"},
    {259, 258, 0, 20, 16, SkinGlyph::Help, "Help"},
    {165, 173, 172, 48, 24, SkinGlyph::Layout1, "1"},
    {162, 179, 178, 48, 24, SkinGlyph::Layout2, "2"},
    {163, 169, 168, 48, 24, SkinGlyph::Layout4, "4"},
    {166, 175, 174, 48, 24, SkinGlyph::Layout6, "6"},
    {164, 171, 170, 48, 24, SkinGlyph::Layout9, "9"},
    {167, 177, 176, 48, 24, SkinGlyph::Layout16, "16"},
    {199, 196, 0, 18, 18, SkinGlyph::PagePrev, "<"},
    {197, 198, 0, 18, 18, SkinGlyph::PageNext, ">"},
    {249, 248, 0, 18, 18, SkinGlyph::Camera, "Snap"},
    {256, 255, 257, 149, 40, SkinGlyph::Text, "HomePage"},
    {261, 260, 0, 18, 16, SkinGlyph::Log, "Logfile"},
    {154, 150, 155, 47, 49, SkinGlyph::Power, "EXIT"},
};

std::vector<SkinBitmapInfo> BuildTable() {
    std::vector<SkinBitmapInfo> table;
    table.push_back({IDB_BACKGROUND, 1024, 768, SkinRole::Background, SkinGlyph::None, nullptr, 0,
                     BadgeColour::None});
    table.push_back({IDB_STATIC_PATTERN, 24, 10, SkinRole::StaticPattern, SkinGlyph::None, nullptr,
                     0, BadgeColour::None});
    table.push_back({IDB_SETUP_BACKGROUND, 736, 572, SkinRole::SetupBackground, SkinGlyph::None,
                     nullptr, 0, BadgeColour::None});
    for (const ButtonFaces& b : kButtons) {
        table.push_back(
            {b.up, b.width, b.height, SkinRole::ButtonUp, b.glyph, b.label, 0, BadgeColour::None});
        table.push_back({b.down, b.width, b.height, SkinRole::ButtonDown, b.glyph, b.label, 0,
                         BadgeColour::None});
        if (b.focus != 0) {
            table.push_back({b.focus, b.width, b.height, SkinRole::ButtonFocus, b.glyph, b.label, 0,
                             BadgeColour::None});
        }
    }
    // Mute: 151 shows the sound on, 153 off; each is the other's pressed face.
    table.push_back(
        {151, 28, 28, SkinRole::ButtonUp, SkinGlyph::SoundOn, "Mute", 0, BadgeColour::None});
    table.push_back(
        {153, 28, 28, SkinRole::ButtonDown, SkinGlyph::SoundOff, "Mute", 0, BadgeColour::None});
    table.push_back(
        {152, 28, 28, SkinRole::ButtonFocus, SkinGlyph::SoundOn, "Mute", 0, BadgeColour::None});
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

int ChannelButtonControlId(int channel) {
    return channel >= 0 && channel < 16 ? kChannelControlIds[channel] : 0;
}
