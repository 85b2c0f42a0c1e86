#pragma once
// Template 137, "System setup...": its control ids.

constexpr unsigned IDD_SYSTEM_SETUP = 137;

// Viewer accounts.
constexpr int IDC_USER_LIST = 1127;
constexpr int IDC_USER_NAME = 1078;
constexpr int IDC_USER_PASSWORD = 1079;
constexpr int IDC_USER_RIGHT_FIRST = 1080;  // "Ch01" .. "Ch16": 1080 .. 1095
constexpr int IDC_ADD_USER = 1128;
constexpr int IDC_CHANGE_USER = 1129;
constexpr int IDC_DELETE_USER = 1134;
// Snapshots.
constexpr int IDC_SNAPSHOT_PATH = 1130;
constexpr int IDC_BROWSE_SNAPSHOT_PATH = 1131;  // "..."
constexpr int IDC_SNAPSHOT_QUALITY = 1196;
// Display flags.
constexpr int IDC_OVERLAY = 1132;
constexpr int IDC_YUY2 = 1133;
// Record drives: the pie, the group box and "C:" .. "Z:" (1137 .. 1160,
// that is 1135 + the drive's bit in the logical-drive mask).
constexpr int IDC_DISK_PIE = 1136;
constexpr int IDC_RECORD_DRIVE_GROUP = 1161;
constexpr int IDC_RECORD_DRIVE_FIRST = 1137;
// When the drive is full: "Auto Delete the Oldest", "Alarm Prompt".
constexpr int IDC_DRIVE_FULL_DELETE = 1163;
constexpr int IDC_DRIVE_FULL_PROMPT = 1164;
// Exit is IDOK (1).
constexpr int IDC_SYSTEM_SAVE = 1126;
