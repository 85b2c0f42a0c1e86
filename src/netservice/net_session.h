#pragma once
// The protocol state of one port-9228 connection: collects received bytes
// into command messages, acts on each, sends answers, and on the server end
// owns the viewer's stream sender once a channel is open.
//
// A session acts only on its own role's codes: a server session on the
// login and the open, a client session on the server's answers; any other
// code closes the connection. A length word N of 0 or above 1014 also closes
// it, and so does a login whose text lengths reach past the message or the
// third refused login of one connection, or an answer the peer leaves no
// room for. Every message of a receive is
// handled, however many there are, so no byte is ever dropped unread.

#include <cstdint>
#include <memory>

#include "netservice/net_command.h"
#include "netservice/net_session_host.h"
#include "platform/net/net_socket.h"

constexpr uint8_t NET_PHASE_COMMAND = 1;  // received bytes are command messages
constexpr uint8_t NET_PHASE_STREAM = 2;   // received bytes are stream packets

constexpr uint8_t NET_LOGIN_NONE = 0;
constexpr uint8_t NET_LOGIN_ACCEPTED = 1;   // server: the peer logged in
constexpr uint8_t NET_LOGIN_CONFIRMED = 2;  // client: the server took the login or the open

// Refused logins after which a server closes the connection.
constexpr int NET_MAX_REFUSED_LOGINS = 3;

enum class NetRole { Server, Client };

class CNetSession {
public:
    // peerIp in host order; sock is not owned (the owner closes it); host
    // must outlive the session.
    CNetSession(NetRole role, uint32_t peerIp, NetSocket sock, INetSessionHost* host);
    // Unregisters the viewer's queue from its channel, then deletes the
    // sender (stopping its thread). The socket stays open.
    ~CNetSession();

    CNetSession(const CNetSession&) = delete;
    CNetSession& operator=(const CNetSession&) = delete;

    // Collects and handles messages. Returns the bytes taken in (all of
    // them, unless a message switched to the stream phase: the bytes after
    // it are stream data), 0 in the stream phase, or -1 when the connection
    // is to be closed.
    int Feed(const uint8_t* bytes, int count);

    // Acts on one whole message (10 + n bytes at message); false = close.
    bool HandleMessage(const uint8_t* message, uint16_t n);

    // Sends one message with every byte; false when the socket is invalid,
    // the payload too long or the send failed. A server session never waits
    // for room in the socket: an answer that does not go out whole at once
    // closes the connection after the message being handled.
    bool SendCommand(uint8_t code, const void* payload, int len);

    bool IsStreaming() const { return byPhase == NET_PHASE_STREAM; }
    // False only when a sender exists and its thread has ended.
    bool IsSenderAlive() const;

    NetRole GetRole() const { return role; }
    uint8_t GetPhase() const { return byPhase; }
    uint8_t GetLoginState() const { return byLoginState; }
    int GetOpenChannel() const { return nOpenChannel; }
    const char* GetUser() const { return szUser; }
    uint32_t GetPeerIp() const { return dwPeerIp; }
    IViewerSender* GetSender() const { return pSender.get(); }

private:
    bool HandleServerMessage(const NetCommandMessage& msg);
    bool HandleClientMessage(const NetCommandMessage& msg);
    bool HandleLogin(const NetCommandMessage& msg);
    bool HandleOpenChannel(const NetCommandMessage& msg);
    bool Refuse(uint8_t code, uint8_t channel);
    void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));

    const NetRole role;
    INetSessionHost* const host;
    uint32_t dwPeerIp;
    uint32_t dwSessionId = 0;
    NetSocket sock;
    uint8_t byPhase = NET_PHASE_COMMAND;
    uint8_t byLoginState = NET_LOGIN_NONE;
    std::unique_ptr<uint8_t[]> pRecvBuf;
    uint16_t wMsgLength = 0;  // N of the message being collected; 0 until its header is in
    uint16_t wHeldBytes = 0;  // bytes of that message held in pRecvBuf
    std::unique_ptr<IViewerSender> pSender;
    int nOpenChannel = -1;
    char szUser[18] = {};
    int nRefusedLogins = 0;
    bool bAnswerLost = false;  // server: an answer could not be sent whole
};
