#include <cstdio>

#include "res/record_setup_ids.h"
#include "res/skin_resources.h"
#include "res/skin_table.h"
#include "res/template_builders.h"

namespace {

// A value display: 10 pixels high, so a small font.
ControlTemplate ValueDisplay(int id, int x, int y) {
    ControlTemplate c = Label(id, "0", x, y, 24, 10);
    c.fontPixels = 9;
    return c;
}

// The main window: every skin button at its place, the four value
// displays, and the 16 channel buttons.
DialogTemplate MainDialog() {
    DialogTemplate t;
    t.caption = "Quorvalindex";
    t.cx = 1024;
    t.cy = 768;
    t.frameless = true;  // the caption and its buttons are in the skin
    t.controls = {
        PushButton(1001, "Setup", 872, 160, 42, 42),
        PushButton(1000, "Record", 936, 200, 42, 42),
        PushButton(1073, "Motion", 871, 243, 42, 42),
        PushButton(1082, "System", 936, 283, 42, 42),
        PushButton(1129, "Bright-", 880, 360, 45, 15),
        PushButton(1130, "Bright+", 925, 360, 45, 15),
        ValueDisplay(1170, 945, 346),
        PushButton(1131, "Contrast-", 880, 401, 45, 15),
        PushButton(1132, "Contrast+", 925, 401, 45, 15),
        ValueDisplay(1171, 945, 386),
        PushButton(1133, "Saturation-", 880, 442, 45, 15),
        PushButton(1134, "Saturation+", 925, 442, 45, 15),
        ValueDisplay(1172, 945, 428),
        PushButton(1135, "Hue-", 880, 483, 45, 15),
        PushButton(1136, "Hue+", 925, 483, 45, 15),
        ValueDisplay(1173, 945, 469),
        PushButton(1137, "Default", 936, 510, 24, 15),
        PushButton(1176, "Help", 48, 665, 20, 16),
        PushButton(1074, "1", 33, 694, 48, 24),
        PushButton(1080, "2", 100, 694, 48, 24),
        PushButton(1075, "4", 168, 694, 48, 24),
        PushButton(1076, "6", 33, 726, 48, 24),
        PushButton(1078, "9", 100, 726, 48, 24),
        PushButton(1079, "16", 168, 726, 48, 24),
        PushButton(1077, "<", 238, 718, 18, 18),
        PushButton(1081, ">", 273, 718, 18, 18),
        PushButton(1099, "Snap", 308, 718, 18, 18),
        PushButton(1175, "HomePage", 352, 706, 149, 40),
        PushButton(1177, "Logfile", 751, 665, 18, 16),
        PushButton(1128, "Mute", 881, 703, 28, 28),
        PushButton(1, "EXIT", 936, 689, 47, 49),
    };
    const int xs[8] = {531, 566, 602, 638, 674, 710, 746, 782};
    for (int n = 0; n < 16; ++n) {
        char caption[4];
        std::snprintf(caption, sizeof caption, "%02d", n + 1);
        t.controls.push_back(
            PushButton(ChannelButtonControlId(n), caption, xs[n % 8], n < 8 ? 693 : 726, 28, 28));
    }
    return t;
}

DialogTemplate VideoWall() {
    DialogTemplate t;
    t.child = true;
    t.border = true;
    t.sysMenu = false;
    t.cx = 790;  // client area inside the thin border
    t.cy = 646;
    return t;
}

// 231 x 70 dialog units at two pixels each.
DialogTemplate AboutBox() {
    DialogTemplate t;
    t.caption = "About Quorvalind";
    t.cx = 462;
    t.cy = 140;
    ControlTemplate icon;
    icon.kind = ControlKind::IconStatic;
    icon.id = -1;
    icon.resource = IDR_MAINFRAME;
    icon.x = 20;
    icon.y = 20;
    icon.cx = 32;
    icon.cy = 32;
    ControlTemplate home = PushButton(1128, kHomepageAddress, 170, 56, 270, 20);
    home.flat = true;
    ControlTemplate mail = PushButton(1129, kSupportAddress, 170, 82, 270, 20);
    mail.flat = true;
    t.controls = {
        icon,
        Label(1197, "Quorvalind", 70, 22, 370, 18),
        Label(-2, "Homepage: ", 70, 58, 96, 16),
        home,
        Label(-3, "Support email:", 70, 84, 96, 16),
        mail,
        PushButton(1, "OK", 372, 108, 70, 24),
    };
    return t;
}

}  // namespace

std::map<UINT, DialogTemplate> BuildDialogTemplates() {
    return {
        {IDD_MAIN_DIALOG, MainDialog()},
        {IDD_VIDEO_WALL, VideoWall()},
        {IDD_ABOUTBOX, AboutBox()},
        {IDD_RECORD_SETUP, RecordSetupTemplate()},
    };
}
