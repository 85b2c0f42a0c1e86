// The motion dialog's live preview: the shown channel's pictures copied in
// on the DrawVideo thread, drawn with the shading, grid and marks on the
// user-interface thread; after a change of channel, a black picture with
// the marks until the new channel's first. Both sides hold the preview
// lock throughout, and neither takes another lock under it.

#include <cstring>

#include "channel/av_channel.h"
#include "dialogs/motion_preview_marks.h"
#include "dialogs/motion_setup_dialog.h"
#include "mainwnd/preview_display.h"
#include "platform/threads/thread_messages.h"
#include "platform/ui/window_registry.h"
#include "settings/globals.h"

namespace {

// A picture the buffers and the 352 x 288 surface take whole; a larger one
// (a remote peer may send 704 x 576) is dropped rather than cut.
bool FitsThePreview(int yStride, int uvStride, int width, int height) {
    return width > 0 && height > 0 && width <= PREVIEW_MAX_WIDTH && height <= PREVIEW_MAX_HEIGHT &&
           yStride >= width && yStride <= PREVIEW_MAX_Y_STRIDE && uvStride >= (width + 1) / 2 &&
           uvStride <= PREVIEW_MAX_UV_STRIDE;
}

// The empty picture, as the video wall blanks a stopped channel: no luma,
// neutral chroma.
constexpr uint8_t kBlankLuma = 0;
constexpr uint8_t kBlankChroma = 128;

}  // namespace

bool CMotionSetupDialog::HasPreviewBuffers() {
    std::lock_guard<std::mutex> lock(m_previewLock);
    return m_pY != nullptr;
}

void CMotionSetupDialog::OnPreviewFrame(const uint8_t* y, const uint8_t* u, const uint8_t* v,
                                        int yStride, int uvStride, int width, int height) {
    std::lock_guard<std::mutex> lock(m_previewLock);
    if (!m_pY || y == nullptr || u == nullptr || v == nullptr) {
        return;  // closing
    }
    if (!FitsThePreview(yStride, uvStride, width, height)) {
        m_nDroppedPictures.fetch_add(1);
        return;
    }
    std::memcpy(m_pY.get(), y, static_cast<size_t>(yStride) * height);
    std::memcpy(m_pU.get(), u, static_cast<size_t>(uvStride) * (height / 2));
    std::memcpy(m_pV.get(), v, static_cast<size_t>(uvStride) * (height / 2));
    m_nYStride = yStride;
    m_nUVStride = uvStride;
    m_nPicWidth = width;
    m_nPicHeight = height;
    m_bNewPicture = true;
    m_bBlank = false;
    m_nTakenPictures.fetch_add(1);
    // By handle: safe from this thread, and a post after the window went
    // fails quietly.
    ::PostMessage(GetSafeHwnd(), WM_DRAW_VIDEO, 0, 0);
}

void CMotionSetupDialog::OnDrawVideo() {
    std::lock_guard<std::mutex> lock(m_previewLock);
    if (!m_pY || !m_pPreview || !m_bNewPicture) {
        return;
    }
    // Drawn once: the marks go into the buffer, so a second draw of the
    // same picture would shade it twice.
    m_bNewPicture = false;
    if (DrawBuffersLocked()) {
        m_nDrawnPictures.fetch_add(1);
    }
}

void CMotionSetupDialog::ClearPreview() {
    std::lock_guard<std::mutex> lock(m_previewLock);
    if (!m_pY) {
        return;
    }
    // A picture of the channel left that still waits for its draw must not
    // come back over the blank one.
    m_bNewPicture = false;
    DrawBlankLocked();
}

void CMotionSetupDialog::RedrawBlankPreview() {
    std::lock_guard<std::mutex> lock(m_previewLock);
    if (m_pY && m_bBlank) {
        DrawBlankLocked();
    }
}

void CMotionSetupDialog::DrawBlankLocked() {
    // Afresh each time: the marks drawn before are in the buffer.
    std::memset(m_pY.get(), kBlankLuma,
                static_cast<size_t>(PREVIEW_MAX_WIDTH) * PREVIEW_MAX_HEIGHT);
    const size_t chroma = static_cast<size_t>(PREVIEW_MAX_WIDTH / 2) * (PREVIEW_MAX_HEIGHT / 2);
    std::memset(m_pU.get(), kBlankChroma, chroma);
    std::memset(m_pV.get(), kBlankChroma, chroma);
    m_nYStride = PREVIEW_MAX_WIDTH;
    m_nUVStride = PREVIEW_MAX_WIDTH / 2;
    m_nPicWidth = PREVIEW_MAX_WIDTH;
    m_nPicHeight = PREVIEW_MAX_HEIGHT;
    m_bBlank = true;
    DrawBuffersLocked();
}

bool CMotionSetupDialog::DrawBuffersLocked() {
    if (!m_pPreview) {
        return false;
    }
    const int w = m_nPicWidth;
    const int h = m_nPicHeight;
    if (m_bTestMode != 0 && m_nChannel < std::min<int>(g_nChannelCount.load(), MAX_CHANNELS)) {
        CAVChannel* channel = g_pAVChannel[m_nChannel].load();
        uint8_t levels[64] = {};
        if (channel != nullptr && channel->GetMotionLevels(levels) == 1) {
            ShadeMotionCells(m_pY.get(), m_nYStride, w, h, levels, m_nMotionSmart);
        }
    }
    DrawGridAndMask(m_pY.get(), m_nYStride, w, h, g_EditScheduleTable[m_nChannel].byMotionMask);

    int pitch = 0;
    uint16_t code = 0;
    uint8_t* address = nullptr;
    if (m_pSurface == nullptr || !m_pPreview->Lock(&pitch, &code, &address)) {
        return false;
    }
    const bool converted =
        address != nullptr && ConvertPreviewPicture(address, pitch, code, m_pY.get(), m_pU.get(),
                                                    m_pV.get(), m_nYStride, m_nUVStride, w, h);
    m_pPreview->Unlock();
    if (converted) {
        m_pPreview->Blit(w, h);
        m_host.Present();
    }
    return converted;
}
