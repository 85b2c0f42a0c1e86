#include "netservice/net_command.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Build(uint8_t code, const std::string& payload) {
    Bytes out(NET_MSG_HEADER_BYTES + 1 + payload.size());
    size_t n = BuildNetCommandMessage(code, 0, payload.data(), payload.size(), out.data());
    out.resize(n);
    return out;
}

TEST(NetCommandTest, MessagesAreBuiltByteForByte) {
    std::string login;
    ASSERT_TRUE(BuildLoginPayload("admin", "123", &login));
    const Bytes expectedLogin = {0x56, 0x53, 0x4D, 0x58, 0,   0,   0, 0,   0x0B, 0x00, 0x20,
                                 5,    'a',  'd',  'm',  'i', 'n', 3, '1', '2',  '3'};
    EXPECT_EQ(Build(NETCMD_LOGIN, login), expectedLogin);

    const Bytes expectedOpen = {0x56, 0x53, 0x4D, 0x58, 0, 0, 0, 0, 0x03, 0x00, 0x2C, 0x07, 0x00};
    EXPECT_EQ(Build(NETCMD_OPEN_CHANNEL, std::string("\x07\x00", 2)), expectedOpen);

    const Bytes expectedFailed = {0x56, 0x53, 0x4D, 0x58, 0, 0, 0, 0, 0x01, 0x00, 0x24};
    EXPECT_EQ(Build(NETCMD_LOGIN_FAILED, ""), expectedFailed);

    // N is little-endian: a 1013-byte payload gives N = 1014 = 0x03F6.
    Bytes big = Build(NETCMD_LOGIN_OK, std::string(NET_MSG_MAX_PAYLOAD, 'x'));
    ASSERT_EQ(big.size(), NET_MSG_BUFFER_BYTES);
    EXPECT_EQ(big[8], 0xF6);
    EXPECT_EQ(big[9], 0x03);
}

TEST(NetCommandTest, BuildRefusesAPayloadThatDoesNotFitAMessage) {
    std::vector<uint8_t> out(2048);
    std::string payload(NET_MSG_MAX_PAYLOAD + 1, 'x');
    EXPECT_EQ(BuildNetCommandMessage(NETCMD_LOGIN, 0, payload.data(), payload.size(), out.data()),
              0u);
    // A null payload sends the code alone.
    EXPECT_EQ(BuildNetCommandMessage(NETCMD_LOGIN_FAILED, 0, nullptr, 5, out.data()), 11u);
    EXPECT_EQ(out[8], 1);
}

TEST(NetCommandTest, ParseReadsTheFieldsAndRejectsImpossibleLengths) {
    Bytes m = Build(NETCMD_OPEN_OK, "\x02");
    m[4] = 0x78;  // the session id is read, never checked
    NetCommandMessage msg;
    ASSERT_TRUE(ParseNetCommandMessage(m.data(), m.size(), &msg));
    EXPECT_EQ(msg.dwSessionId, 0x78u);
    EXPECT_EQ(msg.wLength, 2);
    EXPECT_EQ(msg.byCommand, NETCMD_OPEN_OK);
    EXPECT_EQ(msg.PayloadLength(), 1u);
    EXPECT_EQ(msg.pPayload[0], 2);

    struct Case {
        uint16_t n;
        size_t size;
        bool ok;
    };
    const Case cases[] = {
        {0, 1024, false},                        // no command byte
        {1, 11, true},                           // the code alone
        {1014, 1024, true},                      // the largest message
        {1015, 2048, false},                     // would not fit the receive buffer
        {0xFFFF, 70000, false}, {5, 14, false},  // shorter than N says
    };
    for (const Case& c : cases) {
        Bytes raw(c.size, 0);
        raw[8] = static_cast<uint8_t>(c.n & 0xFF);
        raw[9] = static_cast<uint8_t>(c.n >> 8);
        EXPECT_EQ(ParseNetCommandMessage(raw.data(), raw.size(), &msg), c.ok) << "N=" << c.n;
    }
    EXPECT_FALSE(ParseNetCommandMessage(m.data(), 10, &msg));
}

TEST(NetCommandTest, LoginFieldsComeOnlyFromInsideTheMessage) {
    struct Case {
        const char* what;
        std::string payload;
        bool ok;
        std::string user, password;
    };
    const Case cases[] = {
        {"plain", std::string("\x04user\x04pass", 10), true, "user", "pass"},
        {"empty password", std::string("\x04user\x00", 6), true, "user", ""},
        {"trailing bytes kept out", std::string("\x01u\x01pXYZ", 7), true, "u", "p"},
        {"zero byte ends a text", std::string("\x04us\0r\x02pw", 8), true, "us", "pw"},
        {"user length past the end", std::string("\x09user", 5), false, "", ""},
        {"no password length", std::string("\x04user", 5), false, "", ""},
        {"password length past the end", std::string("\x04user\x05pa", 8), false, "", ""},
        {"empty payload", "", false, "", ""},
    };
    for (const Case& c : cases) {
        Bytes m = Build(NETCMD_LOGIN, c.payload);
        NetCommandMessage msg;
        ASSERT_TRUE(ParseNetCommandMessage(m.data(), m.size(), &msg));
        std::string user = "old", password = "old";
        EXPECT_EQ(ParseLoginPayload(msg, &user, &password), c.ok) << c.what;
        if (c.ok) {
            EXPECT_EQ(user, c.user) << c.what;
            EXPECT_EQ(password, c.password) << c.what;
        }
    }
    std::string out;
    EXPECT_FALSE(BuildLoginPayload(std::string(256, 'u'), "", &out));
}

}  // namespace
