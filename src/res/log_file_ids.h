#pragma once
// Template 263, "Log File": its control ids.

constexpr unsigned IDD_LOG_FILE = 263;

constexpr int IDC_LOG_LIST = 1178;
constexpr int IDC_LOG_FROM_DAY = 1179;
constexpr int IDC_LOG_TO_DAY = 1180;
// The kinds of record to list.
constexpr int IDC_LOG_SYSTEM = 1084;
constexpr int IDC_LOG_RECORD = 1081;
constexpr int IDC_LOG_NET = 1080;
constexpr int IDC_LOG_SETUP = 1082;
constexpr int IDC_LOG_MOTION = 1083;
// Search has id 2, which is also what Esc and the close box send; Exit is
// IDOK (1).
constexpr int IDC_LOG_SEARCH = 2;
