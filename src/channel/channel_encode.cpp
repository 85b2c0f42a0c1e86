// Encoding on the channel's message thread, the sound hand-over, encoder
// re-creation on size and mode changes, and the fan-out to the viewers.
#include <algorithm>

#include "channel/av_channel.h"
#include "channel/media_calls.h"
#include "netservice/stream_queue.h"
#include "platform/msgbox/message_box.h"
#include "platform/threads/thread_messages.h"
#include "settings/globals.h"
#include "settings/scoped_lock.h"

void CAVChannel::EncodeVideoSlot(int index) {
    if (!IsLocal() || index < 0 || index >= FRAME_SLOT_COUNT) {
        return;
    }
    FrameSlot& slot = frameSlots[index];
    if (slot.byState.load(std::memory_order_acquire) != SLOT_DISPLAYED) {
        return;
    }
    // Requests made before this picture was shown get it, outside the
    // mutex (the snapshot logs and reaches the alert jobs).
    if (nPendingSnapshots.load() > 0 && nPendingSnapshots.exchange(0) > 0) {
        SnapshotLocal(index);
    }
    byFrameSpan = static_cast<uint8_t>(
        std::min<int>(MAX_FRAME_SPAN, byFrameSpan.load() + slot.byDropped.load()));

    int encWidth = 0;
    int encHeight = 0;
    {
        CScopedLock lock(mutex);
        encWidth = encParams.nWidth;
        encHeight = encParams.nHeight;
    }
    const uint32_t size = slot.dwSize.load();
    const int width = static_cast<int>(size >> 16);
    const int height = static_cast<int>(size & 0xFFFF);
    if (width != encWidth || height != encHeight) {
        PostThreadMessage(dwMsgThreadId.load(), WM_CHANGE_VIDEO_ENC_SIZE,
                          static_cast<WPARAM>(width), static_cast<LPARAM>(height));
        slot.byState.store(SLOT_FREE, std::memory_order_release);
        return;
    }

    UpdateRecordState();

    const uint8_t* picture = slot.pBuffer.get();
    if (HasReadyViewer()) {
        CScopedLock lock(mutex);
        if (pEncoder != nullptr) {
            int key = 0;
            const int n =
                CodecEncodeVideo(pEncoder, picture, pPacketBuffer.get(), bForceKeyFrame.load(),
                                 &key, bRecording.load(), g_nUptimeSeconds.load());
            if (n > 0) {
                const StreamHeader header = CompleteVideoHeader(
                    dwVideoHeader, key != 0, static_cast<uint32_t>(n), byFrameSpan.load());
                bForceKeyFrame = 0;
                SendToViewers(pPacketBuffer.get(), n, header);
                byFrameSpan = 1;
            }
        }
    } else if (bRecording.load() != 0) {
        CScopedLock lock(mutex);
        if (pEncoder != nullptr) {
            int key = 0;
            const int n =
                CodecEncodeVideo(pEncoder, picture, pPacketBuffer.get(), bForceKeyFrame.load(),
                                 &key, bRecording.load(), g_nUptimeSeconds.load());
            byFrameSpan = 1;
            if (n > 0) {
                bForceKeyFrame = 0;
            }
        }
    }
    slot.byState.store(SLOT_FREE, std::memory_order_release);
}

void CAVChannel::EncodeAudioData(int bytes) {
    if (!IsLocal()) {
        return;
    }
    UpdateRecordState();
    int frameBytes = 0;
    {
        CScopedLock lock(mutex);
        frameBytes = nAudioFrameBytes;
    }
    if (frameBytes <= 0 || frameBytes > AUDIO_FRAME_BUFFER_BYTES) {
        return;
    }
    // At least one frame per message, so the ring drains even when each
    // message brings less than a frame.
    const int rounds = std::max(bytes, 0) / frameBytes + 1;
    uint8_t frame[AUDIO_FRAME_BUFFER_BYTES];
    if (HasReadyViewer()) {
        for (int i = 0; i < rounds; ++i) {
            CScopedLock lock(mutex);
            if (pEncoder == nullptr || nAudioFrameBytes != frameBytes ||
                pPcmRing->Read(frame, frameBytes) != frameBytes) {
                break;
            }
            const int n = CodecEncodeAudio(pEncoder, frame, pPacketBuffer.get(), bRecording.load(),
                                           g_nUptimeSeconds.load());
            if (n <= 0) {
                break;
            }
            const StreamHeader header =
                CompleteAudioHeader(dwAudioHeader, static_cast<uint32_t>(n));
            SendToViewers(pPacketBuffer.get(), n, header);
        }
    } else if (bRecording.load() != 0) {
        CScopedLock lock(mutex);
        if (pEncoder == nullptr || nAudioFrameBytes != frameBytes) {
            return;
        }
        for (int i = 0; i < rounds; ++i) {
            if (pPcmRing->Read(frame, frameBytes) != frameBytes) {
                break;
            }
            if (CodecEncodeAudio(pEncoder, frame, pPacketBuffer.get(), bRecording.load(),
                                 g_nUptimeSeconds.load()) <= 0) {
                break;
            }
        }
    }
}

void CAVChannel::ChangeVideoEncSize(int width, int height) {
    bool failed = false;
    {
        CScopedLock lock(mutex);
        if (width == encParams.nWidth && height == encParams.nHeight) {
            return;
        }
        if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF) {
            return;
        }
        CloseEncoderLocked();
        encParams.nWidth = static_cast<uint16_t>(width);
        encParams.nHeight = static_cast<uint16_t>(height);
        SetHeaderPicSizeCode(dwVideoHeader, GetPicSizeCode(width, height));
        // A channel that went idle meanwhile keeps the size for its next
        // start and holds no encoder.
        if (IsLocal()) {
            failed = !OpenEncoderLocked();
        }
    }
    if (failed) {
        AfxMessageBox("Init Encoder Failed in ChangeVideoEncSize!!");
    }
}

void CAVChannel::ChangeVideoEncMode(WPARAM wParam, LPARAM lParam) {
    const auto videoType = static_cast<uint8_t>(wParam & 0xFF);
    const auto audioType = static_cast<uint8_t>((wParam >> 8) & 0xFF);
    const auto container = static_cast<uint8_t>((wParam >> 16) & 0xFF);
    const auto videoKbps = static_cast<uint16_t>(static_cast<uintptr_t>(lParam) & 0xFFFF);
    const auto audioKbps = static_cast<uint16_t>((static_cast<uintptr_t>(lParam) >> 16) & 0xFFFF);
    bool failed = false;
    {
        CScopedLock lock(mutex);
        if (videoType == encParams.byVideoType && audioType == encParams.byAudioType &&
            container == encParams.byRecFile && videoKbps == encParams.nVideoKbps &&
            audioKbps == encParams.nAudioKbps) {
            return;
        }
        encParams.byVideoType = videoType;
        encParams.byAudioType = audioType;
        encParams.byRecFile = container;
        encParams.nVideoKbps = videoKbps;
        encParams.nAudioKbps = audioKbps;
        if (!IsLocal() || pEncoder == nullptr) {
            return;
        }
        CloseEncoderLocked();
        SetHeaderCodecType(dwVideoHeader, videoType);
        SetHeaderCodecType(dwAudioHeader, audioType);
        failed = !OpenEncoderLocked();
    }
    if (failed) {
        AfxMessageBox("Init Encoder Failed in ChangeVideoEncMode!!");
    }
}

int CAVChannel::OnAudioData(const uint8_t* data, int bytes) {
    if (nAudioDevice.load() < 0) {
        return 0;
    }
    if (data == nullptr || bytes <= 0) {
        return 0;
    }
    if (g_bAudioMute.load() == 0 && g_nSelectedChannel.load() == nChannel) {
        LiveSound().WritePcm(data, bytes);
    }
    pPcmRing->Write(data, bytes);
    const ThreadId thread = dwMsgThreadId.load();
    if (thread != 0) {
        PostThreadMessage(thread, WM_CHANNEL_ENCODE_AUDIO, static_cast<WPARAM>(bytes),
                          static_cast<LPARAM>(bytes));
    }
    return 1;
}

int CAVChannel::AddViewer(CStreamQueue* queue) {
    if (queue == nullptr) {
        return 0;
    }
    CScopedLock lock(mutex);
    for (CStreamQueue* viewer : pViewers) {
        if (viewer == queue) {
            return 0;
        }
    }
    for (CStreamQueue*& place : pViewers) {
        if (place == nullptr) {
            place = queue;
            bForceKeyFrame = 1;
            return 1;
        }
    }
    return 0;
}

int CAVChannel::RemoveViewer(CStreamQueue* queue) {
    if (queue == nullptr) {
        return 0;
    }
    CScopedLock lock(mutex);
    for (CStreamQueue*& place : pViewers) {
        if (place == queue) {
            place = nullptr;
            return 1;
        }
    }
    return 0;
}

int CAVChannel::HasReadyViewer() {
    CScopedLock lock(mutex);
    bool any = false;
    for (CStreamQueue* viewer : pViewers) {
        if (viewer != nullptr) {
            any = true;
            if (!viewer->IsFull()) {
                return 1;
            }
        }
    }
    if (any && byFrameSpan.load() < MAX_FRAME_SPAN) {
        byFrameSpan = static_cast<uint8_t>(byFrameSpan.load() + 1);
    }
    return 0;
}

void CAVChannel::SendToViewers(const uint8_t* data, int length, StreamHeader header) {
    CScopedLock lock(mutex);
    const bool video = IsVideoPacket(header);
    const bool key = IsVideoKeyFrame(header);
    // Receivers read a length below 4 as 4: such a packet would break the
    // framing, so it is not sent; a lost video packet makes the viewer wait
    // for the next key frame as after an overflow.
    const bool sendable = data != nullptr && length >= STREAM_MIN_PAYLOAD &&
                          static_cast<uint32_t>(length) <= STREAM_MAX_PAYLOAD;
    for (CStreamQueue* viewer : pViewers) {
        if (viewer == nullptr) {
            continue;
        }
        if (!sendable || viewer->IsFull()) {
            if (video) {
                viewer->SetWaitingForKey(1);
            }
            continue;
        }
        if (!video) {
            viewer->Push(data, header, length);
        } else if (key) {
            viewer->SetWaitingForKey(0);
            viewer->Push(data, header, length);
        } else if (viewer->IsWaitingForKey() == 0) {
            viewer->Push(data, header, length);
        }
    }
}
