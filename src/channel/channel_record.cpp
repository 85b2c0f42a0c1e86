// The record state machine: opens, splits and closes the channel's AVI
// files as the triggers and the file age say.
#include <cstdio>
#include <filesystem>

#include "channel/av_channel.h"
#include "platform/clock/local_clock.h"
#include "platform/msgbox/message_box.h"
#include "platform/paths/native_path.h"
#include "settings/globals.h"
#include "settings/scoped_lock.h"

namespace {

// Never more than this many files of one channel start in one second.
constexpr int kMaxNameSuffix = 999;

bool StoredPathExists(const std::string& stored) {
    const std::string native = ToNativePath(stored);
    std::error_code ignored;
    return !native.empty() && std::filesystem::exists(native, ignored);
}

}  // namespace

void CAVChannel::UpdateRecordState() {
    const bool trigger =
        bManualRecord.load() != 0 || bScheduleRecord.load() != 0 || bMotionAlarm.load() != 0;
    if (!trigger) {
        if (bRecording.load() != 0) {
            StopRecord();
        }
        return;
    }
    if (bRecording.load() != 0) {
        if (nRecordAge.load() > RECORD_FILE_SECONDS) {
            nRecordAge = 0;
            StopRecord();
            StartRecord();
        }
        return;
    }
    StartRecord();
}

std::string CAVChannel::MakeRecordFileName(const std::string& folder) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "CH%02d_", (nChannel + 1) % 100);
    const std::string base =
        folder + "\\" + prefix + FormatLocalTime(GetLocalTimeNow(), "%Y_%m_%d__%H_%M_%S");
    // Two files started in the same second must not share a name: the
    // later one takes the first free "_1", "_2", ...
    std::string name = base + ".avi";
    for (int n = 1; n <= kMaxNameSuffix && StoredPathExists(name); ++n) {
        name = base + "_" + std::to_string(n) + ".avi";
    }
    return name;
}

int CAVChannel::StartRecord() {
    bool showFailure = false;
    int result = 0;
    // Asked before the channel mutex is taken: the host never runs under it.
    const std::string folder = ChannelHost().GetRecordFolder();
    {
        CScopedLock lock(mutex);
        CodecSlot* slot = RecordSlotLocked();
        if (slot == nullptr) {
            bRecording = 0;
            return 0;
        }
        nRecordAge = 0;
        if (folder.empty()) {
            bRecording = 0;
            return 0;
        }
        const std::string name = MakeRecordFileName(folder);
        if (CodecOpenRecordFile(slot, name.c_str(), g_nUptimeSeconds.load()) == 0) {
            bRecording = 0;
            // Tried again at every picture: tell the user once per run of
            // failures, not once per picture.
            showFailure = !bRecordFailShown;
            bRecordFailShown = true;
        } else {
            bRecordFailShown = false;
            bForceKeyFrame = 1;
            bRecording = 1;
            result = 1;
        }
    }
    if (showFailure) {
        AfxMessageBox("StartRecord failed!");
    }
    return result;
}

int CAVChannel::StopRecord() {
    CScopedLock lock(mutex);
    CodecSlot* slot = RecordSlotLocked();
    if (slot == nullptr) {
        bRecording = 0;
        return 0;
    }
    CodecCloseRecordFile(slot, g_nUptimeSeconds.load());
    bRecording = 0;
    return 1;
}
