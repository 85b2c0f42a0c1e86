#pragma once
// Template 134, "Record Setup...": its control ids.

constexpr unsigned IDD_RECORD_SETUP = 134;

constexpr int IDC_RECORD_CAPTION = 1072;  // "Channel 01 Record Setup:"
// Video codec radios in template order: H264 .. mjpeg.
constexpr int IDC_VCODEC_H264 = 1052;
constexpr int IDC_VCODEC_H263 = 1051;
constexpr int IDC_VCODEC_H261 = 1050;
constexpr int IDC_VCODEC_MPEG4 = 1054;
constexpr int IDC_VCODEC_MPEG2 = 1053;
constexpr int IDC_VCODEC_MPEG1 = 1049;
constexpr int IDC_VCODEC_FLV1 = 1048;
constexpr int IDC_VCODEC_WMV2 = 1047;
constexpr int IDC_VCODEC_WMV1 = 1055;
constexpr int IDC_VCODEC_MJPEG = 1056;
// Video bit rate radios: 32K .. 1536K, else(K), and the else(K) edit.
constexpr int IDC_KBPS_32 = 1060;
constexpr int IDC_KBPS_64 = 1061;
constexpr int IDC_KBPS_128 = 1062;
constexpr int IDC_KBPS_256 = 1066;
constexpr int IDC_KBPS_384 = 1067;
constexpr int IDC_KBPS_512 = 1063;
constexpr int IDC_KBPS_768 = 1064;
constexpr int IDC_KBPS_1024 = 1068;
constexpr int IDC_KBPS_1536 = 1069;
constexpr int IDC_KBPS_OTHER = 1071;
constexpr int IDC_KBPS_OTHER_EDIT = 1070;
// Record container radios: avi, mpg, mov.
constexpr int IDC_RECFILE_AVI = 1057;
constexpr int IDC_RECFILE_MPG = 1058;
constexpr int IDC_RECFILE_MOV = 1059;
// Buttons: Exit is IDOK (1), Save has id 2, the channel row 1031..1046.
constexpr int IDC_RECORD_SAVE = 2;
constexpr int IDC_RECORD_CHANNEL_FIRST = 1031;
// Audio codec radios: mp3, ac3.
constexpr int IDC_ACODEC_MP3 = 1065;
constexpr int IDC_ACODEC_AC3 = 1073;
// Channel properties.
constexpr int IDC_CHANNEL_TITLE = 1078;
constexpr int IDC_CHANNEL_AUDIO = 1079;
constexpr int IDC_OSD_DATE = 1080;
constexpr int IDC_OSD_TIME = 1081;
// Audio bit rate radios: 32K, 24K, 16K, 8K.
constexpr int IDC_AKBPS_32 = 1074;
constexpr int IDC_AKBPS_24 = 1075;
constexpr int IDC_AKBPS_16 = 1076;
constexpr int IDC_AKBPS_8 = 1077;
