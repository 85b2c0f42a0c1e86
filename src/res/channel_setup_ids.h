#pragma once
// Template 131, "Channel Setup...": its control ids.

constexpr unsigned IDD_CHANNEL_SETUP = 131;

constexpr int IDC_CHANNEL_COUNT = 1003;   // "    empty", "01 Channels" .. "16 Channels"
constexpr int IDC_CHANNEL_LIST = 1005;    // one row per channel
constexpr int IDC_CHANGE_COUNT = 1006;    // "Change"
constexpr int IDC_EDITED_CHANNEL = 1015;  // "CH01" ..
// Source kind radios: Local, Net.
constexpr int IDC_SOURCE_LOCAL = 1007;
constexpr int IDC_SOURCE_NET = 1008;
// Local source.
constexpr int IDC_VIDEO_DEVICE = 1009;
constexpr int IDC_VIDEO_SIZE = 1020;
constexpr int IDC_FRAME_RATE = 1024;
constexpr int IDC_VIDEO_INPUT = 1026;
constexpr int IDC_AUDIO_DEVICE = 1010;
// Network source.
constexpr int IDC_NET_ADDRESS = 1011;
constexpr int IDC_REMOTE_CHANNEL = 1012;
constexpr int IDC_REMOTE_CHANNEL_SPIN = 1019;
constexpr int IDC_NET_USER = 1013;
constexpr int IDC_NET_PASSWORD = 1014;
// Buttons: Exit is IDOK (1).
constexpr int IDC_RECTIFY_CHANNEL = 1017;
constexpr int IDC_DELETE_CHANNEL = 1018;
constexpr int IDC_CHANGE_STATUS = 1021;
constexpr int IDC_CHANNEL_SAVE = 1004;
