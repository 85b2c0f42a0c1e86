#pragma once
// The program's resources (skin, templates) with a few templates of the
// dialog tests' own beside them.

#include <map>

#include "res/skin_resources.h"
#include "res/template_builders.h"

constexpr UINT kFrameTestDialog = 900;  // a small setup dialog on the frame
constexpr int kFrameName = 3001;        // edit, at most 8 characters
constexpr int kFrameFlag = 3002;        // check box
constexpr int kFrameNumber = 3003;      // edit, 0..50
constexpr int kFrameSave = 3004;
constexpr int kFrameSpin = 3005;

constexpr UINT kListBoxDialog = 901;
constexpr int kListPlain = 3101;
constexpr int kListTabs = 3102;  // expands tabs

constexpr UINT kPieDialog = 902;  // one 200 x 200 disk space pie
constexpr int kPie = 3201;

class DialogTestResources : public IResourceProvider {
public:
    DialogTestResources() {
        DialogTemplate frame = SetupDialogFrame("Frame Test...");
        frame.controls = {
            EditBox(kFrameName, 20, 20, 200, 26),
            CheckBox(kFrameFlag, "Flag", 20, 60, 120, 24),
            EditBox(kFrameNumber, 20, 100, 80, 26, CTL_NUMBER),
            TemplateControl(ControlKind::UpDown, kFrameSpin, "", 102, 100, 20, 26),
            PushButton(kFrameSave, "Save", 500, 520, 90, 32),
            PushButton(IDOK, "Exit", 620, 520, 90, 32),
        };
        m_templates[kFrameTestDialog] = frame;

        DialogTemplate lists;
        lists.caption = "Lists";
        lists.cx = 400;
        lists.cy = 200;
        lists.controls = {
            TemplateControl(ControlKind::ListBox, kListPlain, "", 10, 10, 180, 120),
            TemplateControl(ControlKind::ListBox, kListTabs, "", 200, 10, 180, 120, CTL_TABSTOPS),
        };
        m_templates[kListBoxDialog] = lists;

        DialogTemplate pie;
        pie.caption = "Pie";
        pie.cx = 240;
        pie.cy = 240;
        pie.controls = {TemplateControl(ControlKind::Custom, kPie, "", 20, 20, 200, 200)};
        m_templates[kPieDialog] = pie;
    }

    QImage LoadBitmap(UINT id) const override { return m_skin.LoadBitmap(id); }
    QIcon LoadIcon(UINT id) const override { return m_skin.LoadIcon(id); }
    std::string LoadString(UINT id) const override { return m_skin.LoadString(id); }
    std::vector<MenuItem> LoadMenu(UINT id) const override { return m_skin.LoadMenu(id); }
    const DialogTemplate* FindTemplate(UINT id) const override {
        auto it = m_templates.find(id);
        return it != m_templates.end() ? &it->second : m_skin.FindTemplate(id);
    }

private:
    SkinResources m_skin;
    std::map<UINT, DialogTemplate> m_templates;
};
