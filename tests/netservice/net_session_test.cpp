#include "netservice/net_session.h"

#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "netservice/fake_session_host.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kPeer = 0xC0A80114u;  // 192.168.1.20

Bytes Msg(uint8_t code, const std::string& payload = "") {
    Bytes out(NET_MSG_HEADER_BYTES + 1 + payload.size());
    out.resize(BuildNetCommandMessage(code, 0, payload.data(), payload.size(), out.data()));
    return out;
}

Bytes Login(const std::string& user, const std::string& password) {
    std::string payload;
    EXPECT_TRUE(BuildLoginPayload(user, password, &payload));
    return Msg(NETCMD_LOGIN, payload);
}

Bytes Open(uint8_t channel) {
    return Msg(NETCMD_OPEN_CHANNEL, std::string{char(channel), 0});
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Answer {
    uint8_t code;
    std::string payload;
    bool operator==(const Answer& o) const { return code == o.code && payload == o.payload; }
};

std::ostream& operator<<(std::ostream& os, const Answer& a) {
    os << "code 0x" << std::hex << int(a.code) << std::dec << " payload";
    for (unsigned char c : a.payload)
        os << ' ' << int(c);
    return os;
}

// A session on one end of a socket pair, with the answers read at the other.
class NetSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
        host.accounts["viewer"] = {"secret", {0, 2, 3}};
        host.accounts["guest"] = {"", {1}};
    }
    void TearDown() override {
        session.reset();
        ::close(fds[0]);
        ::close(fds[1]);
    }

    CNetSession& Make(NetRole role) {
        session = std::make_unique<CNetSession>(role, kPeer, fds[0], &host);
        return *session;
    }
    int Feed(const Bytes& b) { return session->Feed(b.data(), static_cast<int>(b.size())); }

    // Every message the session has sent so far.
    std::vector<Answer> Answers() {
        uint8_t buf[8192];
        ssize_t n;
        while ((n = ::recv(fds[1], buf, sizeof buf, MSG_DONTWAIT)) > 0) {
            sent.insert(sent.end(), buf, buf + n);
        }
        std::vector<Answer> out;
        size_t pos = 0;
        while (sent.size() - pos >= NET_MSG_HEADER_BYTES + 1) {
            NetCommandMessage m;
            if (!ParseNetCommandMessage(sent.data() + pos, sent.size() - pos, &m))
                break;
            EXPECT_EQ(std::string(sent.begin() + pos, sent.begin() + pos + 4), "VSMX");
            out.push_back({m.byCommand, std::string(reinterpret_cast<const char*>(m.pPayload),
                                                    m.PayloadLength())});
            pos += NET_MSG_HEADER_BYTES + m.wLength;
        }
        return out;
    }

    std::vector<std::string> LogTexts() const {
        std::vector<std::string> out;
        for (const auto& l : host.log) {
            EXPECT_EQ(l.type, 2);
            EXPECT_EQ(l.channel, 0);
            out.push_back(l.text);
        }
        return out;
    }

    int fds[2] = {-1, -1};
    FakeSessionHost host;
    std::unique_ptr<CNetSession> session;
    Bytes sent;
};

const Answer kLoginOk{NETCMD_LOGIN_OK, "\x04"};
const Answer kLoginFailed{NETCMD_LOGIN_FAILED, ""};

TEST_F(NetSessionTest, NewSessionWaitsForCommands) {
    CNetSession& s = Make(NetRole::Server);
    EXPECT_EQ(s.GetPhase(), NET_PHASE_COMMAND);
    EXPECT_EQ(s.GetLoginState(), NET_LOGIN_NONE);
    EXPECT_EQ(s.GetOpenChannel(), -1);
    EXPECT_STREQ(s.GetUser(), "");
    EXPECT_FALSE(s.IsStreaming());
    EXPECT_TRUE(s.IsSenderAlive());
    EXPECT_EQ(s.Feed(nullptr, 5), 0);
}

TEST_F(NetSessionTest, LoginAndOpenInOneReceiveAreAnsweredInOrderAndStartTheStream) {
    CNetSession& s = Make(NetRole::Server);
    Bytes in = Login("viewer", "secret") + Open(2);
    EXPECT_EQ(Feed(in), static_cast<int>(in.size()));

    EXPECT_EQ(Answers(), (std::vector<Answer>{kLoginOk, {NETCMD_OPEN_OK, "\x02"}}));
    EXPECT_EQ(LogTexts(), (std::vector<std::string>{"Ip: 192.168.1.20 login success!",
                                                    "Ip: 192.168.1.20 open channel 2 OK!"}));
    EXPECT_TRUE(s.IsStreaming());
    EXPECT_EQ(s.GetLoginState(), NET_LOGIN_ACCEPTED);
    EXPECT_EQ(s.GetOpenChannel(), 2);
    EXPECT_STREQ(s.GetUser(), "viewer");
    ASSERT_NE(host.lastSender, nullptr);
    EXPECT_EQ(host.lastSender->peerIp, kPeer);
    EXPECT_EQ(host.lastSender->sock, fds[0]);
    EXPECT_TRUE(host.lastSender->notifyOn);
    EXPECT_EQ(host.viewers[2], std::vector<CStreamQueue*>{&host.lastSender->queue});

    // Whatever a streaming viewer sends is not taken.
    EXPECT_EQ(Feed(Open(1)), 0);
}

TEST_F(NetSessionTest, AMessageSplitAtAnyByteIsHandledOnce) {
    const Bytes in = Login("viewer", "secret") + Open(3);
    for (size_t cut = 1; cut < in.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        host = FakeSessionHost();
        host.accounts["viewer"] = {"secret", {3}};
        sent.clear();
        Make(NetRole::Server);
        EXPECT_EQ(Feed(Bytes(in.begin(), in.begin() + cut)), static_cast<int>(cut));
        EXPECT_EQ(Feed(Bytes(in.begin() + cut, in.end())), static_cast<int>(in.size() - cut));
        EXPECT_EQ(Answers(), (std::vector<Answer>{kLoginOk, {NETCMD_OPEN_OK, "\x03"}}));
        EXPECT_TRUE(session->IsStreaming());
        session.reset();
    }
    // One byte per receive.
    host = FakeSessionHost();
    host.accounts["viewer"] = {"secret", {3}};
    sent.clear();
    Make(NetRole::Server);
    for (uint8_t b : in)
        EXPECT_EQ(session->Feed(&b, 1), 1);
    EXPECT_EQ(Answers(), (std::vector<Answer>{kLoginOk, {NETCMD_OPEN_OK, "\x03"}}));
}

TEST_F(NetSessionTest, RefusedLoginIgnoresTheOpenKeepsTheConnectionAndHidesThePassword) {
    CNetSession& s = Make(NetRole::Server);
    Bytes in = Login("viewer", "wrong") + Open(2);
    EXPECT_EQ(Feed(in), static_cast<int>(in.size()));
    EXPECT_EQ(Answers(), std::vector<Answer>{kLoginFailed});
    EXPECT_EQ(LogTexts(), std::vector<std::string>{
                              "Ip: 192.168.1.20 login failed! user=viewer or password=* error!"});
    EXPECT_EQ(s.GetLoginState(), NET_LOGIN_NONE);
    EXPECT_EQ(host.lastSender, nullptr);

    // The peer may try again on the same connection.
    in = Login("viewer", "secret") + Open(2);
    EXPECT_EQ(Feed(in), static_cast<int>(in.size()));
    EXPECT_TRUE(s.IsStreaming());
}

TEST_F(NetSessionTest, TheThirdRefusedLoginClosesTheConnection) {
    Make(NetRole::Server);
    EXPECT_EQ(Feed(Login("viewer", "a")), 11 + 1 + 6 + 1 + 1);
    EXPECT_EQ(Feed(Login("nobody", "b") + Login("viewer", "c") + Login("viewer", "secret")), -1);
    EXPECT_EQ(Answers(), (std::vector<Answer>{kLoginFailed, kLoginFailed, kLoginFailed}));
    EXPECT_EQ(host.log.size(), 3u);
}

TEST_F(NetSessionTest, AcceptedLoginIsKeptByALaterRefusedOne) {
    CNetSession& s = Make(NetRole::Server);
    Bytes in = Login("guest", "") + Login("viewer", "bad") + Open(1);
    EXPECT_EQ(Feed(in), static_cast<int>(in.size()));
    EXPECT_EQ(Answers(), (std::vector<Answer>{kLoginOk, kLoginFailed, {NETCMD_OPEN_OK, "\x01"}}));
    EXPECT_STREQ(s.GetUser(), "guest");
}

TEST_F(NetSessionTest, OpenBeforeLoginIsIgnoredWithoutAnAnswer) {
    CNetSession& s = Make(NetRole::Server);
    EXPECT_EQ(Feed(Open(0)), 13);
    EXPECT_TRUE(Answers().empty());
    EXPECT_FALSE(s.IsStreaming());
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(NetSessionTest, RefusedOpensAnswerAsTheyShouldAndClose) {
    struct Case {
        const char* what;
        uint8_t channel;
        int viewersAlready;
        bool failSender;
        std::vector<Answer> answers;  // after the login's
    };
    const std::vector<Case> cases = {
        {"channel number equal to the count", 4, 0, false, {{NETCMD_NULL_CHANNEL, "\x04"}}},
        {"channel number far beyond", 200, 0, false, {{NETCMD_NULL_CHANNEL, "\xC8"}}},
        {"no right", 1, 0, false, {{NETCMD_NO_RIGHT, "\x01"}}},
        {"idle channel", 3, 0, false, {{NETCMD_NULL_CHANNEL, "\x03"}}},
        {"fourth viewer", 2, 3, false, {}},
        {"no sender", 2, 0, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host = FakeSessionHost();
        host.accounts["viewer"] = {"secret", {0, 2, 3, 4, 200}};
        host.activeChannels = {0, 1, 2};
        host.failSenderCreation = c.failSender;
        CStreamQueue others[3];
        for (int i = 0; i < c.viewersAlready; ++i)
            host.viewers[c.channel].push_back(&others[i]);
        sent.clear();
        CNetSession& s = Make(NetRole::Server);
        EXPECT_EQ(Feed(Login("viewer", "secret") + Open(c.channel)), -1);
        std::vector<Answer> expected{kLoginOk};
        expected.insert(expected.end(), c.answers.begin(), c.answers.end());
        EXPECT_EQ(Answers(), expected);
        EXPECT_FALSE(s.IsStreaming());
        EXPECT_EQ(s.GetOpenChannel(), -1);
        EXPECT_EQ(host.viewers[c.channel].size(), static_cast<size_t>(c.viewersAlready));
        EXPECT_EQ(host.log.size(), 1u);  // the login line only
        session.reset();
        // A refused channel was never registered, so nothing is unregistered.
        EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(),
                             "RemoveViewer " + std::to_string(c.channel)),
                  0);
    }
}

TEST_F(NetSessionTest, DeletingTheSessionUnregistersTheViewerBeforeItsSenderGoes) {
    Make(NetRole::Server);
    Feed(Login("viewer", "secret") + Open(0));
    ASSERT_EQ(host.viewers[0].size(), 1u);
    host.calls.clear();
    session.reset();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"RemoveViewer 0", "sender deleted"}));
    EXPECT_TRUE(host.viewers[0].empty());
}

TEST_F(NetSessionTest, SenderAliveFollowsTheSenderThread) {
    CNetSession& s = Make(NetRole::Server);
    Feed(Login("viewer", "secret") + Open(0));
    ASSERT_NE(host.lastSender, nullptr);
    EXPECT_TRUE(s.IsSenderAlive());
    host.lastSender->connected = false;
    EXPECT_FALSE(s.IsSenderAlive());
}

TEST_F(NetSessionTest, EveryMessageOfALongReceiveIsHandled) {
    // 51 ignored opens, then the login and the open: messages past the
    // 50th are acted on, not dropped.
    CNetSession& s = Make(NetRole::Server);
    Bytes in;
    for (int i = 0; i < 51; ++i)
        in = in + Open(0);
    in = in + Login("viewer", "secret") + Open(0);
    EXPECT_EQ(Feed(in), static_cast<int>(in.size()));
    EXPECT_EQ(Answers(), (std::vector<Answer>{kLoginOk, {NETCMD_OPEN_OK, std::string(1, '\0')}}));
    EXPECT_TRUE(s.IsStreaming());
}

Bytes WithLength(uint16_t n, size_t totalBytes) {
    Bytes b = Msg(NETCMD_LOGIN);
    b.resize(totalBytes, 0x41);
    b[8] = static_cast<uint8_t>(n & 0xFF);
    b[9] = static_cast<uint8_t>(n >> 8);
    return b;
}

TEST_F(NetSessionTest, CraftedMessagesCloseBeforeAnythingIsDone) {
    struct Case {
        const char* what;
        NetRole role;
        Bytes bytes;
        bool answeredBefore = false;  // a valid login comes first
    };
    std::vector<Case> cases = {
        {"N = 0", NetRole::Server, WithLength(0, 10)},
        {"N = 1015", NetRole::Server, WithLength(1015, 1025)},
        {"N = 0xFFFF and 65 KB", NetRole::Server, WithLength(0xFFFF, 10 + 65 * 1024)},
        {"N = 0 at a client", NetRole::Client, WithLength(0, 10)},
        {"user length past the end", NetRole::Server, Msg(NETCMD_LOGIN, "\x10us")},
        {"password length past the end", NetRole::Server, Msg(NETCMD_LOGIN, "\x02us\x09pw")},
        {"open without a channel byte", NetRole::Server,
         Login("viewer", "secret") + Msg(NETCMD_OPEN_CHANNEL), true},
        {"open ok without a channel byte", NetRole::Client, Msg(NETCMD_OPEN_OK)},
    };
    for (uint8_t code : {0x00, 0x21, 0x23, 0x25, 0x2B, 0x2D, 0x2F, 0x31, 0x34, 0xFF}) {
        cases.push_back({"unknown code at a server", NetRole::Server, Msg(code, "\x01")});
        cases.push_back({"unknown code at a client", NetRole::Client, Msg(code, "\x01")});
    }
    for (uint8_t code : {NETCMD_LOGIN_OK, NETCMD_LOGIN_FAILED, NETCMD_OPEN_OK, NETCMD_BUSY,
                         NETCMD_NULL_CHANNEL, NETCMD_NO_RIGHT}) {
        cases.push_back({"server's code sent to a server", NetRole::Server, Msg(code, "\x01")});
    }
    cases.push_back({"login sent to a client", NetRole::Client, Login("viewer", "secret")});
    cases.push_back({"open sent to a client", NetRole::Client, Open(0)});

    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " " +
                     std::to_string(c.bytes.size() > 10 ? c.bytes[10] : -1));
        host = FakeSessionHost();
        host.accounts["viewer"] = {"secret", {0}};
        Answers();  // drop what the case before got
        sent.clear();
        CNetSession& s = Make(c.role);
        EXPECT_EQ(Feed(c.bytes), -1);
        EXPECT_FALSE(s.IsStreaming());
        EXPECT_EQ(host.lastSender, nullptr);
        if (!c.answeredBefore) {
            EXPECT_TRUE(Answers().empty());
            EXPECT_TRUE(host.log.empty());
        }
        session.reset();
    }
}

TEST_F(NetSessionTest, ClientTakesTheTwoAnswersAndLeavesTheStreamBytes) {
    CNetSession& s = Make(NetRole::Client);
    Bytes in = Msg(NETCMD_LOGIN_OK, "\x04") + Msg(NETCMD_OPEN_OK, "\x02");
    ASSERT_EQ(in.size(), 24u);
    in = in + Bytes{0x03, 0x71, 0x82, 0x51, 1, 2, 3};
    EXPECT_EQ(Feed(in), 24);
    EXPECT_TRUE(s.IsStreaming());
    EXPECT_EQ(s.GetLoginState(), NET_LOGIN_CONFIRMED);
    EXPECT_EQ(LogTexts(), (std::vector<std::string>{"Login ip: 192.168.1.20 OK!",
                                                    "Open ch2 in 192.168.1.20 OK!"}));
    EXPECT_EQ(Feed(Bytes{9, 9, 9}), 0);
    EXPECT_TRUE(Answers().empty());
}

TEST_F(NetSessionTest, ClientLoginOkAloneConfirmsAndWaits) {
    CNetSession& s = Make(NetRole::Client);
    EXPECT_EQ(Feed(Msg(NETCMD_LOGIN_OK, "\x10")), 12);
    EXPECT_EQ(s.GetLoginState(), NET_LOGIN_CONFIRMED);
    EXPECT_FALSE(s.IsStreaming());
}

TEST_F(NetSessionTest, ClientClosesOnEveryRefusalWithItsLogLine) {
    struct Case {
        uint8_t code;
        std::string payload;
        std::string line;
    };
    const Case cases[] = {
        {NETCMD_LOGIN_FAILED, "", "Login ip: 192.168.1.20 Failed!"},
        {NETCMD_BUSY, "\x05", "Connect address is busy!"},
        {NETCMD_NULL_CHANNEL, "\x05", "Open null channel 5 at ip: 192.168.1.20 !"},
        {NETCMD_NO_RIGHT, "\x0B", "Unable to open channel 11 from Ip: 192.168.1.20 !"},
    };
    for (const Case& c : cases) {
        host = FakeSessionHost();
        Make(NetRole::Client);
        EXPECT_EQ(Feed(Msg(NETCMD_LOGIN_OK, "\x04") + Msg(c.code, c.payload)), -1) << c.line;
        EXPECT_EQ(LogTexts(), (std::vector<std::string>{"Login ip: 192.168.1.20 OK!", c.line}));
    }
}

TEST_F(NetSessionTest, SendCommandPutsOutTheWholeMessageOrReportsWhy) {
    CNetSession& s = Make(NetRole::Client);
    std::string login;
    ASSERT_TRUE(BuildLoginPayload("viewer", "secret", &login));
    EXPECT_TRUE(s.SendCommand(NETCMD_LOGIN, login.data(), static_cast<int>(login.size())));
    EXPECT_TRUE(s.SendCommand(NETCMD_OPEN_CHANNEL, "\x02\x00", 2));
    EXPECT_EQ(Answers(), (std::vector<Answer>{{NETCMD_LOGIN, login},
                                              {NETCMD_OPEN_CHANNEL, std::string("\x02\x00", 2)}}));
    std::string tooLong(NET_MSG_MAX_PAYLOAD + 1, 'x');
    EXPECT_FALSE(s.SendCommand(NETCMD_LOGIN, tooLong.data(), static_cast<int>(tooLong.size())));

    CNetSession unconnected(NetRole::Client, kPeer, INVALID_NET_SOCKET, &host);
    EXPECT_FALSE(unconnected.SendCommand(NETCMD_LOGIN_FAILED, nullptr, 0));
}

TEST_F(NetSessionTest, APeerThatDoesNotReadItsAnswersIsClosedNotWaitedFor) {
    int small = 1024;
    ASSERT_EQ(::setsockopt(fds[0], SOL_SOCKET, SO_SNDBUF, &small, sizeof small), 0);
    Make(NetRole::Server);
    Bytes logins;
    for (int i = 0; i < 50; ++i)
        logins = logins + Login("viewer", "secret");
    int result = 0;
    for (int round = 0; round < 1000 && result != -1; ++round)
        result = Feed(logins);
    EXPECT_EQ(result, -1);
}

TEST_F(NetSessionTest, LongUserNamesAreKeptTerminated) {
    const std::string longName(40, 'n');
    host.accounts[longName] = {"pw", {0}};
    CNetSession& s = Make(NetRole::Server);
    Feed(Login(longName, "pw"));
    EXPECT_EQ(s.GetLoginState(), NET_LOGIN_ACCEPTED);
    EXPECT_EQ(std::string(s.GetUser()), std::string(17, 'n'));
}

}  // namespace
