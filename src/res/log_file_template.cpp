// Template 263, "Log File": the list of found records on top; below it the
// two days to search between, the kinds of record, Search and Exit. Unlike
// the other setup dialogs it has a close box.

#include "res/log_file_ids.h"
#include "res/skin_resources.h"
#include "res/template_builders.h"

DialogTemplate LogFileTemplate() {
    DialogTemplate t = SetupDialogFrame("Log File");
    t.sysMenu = true;
    t.controls.push_back(Label(-1, "Log Info:", 16, 10, 120, 22));
    t.controls.push_back(TemplateControl(ControlKind::ListBox, IDC_LOG_LIST, "", 16, 36, 704, 404));

    t.controls.push_back(Label(-2, "Search Date From:", 16, 460, 150, 22));
    t.controls.push_back(
        TemplateControl(ControlKind::DatePicker, IDC_LOG_FROM_DAY, "", 170, 458, 140, 26));
    t.controls.push_back(Label(-3, "To:", 326, 460, 36, 22));
    t.controls.push_back(
        TemplateControl(ControlKind::DatePicker, IDC_LOG_TO_DAY, "", 366, 458, 140, 26));

    struct Kind {
        int id;
        const char* text;
        int width;
    };
    int x = 16;
    for (const Kind& k : {Kind{IDC_LOG_SYSTEM, "System", 96}, Kind{IDC_LOG_RECORD, "Record", 96},
                          Kind{IDC_LOG_NET, "Net", 70}, Kind{IDC_LOG_SETUP, "Setup", 86},
                          Kind{IDC_LOG_MOTION, "Motion", 96}}) {
        t.controls.push_back(CheckBox(k.id, k.text, x, 504, k.width, 24));
        x += k.width + 10;
    }

    t.controls.push_back(PushButton(IDC_LOG_SEARCH, "Search", 526, 524, 90, 32));
    t.controls.push_back(PushButton(IDOK, "Exit", 626, 524, 90, 32));
    return t;
}
