#include "alerts/net_text_checks.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(NetTextChecks, HostNamesAndIPv4AddressesOnly) {
    struct Case {
        std::string text;
        bool ok;
    };
    const Case cases[] = {
        {"mail.example.com", true},
        {"127.0.0.1", true},
        {"smtp-2.corp_lan", true},
        {"localhost", true},
        {"", false},
        {"user@host", false},  // would add a login to the URL
        {"host:2121", false},  // a port comes from its own setting
        {"host/path", false},
        {"host name", false},
        {"host\r\nMAIL", false},
        {"-host.example", false},
        {"host..example", false},
        {"256.1.1.1", false},
        {"1.2.3", false},
        {"[::1]", false},
        {std::string(254, 'a'), false},
        {std::string("ho\0st", 5), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsHostNameOrIPv4(c.text), c.ok) << c.text;
    }
}

TEST(NetTextChecks, MailboxIsTheAddressOrTheTextBetweenBrackets) {
    struct Case {
        std::string stored;
        std::string mailbox;  // "" = refused
    };
    const Case cases[] = {
        {"alarm@cam.example", "alarm@cam.example"},
        {"  alarm@cam.example ", "alarm@cam.example"},
        {"Alarm Desk <alarm@cam.example>", "alarm@cam.example"},
        {"<ops@example.org>", "ops@example.org"},
        {"ops@example.org\r\nRCPT TO:<evil@example.net>", ""},
        {"ops@example.org\n", ""},
        {std::string("ops@example.org\0evil@x.y", 24), ""},
        {"ops@example.org\t", ""},
        {"ops@example.org\x7f", ""},
        {"Name <ops@example.org", ""},
        {"Name <ops@example.org> trailing", ""},
        {"a@b@c", ""},
        {"@example.org", ""},
        {"ops@", ""},
        {"no-at-sign", ""},
        {"a@b.c, d@e.f", ""},
        {"", ""},
        {"<>", ""},
    };
    for (const Case& c : cases) {
        const char* why = nullptr;
        std::string box = ExtractMailbox(c.stored, &why);
        EXPECT_EQ(box, c.mailbox) << c.stored;
        if (c.mailbox.empty()) {
            EXPECT_NE(why, nullptr) << c.stored;
        }
    }
}

TEST(NetTextChecks, BoundedTextsAreCutAndShowControlBytes) {
    char buf[8];
    CopyBoundedText(buf, sizeof buf, "ab\r\ncdefghij");
    EXPECT_STREQ(buf, "ab??cde");
    CopyBoundedText(buf, sizeof buf, "");
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(BoundedText("x\ny", 10), "x?y");
    EXPECT_EQ(BoundedText("abcdef", 3), "abc");
}

}  // namespace
