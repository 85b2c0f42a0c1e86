// JPEG snapshots of the shown picture, at most one a second per channel.
#include <cstdio>
#include <memory>

#include "channel/av_channel.h"
#include "channel/channel_config.h"
#include "channel/media_calls.h"
#include "platform/clock/local_clock.h"
#include "settings/log_entry.h"

void CAVChannel::TakeSnapshot() {
    // Served by the next picture shown: the channel keeps no copy of every
    // picture for a request that may come.
    if (IsActive()) {
        nPendingSnapshots.fetch_add(1);
    }
}

bool CAVChannel::BeginSnapshot(std::string* path) {
    const std::string second = FormatLocalTime(GetLocalTimeNow(), "%Y_%m_%d__%H_%M_%S");
    {
        std::lock_guard<std::mutex> lock(snapshotTimeLock);
        if (second == sLastSnapshotSecond) {
            return false;
        }
        sLastSnapshotSecond = second;
    }
    const std::string folder = ChannelHost().GetSnapshotFolder();
    if (folder.empty()) {
        return false;
    }
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "Ch%02d_", (nChannel + 1) % 100);
    *path = folder + "\\" + prefix + second + ".jpg";
    return true;
}

void CAVChannel::WriteSnapshot(const std::string& path, const uint8_t* y, const uint8_t* u,
                               const uint8_t* v, int yStride, int uvStride, int width, int height) {
    const size_t bytes = static_cast<size_t>(width) * height * 3 + 64;
    std::unique_ptr<uint8_t[]> rgb = std::make_unique<uint8_t[]>(bytes);
    Yv12ToBgr24(rgb.get(), width, y, u, v, yStride, uvStride, width, height);
    const int written =
        WriteJpegFile(rgb.get(), width, height, path.c_str(), ReadSnapshotQuality());
    if (written <= 0) {
        return;  // no file: nothing to log or to hand to the alerts
    }
    const std::string text = "Snapshot : " + path;
    ChannelHost().WriteLogEntry(LOGTYPE_SYSTEM, 0, text.c_str());
    AlertSink().AddAlertSnapshot(nChannel, path.c_str());
}

void CAVChannel::SnapshotLocal(int index) {
    // The slot is shown and stays with this thread until it is encoded:
    // neither capture nor the display step touches it meanwhile.
    const FrameSlot& slot = frameSlots[index];
    const uint32_t size = slot.dwSize.load();
    const int width = static_cast<int>(size >> 16);
    const int height = static_cast<int>(size & 0xFFFF);
    if (!slot.pBuffer || width <= 0 || height <= 0) {
        return;
    }
    std::string path;
    if (!BeginSnapshot(&path)) {
        return;
    }
    const uint8_t* y = slot.pBuffer.get();
    const uint8_t* u = y + width * height;
    const uint8_t* v = u + (width * height) / 4;
    WriteSnapshot(path, y, u, v, width, width / 2, width, height);
}

void CAVChannel::SnapshotRemote(const uint8_t* y, const uint8_t* u, const uint8_t* v, int yStride,
                                int uvStride, int width, int height) {
    int pending = nPendingSnapshots.load();
    while (pending > 0 && !nPendingSnapshots.compare_exchange_weak(pending, pending - 1)) {
    }
    if (y == nullptr || u == nullptr || v == nullptr || width <= 0 || height <= 0) {
        return;
    }
    std::string path;
    if (!BeginSnapshot(&path)) {
        return;
    }
    WriteSnapshot(path, y, u, v, yStride, uvStride, width, height);
}
