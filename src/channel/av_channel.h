#pragma once
// CAVChannel: one channel of the recorder with its message thread. A local
// channel takes pictures (OnVideoFrame) and sound (OnAudioData) from the
// capture threads, shows, stamps and motion-scans each picture in the
// display step (GetDisplayFrame, on DrawVideo), and encodes on its own
// message thread into the record file and up to three viewer queues.
//
// Values other threads set directly (flags, record age, picture-control
// word) are atomics read at the owner's next step. The encoder, the record
// file, the viewer list and the header templates change only under the
// channel mutex (recursive). Message boxes are shown only after the mutex
// is released.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "channel/channel_services.h"
#include "channel/frame_queue.h"
#include "channel/frame_slot.h"
#include "channel/stream_parser.h"
#include "media/codec_layer.h"
#include "media/pcm_ring_buffer.h"
#include "netservice/stream_header.h"
#include "platform/sync/mutex.h"
#include "platform/threads/thread_queue.h"

class CStreamQueue;

constexpr int CHANNEL_IDLE = 0;
constexpr int CHANNEL_LOCAL = 1;
constexpr int CHANNEL_REMOTE = 2;

constexpr uint8_t REC_NONE = 0;
constexpr uint8_t REC_MANUAL = 1;
constexpr uint8_t REC_SCHEDULE = 2;
constexpr uint8_t REC_MOTION = 3;

constexpr int PACKET_BUFFER_SIZE = 256000;
constexpr int MAX_VIEWERS = 3;
constexpr int RECORD_FILE_SECONDS = 600;
constexpr int MOTION_CELLS = 64;
constexpr int MOTION_HISTORY_ROWS = 3;
constexpr uint8_t MAX_FRAME_SPAN = 15;
constexpr int AUDIO_FRAME_BUFFER_BYTES = 4096;
// Far below any uptime the heartbeat reaches, so that no record time makes
// an alarm hold before the first motion.
constexpr int MOTION_STAMP_NEVER = -1000000000;

struct MotionLevels {
    uint8_t byLevel[MOTION_CELLS];
};

class CAVChannel {
public:
    explicit CAVChannel(int channel);
    ~CAVChannel();
    CAVChannel(const CAVChannel&) = delete;
    CAVChannel& operator=(const CAVChannel&) = delete;

    // --- Queries and settings (user-interface thread).
    // Registers the motion dialog's preview (null: none). When it returns,
    // no display step is still inside the sink it replaced, so that sink
    // may go at once. It waits for a step under way: the caller must hold
    // neither this channel's mutex nor any lock the sink takes.
    void SetPreviewSink(IPreviewSink* sink);
    uint8_t GetRecordState() const;
    bool IsActive() const { return nMode.load() != CHANNEL_IDLE; }
    bool IsLocal() const { return nMode.load() == CHANNEL_LOCAL; }
    bool IsRemote() const { return nMode.load() == CHANNEL_REMOTE; }
    int IsMotionAlarm() const { return bMotionAlarm.load(); }
    int SetEncodeParams(CodecParams params);
    CodecParams GetEncodeParams();
    void StartLocal(int videoDevice, int audioDevice);
    void StopLocal();

    // --- Capture hand-over (capture threads). 1 when taken, 0 when dropped.
    int OnVideoFrame(const uint8_t* data, int bytes, int width, int height, int rowBytes);
    int OnAudioData(const uint8_t* data, int bytes);

    // --- Display step (DrawVideo): 1 when a picture was taken; a picture was
    // drawn when *width and *height are above 0. An idle channel returns 0
    // and leaves the outputs alone.
    int GetDisplayFrame(uint8_t* surface, uint8_t format, int* width, int* height, int pitch);

    // --- Motion levels for the motion dialog's test view. Returns 1.
    int GetMotionLevels(uint8_t* levels) const;

    // --- Viewers (login server thread).
    int AddViewer(CStreamQueue* queue);
    int RemoveViewer(CStreamQueue* queue);
    int HasReadyViewer();
    void SendToViewers(const uint8_t* data, int length, StreamHeader header);

    // --- Record state machine (channel thread).
    void UpdateRecordState();
    int StartRecord();
    int StopRecord();

    // --- Snapshots. A request is served by the next picture shown after
    // it: a local one from its slot on the message thread, before the
    // slot goes back to capture; a remote one by the remote display step
    // (SnapshotRemote).
    void TakeSnapshot();
    void SnapshotLocal(int slot);
    void SnapshotRemote(const uint8_t* y, const uint8_t* u, const uint8_t* v, int yStride,
                        int uvStride, int width, int height);

    // --- Message thread handlers (public for the remote side and tests).
    void EncodeVideoSlot(int slot);
    void EncodeAudioData(int bytes);
    void ChangeVideoEncSize(int width, int height);
    void ChangeVideoEncMode(WPARAM wParam, LPARAM lParam);

    // --- Observation.
    IPreviewSink* GetPreviewSink() const { return pPreviewSink.load(); }
    ThreadId GetMsgThreadId() const { return dwMsgThreadId.load(); }
    bool HasMsgThread() const { return hMsgThread != nullptr; }
    StreamHeader GetVideoHeader();
    StreamHeader GetAudioHeader();
    bool HasEncoder();
    // bRecording and whether the codec slot holds an open record file, read
    // together under the mutex.
    void GetRecordFileState(int* recording, bool* fileOpen);
    // Pictures refused because they do not fit a slot (not in byDropped).
    int GetRejectedFrames() const { return nRejectedFrames.load(); }
    uint8_t GetFrameSpan() const { return byFrameSpan.load(); }
    uint8_t GetSlotState(int slot) const;
    uint8_t GetSlotDropped(int slot) const;

    // --- Remote mode: connection (user-interface and channel thread), the
    // display step (DrawVideo through GetDisplayFrame) and the decoder
    // re-creation (channel thread).
    // 0 when a text is longer than 30 characters (nothing stored); the
    // values go with the next connect request.
    int SetRemoteLogin(const char* user, const char* password);
    bool CanConnectRemote() const;
    // WM_CHANNEL_CONNECT: IPv4 address (host order); port in bits 0-15 and
    // remote channel in bits 16-31.
    void StartRemote(WPARAM address, LPARAM portAndChannel);
    void StopRemote();
    int DisplayRemoteFrame(uint8_t* surface, uint8_t format, int* width, int* height, int pitch);
    // type in the low byte; size: width in bits 16-31, height in bits 0-15.
    void DecodeVideoMode(WPARAM type, LPARAM size);
    void DecodeAudioMode(WPARAM type);
    // The receive thread's bytes of the stream phase; false when the stream
    // lost its framing and the connection is to close.
    bool ParseStreamData(const uint8_t* bytes, int count);

    // Remote observation.
    CFrameQueue* GetFrameQueue() const { return pFrameQueue.get(); }
    const CStreamParser& GetStreamParser() const { return *pParser; }
    bool HasRecvThread() const { return bHasRecvThread.load(); }
    // Number of the running connection (0: none); its receive thread's own
    // WM_CHANNEL_DISCONNECT carries it.
    uint32_t GetConnectionNumber() const { return dwConnection.load(); }
    CodecParams GetDecodeParams();
    bool HasDecoder();
    uint32_t GetRemoteIp() const { return dwRemoteIp.load(); }
    uint16_t GetRemotePort() const { return wRemotePort.load(); }
    uint16_t GetRemoteChannel() const { return wRemoteChannel.load(); }

    // Fields that other threads set directly.
    std::atomic<int> bManualRecord{0};
    std::atomic<int> bScheduleRecord{0};
    std::atomic<int> bMotionDetect{0};
    std::atomic<int> bMotionTest{0};
    std::atomic<int> nRecordAge{0};
    std::atomic<uint32_t> dwVideoColor{0};

    std::atomic<int> nVideoDevice{-1};
    std::atomic<int> nAudioDevice{-1};
    const int nChannel;
    std::atomic<int> nMode{CHANNEL_IDLE};
    std::atomic<int> bMotionAlarm{0};
    std::atomic<int> bRecording{0};
    std::atomic<int> nPendingSnapshots{0};

private:
    static uint32_t MsgThreadProc(void* param);
    void RunMessageLoop();
    void Dispatch(const ThreadMessage& msg);

    // Opens the encoder from encParams and fills both header templates from
    // it; under the mutex. Returns false (no encoder) on failure.
    bool OpenEncoderLocked();
    void CloseEncoderLocked();

    // Picture path pieces (DrawVideo).
    int LocalDisplayStep(uint8_t* surface, uint8_t format, int* width, int* height, int pitch);
    void DrawChannelName(uint8_t* y, int width, int height);
    void DrawDateTime(uint8_t* y, int width, int height);
    void MotionStep(const uint8_t* y, int stride, int width, int height);
    // The motion levels of a picture, with no call out (the remote step
    // runs it under the mutex); true when the alarm is to be evaluated.
    bool SampleMotion(const uint8_t* y, int stride, int width, int height);
    // The alarm with its log lines and alert, from the levels just sampled.
    void UpdateMotionAlarm(bool detecting);
    void DetectMotion(const uint8_t* y, int stride, int width, int height);
    int CheckMotionAlarm(const uint8_t motionMask[MOTION_CELLS], uint8_t threshold, int recordTime);
    void LogMotion(bool start);
    // Hands a shown picture to the registered preview sink, if any.
    void GivePreview(const uint8_t* y, const uint8_t* u, const uint8_t* v, int yStride,
                     int uvStride, int width, int height);

    // Snapshot pieces.
    bool BeginSnapshot(std::string* path);
    void WriteSnapshot(const std::string& path, const uint8_t* y, const uint8_t* u,
                       const uint8_t* v, int yStride, int uvStride, int width, int height);

    std::string MakeRecordFileName(const std::string& folder);

    std::atomic<ThreadId> dwMsgThreadId{0};
    std::unique_ptr<uint8_t[]> pPacketBuffer;
    CMutex mutex;
    CStreamQueue* pViewers[MAX_VIEWERS] = {};
    std::atomic<int> bStopMsgThread{0};
    ThreadHandle hMsgThread = nullptr;

    // Motion (DrawVideo only, levels read by the dialog).
    uint8_t byMotionHistory[MOTION_HISTORY_ROWS][MOTION_CELLS] = {};
    std::atomic<uint8_t> byMotionLevels[MOTION_CELLS] = {};
    uint8_t byHistoryIndex = 0;
    uint8_t byWarmupFrames = 0;
    // Written under previewSinkLock; the display steps call the sink under
    // it, so a sink is never entered after SetPreviewSink replaced it.
    std::atomic<IPreviewSink*> pPreviewSink{nullptr};
    std::mutex previewSinkLock;
    int nAlarmStamp = MOTION_STAMP_NEVER;

    std::mutex snapshotTimeLock;
    std::string sLastSnapshotSecond;

    // Encoder side (under the mutex unless noted).
    CodecSlot* pEncoder = nullptr;
    int nAudioFrameBytes = 0;
    CodecParams encParams;
    StreamHeader dwVideoHeader = VIDEO_HEADER_TEMPLATE;
    StreamHeader dwAudioHeader = AUDIO_HEADER_TEMPLATE;
    std::atomic<uint8_t> byFrameSpan{1};
    std::atomic<int> bForceKeyFrame{0};
    // "StartRecord failed!" is shown once until a file opens again.
    bool bRecordFailShown = false;

    // Picture slots.
    FrameSlot frameSlots[FRAME_SLOT_COUNT];
    std::atomic<uint8_t> byWriteSlot{0};
    std::atomic<uint8_t> byReadSlot{0};
    std::atomic<uint8_t> byLastShownSlot{0};
    std::atomic<int> nRejectedFrames{0};

    std::unique_ptr<CPcmRingBuffer> pPcmRing;

    // Remote mode. The address, port, channel and login are set by
    // StartRemote before the receive thread starts and cleared by StopRemote
    // after it ended; the decoder, decParams and the notices change only
    // under the mutex.
    static uint32_t RecvThreadProc(void* param);
    void RemoteRecvThread();
    void DisconnectWhenCurrent(uint32_t connection);
    CodecSlot* RecordSlotLocked() const;
    bool CloseDecoderLocked();
    bool RemoteVideoStepLocked(uint32_t header, int length, uint8_t* surface, uint8_t format,
                               int* outWidth, int* outHeight, int pitch);
    void RemoteAudioStep(uint32_t header, int length);
    void KeepRemotePictureLocked(const DecodedPicture& picture);
    void FinishRemotePicture();

    std::atomic<uint32_t> dwRemoteIp{0};
    std::atomic<uint16_t> wRemotePort{0};
    std::atomic<uint16_t> wRemoteChannel{0};
    char szRemoteUser[32] = {};
    char szRemotePassword[32] = {};
    std::mutex loginLock;  // the values of the next connect request
    char szNextUser[32] = {};
    char szNextPassword[32] = {};
    CodecParams decParams;
    CodecSlot* pDecoder = nullptr;
    std::atomic<int> bStopRecvThread{1};
    ThreadHandle hRecvThread = nullptr;
    std::atomic<bool> bHasRecvThread{false};
    std::atomic<uint32_t> dwConnection{0};
    uint32_t nLastConnection = 0;
    std::unique_ptr<CFrameQueue> pFrameQueue;
    std::unique_ptr<CStreamParser> pParser;
    std::unique_ptr<uint8_t[]> pRemotePacket;  // one received packet (DrawVideo)
    uint8_t byDisplayCalls = 0;
    // What the remote step leaves for the part after the mutex (DrawVideo
    // only): whether a picture was decoded and its motion levels sampled,
    // and, only while a snapshot is pending, a copy of it (I420).
    bool bRemotePictureShown = false;
    bool bRemoteMotionDetecting = false;
    std::vector<uint8_t> remotePicture;
    int nRemotePictureWidth = 0;
    int nRemotePictureHeight = 0;
    // Once-per-connection notices (under the mutex).
    bool bAudioModeRefused = false;
    std::atomic<uint8_t> byRefusedAudioType{0};
    std::atomic<bool> bPictureSizeRefused{false};
    // False while the stream's pictures have a size outside the ten codes.
    std::atomic<bool> bShowRemotePicture{true};
};
