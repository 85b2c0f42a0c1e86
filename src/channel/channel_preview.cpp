// The hand-over of shown pictures to the motion dialog's preview. The sink
// is called under the channel's preview lock, so replacing it waits for a
// call under way: once SetPreviewSink returns, the old sink is never
// entered again and may be freed. The remote display step comes here
// holding the channel mutex, so the lock order is channel mutex, preview
// lock, then whatever the sink takes.

#include "channel/av_channel.h"

void CAVChannel::SetPreviewSink(IPreviewSink* sink) {
    std::lock_guard<std::mutex> lock(previewSinkLock);
    pPreviewSink.store(sink);
}

void CAVChannel::GivePreview(const uint8_t* y, const uint8_t* u, const uint8_t* v, int yStride,
                             int uvStride, int width, int height) {
    // Without a sink the display step takes no lock.
    if (pPreviewSink.load() == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> lock(previewSinkLock);
    IPreviewSink* sink = pPreviewSink.load();
    if (sink != nullptr) {
        sink->OnPreviewFrame(y, u, v, yStride, uvStride, width, height);
    }
}
