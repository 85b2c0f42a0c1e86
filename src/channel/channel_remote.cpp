// The remote mode's connection side: entering and leaving it, and the
// receive thread that connects to the other copy's login server, logs in,
// opens the channel and hands the stream to the packet parser.
#include <cstring>
#include <memory>
#include <string>

#include "channel/av_channel.h"
#include "netservice/net_session.h"
#include "platform/msgbox/message_box.h"
#include "platform/net/net_connect.h"
#include "platform/net/net_transfer.h"
#include "platform/net/net_wait.h"
#include "platform/threads/thread_messages.h"
#include "settings/globals.h"
#include "settings/scoped_lock.h"

namespace {

constexpr size_t kMaxLoginText = 30;
constexpr int kConnectWaits = 15;
constexpr int kIdleWaitsAllowed = 45;  // the 46th idle second in a row ends the connection
constexpr int kReceiveBytes = 32768;

// A client session reaches only the event log; the rest belongs to a
// server's sessions.
class ClientSessionHost final : public INetSessionHost {
public:
    int CheckUserPassword(const char*, const char*) override { return 0; }
    int CheckUserChannelRight(const char*, uint8_t) override { return 0; }
    int GetChannelCount() override { return 0; }
    bool IsChannelActive(int) override { return false; }
    int AddViewer(int, CStreamQueue*) override { return 0; }
    int RemoveViewer(int, CStreamQueue*) override { return 0; }
    std::unique_ptr<IViewerSender> CreateStreamSender(uint32_t, NetSocket) override {
        return nullptr;
    }
    void WriteLogEntry(int type, int channel, const char* text) override {
        ChannelHost().WriteLogEntry(type, channel, text);
    }
};

ClientSessionHost g_clientHost;

void CopyLoginText(char (&out)[32], const char* text) {
    std::memset(out, 0, sizeof out);
    std::strncpy(out, text, kMaxLoginText);
}

}  // namespace

int CAVChannel::SetRemoteLogin(const char* user, const char* password) {
    if (user == nullptr || password == nullptr || std::strlen(user) > kMaxLoginText ||
        std::strlen(password) > kMaxLoginText) {
        return 0;
    }
    std::lock_guard<std::mutex> lock(loginLock);
    CopyLoginText(szNextUser, user);
    CopyLoginText(szNextPassword, password);
    return 1;
}

bool CAVChannel::CanConnectRemote() const {
    return nMode.load() != CHANNEL_LOCAL && !bHasRecvThread.load();
}

CodecSlot* CAVChannel::RecordSlotLocked() const {
    if (IsLocal()) {
        return pEncoder;
    }
    return IsRemote() ? pDecoder : nullptr;
}

bool CAVChannel::CloseDecoderLocked() {
    if (pDecoder == nullptr) {
        return false;
    }
    CodecCloseRecordFile(pDecoder, g_nUptimeSeconds.load());
    bRecording = 0;
    CodecCloseSlot(pDecoder, g_nUptimeSeconds.load());
    pDecoder = nullptr;
    return true;
}

CodecParams CAVChannel::GetDecodeParams() {
    CScopedLock lock(mutex);
    return decParams;
}

bool CAVChannel::HasDecoder() {
    CScopedLock lock(mutex);
    return pDecoder != nullptr;
}

void CAVChannel::StartRemote(WPARAM address, LPARAM portAndChannel) {
    const char* failure = nullptr;
    {
        CScopedLock lock(mutex);
        if (hRecvThread != nullptr) {
            return;
        }
        if (IsLocal()) {
            StopLocal();
        }
        dwRemoteIp = static_cast<uint32_t>(address);
        wRemotePort = static_cast<uint16_t>(static_cast<uintptr_t>(portAndChannel) & 0xFFFF);
        wRemoteChannel =
            static_cast<uint16_t>((static_cast<uintptr_t>(portAndChannel) >> 16) & 0xFFFF);
        {
            // The login of this request, whatever a disconnect cleared since.
            std::lock_guard<std::mutex> login(loginLock);
            std::memcpy(szRemoteUser, szNextUser, sizeof szRemoteUser);
            std::memcpy(szRemotePassword, szNextPassword, sizeof szRemotePassword);
        }

        decParams.byVideoType = VCODEC_H264;
        decParams.byAudioType = ACODEC_MP3;
        decParams.nWidth = 352;
        decParams.nHeight = 288;
        CloseDecoderLocked();  // a slot left from a failed start is not leaked
        pDecoder = CodecOpenDecoder(&decParams);
        if (pDecoder == nullptr) {
            failure = "Init Decoder Failed!!";
        } else {
            if (!pRemotePacket) {
                pRemotePacket = std::make_unique<uint8_t[]>(PACKET_BUFFER_SIZE);
            }
            pParser->Reset();
            pFrameQueue->Reset();
            bAudioModeRefused = false;
            byRefusedAudioType = 0;
            bPictureSizeRefused = false;
            bShowRemotePicture = true;
            byDisplayCalls = 0;
            if (++nLastConnection == 0) {
                nLastConnection = 1;
            }
            dwConnection = nLastConnection;
            bStopRecvThread = 0;
            hRecvThread = CreateThread(&CAVChannel::RecvThreadProc, this, nullptr);
            if (hRecvThread == nullptr) {
                bStopRecvThread = 1;
                dwConnection = 0;
                CloseDecoderLocked();
                failure = "Init thread Failed!!";
            } else {
                bHasRecvThread = true;
                nMode = CHANNEL_REMOTE;
            }
        }
    }
    if (failure != nullptr) {
        AfxMessageBox(failure);
    }
}

void CAVChannel::StopRemote() {
    bool becameIdle = false;
    {
        CScopedLock lock(mutex);
        bStopRecvThread = 1;
        pParser->ClearKeyFrameSeen();  // the display step stops taking packets
        if (hRecvThread != nullptr) {
            // The receive thread never takes the channel mutex and sees the
            // flag within a second.
            WaitForThread(hRecvThread, INFINITE);
            CloseThreadHandle(hRecvThread);
            hRecvThread = nullptr;
        }
        bHasRecvThread = false;
        dwConnection = 0;
        dwRemoteIp = 0;
        wRemotePort = 0;
        wRemoteChannel = 0;
        std::memset(szRemoteUser, 0, sizeof szRemoteUser);
        std::memset(szRemotePassword, 0, sizeof szRemotePassword);
        pParser->Reset();
        pFrameQueue->Reset();
        CloseDecoderLocked();
        // A local channel keeps its own mode: a stray disconnect must not
        // leave it half stopped with its encoder and devices attached.
        if (!IsLocal()) {
            nMode = CHANNEL_IDLE;
            becameIdle = true;
        }
    }
    const ThreadId drawVideo = g_dwDrawVideoThreadId.load();
    if (becameIdle && drawVideo != 0) {
        PostThreadMessage(drawVideo, WM_CHANNEL_STOPPED, static_cast<WPARAM>(nChannel), 0);
    }
}

void CAVChannel::DisconnectWhenCurrent(uint32_t connection) {
    // 0 is the main window's: it ends any connection. A receive thread's
    // own end names its connection, so a late one never ends a newer one.
    if (connection == 0 || connection == dwConnection.load()) {
        StopRemote();
    }
}

bool CAVChannel::ParseStreamData(const uint8_t* bytes, int count) {
    return pParser->ParseStreamData(bytes, count);
}

uint32_t CAVChannel::RecvThreadProc(void* param) {
    static_cast<CAVChannel*>(param)->RemoteRecvThread();
    return 0;
}

void CAVChannel::RemoteRecvThread() {
    const uint32_t connection = dwConnection.load();
    const uint32_t ip = dwRemoteIp.load();
    std::unique_ptr<CNetSession> session;
    NetSocket sock = CreateTcpSocket();
    if (sock == INVALID_NET_SOCKET) {
        // "Creating the receive socket failed!"
        AfxMessageBox("Rcv socket\xb4\xb4\xbd\xa8\xca\xa7\xb0\xdc!", MB_OKCANCEL);
    } else {
        IgnoreBrokenPipeSignal();
        ConnectState state = BeginConnect(sock, ip, wRemotePort.load());
        // A refused connect is known at the first wait; an unanswered one
        // gets 15 one-second waits.
        for (int i = 0; i < kConnectWaits && state == ConnectState::InProgress; ++i) {
            if (bStopRecvThread.load() != 0) {
                state = ConnectState::Failed;
                break;
            }
            state = WaitConnect(sock, NET_WAIT_MS);
        }
        if (state == ConnectState::Connected) {
            session = std::make_unique<CNetSession>(NetRole::Client, ip, sock, &g_clientHost);
            std::string login;
            if (BuildLoginPayload(szRemoteUser, szRemotePassword, &login)) {
                session->SendCommand(NETCMD_LOGIN, login.data(), static_cast<int>(login.size()));
            }
            const uint8_t open[2] = {static_cast<uint8_t>(wRemoteChannel.load() & 0xFF), 0};
            session->SendCommand(NETCMD_OPEN_CHANNEL, open, 2);

            std::unique_ptr<uint8_t[]> buffer = std::make_unique<uint8_t[]>(kReceiveBytes);
            int idle = 0;
            while (bStopRecvThread.load() == 0) {
                if (WaitReadable(sock, NET_WAIT_MS) != WaitResult::Ready) {
                    if (++idle > kIdleWaitsAllowed) {
                        break;
                    }
                    continue;
                }
                const int n = RecvSome(sock, buffer.get(), kReceiveBytes);
                if (n <= 0) {
                    break;
                }
                if (session->IsStreaming()) {
                    if (!ParseStreamData(buffer.get(), n)) {
                        break;
                    }
                } else {
                    const int taken = session->Feed(buffer.get(), n);
                    if (taken < 0) {
                        break;
                    }
                    if (taken < n && session->IsStreaming() &&
                        !ParseStreamData(buffer.get() + taken, n - taken)) {
                        break;
                    }
                }
                idle = 0;
            }
        }
    }
    session.reset();
    if (sock != INVALID_NET_SOCKET) {
        ShutdownSocket(sock);
        CloseSocket(sock);
    }
    PostThreadMessage(dwMsgThreadId.load(), WM_CHANNEL_DISCONNECT, static_cast<WPARAM>(connection),
                      0);
}
