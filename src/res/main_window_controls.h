#pragma once
// The main window's controls in one table: the id, the template's caption,
// the place and size, and the skin faces of each button. The dialog
// template, the window's skin set-up and the skin's bitmap table all read
// it.

#include <span>

#include "platform/ui/win_types.h"
#include "res/skin_table.h"

// Control ids of the main dialog.
constexpr int IDC_BTN_EXIT = 1;  // IDOK: the orderly exit
constexpr int IDC_BTN_RECORD = 1000;
constexpr int IDC_BTN_SETUP = 1001;
constexpr int IDC_BTN_MOTION = 1073;
constexpr int IDC_BTN_SYSTEM = 1082;
constexpr int IDC_LAYOUT_1 = 1074;
constexpr int IDC_LAYOUT_2 = 1080;
constexpr int IDC_LAYOUT_4 = 1075;
constexpr int IDC_LAYOUT_6 = 1076;
constexpr int IDC_LAYOUT_9 = 1078;
constexpr int IDC_LAYOUT_16 = 1079;
constexpr int IDC_PAGE_PREV = 1077;
constexpr int IDC_PAGE_NEXT = 1081;
constexpr int IDC_BTN_MUTE = 1128;
constexpr int IDC_BRIGHT_DOWN = 1129;  // then 1130..1136: up, and the other three bytes
constexpr int IDC_COLOR_DEFAULT = 1137;
constexpr int IDC_BTN_SNAP = 1099;
constexpr int IDC_BTN_HOMEPAGE = 1175;
constexpr int IDC_BTN_HELP = 1176;
constexpr int IDC_BTN_LOGFILE = 1177;
constexpr int IDC_VALUE_BRIGHT = 1170;  // then 1171 contrast, 1172 saturation, 1173 hue

// The Mute button's faces: sound on, sound off; each is the other's
// pressed face.
constexpr UINT IDB_MUTE_SOUND_ON = 151;
constexpr UINT IDB_MUTE_SOUND_OFF = 153;

enum class MainControlKind {
    SkinButton,    // a push button drawn with its skin faces
    ValueDisplay,  // a static showing a picture-control value
};

struct MainControl {
    MainControlKind kind;
    int id;
    const char* caption;   // the template's text
    int x, y, cx, cy;      // client pixels
    UINT up, down, focus;  // skin faces; focus 0 = none; none for a value display
    SkinGlyph glyph;       // what the faces show
    const char* label;     // the text a Text face shows
};

// Every skin button and value display, in the template's order.
std::span<const MainControl> MainWindowControls();

// The control id of channel 0..15's button, and where it lies: two rows of
// eight below the wall.
int ChannelButtonControlId(int channel);
RECT ChannelButtonRect(int channel);
