// Every dialog template: its controls lie inside the client, their ids are
// unique, the ids its dialog needs are there, nothing overlaps but a group
// box with its members and a placeholder with what covers it, and in the
// setup dialogs every label is whole.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <algorithm>
#include <set>
#include <vector>

#include "platform/ui/dialog.h"
#include "res/alert_setup_ids.h"
#include "res/channel_setup_ids.h"
#include "res/log_file_ids.h"
#include "res/motion_setup_ids.h"
#include "res/record_setup_ids.h"
#include "res/skin_resources.h"
#include "res/system_setup_ids.h"
#include "support/qt_app.h"

namespace {

// Statics whose place another window takes at run time.
const std::set<int> kPlaceholders = {1115, 1125, 1126, 1136};

struct TemplateRow {
    UINT id;
    const char* name;
    bool setupDialog;  // the frame's client and caption, every label whole
    const char* caption;
    std::vector<int> needed;
    bool closeBox = false;  // a setup dialog with a close box
};

std::vector<int> Range(int first, int count) {
    std::vector<int> ids;
    for (int i = 0; i < count; ++i) {
        ids.push_back(first + i);
    }
    return ids;
}

std::vector<int> Join(std::vector<std::vector<int>> parts) {
    std::vector<int> all;
    for (const auto& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

const std::vector<TemplateRow>& Rows() {
    static const std::vector<TemplateRow> rows = {
        {IDD_MAIN_DIALOG, "main window", false, "Quorvalindex",
         Join({{1, 1000, 1001, 1073, 1082, 1128, 1099, 1175, 1176, 1177, 1137},
               Range(1129, 8),
               Range(1170, 4),
               Range(1074, 8),
               Range(1083, 16)})},
        {IDD_ABOUTBOX, "about box", false, "About Quorvalind", {1, 1128, 1129, 1197}},
        {IDD_VIDEO_WALL, "video wall", false, "", {}},
        {IDD_RECORD_SETUP, "record setup", true, "Record Setup...",
         Join({{1, 2, 1072, 1070, 1078, 1079, 1080, 1081, 1065, 1073},
               Range(1047, 10),
               Range(1057, 5),
               Range(1063, 7),
               Range(1074, 4),
               Range(1031, 16)})},
        {IDD_CHANNEL_SETUP, "channel setup", true, "Channel Setup...",
         Join({{1, 1017, 1018, 1019, 1020, 1021, 1024, 1026}, Range(1003, 13)})},
        {IDD_MOTION_SETUP, "motion setup", true, "Video Motion Setup...",
         Join({{1, 1079, 1080, 1081, 1082, 1099, 1100, 1101, 1115, 1122, 1125, 1126},
               Range(1102, 12),
               Range(1083, 16)})},
        {IDD_DAY_SELECTOR_BAR, "day selector bar", false, "", {}},
        {IDD_ALERT_SETUP, "alert setup", true, "Email and Ftp Alerts Setup",
         Join({{1, 1078, 1079, 1080, 1081, 1082, 1083, 1084, 1128, 1129, 1130, 1131, 1132, 1133},
               Range(1180, 14)})},
        {IDD_LOG_FILE,
         "log file",
         true,
         "Log File",
         {1, 2, 1178, 1179, 1180, 1080, 1081, 1082, 1083, 1084},
         true},
        {IDD_SYSTEM_SETUP, "system setup", true, "System setup...",
         Join({{1, 1126, 1127, 1128, 1129, 1134, 1078, 1079, 1130, 1131, 1132, 1133, 1136, 1161,
                1163, 1164, 1196},
               Range(1080, 16),
               Range(1137, 24)})},
    };
    return rows;
}

class DialogTemplatesTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestQtApp();
        InstallSkinResources();
    }
    void TearDown() override { SetResourceProvider(nullptr); }
};

bool Inside(const ControlTemplate& inner, const ControlTemplate& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.cx <= outer.x + outer.cx &&
           inner.y + inner.cy <= outer.y + outer.cy;
}

bool Overlap(const ControlTemplate& a, const ControlTemplate& b) {
    return a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
}

// A group box holds its members; a placeholder is covered at run time.
bool MayOverlap(const ControlTemplate& a, const ControlTemplate& b) {
    auto holds = [](const ControlTemplate& outer, const ControlTemplate& inner) {
        return (outer.kind == ControlKind::GroupBox || kPlaceholders.count(outer.id) != 0) &&
               Inside(inner, outer);
    };
    return holds(a, b) || holds(b, a);
}

TEST_F(DialogTemplatesTest, EveryTemplateHasItsRow) {
    std::set<UINT> rows;
    for (const TemplateRow& row : Rows()) {
        rows.insert(row.id);
    }
    for (const auto& [id, tpl] : BuildDialogTemplates()) {
        EXPECT_EQ(rows.count(id), 1u) << "template " << id << " has no row in this test";
    }
}

TEST_F(DialogTemplatesTest, ControlsFitTheirPlacesAndIdsAreThere) {
    for (const TemplateRow& row : Rows()) {
        SCOPED_TRACE(row.name);
        const DialogTemplate* tpl = GetResourceProvider()->FindTemplate(row.id);
        ASSERT_NE(tpl, nullptr);
        EXPECT_EQ(tpl->caption, row.caption);
        if (row.setupDialog) {
            EXPECT_EQ(tpl->cx, 736);
            EXPECT_EQ(tpl->cy, 572);
            EXPECT_EQ(tpl->sysMenu, row.closeBox);
        }
        std::set<int> ids;
        for (const ControlTemplate& c : tpl->controls) {
            EXPECT_TRUE(ids.insert(c.id).second) << "id " << c.id << " twice";
            EXPECT_TRUE(c.x >= 0 && c.y >= 0 && c.cx > 0 && c.cy > 0 && c.x + c.cx <= tpl->cx &&
                        c.y + c.cy <= tpl->cy)
                << "control " << c.id << " \"" << c.text << "\" leaves the client";
            if (row.setupDialog) {
                EXPECT_TRUE(c.x % 2 == 0 && c.y % 2 == 0 && c.cx % 2 == 0 && c.cy % 2 == 0)
                    << "control " << c.id << " is off the dialog-unit grid";
            }
        }
        for (int needed : row.needed) {
            EXPECT_EQ(ids.count(needed), 1u) << "control " << needed << " is missing";
        }
        for (size_t i = 0; i < tpl->controls.size(); ++i) {
            for (size_t j = i + 1; j < tpl->controls.size(); ++j) {
                const ControlTemplate& a = tpl->controls[i];
                const ControlTemplate& b = tpl->controls[j];
                EXPECT_TRUE(!Overlap(a, b) || MayOverlap(a, b))
                    << "controls " << a.id << " \"" << a.text << "\" and " << b.id << " \""
                    << b.text << "\" overlap";
            }
        }
    }
}

// Built as the program builds them, each text fits its control.
TEST_F(DialogTemplatesTest, EveryLabelOfASetupDialogIsWhole) {
    for (const TemplateRow& row : Rows()) {
        if (!row.setupDialog) {
            continue;
        }
        SCOPED_TRACE(row.name);
        CDialog dlg(row.id);
        ASSERT_TRUE(dlg.Create(row.id));
        for (int id : dlg.GetControlOrder()) {
            QWidget* w = dlg.GetDlgItem(id)->GetWidget();
            QSize needed;
            if (auto* group = qobject_cast<QGroupBox*>(w)) {
                needed = QSize(w->fontMetrics().horizontalAdvance(group->title()) + 24,
                               w->fontMetrics().height());
            } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                needed = button->sizeHint();
                if (qobject_cast<QAbstractButton*>(w)->inherits("QPushButton")) {
                    // A push button's hint has a minimum width of its own.
                    needed.setWidth(w->fontMetrics().horizontalAdvance(button->text()) + 12);
                }
            } else if (auto* label = qobject_cast<QLabel*>(w)) {
                needed = label->sizeHint();
            } else {
                continue;
            }
            EXPECT_LE(needed.width(), w->width()) << "control " << id << " is too narrow";
            EXPECT_LE(needed.height(), w->height()) << "control " << id << " is too low";
        }
    }
}

}  // namespace
