// The remote display step on DrawVideo: takes queued packets, relays them
// to this channel's own viewers, records them unchanged, decodes and shows
// them; and the decoder re-creation on the channel thread when the stream
// changes codec or picture size.
#include <cstring>

#include "channel/av_channel.h"
#include "channel/media_calls.h"
#include "channel/surface_convert.h"
#include "platform/msgbox/message_box.h"
#include "platform/threads/thread_messages.h"
#include "settings/globals.h"
#include "settings/scoped_lock.h"

namespace {

constexpr int kMaxPacketsPerStep = 30;
constexpr uint8_t kSkipVideoPackets = 6;
constexpr uint8_t kSkipPackets = 32;

}  // namespace

int CAVChannel::DisplayRemoteFrame(uint8_t* surface, uint8_t format, int* outWidth, int* outHeight,
                                   int pitch) {
    int dummyWidth = 0;
    int dummyHeight = 0;
    int* width = outWidth != nullptr ? outWidth : &dummyWidth;
    int* height = outHeight != nullptr ? outHeight : &dummyHeight;
    *width = 0;
    *height = 0;
    if (pParser->IsKeyFrameSeen() == 0 || !pRemotePacket) {
        return 0;
    }
    if (++byDisplayCalls == 0) {
        pFrameQueue->Recount();
    }
    uint8_t videoCount = 0;
    uint8_t packetCount = 0;
    pFrameQueue->GetCounts(&videoCount, &packetCount);
    if (videoCount > kSkipVideoPackets || packetCount > kSkipPackets) {
        // Behind: show the present rather than catching up.
        pFrameQueue->SkipToKeyFrame();
    }

    for (int i = 0; i < kMaxPacketsPerStep; ++i) {
        uint32_t header = 0;
        if (!pFrameQueue->PeekFlags(&header)) {
            return 0;
        }
        if (IsVideoKeyFrame(header)) {
            const uint8_t codec = GetCodecType(header);
            int w = 0;
            int h = 0;
            if (GetPicSizeFromCode(GetPicSizeCodeOf(header), &w, &h) == 0) {
                // No decoder of an unknown size: relay and record, show
                // nothing, tell the user once per connection.
                bShowRemotePicture = false;
                if (!bPictureSizeRefused.exchange(true)) {
                    AfxMessageBox("Unknown picture size of the remote channel!");
                }
            } else {
                bShowRemotePicture = true;
                CodecParams params = GetDecodeParams();
                if (codec != params.byVideoType || w != params.nWidth || h != params.nHeight) {
                    // The key frame stays queued until the decoder fits it.
                    PostThreadMessage(dwMsgThreadId.load(), WM_DECODE_VIDEO_MODE, codec,
                                      static_cast<LPARAM>(w) * 65536 + h);
                    return 0;
                }
            }
        }
        const int n = pFrameQueue->ReadFrame(pRemotePacket.get(), &header, PACKET_BUFFER_SIZE);
        if (n <= 0) {
            return 1;
        }
        if (HasReadyViewer() != 0) {
            SendToViewers(pRemotePacket.get(), n, header);
        }
        UpdateRecordState();
        if (!IsVideoPacket(header)) {
            RemoteAudioStep(header, n);
            continue;
        }
        bool taken = false;
        {
            CScopedLock lock(mutex);
            taken = RemoteVideoStepLocked(header, n, surface, format, width, height, pitch);
        }
        if (taken) {
            FinishRemotePicture();
        }
        return taken ? 1 : 0;
    }
    return 1;
}

void CAVChannel::RemoteAudioStep(uint32_t header, int length) {
    const uint8_t codec = GetCodecType(header);
    uint8_t pcm[CODEC_AUDIO_OUT_BYTES];
    int bytes = 0;
    {
        CScopedLock lock(mutex);
        if (codec != decParams.byAudioType) {
            // Relayed and recorded as it came, not decoded.
            if (codec != byRefusedAudioType.load()) {
                PostThreadMessage(dwMsgThreadId.load(), WM_DECODE_AUDIO_MODE, codec, 0);
            }
            return;
        }
        if (pDecoder == nullptr) {
            return;
        }
        bytes = CodecDecodeAudio(pDecoder, pRemotePacket.get(), length, pcm, sizeof pcm,
                                 bRecording.load(), g_nUptimeSeconds.load());
    }
    if (bytes > 0 && g_bAudioMute.load() == 0 && g_nSelectedChannel.load() == nChannel) {
        LiveSound().WritePcm(pcm, bytes);
    }
}

bool CAVChannel::RemoteVideoStepLocked(uint32_t header, int length, uint8_t* surface,
                                       uint8_t format, int* outWidth, int* outHeight, int pitch) {
    bRemotePictureShown = false;
    nRemotePictureWidth = 0;
    if (pDecoder == nullptr) {
        return false;
    }
    DecodedPicture picture;
    const int decoded =
        CodecDecodeVideo(pDecoder, pRemotePacket.get(), length, &picture, bRecording.load(),
                         IsKeyFrame(header) ? 1 : 0, g_nUptimeSeconds.load());
    if (decoded <= 0 || picture.pY == nullptr || picture.nWidth <= 0 || picture.nHeight <= 0 ||
        !bShowRemotePicture.load()) {
        return true;  // a packet was taken; nothing to draw for it
    }
    GivePreview(picture.pY, picture.pU, picture.pV, picture.nStrideY, picture.nStrideU,
                picture.nWidth, picture.nHeight);
    ConvertToSurface(surface, format, pitch, picture.pY, picture.pU, picture.pV, picture.nStrideY,
                     picture.nStrideU, picture.nWidth, picture.nHeight, outWidth, outHeight);
    // The levels come from the decoder's own picture; only the alarm, which
    // logs and alerts, waits until the mutex is released.
    bRemoteMotionDetecting =
        SampleMotion(picture.pY, picture.nStrideY, picture.nWidth, picture.nHeight);
    bRemotePictureShown = true;
    // Copied only for a pending request. Only this thread lowers the count,
    // so the request is still there after the mutex; one raised after this
    // test waits for the next picture.
    if (nPendingSnapshots.load() > 0) {
        KeepRemotePictureLocked(picture);
    }
    return true;
}

void CAVChannel::KeepRemotePictureLocked(const DecodedPicture& picture) {
    // The snapshot reaches the main dialog and the alert threads, which
    // never run under the channel mutex: it works on this copy after the
    // mutex is released, when the decoder may already be re-created.
    const int w = picture.nWidth;
    const int h = picture.nHeight;
    const size_t luma = static_cast<size_t>(w) * h;
    const size_t bytes = luma + 2 * (static_cast<size_t>(w / 2) * (h / 2));
    if (remotePicture.size() < bytes) {
        remotePicture.resize(bytes);
    }
    uint8_t* y = remotePicture.data();
    uint8_t* u = y + luma;
    uint8_t* v = u + static_cast<size_t>(w / 2) * (h / 2);
    for (int row = 0; row < h; ++row) {
        std::memcpy(y + static_cast<size_t>(row) * w,
                    picture.pY + static_cast<size_t>(row) * picture.nStrideY, w);
    }
    for (int row = 0; row < h / 2; ++row) {
        std::memcpy(u + static_cast<size_t>(row) * (w / 2),
                    picture.pU + static_cast<size_t>(row) * picture.nStrideU, w / 2);
        std::memcpy(v + static_cast<size_t>(row) * (w / 2),
                    picture.pV + static_cast<size_t>(row) * picture.nStrideV, w / 2);
    }
    nRemotePictureWidth = w;
    nRemotePictureHeight = h;
}

void CAVChannel::FinishRemotePicture() {
    if (!bRemotePictureShown) {
        return;
    }
    const int w = nRemotePictureWidth;
    const int h = nRemotePictureHeight;
    if (w > 0 && h > 0) {
        const uint8_t* y = remotePicture.data();
        const uint8_t* u = y + static_cast<size_t>(w) * h;
        const uint8_t* v = u + static_cast<size_t>(w / 2) * (h / 2);
        SnapshotRemote(y, u, v, w, w / 2, w, h);
    }
    UpdateMotionAlarm(bRemoteMotionDetecting);
}

void CAVChannel::DecodeVideoMode(WPARAM type, LPARAM size) {
    const uint8_t codec = static_cast<uint8_t>(type & 0xFF);
    const int width = static_cast<int>((static_cast<uintptr_t>(size) >> 16) & 0xFFFF);
    const int height = static_cast<int>(static_cast<uintptr_t>(size) & 0xFFFF);
    bool failed = false;
    {
        CScopedLock lock(mutex);
        if (!IsRemote() || width <= 0 || height <= 0) {
            return;  // a late request of an ended connection, or no size to open
        }
        if (decParams.byVideoType == codec && decParams.nWidth == width &&
            decParams.nHeight == height) {
            return;  // a repeat of a change already made
        }
        CloseDecoderLocked();
        decParams.byVideoType = codec;
        decParams.nWidth = static_cast<uint16_t>(width);
        decParams.nHeight = static_cast<uint16_t>(height);
        pDecoder = CodecOpenDecoder(&decParams);
        failed = pDecoder == nullptr;
    }
    if (failed) {
        AfxMessageBox("Init Decoder Failed in DecodeVideoMode!!");
    }
}

void CAVChannel::DecodeAudioMode(WPARAM type) {
    const uint8_t codec = static_cast<uint8_t>(type & 0xFF);
    bool notify = false;
    {
        CScopedLock lock(mutex);
        if (!IsRemote() || pDecoder == nullptr || decParams.byAudioType == codec ||
            byRefusedAudioType.load() == codec) {
            return;
        }
        // A code no decoder takes keeps the old decoder and the recording.
        bool changed = false;
        if (CodecMapAudioType(codec) != 0) {
            CodecCloseRecordFile(pDecoder, g_nUptimeSeconds.load());
            bRecording = 0;
            changed = CodecChangeDecoderAudio(pDecoder, codec) != 0;
            if (!changed) {
                CodecChangeDecoderAudio(pDecoder, decParams.byAudioType);
            }
        }
        if (changed) {
            decParams.byAudioType = codec;
        } else {
            byRefusedAudioType = codec;
            notify = !bAudioModeRefused;
            bAudioModeRefused = true;
        }
    }
    if (notify) {
        AfxMessageBox("DecodeAudioMode failed!!!");
    }
}
