// The settings file is these blocks byte for byte: every field must sit
// where files written by earlier versions have it.

#include <cstddef>
#include <type_traits>

#include "settings/settings_types.h"

#define QV_CHECK_OFFSET(type, field, offset) \
    static_assert(offsetof(type, field) == (offset), #type "." #field " moved")

QV_CHECK_OFFSET(ScheduleTimes, byStart1Hour, 0);
QV_CHECK_OFFSET(ScheduleTimes, byStart1Minute, 1);
QV_CHECK_OFFSET(ScheduleTimes, byEnd1Hour, 2);
QV_CHECK_OFFSET(ScheduleTimes, byEnd1Minute, 3);
QV_CHECK_OFFSET(ScheduleTimes, byStart2Hour, 4);
QV_CHECK_OFFSET(ScheduleTimes, byStart2Minute, 5);
QV_CHECK_OFFSET(ScheduleTimes, byEnd2Hour, 6);
QV_CHECK_OFFSET(ScheduleTimes, byEnd2Minute, 7);
static_assert(sizeof(ScheduleTimes) == 8);

QV_CHECK_OFFSET(ScheduleEntry, bySchedRecord, 0);
QV_CHECK_OFFSET(ScheduleEntry, SchedTimes, 8);
QV_CHECK_OFFSET(ScheduleEntry, byMotionRecord, 72);
QV_CHECK_OFFSET(ScheduleEntry, MotionTimes, 80);
QV_CHECK_OFFSET(ScheduleEntry, byMotionMask, 144);
QV_CHECK_OFFSET(ScheduleEntry, nMotionRecordTime, 208);
QV_CHECK_OFFSET(ScheduleEntry, byMotionSmart, 210);
QV_CHECK_OFFSET(ScheduleEntry, bMotionAudioAlarm, 211);
static_assert(sizeof(ScheduleEntry) == 212);
static_assert(sizeof(ScheduleEntry[MAX_CHANNELS]) == SCHEDULE_BLOCK_SIZE);

QV_CHECK_OFFSET(SystemBlock, byRecordDrive, 0);
QV_CHECK_OFFSET(SystemBlock, sSnapshotPath, 24);
QV_CHECK_OFFSET(SystemBlock, bySnapshotQuality, 184);
QV_CHECK_OFFSET(SystemBlock, bOverlay, 185);
QV_CHECK_OFFSET(SystemBlock, bYuy2, 186);
QV_CHECK_OFFSET(SystemBlock, byDriveFullAction, 187);
QV_CHECK_OFFSET(SystemBlock, byReserved, 188);
QV_CHECK_OFFSET(SystemBlock, sUserName, 189);
QV_CHECK_OFFSET(SystemBlock, sUserPassword, 621);
QV_CHECK_OFFSET(SystemBlock, byUserChannel, 1053);
static_assert(sizeof(SystemBlock) == SYSTEM_BLOCK_SIZE && SYSTEM_BLOCK_SIZE == 1437);

QV_CHECK_OFFSET(AlertBlock, bEmailAlert, 0);
QV_CHECK_OFFSET(AlertBlock, sSmtpServer, 1);
QV_CHECK_OFFSET(AlertBlock, nSmtpPort, 66);
QV_CHECK_OFFSET(AlertBlock, bSmtpLogin, 68);
QV_CHECK_OFFSET(AlertBlock, sSmtpUser, 69);
QV_CHECK_OFFSET(AlertBlock, sSmtpPassword, 101);
QV_CHECK_OFFSET(AlertBlock, sMailFrom, 133);
QV_CHECK_OFFSET(AlertBlock, sMailTo, 197);
QV_CHECK_OFFSET(AlertBlock, sMailSubject, 261);
QV_CHECK_OFFSET(AlertBlock, sMailMessage, 389);
QV_CHECK_OFFSET(AlertBlock, byAttachImageNum, 901);
QV_CHECK_OFFSET(AlertBlock, bFtpAlert, 902);
QV_CHECK_OFFSET(AlertBlock, sFtpServer, 903);
QV_CHECK_OFFSET(AlertBlock, byReserved, 967);
QV_CHECK_OFFSET(AlertBlock, nFtpPort, 968);
QV_CHECK_OFFSET(AlertBlock, bFtpLogin, 970);
QV_CHECK_OFFSET(AlertBlock, sFtpUser, 971);
QV_CHECK_OFFSET(AlertBlock, sFtpPassword, 1003);
QV_CHECK_OFFSET(AlertBlock, sFtpDirectory, 1035);
QV_CHECK_OFFSET(AlertBlock, byFtpGap, 1163);
QV_CHECK_OFFSET(AlertBlock, bFtpProxy, 1164);
QV_CHECK_OFFSET(AlertBlock, sFtpProxy, 1165);
QV_CHECK_OFFSET(AlertBlock, bFtpPassive, 1229);
static_assert(sizeof(AlertBlock) == ALERT_BLOCK_SIZE && ALERT_BLOCK_SIZE == 1230);
static_assert(SETTINGS_FILE_SIZE == 6059);

// The blocks are copied as plain bytes.
static_assert(std::is_trivially_copyable_v<ScheduleTimes> &&
              std::is_standard_layout_v<ScheduleTimes>);
static_assert(std::is_trivially_copyable_v<ScheduleEntry> &&
              std::is_standard_layout_v<ScheduleEntry>);
static_assert(std::is_trivially_copyable_v<SystemBlock> && std::is_standard_layout_v<SystemBlock>);
static_assert(std::is_trivially_copyable_v<AlertBlock> && std::is_standard_layout_v<AlertBlock>);

#undef QV_CHECK_OFFSET
