#include "alerts/mail_headers.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Base64Decode(const std::string& text) {
    static const std::string kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned value = 0;
    int bits = 0;
    for (char c : text) {
        if (c == '=') {
            break;
        }
        value = (value << 6) | static_cast<unsigned>(kAlphabet.find(c));
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((value >> bits) & 0xFF);
        }
    }
    return out;
}

TEST(MailHeaders, Base64MatchesKnownVectors) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},        {"f", "Zg=="},          {"fo", "Zm8="},
        {"foo", "Zm9v"}, {"foobar", "Zm9vYmFy"}, {std::string("\xff\x00\xfe", 3), "/wD+"},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(Base64Encode(in), out);
    }
}

TEST(MailHeaders, PrintableAsciiSubjectStaysAsItIs) {
    EXPECT_EQ(EncodeHeaderText("Gate(Channel 3 Video Motion Alert)"),
              "Gate(Channel 3 Video Motion Alert)");
    EXPECT_EQ(EncodeHeaderText(""), "");
}

// GB2312 text (and anything with control bytes) goes into encoded words that
// respect the 75-character limit and never cut a two-byte character.
TEST(MailHeaders, OtherSubjectsBecomeEncodedWordsSplitBetweenCharacters) {
    std::string gb = "A";  // one ASCII byte first, so pairs start at odd offsets
    for (int i = 0; i < 60; ++i) {
        gb += "\xbe\xaf";  // a GB2312 character
    }
    gb += "(Channel 3 Video Motion Alert)";
    const std::string injected = "Alarm\r\nBcc: evil@example.net";

    for (const std::string& subject : {gb, injected}) {
        std::string encoded = EncodeHeaderText(subject);
        EXPECT_EQ(encoded.find_first_of("\r\n"), std::string::npos);
        std::istringstream words(encoded);
        std::string word;
        std::string decoded;
        while (words >> word) {
            const std::string head = "=?GB2312?B?";
            ASSERT_GT(word.size(), head.size() + 2) << word;
            ASSERT_EQ(word.substr(0, head.size()), head) << word;
            ASSERT_EQ(word.substr(word.size() - 2), "?=") << word;
            EXPECT_LE(word.size(), 75u);
            std::string piece =
                Base64Decode(word.substr(head.size(), word.size() - head.size() - 2));
            int high = 0;
            for (std::size_t i = 0; i < piece.size(); ++i) {
                if (static_cast<unsigned char>(piece[i]) >= 0x81) {
                    ++high;
                    ++i;  // skip the trail byte
                    ASSERT_LT(i, piece.size()) << "character cut at a word end";
                }
            }
            decoded += piece;
        }
        EXPECT_EQ(decoded, subject);
    }
}

TEST(MailHeaders, DateCarriesTheDistanceFromUtc) {
    const LocalTime t = MakeLocalTime(2026, 12, 10, 9, 5, 7);
    const std::pair<long, std::string> cases[] = {
        {0, "Thu, 10 Dec 2026 09:05:07 +0000"},
        {3600, "Thu, 10 Dec 2026 09:05:07 +0100"},
        {-16200, "Thu, 10 Dec 2026 09:05:07 -0430"},
        {20700, "Thu, 10 Dec 2026 09:05:07 +0545"},
    };
    for (const auto& [offset, text] : cases) {
        EXPECT_EQ(FormatMailDate(t, offset), text);
    }
}

TEST(MailHeaders, MessageIdsAreUniqueAndUseTheSendersDomain) {
    const LocalTime t = MakeLocalTime(2026, 12, 10, 9, 5, 7);
    std::string a = MakeMessageId(t, "alarm@cam.example");
    std::string b = MakeMessageId(t, "alarm@cam.example");
    EXPECT_NE(a, b);
    EXPECT_EQ(a.front(), '<');
    EXPECT_EQ(a.substr(a.size() - 13), "@cam.example>");
    EXPECT_EQ(a.find_first_of(" \r\n\"<", 1), std::string::npos) << a;
}

}  // namespace
