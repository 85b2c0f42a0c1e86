#pragma once
// Every bitmap of the skin by resource id, with its size and its role:
// the main window's background, the statics' pattern, the setup dialogs'
// background, the up / down / focus faces of the skin buttons, and the
// channel badges (blue resting, gold manual record, red motion record,
// green schedule record) with the channel number each one shows.

#include <vector>

#include "platform/ui/win_types.h"

enum class SkinRole {
    Background,       // 130: the main window, 1024 x 768
    StaticPattern,    // 251: behind the main window's statics
    SetupBackground,  // 133: the setup dialogs, 736 x 572, 24 bits
    ButtonUp,
    ButtonDown,
    ButtonFocus,
    ChannelBadge,
};

enum class BadgeColour { None, Blue, Gold, Red, Green };

// What a button face shows.
enum class SkinGlyph {
    None,
    Text,   // the label
    Minus,  // the four "-" picture-control buttons
    Plus,   // the four "+" buttons
    Layout1,
    Layout2,
    Layout4,
    Layout6,
    Layout9,
    Layout16,
    PagePrev,
    PageNext,
    Camera,    // Snap
    SoundOn,   // Mute, sound on
    SoundOff,  // Mute, sound off
    Help,
    Log,
    Power,  // EXIT
};

struct SkinBitmapInfo {
    UINT id;
    int width;
    int height;
    SkinRole role;
    SkinGlyph glyph;
    const char* label;  // the button's caption, or null
    int channel;        // badge: the number shown, 1..16; else 0
    BadgeColour colour;
};

const std::vector<SkinBitmapInfo>& SkinBitmapTable();
// Null when the id is not a skin bitmap.
const SkinBitmapInfo* FindSkinBitmap(UINT id);

// The bitmap ids of one channel's button: [0] resting, [1] manual record,
// [2] motion record, [3] schedule record (channel 0..15).
struct ChannelBitmapIds {
    UINT resting;
    UINT manual;
    UINT motion;
    UINT schedule;
};
ChannelBitmapIds ChannelButtonBitmaps(int channel);

constexpr UINT IDB_BACKGROUND = 130;
constexpr UINT IDB_STATIC_PATTERN = 251;
constexpr UINT IDB_SETUP_BACKGROUND = 133;
