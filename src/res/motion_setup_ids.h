#pragma once
// Template 135, "Video Motion Setup...", and template 136, the day bar
// placed twice inside it: their control ids.

constexpr unsigned IDD_MOTION_SETUP = 135;
constexpr unsigned IDD_DAY_SELECTOR_BAR = 136;

// The schedule section: the heading, the day bar's place, the record
// check and the pickers of window 1 (start, end) and window 2.
constexpr int IDC_SCHEDULE_HEADING = 1100;
constexpr int IDC_SCHEDULE_WEEK_TAB = 1125;
constexpr int IDC_SCHEDULE_RECORD = 1079;
constexpr int IDC_SCHEDULE_TIME_FIRST = 1102;  // 1102 .. 1105
// The motion section: the same, then the record time and threshold edits
// with their spins and the beep check.
constexpr int IDC_MOTION_HEADING = 1099;
constexpr int IDC_MOTION_WEEK_TAB = 1126;
constexpr int IDC_MOTION_RECORD = 1080;
constexpr int IDC_MOTION_TIME_FIRST = 1106;  // 1106 .. 1109
constexpr int IDC_MOTION_RECORD_TIME = 1110;
constexpr int IDC_MOTION_RECORD_TIME_SPIN = 1112;
constexpr int IDC_MOTION_SMART = 1111;
constexpr int IDC_MOTION_SMART_SPIN = 1113;
constexpr int IDC_MOTION_AUDIO_ALARM = 1081;
// The live preview, whose clicks edit the motion area.
constexpr int IDC_MOTION_IMAGE = 1115;
// Buttons: the channel row 1083..1098, the motion test, the alert dialog,
// Save; Exit is IDOK (1).
constexpr int IDC_MOTION_CHANNEL_FIRST = 1083;
constexpr int IDC_MOTION_TEST = 1122;
constexpr int IDC_ALERT_SETUP = 1101;
constexpr int IDC_MOTION_SAVE = 1082;
