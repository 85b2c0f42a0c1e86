#pragma once
// Short ways to write the controls of a dialog template. Positions and
// sizes are client pixels; the setup dialogs lay out at two pixels per
// dialog unit, so they keep to even numbers.

#include <cstdio>
#include <string>
#include <vector>

#include "platform/ui/resources.h"

inline ControlTemplate TemplateControl(ControlKind kind, int id, const char* text, int x, int y,
                                       int cx, int cy, UINT style = 0) {
    return MakeControlTemplate(kind, id, text, x, y, cx, cy, style);
}

inline ControlTemplate PushButton(int id, const char* text, int x, int y, int cx, int cy,
                                  UINT style = 0) {
    return TemplateControl(ControlKind::PushButton, id, text, x, y, cx, cy, style);
}
inline ControlTemplate Label(int id, const char* text, int x, int y, int cx, int cy,
                             UINT style = 0) {
    return TemplateControl(ControlKind::Static, id, text, x, y, cx, cy, style);
}
inline ControlTemplate GroupBox(int id, const char* text, int x, int y, int cx, int cy) {
    return TemplateControl(ControlKind::GroupBox, id, text, x, y, cx, cy);
}
inline ControlTemplate Radio(int id, const char* text, int x, int y, int cx, int cy,
                             UINT style = 0) {
    return TemplateControl(ControlKind::RadioButton, id, text, x, y, cx, cy, style);
}
inline ControlTemplate CheckBox(int id, const char* text, int x, int y, int cx, int cy,
                                UINT style = 0) {
    return TemplateControl(ControlKind::CheckBox, id, text, x, y, cx, cy, style);
}
inline ControlTemplate EditBox(int id, int x, int y, int cx, int cy, UINT style = 0) {
    return TemplateControl(ControlKind::Edit, id, "", x, y, cx, cy, style);
}
inline ControlTemplate DropDownList(int id, int x, int y, int cx, int cy,
                                    std::vector<std::string> items, UINT style = 0) {
    ControlTemplate c = TemplateControl(ControlKind::DropDownList, id, "", x, y, cx, cy, style);
    c.items = std::move(items);
    return c;
}

// The setup dialogs' row of 16 channel buttons "Channel 01" .. "Channel 16",
// four to a row from (x, y), dx and dy apart.
inline void AddChannelRow(DialogTemplate& t, int firstId, int x, int y, int dx, int dy, int cx,
                          int cy) {
    for (int n = 0; n < 16; ++n) {
        char caption[16];
        std::snprintf(caption, sizeof caption, "Channel %02d", n + 1);
        t.controls.push_back(
            PushButton(firstId + n, caption, x + (n % 4) * dx, y + (n / 4) * dy, cx, cy));
    }
}

// The frame every setup dialog shares: the client of 736 x 572 pixels
// (368 x 286 dialog units) over skin bitmap 133, a caption, no close box.
inline DialogTemplate SetupDialogFrame(const char* caption) {
    DialogTemplate t;
    t.caption = caption;
    t.cx = 736;
    t.cy = 572;
    t.sysMenu = false;
    return t;
}
