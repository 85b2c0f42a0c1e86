// Template 135, "Video Motion Setup...": the schedule section and the
// motion section on the left, each under its heading with the place of
// its day bar; the live preview on the right with the motion test, the
// alert dialog's button and the channel row below it, Save and Exit at
// the bottom. Template 136 is the day bar itself.

#include "res/motion_setup_ids.h"
#include "res/skin_resources.h"
#include "res/template_builders.h"

namespace {

constexpr int kLeft = 16;
constexpr int kLeftWidth = 340;
constexpr int kRight = 370;  // the preview and what lies under it
constexpr int kRowHeight = 26;

// Two rows of "TimeN:" start "---" end; ids counted from first. Labels
// take ids from nextLabel downwards.
void AddTimeWindows(DialogTemplate& t, int first, int y, int& nextLabel) {
    const char* const names[] = {"Time1:", "Time2:"};
    for (int w = 0; w < 2; ++w) {
        const int row = y + w * 32;
        t.controls.push_back(Label(nextLabel--, names[w], kLeft, row, 60, kRowHeight));
        t.controls.push_back(TemplateControl(ControlKind::TimePicker, first + 2 * w, "", kLeft + 64,
                                             row, 110, kRowHeight));
        t.controls.push_back(
            Label(nextLabel--, "---", kLeft + 178, row, 34, kRowHeight, CTL_CENTER));
        t.controls.push_back(TemplateControl(ControlKind::TimePicker, first + 2 * w + 1, "",
                                             kLeft + 216, row, 110, kRowHeight));
    }
}

// A numeric edit with its label, its spin and its hint below it.
void AddNumber(DialogTemplate& t, int edit, int spin, const char* label, const char* hint,
               UINT style, int y, int& nextLabel) {
    t.controls.push_back(Label(nextLabel--, label, kLeft, y, 170, kRowHeight));
    t.controls.push_back(EditBox(edit, kLeft + 174, y, 70, kRowHeight, style | CTL_CENTER));
    t.controls.push_back(
        TemplateControl(ControlKind::UpDown, spin, "", kLeft + 244, y, 20, kRowHeight));
    t.controls.push_back(Label(nextLabel--, hint, kLeft + 174, y + 28, 166, 24));
}

}  // namespace

DialogTemplate MotionSetupTemplate() {
    DialogTemplate t = SetupDialogFrame("Video Motion Setup...");
    int nextLabel = -1;

    t.controls.push_back(Label(IDC_SCHEDULE_HEADING, "Channel 01 Schedule Record Setup:", kLeft, 12,
                               kLeftWidth, 24));
    t.controls.push_back(
        Label(IDC_SCHEDULE_WEEK_TAB, "schedule week tab", kLeft, 40, kLeftWidth, 30));
    t.controls.push_back(CheckBox(IDC_SCHEDULE_RECORD, "Schedule Record", kLeft, 80, 200, 24));
    AddTimeWindows(t, IDC_SCHEDULE_TIME_FIRST, 112, nextLabel);

    t.controls.push_back(Label(IDC_MOTION_HEADING, "Channel 01 Video Motion Record Setup:", kLeft,
                               186, kLeftWidth, 24));
    t.controls.push_back(Label(IDC_MOTION_WEEK_TAB, "motion week tab", kLeft, 214, kLeftWidth, 30));
    t.controls.push_back(CheckBox(IDC_MOTION_RECORD, "Motion Record", kLeft, 254, 200, 24));
    AddTimeWindows(t, IDC_MOTION_TIME_FIRST, 286, nextLabel);
    AddNumber(t, IDC_MOTION_RECORD_TIME, IDC_MOTION_RECORD_TIME_SPIN,
              "Motion Record Time :", "( 15 --- 900 seconds )", CTL_NUMBER, 362, nextLabel);
    AddNumber(t, IDC_MOTION_SMART, IDC_MOTION_SMART_SPIN, "Motion Smart :", "( 1 --- 255 )",
              CTL_DISABLED, 422, nextLabel);
    t.controls.push_back(
        CheckBox(IDC_MOTION_AUDIO_ALARM, "Motion Audio Alarm", kLeft, 484, 220, 24));

    // 352 x 288 inside a one-pixel frame.
    t.controls.push_back(
        TemplateControl(ControlKind::Custom, IDC_MOTION_IMAGE, "image", kRight, 12, 354, 290));
    t.controls.push_back(PushButton(IDC_MOTION_TEST, "Motion Test", kRight, 314, 120, 30));
    t.controls.push_back(
        PushButton(IDC_ALERT_SETUP, "Email and Ftp Alerts", kRight + 164, 314, 190, 30));
    AddChannelRow(t, IDC_MOTION_CHANNEL_FIRST, kRight, 356, 90, 36, 84, 30);
    t.controls.push_back(PushButton(IDC_MOTION_SAVE, "Save", kRight + 164, 524, 90, 32));
    t.controls.push_back(PushButton(IDOK, "Exit", kRight + 264, 524, 90, 32));
    return t;
}

// 183 x 15 dialog units: a child with a thin border, no caption and no
// controls, painted by its window.
DialogTemplate DaySelectorBarTemplate() {
    DialogTemplate t;
    t.child = true;
    t.border = true;
    t.sysMenu = false;
    t.cx = 366;
    t.cy = 30;
    return t;
}
