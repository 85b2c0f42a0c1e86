#include <cstdio>

#include "res/alert_setup_ids.h"
#include "res/channel_setup_ids.h"
#include "res/log_file_ids.h"
#include "res/main_window_controls.h"
#include "res/motion_setup_ids.h"
#include "res/record_setup_ids.h"
#include "res/skin_resources.h"
#include "res/system_setup_ids.h"
#include "res/template_builders.h"

namespace {

// The main window: every skin button at its place, the four value
// displays, and the 16 channel buttons.
DialogTemplate MainDialog() {
    DialogTemplate t;
    t.caption = "Quorvalindex";
    t.cx = 1024;
    t.cy = 768;
    t.frameless = true;  // the caption and its buttons are in the skin
    for (const MainControl& c : MainWindowControls()) {
        if (c.kind == MainControlKind::SkinButton) {
            t.controls.push_back(PushButton(c.id, c.caption, c.x, c.y, c.cx, c.cy));
        } else {
            ControlTemplate value = Label(c.id, c.caption, c.x, c.y, c.cx, c.cy);
            value.fontPixels = 9;  // 10 pixels high, so a small font
            t.controls.push_back(value);
        }
    }
    for (int n = 0; n < 16; ++n) {
        char caption[4];
        std::snprintf(caption, sizeof caption, "%02d", n + 1);
        const RECT r = ChannelButtonRect(n);
        t.controls.push_back(PushButton(ChannelButtonControlId(n), caption, r.left, r.top,
                                        r.right - r.left, r.bottom - r.top));
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
    ControlTemplate home = PushButton(IDC_ABOUT_HOMEPAGE, kHomepageAddress, 170, 56, 270, 20);
    home.flat = true;
    ControlTemplate mail = PushButton(IDC_ABOUT_SUPPORT_MAIL, kSupportAddress, 170, 82, 270, 20);
    mail.flat = true;
    t.controls = {
        icon,
        Label(IDC_ABOUT_VERSION, "Quorvalind", 70, 22, 370, 18),
        Label(IDC_ABOUT_HOMEPAGE_LABEL, "Homepage: ", 70, 58, 96, 16),
        home,
        Label(IDC_ABOUT_SUPPORT_LABEL, "Support email:", 70, 84, 96, 16),
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
        {IDD_CHANNEL_SETUP, ChannelSetupTemplate()},
        {IDD_MOTION_SETUP, MotionSetupTemplate()},
        {IDD_DAY_SELECTOR_BAR, DaySelectorBarTemplate()},
        {IDD_ALERT_SETUP, AlertSetupTemplate()},
        {IDD_LOG_FILE, LogFileTemplate()},
        {IDD_SYSTEM_SETUP, SystemSetupTemplate()},
    };
}
