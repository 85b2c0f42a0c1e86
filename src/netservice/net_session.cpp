#include "netservice/net_session.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/net/net_transfer.h"

// The peer's address as the log writes it, most significant byte first.
#define PEER_FMT "%ld.%ld.%ld.%ld"
#define PEER_ARGS(ip)                                                           \
    static_cast<long>((ip) >> 24 & 0xFF), static_cast<long>((ip) >> 16 & 0xFF), \
        static_cast<long>((ip) >> 8 & 0xFF), static_cast<long>((ip)&0xFF)

CNetSession::CNetSession(NetRole role, uint32_t peerIp, NetSocket sock, INetSessionHost* host)
    : role(role),
      host(host),
      dwPeerIp(peerIp),
      sock(sock),
      pRecvBuf(new uint8_t[NET_MSG_BUFFER_BYTES]()) {}

CNetSession::~CNetSession() {
    if (pSender) {
        if (nOpenChannel >= 0 && nOpenChannel < host->GetChannelCount()) {
            host->RemoveViewer(nOpenChannel, pSender->GetQueue());
        }
        pSender.reset();
    }
}

int CNetSession::Feed(const uint8_t* bytes, int count) {
    if (byPhase != NET_PHASE_COMMAND || bytes == nullptr || count <= 0)
        return 0;
    int pos = 0;
    while (byPhase == NET_PHASE_COMMAND && pos < count) {
        int left = count - pos;
        if (wMsgLength == 0) {
            int headerMissing = static_cast<int>(NET_MSG_HEADER_BYTES) - wHeldBytes;
            if (left < headerMissing) {
                std::memcpy(pRecvBuf.get() + wHeldBytes, bytes + pos, left);
                wHeldBytes = static_cast<uint16_t>(wHeldBytes + left);
                return count;
            }
            std::memcpy(pRecvBuf.get() + wHeldBytes, bytes + pos, headerMissing);
            pos += headerMissing;
            left -= headerMissing;
            wHeldBytes = NET_MSG_HEADER_BYTES;
            uint16_t n = ReadNetMessageLength(pRecvBuf.get());
            // A length that cannot be a message (no command byte, or more
            // than the buffer holds) means the peer does not speak this
            // protocol: collecting it would overrun the buffer.
            if (!IsValidNetMessageLength(n))
                return -1;
            wMsgLength = n;
        }
        int need = static_cast<int>(NET_MSG_HEADER_BYTES) + wMsgLength - wHeldBytes;
        if (left < need) {
            std::memcpy(pRecvBuf.get() + wHeldBytes, bytes + pos, left);
            wHeldBytes = static_cast<uint16_t>(wHeldBytes + left);
            return count;
        }
        std::memcpy(pRecvBuf.get() + wHeldBytes, bytes + pos, need);
        pos += need;
        uint16_t n = wMsgLength;
        wMsgLength = 0;
        wHeldBytes = 0;
        if (!HandleMessage(pRecvBuf.get(), n))
            return -1;
    }
    return pos;
}

bool CNetSession::HandleMessage(const uint8_t* message, uint16_t n) {
    NetCommandMessage msg;
    if (!ParseNetCommandMessage(message, NET_MSG_HEADER_BYTES + n, &msg))
        return false;
    const bool keep = role == NetRole::Server ? HandleServerMessage(msg) : HandleClientMessage(msg);
    return keep && !bAnswerLost;
}

bool CNetSession::HandleServerMessage(const NetCommandMessage& msg) {
    switch (msg.byCommand) {
        case NETCMD_LOGIN:
            return HandleLogin(msg);
        case NETCMD_OPEN_CHANNEL:
            return HandleOpenChannel(msg);
        default:
            return false;  // not a code a viewer sends
    }
}

bool CNetSession::HandleLogin(const NetCommandMessage& msg) {
    std::string user, password;
    if (!ParseLoginPayload(msg, &user, &password))
        return false;

    if (host->CheckUserPassword(user.c_str(), password.c_str())) {
        uint8_t count = static_cast<uint8_t>(host->GetChannelCount());
        SendCommand(NETCMD_LOGIN_OK, &count, 1);
        std::memset(szUser, 0, sizeof szUser);
        std::strncpy(szUser, user.c_str(), sizeof szUser - 1);
        byLoginState = NET_LOGIN_ACCEPTED;
        Log("Ip: " PEER_FMT " login success!", PEER_ARGS(dwPeerIp));
        return true;
    }
    SendCommand(NETCMD_LOGIN_FAILED, nullptr, 0);
    // The password is never written to the log in clear.
    Log("Ip: " PEER_FMT " login failed! user=%s or password=%s error!", PEER_ARGS(dwPeerIp),
        user.c_str(), "*");
    // A peer may retry, but not guess passwords for ever on one connection.
    return ++nRefusedLogins < NET_MAX_REFUSED_LOGINS;
}

bool CNetSession::Refuse(uint8_t code, uint8_t channel) {
    SendCommand(code, &channel, 1);
    return false;
}

bool CNetSession::HandleOpenChannel(const NetCommandMessage& msg) {
    if (byLoginState != NET_LOGIN_ACCEPTED)
        return true;  // ignored until a login is accepted
    if (msg.PayloadLength() < 1)
        return false;
    const uint8_t c = msg.pPayload[0];

    if (c >= host->GetChannelCount())
        return Refuse(NETCMD_NULL_CHANNEL, c);
    if (!host->CheckUserChannelRight(szUser, c))
        return Refuse(NETCMD_NO_RIGHT, c);
    if (!host->IsChannelActive(c))
        return Refuse(NETCMD_NULL_CHANNEL, c);
    if (pSender)
        return Refuse(NETCMD_BUSY, c);

    pSender = host->CreateStreamSender(dwPeerIp, sock);
    if (!pSender)
        return false;
    // A refusal (three viewers already) gets no answer; the sender stays
    // with the session until the session is deleted.
    if (!host->AddViewer(c, pSender->GetQueue()))
        return false;

    nOpenChannel = c;
    SendCommand(NETCMD_OPEN_OK, &c, 1);
    pSender->EnableNotify(true);
    Log("Ip: " PEER_FMT " open channel %ld OK!", PEER_ARGS(dwPeerIp), static_cast<long>(c));
    byPhase = NET_PHASE_STREAM;
    return true;
}

bool CNetSession::HandleClientMessage(const NetCommandMessage& msg) {
    // Every answer but the login's names the channel in its first byte.
    const bool hasChannel = msg.PayloadLength() >= 1;
    const long c = hasChannel ? msg.pPayload[0] : 0;
    switch (msg.byCommand) {
        case NETCMD_LOGIN_OK:
            Log("Login ip: " PEER_FMT " OK!", PEER_ARGS(dwPeerIp));
            byLoginState = NET_LOGIN_CONFIRMED;
            return true;
        case NETCMD_LOGIN_FAILED:
            Log("Login ip: " PEER_FMT " Failed!", PEER_ARGS(dwPeerIp));
            return false;
        case NETCMD_OPEN_OK:
            if (!hasChannel)
                return false;
            byPhase = NET_PHASE_STREAM;
            byLoginState = NET_LOGIN_CONFIRMED;
            Log("Open ch%ld in " PEER_FMT " OK!", c, PEER_ARGS(dwPeerIp));
            return true;
        case NETCMD_BUSY:
            Log("Connect address is busy!");
            return false;
        case NETCMD_NULL_CHANNEL:
            if (hasChannel)
                Log("Open null channel %ld at ip: " PEER_FMT " !", c, PEER_ARGS(dwPeerIp));
            return false;
        case NETCMD_NO_RIGHT:
            if (hasChannel) {
                Log("Unable to open channel %ld from Ip: " PEER_FMT " !", c, PEER_ARGS(dwPeerIp));
            }
            return false;
        default:
            return false;  // not a code a server sends
    }
}

bool CNetSession::SendCommand(uint8_t code, const void* payload, int len) {
    if (sock == INVALID_NET_SOCKET || len < 0)
        return false;
    uint8_t message[NET_MSG_BUFFER_BYTES];
    size_t size =
        BuildNetCommandMessage(code, dwSessionId, payload, static_cast<size_t>(len), message);
    if (size == 0)
        return false;
    if (role == NetRole::Client)
        return SendAll(sock, message, size);
    // The login server's one thread serves every connection, so an answer
    // never waits for a peer that does not read; and an answer that did not
    // go out whole has broken the peer's framing. Either way the connection
    // ends after the message being handled.
    if (SendAllProgress(sock, message, size, nullptr, SendWait::Never) != SendResult::Complete) {
        bAnswerLost = true;
        return false;
    }
    return true;
}

bool CNetSession::IsSenderAlive() const {
    return !pSender || pSender->IsConnected();
}

void CNetSession::Log(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    host->WriteLogEntry(NET_LOG_TYPE, 0, text);
}
