// Once a second: each active channel's record age, record schedule and
// motion schedule.

#include <cstdio>

#include "channel/av_channel.h"
#include "mainwnd/main_dialog_state.h"
#include "mainwnd/schedule_windows.h"
#include "settings/globals.h"
#include "settings/log_entry.h"
#include "settings/settings.h"
#include "settings/settings_lock.h"

void CMainDialogState::EvaluateSchedules() {
    const LocalTime now = GetLocalTimeNow();
    const int count = g_nChannelCount.load();
    for (int n = 0; n < count; ++n) {
        CAVChannel* channel = g_pAVChannel[n].load();
        if (channel == nullptr || !channel->IsActive()) {
            continue;
        }
        channel->nRecordAge.fetch_add(1);
        const ScheduleEntry entry = ReadSettings(g_Settings.Schedule[n]);
        const int record = ScheduleHolds(entry.bySchedRecord, entry.SchedTimes, now);
        if (record != channel->bScheduleRecord.load()) {
            char text[64];
            std::snprintf(text, sizeof text,
                          record != 0 ? "Open CH%d Schedule Record" : "Close CH%d Schedule Record",
                          n + 1);
            WriteLogEntry(LOGTYPE_RECORD, n + 1, text);
        }
        channel->bScheduleRecord = record;
        channel->bMotionDetect = ScheduleHolds(entry.byMotionRecord, entry.MotionTimes, now);
    }
}
