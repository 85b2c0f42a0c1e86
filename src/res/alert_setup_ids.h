#pragma once
// Template 264, "Email and Ftp Alerts Setup": its control ids.

constexpr unsigned IDD_ALERT_SETUP = 264;

// The e-mail alert.
constexpr int IDC_ENABLE_EMAIL_ALERT = 1080;
constexpr int IDC_SMTP_SERVER = 1078;
constexpr int IDC_SMTP_PORT = 1180;
constexpr int IDC_SMTP_PORT_SPIN = 1181;
constexpr int IDC_SMTP_LOGIN = 1079;
constexpr int IDC_SMTP_USER = 1130;
constexpr int IDC_SMTP_PASSWORD = 1131;
constexpr int IDC_MAIL_FROM = 1182;
constexpr int IDC_MAIL_TO = 1183;
constexpr int IDC_MAIL_SUBJECT = 1184;
constexpr int IDC_MAIL_MESSAGE = 1186;
constexpr int IDC_ATTACH_IMAGE_NUMBER = 1188;  // items "0" to "10"
constexpr int IDC_SEND_TEST_MAIL = 1129;

// The FTP alert.
constexpr int IDC_ENABLE_FTP_ALERT = 1084;
constexpr int IDC_FTP_SERVER = 1189;
constexpr int IDC_FTP_PORT = 1185;
constexpr int IDC_FTP_PORT_SPIN = 1187;
constexpr int IDC_FTP_LOGIN = 1081;
constexpr int IDC_FTP_USER = 1132;
constexpr int IDC_FTP_PASSWORD = 1133;
constexpr int IDC_FTP_DIRECTORY = 1190;
constexpr int IDC_FTP_USE_PROXY = 1082;
constexpr int IDC_FTP_PROXY = 1191;
constexpr int IDC_FTP_PASSIVE = 1083;
constexpr int IDC_FTP_GAP = 1193;  // disabled: only its spin changes it
constexpr int IDC_FTP_GAP_SPIN = 1194;
constexpr int IDC_FTP_TEST = 1192;

// Save; Exit is IDOK (1).
constexpr int IDC_ALERT_SAVE = 1128;
