#include "netservice/login_server.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "netservice/net_session.h"
#include "platform/msgbox/message_box.h"
#include "platform/net/net_transfer.h"
#include "platform/net/net_wait.h"
#include "platform/threads/thread_queue.h"

namespace {

struct SessionSlot {
    std::unique_ptr<CNetSession> pSession;
    NetSocket sock = INVALID_NET_SOCKET;
    std::chrono::steady_clock::time_point acceptedAt;
};

// Touched only by the server thread once it runs; emptied before it starts.
SessionSlot g_pNetSessions[MAX_NET_SESSIONS];
LoginServerConfig g_config;

ThreadHandle g_hLoginServerThread = nullptr;
ThreadId g_dwLoginServerThreadId = 0;
std::atomic<int> g_bLoginServerRun{0};
std::atomic<uint16_t> g_wListeningPort{0};
std::atomic<int> g_nSessionCount{0};

bool CloseSession(uint8_t slot) {
    if (slot >= MAX_NET_SESSIONS || !g_pNetSessions[slot].pSession) {
        return false;
    }
    SessionSlot& s = g_pNetSessions[slot];
    std::unique_ptr<CNetSession> session = std::move(s.pSession);
    const NetSocket sock = s.sock;
    s.sock = INVALID_NET_SOCKET;
    g_nSessionCount.fetch_sub(1);
    // A send blocked on this socket returns once it is shut down; the
    // descriptor stays ours until the sender thread is joined.
    ShutdownSocket(sock);
    session.reset();
    CloseSocket(sock);
    return true;
}

NetSocket AcceptSession(NetSocket listener) {
    uint32_t peer = 0;
    NetSocket sock = AcceptConnection(listener, &peer);
    if (sock == INVALID_NET_SOCKET) {
        AfxMessageBox("accept Socket failed !", MB_OKCANCEL);
        return INVALID_NET_SOCKET;
    }
    int free = -1;
    for (int i = 0; i < MAX_NET_SESSIONS; ++i) {
        if (!g_pNetSessions[i].pSession) {
            free = i;
            break;
        }
    }
    if (free < 0) {
        CloseSocket(sock);  // all 16 places taken
        return INVALID_NET_SOCKET;
    }
    SetAcceptedSocketOptions(sock, g_config.socketOptions);
    SessionSlot& s = g_pNetSessions[free];
    s.pSession = std::make_unique<CNetSession>(NetRole::Server, peer, sock, g_config.host);
    s.sock = sock;
    s.acceptedAt = std::chrono::steady_clock::now();
    g_nSessionCount.fetch_add(1);
    return sock;
}

// A session still logging in long after it was accepted, or whose sender
// died on a send error, is ended.
void CloseStaleSessions() {
    const auto now = std::chrono::steady_clock::now();
    const auto limit = std::chrono::milliseconds(g_config.commandPhaseMs);
    for (int i = 0; i < MAX_NET_SESSIONS; ++i) {
        SessionSlot& s = g_pNetSessions[i];
        if (!s.pSession) {
            continue;
        }
        if (!s.pSession->IsSenderAlive() ||
            (!s.pSession->IsStreaming() && now - s.acceptedAt >= limit)) {
            CloseSession(static_cast<uint8_t>(i));
        }
    }
}

void ServeSession(int slot, uint8_t* buffer) {
    SessionSlot& s = g_pNetSessions[slot];
    const int n = RecvSome(s.sock, buffer, NET_RECV_BYTES);
    if (n <= 0) {
        CloseSession(static_cast<uint8_t>(slot));
        return;
    }
    // A viewer sends nothing that matters once its channel is open.
    if (!s.pSession->IsStreaming() && s.pSession->Feed(buffer, n) < 0) {
        CloseSession(static_cast<uint8_t>(slot));
    }
}

void RunServer(NetSocket listener) {
    std::unique_ptr<uint8_t[]> buffer = std::make_unique<uint8_t[]>(NET_RECV_BYTES);
    NetSocket socks[1 + MAX_NET_SESSIONS];
    bool readable[1 + MAX_NET_SESSIONS];
    while (g_bLoginServerRun.load() == 1) {
        socks[0] = listener;
        for (int i = 0; i < MAX_NET_SESSIONS; ++i) {
            socks[1 + i] = g_pNetSessions[i].pSession ? g_pNetSessions[i].sock : INVALID_NET_SOCKET;
        }
        const int ready = WaitReadableAny(socks, readable, 1 + MAX_NET_SESSIONS, NET_WAIT_MS);
        if (ready < 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (ready > 0) {
            if (readable[0]) {
                AcceptSession(listener);
            }
            for (int i = 0; i < MAX_NET_SESSIONS; ++i) {
                // A slot filled by this pass's accept was not polled.
                if (readable[1 + i] && g_pNetSessions[i].pSession &&
                    g_pNetSessions[i].sock == socks[1 + i]) {
                    ServeSession(i, buffer.get());
                }
            }
        }
        CloseStaleSessions();
    }
}

uint32_t LoginServerThread(void* /*param*/) {
    ListenStep failed = ListenStep::Socket;
    NetSocket listener =
        OpenListener(g_config.port, LOGIN_LISTEN_BACKLOG, g_config.bindIp, &failed);
    if (listener == INVALID_NET_SOCKET) {
        switch (failed) {
            case ListenStep::Socket:
                // "Creating the login listen socket failed!"
                AfxMessageBox("\xb4\xb4\xbd\xa8Login Listen Socket\xca\xa7\xb0\xdc!", MB_OKCANCEL);
                break;
            case ListenStep::Bind:
                // "Binding the socket failed!"
                AfxMessageBox(
                    "Socket\xb4\xb4\xbd\xa8"
                    "bind\xca\xa7\xb0\xdc!",
                    MB_OKCANCEL);
                break;
            case ListenStep::Listen:
                AfxMessageBox("Socket listen failed !", MB_OKCANCEL);
                break;
        }
        return 0;
    }
    g_wListeningPort = GetLocalPort(listener);
    RunServer(listener);
    g_wListeningPort = 0;
    CloseSocket(listener);
    for (int i = 0; i < MAX_NET_SESSIONS; ++i) {
        CloseSession(static_cast<uint8_t>(i));
    }
    return 0;
}

}  // namespace

bool StartLoginServer(uint16_t port, INetSessionHost* host) {
    LoginServerConfig config;
    config.port = port;
    config.host = host;
    return StartLoginServer(config);
}

bool StartLoginServer(const LoginServerConfig& config) {
    if (g_hLoginServerThread != nullptr || config.host == nullptr) {
        return false;
    }
    IgnoreBrokenPipeSignal();
    for (SessionSlot& s : g_pNetSessions) {
        s.pSession.reset();
        s.sock = INVALID_NET_SOCKET;
    }
    g_nSessionCount = 0;
    g_config = config;
    g_bLoginServerRun = 1;
    g_hLoginServerThread = CreateThread(&LoginServerThread, nullptr, &g_dwLoginServerThreadId);
    if (g_hLoginServerThread == nullptr) {
        g_bLoginServerRun = 0;
        g_dwLoginServerThreadId = 0;
        return false;
    }
    return true;
}

int StopLoginServer() {
    if (g_hLoginServerThread != nullptr) {
        g_bLoginServerRun = 0;
        WaitForThread(g_hLoginServerThread, INFINITE);
        CloseThreadHandle(g_hLoginServerThread);
        g_hLoginServerThread = nullptr;
        g_dwLoginServerThreadId = 0;
    }
    return 1;
}

uint16_t GetLoginServerPort() {
    return g_wListeningPort.load();
}

bool IsLoginServerListening() {
    return g_wListeningPort.load() != 0;
}

int GetLoginSessionCount() {
    return g_nSessionCount.load();
}
