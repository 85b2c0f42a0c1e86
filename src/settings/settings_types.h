#pragma once
// The process-wide settings record. SystemBlock, ScheduleEntry and
// AlertBlock are the byte images of the settings file "Quorvalind.tmp"
// (packed, little-endian; settings_layout.cpp checks every offset), so they
// hold nothing but bytes, 16-bit values and character arrays. ChannelEntry
// and RecordEntry live in the ini file and have no fixed layout.
//
// Strings are zero-padded character arrays of GB2312 text. The 16-bit
// fields of the packed blocks are unaligned: read them by value, never bind
// a reference or pointer to them (in tests write EXPECT_EQ(+block.nFtpPort, 21)).

#include <bit>
#include <cstdint>
#include <type_traits>

#include "platform/wintypes/rect.h"

static_assert(std::endian::native == std::endian::little,
              "the settings file is the in-memory image of little-endian blocks");

constexpr int MAX_CHANNELS = 16;
constexpr int MAX_USERS = 24;
constexpr int RECORD_DRIVE_COUNT = 24;  // C: to Z:

constexpr std::uint8_t SOURCE_LOCAL = 3;
constexpr std::uint8_t SOURCE_NETWORK = 4;

#pragma pack(push, 1)

// Two time windows of one day.
struct ScheduleTimes {
    std::uint8_t byStart1Hour;
    std::uint8_t byStart1Minute;
    std::uint8_t byEnd1Hour;
    std::uint8_t byEnd1Minute;
    std::uint8_t byStart2Hour;
    std::uint8_t byStart2Minute;
    std::uint8_t byEnd2Hour;
    std::uint8_t byEnd2Minute;
};

// Day index 0 = every day, 1..7 = Monday..Sunday.
struct ScheduleEntry {
    std::uint8_t bySchedRecord[8];
    ScheduleTimes SchedTimes[8];
    std::uint8_t byMotionRecord[8];
    ScheduleTimes MotionTimes[8];
    std::uint8_t byMotionMask[64];    // row * 8 + column
    std::uint16_t nMotionRecordTime;  // seconds; 0 = no alarm
    std::uint8_t byMotionSmart;       // threshold 0..30
    std::uint8_t bMotionAudioAlarm;
};

struct SystemBlock {
    std::uint8_t byRecordDrive[RECORD_DRIVE_COUNT];  // C: to Z:
    char sSnapshotPath[160];
    std::uint8_t bySnapshotQuality;  // JPEG quality (n + 1) * 10
    std::uint8_t bOverlay;
    std::uint8_t bYuy2;
    std::uint8_t byDriveFullAction;
    std::uint8_t byReserved;
    char sUserName[MAX_USERS][18];
    char sUserPassword[MAX_USERS][18];
    std::uint8_t byUserChannel[MAX_USERS][MAX_CHANNELS];
};

struct AlertBlock {
    std::uint8_t bEmailAlert;
    char sSmtpServer[65];
    std::uint16_t nSmtpPort;
    std::uint8_t bSmtpLogin;
    char sSmtpUser[32];
    char sSmtpPassword[32];
    char sMailFrom[64];
    char sMailTo[64];
    char sMailSubject[128];
    char sMailMessage[512];
    std::uint8_t byAttachImageNum;  // 0..10
    std::uint8_t bFtpAlert;
    char sFtpServer[64];
    std::uint8_t byReserved;
    std::uint16_t nFtpPort;
    std::uint8_t bFtpLogin;
    char sFtpUser[32];
    char sFtpPassword[32];
    char sFtpDirectory[128];
    std::uint8_t byFtpGap;  // seconds, 1..30
    std::uint8_t bFtpProxy;
    char sFtpProxy[64];
    std::uint8_t bFtpPassive;
};

#pragma pack(pop)

constexpr unsigned SYSTEM_BLOCK_SIZE = 1437;
constexpr unsigned SCHEDULE_BLOCK_SIZE = 212 * MAX_CHANNELS;
constexpr unsigned ALERT_BLOCK_SIZE = 1230;
constexpr unsigned SETTINGS_FILE_SIZE = SYSTEM_BLOCK_SIZE + SCHEDULE_BLOCK_SIZE + ALERT_BLOCK_SIZE;

// One channel's source.
struct ChannelEntry {
    std::uint8_t status;
    std::uint8_t mode;     // SOURCE_LOCAL, SOURCE_NETWORK or 0
    std::uint8_t videoin;  // capture device table index + 1; 0 = none
    char videoname[121];
    std::uint16_t width;
    std::uint16_t height;
    std::uint8_t framenum;
    std::uint8_t videosubin;
    std::uint8_t audioin;  // position among the audio devices + 1; 0 = none
    char audioname[120];
    char netipaddr[64];
    std::uint8_t netchno;
    char username[32];
    char passwd[32];
};

// One channel's record settings.
struct RecordEntry {
    std::uint8_t enc_method;  // video codec type code - 1
    std::uint8_t aud_method;  // audio codec type code - 1
    std::uint16_t bitrate;    // kbit/s
    std::uint16_t audbitrate;
    char chname[18];
    std::uint8_t osddate;
    std::uint8_t osdtime;
    std::uint8_t haveaudio;
    std::uint8_t recfile;
    std::uint32_t videocolor;  // brightness | contrast << 8 | saturation << 16 | hue << 24
};

struct Settings {
    RECT rcChannel[MAX_CHANNELS];  // run time only
    std::uint8_t nChConfigNum;     // 0..16
    AlertBlock Alert;
    SystemBlock System;
    ScheduleEntry Schedule[MAX_CHANNELS];
    RecordEntry Record[MAX_CHANNELS];
    ChannelEntry Channel[MAX_CHANNELS];
};
static_assert(std::is_trivially_copyable_v<Settings>);
