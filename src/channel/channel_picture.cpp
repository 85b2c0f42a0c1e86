// The local picture path: the capture hand-over into the frame slots and
// the display step that stamps, previews, motion-scans and shows a picture
// and passes its slot on to the encoder.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "channel/av_channel.h"
#include "channel/channel_config.h"
#include "channel/media_calls.h"
#include "media/pixel_formats.h"
#include "platform/clock/local_clock.h"
#include "platform/threads/thread_messages.h"

namespace {

// Whether a picture of this size and byte count can live in a slot and be
// stamped: I420 needs even sizes, and the bottom text line needs 24 rows.
bool FitsSlot(const uint8_t* data, int bytes, int width, int height) {
    if (data == nullptr || width <= 0 || height < FRAME_MIN_HEIGHT || (width & 1) != 0 ||
        (height & 1) != 0) {
        return false;
    }
    const long long needed = static_cast<long long>(width) * height * 3 / 2;
    return bytes <= FRAME_SLOT_CAPACITY && bytes >= needed;
}

void ConvertInto(uint8_t* surface, uint8_t format, int stride, const uint8_t* y, const uint8_t* u,
                 const uint8_t* v, int yStride, int uvStride, int width, int height) {
    // An unknown surface layout gets nothing converted.
    if (Yv12Converter convert = Yv12ConverterFor(format)) {
        convert(surface, stride, y, u, v, yStride, uvStride, width, height);
    }
}

}  // namespace

int CAVChannel::OnVideoFrame(const uint8_t* data, int bytes, int width, int height,
                             int /*rowBytes*/) {
    if (nVideoDevice.load() < 0) {
        return 0;
    }
    if (!FitsSlot(data, bytes, width, height)) {
        // A picture the slot cannot hold is refused outright; it is not a
        // busy-slot drop, so it does not widen the frame span.
        nRejectedFrames.fetch_add(1);
        return 0;
    }
    const uint8_t index = byWriteSlot.load();
    FrameSlot& slot = frameSlots[index % FRAME_SLOT_COUNT];
    if (slot.byState.load(std::memory_order_acquire) != SLOT_FREE || !slot.pBuffer) {
        slot.byDropped.fetch_add(1);
        return 0;
    }
    std::memcpy(slot.pBuffer.get(), data, static_cast<size_t>(bytes));
    slot.byDropped = 0;
    slot.SetSize(width, height);
    slot.byState.store(SLOT_CAPTURED, std::memory_order_release);
    byWriteSlot = static_cast<uint8_t>((index + 1) % FRAME_SLOT_COUNT);
    return 1;
}

int CAVChannel::GetDisplayFrame(uint8_t* surface, uint8_t format, int* width, int* height,
                                int pitch) {
    if (nMode.load() == CHANNEL_LOCAL) {
        return LocalDisplayStep(surface, format, width, height, pitch);
    }
    if (nMode.load() == CHANNEL_REMOTE) {
        return DisplayRemoteFrame(surface, format, width, height, pitch);
    }
    return 0;
}

int CAVChannel::LocalDisplayStep(uint8_t* surface, uint8_t format, int* outWidth, int* outHeight,
                                 int pitch) {
    if (outWidth != nullptr) {
        *outWidth = 0;
    }
    if (outHeight != nullptr) {
        *outHeight = 0;
    }
    const uint8_t index = static_cast<uint8_t>(byReadSlot.load() % FRAME_SLOT_COUNT);
    FrameSlot& slot = frameSlots[index];
    if (slot.byState.load(std::memory_order_acquire) != SLOT_CAPTURED) {
        return 0;
    }
    const uint32_t size = slot.dwSize.load();
    const int w = static_cast<int>(size >> 16);
    const int h = static_cast<int>(size & 0xFFFF);
    uint8_t* y = slot.pBuffer.get();
    uint8_t* u = y + w * h;
    uint8_t* v = u + (w * h) / 4;

    DrawChannelName(y, w, h);
    DrawDateTime(y, w, h);

    GivePreview(y, u, v, w, w / 2, w, h);

    MotionStep(y, w, w, h);

    if (surface != nullptr) {
        // The surface holds 352 x 288: a larger picture is shown cropped,
        // and never wider than the rows the pitch leaves room for.
        int shownWidth = std::min(w, FRAME_SLOT_WIDTH);
        const int shownHeight = std::min(h, FRAME_SLOT_HEIGHT);
        const int bpp = BytesPerPixelOfFormat(format);
        const int stride = bpp > 0 ? pitch / bpp : 0;
        if (bpp > 0) {
            shownWidth = std::min(shownWidth, std::max(stride, 0) & ~7);
            if (shownWidth > 0) {
                ConvertInto(surface, format, stride, y, u, v, w, w / 2, shownWidth, shownHeight);
            }
        }
        if (outWidth != nullptr) {
            *outWidth = shownWidth;
        }
        if (outHeight != nullptr) {
            *outHeight = shownHeight;
        }
    }

    slot.byState.store(SLOT_DISPLAYED, std::memory_order_release);
    byLastShownSlot = index;
    byReadSlot = static_cast<uint8_t>((index + 1) % FRAME_SLOT_COUNT);
    const ThreadId thread = dwMsgThreadId.load();
    if (thread == 0 ||
        !PostThreadMessage(thread, WM_CHANNEL_ENCODE_VIDEO, static_cast<WPARAM>(index), 0)) {
        // Nobody will encode it: hand the slot back to capture at once, or
        // the ring would fill and the channel freeze.
        slot.byState.store(SLOT_FREE, std::memory_order_release);
    }
    return 1;
}

void CAVChannel::DrawChannelName(uint8_t* y, int width, int height) {
    const ChannelOsdConfig osd = ReadChannelOsdConfig(nChannel);
    if (osd.title.size() > 16) {
        return;
    }
    DrawOsdText(y, osd.title.c_str(), 6, 6, width, width, height);
}

void CAVChannel::DrawDateTime(uint8_t* y, int width, int height) {
    const ChannelOsdConfig osd = ReadChannelOsdConfig(nChannel);
    const LocalTime now = GetLocalTimeNow();
    char text[64] = {};
    int units = 0;
    size_t len = 0;
    if (osd.bDate) {
        len = static_cast<size_t>(std::snprintf(text, sizeof text, "%04d-%02d-%02d\xA9\x70",
                                                now.year % 10000, now.month % 100, now.day % 100));
        units = 6;
    }
    if (osd.bTime) {
        std::snprintf(text + len, sizeof text - len, "%02d:%02d:%02d", now.hour % 100,
                      now.minute % 100, now.second % 100);
        units += 4;
    }
    if (units == 0) {
        return;
    }
    const int x = std::max(1, width - 18 * units - 2);
    DrawOsdText(y, text, x, height - 24, width, width, height);
}
