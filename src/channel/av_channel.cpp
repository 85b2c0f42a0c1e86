// The channel object as a whole: construction, the message thread, the
// queries and the local mode's entry and exit.
#include "channel/av_channel.h"

#include "channel/channel_config.h"
#include "channel/media_calls.h"
#include "platform/clock/local_clock.h"
#include "platform/msgbox/message_box.h"
#include "platform/threads/thread_messages.h"
#include "settings/globals.h"
#include "settings/scoped_lock.h"

CAVChannel::CAVChannel(int channel) : nChannel(channel) {
    pPacketBuffer = std::make_unique<uint8_t[]>(PACKET_BUFFER_SIZE);
    pPcmRing = std::make_unique<CPcmRingBuffer>();
    pFrameQueue = std::make_unique<CFrameQueue>();
    pParser = std::make_unique<CStreamParser>(pFrameQueue.get());
    sLastSnapshotSecond = FormatLocalTime(GetLocalTimeNow(), "%Y_%m_%d__%H_%M_%S");

    ThreadId id = 0;
    hMsgThread = CreateThread(&CAVChannel::MsgThreadProc, this, &id);
    if (hMsgThread == nullptr) {
        ShowMessageBox("Create AVChannel msg Thread Failed!!!", "ERROR", MB_OK);
    } else {
        dwMsgThreadId.store(id);
    }
}

CAVChannel::~CAVChannel() {
    pParser->ClearKeyFrameSeen();
    bScheduleRecord = 0;
    bManualRecord = 0;
    bMotionTest = 0;
    bMotionDetect = 0;
    bMotionAlarm = 0;
    byWarmupFrames = 0;
    bStopMsgThread = 1;
    if (hMsgThread != nullptr) {
        PostThreadMessage(dwMsgThreadId.load(), WM_THREAD_QUIT, 0, 0);
        WaitForThread(hMsgThread, INFINITE);
        CloseThreadHandle(hMsgThread);
        hMsgThread = nullptr;
    }
    if (IsLocal()) {
        StopLocal();
    } else if (IsRemote() || HasRecvThread() || HasDecoder()) {
        StopRemote();
    }
}

uint32_t CAVChannel::MsgThreadProc(void* param) {
    static_cast<CAVChannel*>(param)->RunMessageLoop();
    return 0;
}

void CAVChannel::RunMessageLoop() {
    ThreadMessage msg;
    while (bStopMsgThread.load() == 0) {
        if (!GetMessage(&msg)) {
            break;
        }
        if (msg.message == WM_THREAD_QUIT) {
            break;
        }
        Dispatch(msg);
    }
}

void CAVChannel::Dispatch(const ThreadMessage& msg) {
    switch (msg.message) {
        case WM_CHANNEL_SNAPSHOT:
            TakeSnapshot();
            break;
        case WM_CHANNEL_ENCODE_VIDEO:
            EncodeVideoSlot(static_cast<int>(msg.wParam > 3 ? 4 : msg.wParam));
            break;
        case WM_CHANNEL_ENCODE_AUDIO:
            EncodeAudioData(static_cast<int>(msg.wParam));
            break;
        case WM_CHANGE_VIDEO_ENC_MODE:
            ChangeVideoEncMode(msg.wParam, msg.lParam);
            break;
        case WM_CHANGE_VIDEO_ENC_SIZE:
            ChangeVideoEncSize(static_cast<int>(msg.wParam), static_cast<int>(msg.lParam));
            break;
        case WM_CHANNEL_CONNECT:
            StartRemote(msg.wParam, msg.lParam);
            break;
        case WM_CHANNEL_DISCONNECT:
            DisconnectWhenCurrent(static_cast<uint32_t>(msg.wParam));
            break;
        case WM_DECODE_VIDEO_MODE:
            DecodeVideoMode(msg.wParam, msg.lParam);
            break;
        case WM_DECODE_AUDIO_MODE:
            DecodeAudioMode(msg.wParam);
            break;
        default:
            break;
    }
}

uint8_t CAVChannel::GetRecordState() const {
    if (bRecording.load() == 0) {
        return REC_NONE;
    }
    if (bMotionAlarm.load() != 0) {
        return REC_MOTION;
    }
    if (bScheduleRecord.load() != 0) {
        return REC_SCHEDULE;
    }
    if (bManualRecord.load() != 0) {
        return REC_MANUAL;
    }
    return REC_NONE;
}

int CAVChannel::SetEncodeParams(CodecParams params) {
    CScopedLock lock(mutex);
    encParams = params;
    return 1;
}

CodecParams CAVChannel::GetEncodeParams() {
    CScopedLock lock(mutex);
    return encParams;
}

StreamHeader CAVChannel::GetVideoHeader() {
    CScopedLock lock(mutex);
    return dwVideoHeader;
}

StreamHeader CAVChannel::GetAudioHeader() {
    CScopedLock lock(mutex);
    return dwAudioHeader;
}

bool CAVChannel::HasEncoder() {
    CScopedLock lock(mutex);
    return pEncoder != nullptr;
}

void CAVChannel::GetRecordFileState(int* recording, bool* fileOpen) {
    CScopedLock lock(mutex);
    *recording = bRecording.load();
    CodecSlot* slot = RecordSlotLocked();
    *fileOpen = slot != nullptr && slot->pFormatCtx != nullptr;
}

uint8_t CAVChannel::GetSlotState(int slot) const {
    return slot >= 0 && slot < FRAME_SLOT_COUNT ? frameSlots[slot].byState.load() : SLOT_FREE;
}

uint8_t CAVChannel::GetSlotDropped(int slot) const {
    return slot >= 0 && slot < FRAME_SLOT_COUNT ? frameSlots[slot].byDropped.load() : 0;
}

bool CAVChannel::OpenEncoderLocked() {
    nAudioFrameBytes = 0;
    pEncoder = CodecOpenEncoder(&encParams);
    if (pEncoder == nullptr) {
        return false;
    }
    nAudioFrameBytes = CodecGetAudioFrameBytes(pEncoder);
    // Both templates follow every open, so a viewer never gets the codec
    // code of an encoder that failed to open before.
    SetHeaderCodecType(dwVideoHeader, encParams.byVideoType);
    SetHeaderPicSizeCode(dwVideoHeader, GetPicSizeCode(encParams.nWidth, encParams.nHeight));
    SetHeaderCodecType(dwAudioHeader, encParams.byAudioType);
    return true;
}

void CAVChannel::CloseEncoderLocked() {
    if (pEncoder != nullptr) {
        CodecCloseRecordFile(pEncoder, g_nUptimeSeconds.load());
        bRecording = 0;
        CodecCloseSlot(pEncoder, g_nUptimeSeconds.load());
        pEncoder = nullptr;
    }
    nAudioFrameBytes = 0;
}

void CAVChannel::StartLocal(int videoDevice, int audioDevice) {
    if (IsRemote() || HasRecvThread()) {
        StopRemote();
    }
    bool encoderFailed = false;
    {
        CScopedLock lock(mutex);
        if (videoDevice >= 0) {
            if (pEncoder == nullptr) {
                SetHeaderCodecType(dwVideoHeader, encParams.byVideoType);
                SetHeaderPicSizeCode(dwVideoHeader,
                                     GetPicSizeCode(encParams.nWidth, encParams.nHeight));
                encoderFailed = !OpenEncoderLocked();
                for (FrameSlot& slot : frameSlots) {
                    if (!slot.pBuffer) {
                        slot.pBuffer =
                            std::make_unique<uint8_t[]>(FRAME_SLOT_CAPACITY + FRAME_SLOT_SLACK);
                    }
                    slot.SetSize(FRAME_SLOT_WIDTH, FRAME_SLOT_HEIGHT);
                    slot.nCapacity = FRAME_SLOT_CAPACITY;
                    slot.byDropped = 0;
                    slot.byState.store(SLOT_FREE, std::memory_order_release);
                }
                byWriteSlot = 0;
                byReadSlot = 0;
                byLastShownSlot = 0;
            }
            nVideoDevice = videoDevice;
        }
        if (audioDevice >= 0) {
            nAudioDevice = audioDevice;
            SetHeaderCodecType(dwAudioHeader, encParams.byAudioType);
        }
        nMode = CHANNEL_LOCAL;
    }
    if (videoDevice >= 0) {
        // The capture layer is asked outside the channel mutex.
        const uint8_t device = static_cast<uint8_t>(videoDevice);
        const uint32_t stored = ReadChannelVideoColor(nChannel);
        if (stored != 0) {
            dwVideoColor = PictureControls().SetVideoProcAmp(device, stored);
        } else {
            dwVideoColor = PictureControls().GetVideoProcAmp(device);
            StoreChannelVideoColor(nChannel, dwVideoColor.load());
        }
    }
    if (encoderFailed) {
        AfxMessageBox("Init Encoder Failed!!");
    }
}

void CAVChannel::StopLocal() {
    {
        CScopedLock lock(mutex);
        nVideoDevice = -1;
        nAudioDevice = -1;
        CloseEncoderLocked();
        // The slot buffers stay: a capture callback, a display step or a
        // snapshot may still be on its way through them.
        for (FrameSlot& slot : frameSlots) {
            slot.byState.store(SLOT_FREE, std::memory_order_release);
        }
        byWriteSlot = 0;
        byReadSlot = 0;
        nMode = CHANNEL_IDLE;
    }
    const ThreadId drawVideo = g_dwDrawVideoThreadId.load();
    if (drawVideo != 0) {
        PostThreadMessage(drawVideo, WM_CHANNEL_STOPPED, static_cast<WPARAM>(nChannel), 0);
    }
}
